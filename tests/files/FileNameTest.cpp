#include "files/FileName.h"
#include "text/CodePageDetector.h"

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
        {"byte-order mark kept",
         "\xEF\xBB\xBF"
         "a\xEF\xBB\xBF",
         QStringLiteral("\uFEFFa\uFEFF"), QStringLiteral("\uFEFFa\uFEFF")},
        {"found by fuzzing", "\xF0\xEF\xBB\xBF\xED\xF4\xBF\xED",
         escaped({0xF0}) + QChar(0xFEFF) + escaped({0xED, 0xF4, 0xBF, 0xED}),
         // Beside broken bytes, three UTF-8 bytes are 8-bit letters too: "п»ї", not U+FEFF.
         QStringLiteral("рп»їнфїн")},
        {"cut sequence before ASCII", "\xE2\x82x", escaped({0xE2, 0x82}) + u'x',
         QStringLiteral("в‚x")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString decoded = decodeFileName(c.bytes);
        EXPECT_EQ(decoded, c.decoded);
        EXPECT_EQ(encodeFileName(decoded).toStdString(), c.bytes);
        // The code page fixed, as the scan reads every 8-bit name; Auto below.
        EXPECT_EQ(displayFileName(decoded, korvane::codepage::Choice::Windows1251), c.shown);
    }
}

// Names of DOS archivers (CP866), of Unix machines of the 1990s (KOI8-R) and of Western
// Windows (Windows-1252) shown in their own letters; the parts of one path decided together, so
// that a short part follows the rest. The bytes stay what they were.
TEST(FileName, ShowsEachEightBitNameInItsCodePage) {
    using korvane::codepage::Choice;
    struct Case {
        const char* what;
        std::string bytes;
        Choice choice;
        QString shown;
    };
    const Case cases[] = {
        {"Windows-1251", "\xCA\xE8\xED\xEE/\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8",
         Choice::Auto, QStringLiteral("Кино/Группа крови")},
        {"CP866", "\x8A\xA8\xAD\xAE/\x83\xE0\xE3\xAF\xAF\xA0\x20\xAA\xE0\xAE\xA2\xA8", Choice::Auto,
         QStringLiteral("Кино/Группа крови")},
        {"KOI8-R, a short part after a long one",
         "\xE4\xE4\xF4/\xE1\xCB\xD4\xD2\xC9\xD3\xC1 \xF7\xC5\xD3\xCE\xC1", Choice::Auto,
         QStringLiteral("ДДТ/Актриса Весна")},
        {"Windows-1252", "Sigur R\xF3s/Hopp\xEDpolla", Choice::Auto,
         QStringLiteral("Sigur Rós/Hoppípolla")},
        {"UTF-8 beside the 8-bit part", "Кино/\x8A\xA8\xAD\xAE\x20\xA8\x20\xA3\xE0\xE3\xAF\xAF\xA0",
         Choice::Auto, QStringLiteral("Кино/Кино и группа")},
        {"fixed KOI8-R", "\xEB\xC9\xCE\xCF", Choice::Koi8R, QStringLiteral("Кино")},
        {"fixed CP866 on Windows-1251 bytes", "\xCA\xE8\xED\xEE", Choice::Cp866,
         QStringLiteral("╩шэю")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString decoded = decodeFileName(c.bytes);
        EXPECT_EQ(displayFileName(decoded, c.choice), c.shown);
        EXPECT_EQ(encodeFileName(decoded).toStdString(), c.bytes);
    }
}

TEST(FileName, AnyBytesComeBackUnchanged) {
    std::mt19937 random(1251);
    std::uniform_int_distribution<int> byte(1, 255); // a name never holds a zero byte
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(static_cast<size_t>(i % 24), '\0');
        for (char& c : bytes)
            c = static_cast<char>(byte(random));
        const QString name = decodeFileName(bytes);
        ASSERT_EQ(encodeFileName(name).toStdString(), bytes) << i;
        // Shown, every carried byte is a character (a carried one would encode as itself).
        const QString shown = displayFileName(name);
        ASSERT_EQ(encodeFileName(shown), shown.toUtf8()) << i;
        if (encodeFileName(name) == name.toUtf8())
            ASSERT_EQ(shown, name) << i;
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
