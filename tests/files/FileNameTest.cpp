#include "files/FileName.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace korvane::files;

namespace {

QString escaped(std::initializer_list<unsigned char> bytes) {
    QString out;
    for (unsigned char byte : bytes)
        out.append(QChar(char16_t(0xDC00 + byte)));
    return out;
}

TEST(FileName, DecodesUtf8AndCarriesEveryOtherByte) {
    struct Case {
        const char* what;
        std::string bytes;
        QString decoded;
        QString shown;
    };
    const Case cases[] = {
        {"ASCII", "Kino - 1988", QStringLiteral("Kino - 1988"), QStringLiteral("Kino - 1988")},
        {"UTF-8 Cyrillic", "Кино", QStringLiteral("Кино"), QStringLiteral("Кино")},
        {"UTF-8 beyond the BMP", "a\xF0\x9F\x8E\xB5", QStringLiteral("a🎵"), QStringLiteral("a🎵")},
        {"Windows-1251 name", "\xCA\xE8\xED\xEE", escaped({0xCA, 0xE8, 0xED, 0xEE}),
         QStringLiteral("Кино")},
        {"valid and invalid mixed", "Кино \xC3", QStringLiteral("Кино ") + escaped({0xC3}),
         QStringLiteral("Кино Г")},
        {"overlong slash", "\xC0\xAF", escaped({0xC0, 0xAF}), QStringLiteral("АЇ")},
        {"encoded surrogate", "\xED\xB2\x80", escaped({0xED, 0xB2, 0x80}), QStringLiteral("нІЂ")},
        {"past U+10FFFF", "\xF4\x90\x80\x80", escaped({0xF4, 0x90, 0x80, 0x80}),
         QStringLiteral("фђЂЂ")},
        {"byte-order mark kept", "\xEF\xBB\xBF" "a\xEF\xBB\xBF", QStringLiteral("\uFEFFa\uFEFF"),
         QStringLiteral("\uFEFFa\uFEFF")},
        {"found by fuzzing", "\xF0\xEF\xBB\xBF\xED\xF4\xBF\xED",
         escaped({0xF0}) + QChar(0xFEFF) + escaped({0xED, 0xF4, 0xBF, 0xED}),
         QStringLiteral("р\uFEFFнфїн")},
        {"cut sequence before ASCII", "\xE2\x82x", escaped({0xE2, 0x82}) + u'x',
         QStringLiteral("в‚x")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString decoded = decodeFileName(c.bytes);
        EXPECT_EQ(decoded, c.decoded);
        EXPECT_EQ(encodeFileName(decoded).toStdString(), c.bytes);
        EXPECT_EQ(displayFileName(decoded), c.shown);
    }
}

TEST(FileName, AnyBytesComeBackUnchanged) {
    std::mt19937 random(1251);
    std::uniform_int_distribution<int> byte(1, 255); // a name never holds a zero byte
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(static_cast<size_t>(i % 24), '\0');
        for (char& c : bytes)
            c = static_cast<char>(byte(random));
        ASSERT_EQ(encodeFileName(decodeFileName(bytes)).toStdString(), bytes) << i;
    }
}

TEST(FileName, UserTextIsEncodedAsUtf8) {
    // A supplementary character whose low surrogate lies in the carried-byte range stays one
    // character, not a surrogate and a byte.
    const QString text = QString::fromUcs4(U"\U00010080 Ёж");
    EXPECT_EQ(encodeFileName(text), text.toUtf8());
    EXPECT_EQ(displayFileName(text), text);
}

} // namespace
