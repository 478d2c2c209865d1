#include "text/OutputText.h"
#include "text/TextFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::text {
namespace {

TEST(OutputText, SingleLine) {
    struct Case {
        const char* name;
        QString text;
        QString line;
    };
    const std::vector<Case> cases{
        {"plain", QStringLiteral("Кино"), QStringLiteral("Кино")},
        {"CR LF injects no line", QStringLiteral("Rock\r\nkino=Hacked"),
         QStringLiteral("Rock  kino=Hacked")},
        {"tab", QStringLiteral("a\tb"), QStringLiteral("a b")},
        {"other controls",
         QStringLiteral("a\x01\x1f\x7f"
                        "b"),
         QStringLiteral("a   b")},
        {"length kept", QStringLiteral("\n\n"), QStringLiteral("  ")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(singleLine(c.text), c.line) << c.name;
}

TEST(OutputText, XmlText) {
    struct Case {
        const char* name;
        QString text;
        QString clean;
    };
    const QString pair = QString::fromUcs4(U"\U0001F600");
    const std::vector<Case> cases{
        {"plain", QStringLiteral("Björk & <Я>"), QStringLiteral("Björk & <Я>")},
        {"tab, LF, CR stay", QStringLiteral("a\tb\nc\rd"), QStringLiteral("a\tb\nc\rd")},
        {"controls go",
         QStringLiteral("a\x01\x08\x0b\x0c\x1f"
                        "b"),
         QStringLiteral("ab")},
        {"NUL goes", QString(QChar(0)) + u'a', QStringLiteral("a")},
        {"surrogate pair stays", u'a' + pair, u'a' + pair},
        {"lone high surrogate", QString(QChar(0xD800)) + u'a', QStringLiteral("a")},
        {"lone low surrogate", u'a' + QString(QChar(0xDC00)), QStringLiteral("a")},
        {"non-characters", QString(QChar(0xFFFE)) + QChar(0xFFFF) + u'a', QStringLiteral("a")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(xmlText(c.text), c.clean) << c.name;
}

TEST(OutputText, CutTextKeepsSurrogatePairsWhole) {
    const QString pair = QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(cutText(QStringLiteral("abcdef"), 3), QStringLiteral("abc"));
    EXPECT_EQ(cutText(QStringLiteral("ab"), 3), QStringLiteral("ab"));
    EXPECT_EQ(cutText(u'a' + pair, 2), QStringLiteral("a"));
    EXPECT_EQ(cutText(u'a' + pair, 3), u'a' + pair);
    EXPECT_EQ(cutText(QStringLiteral("ab"), 0), QString());
}

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

TEST(TextFile, ReadsARegularFileWhole) {
    test::TempDir dir;
    const QString path = dir.write(QStringLiteral("set.ini"), "[options]\r\n");
    EXPECT_EQ(readTextFile(path), QByteArray("[options]\r\n"));
    const QString link = dir.file(QStringLiteral("link.ini"));
    ASSERT_EQ(::symlink("set.ini", native(link).constData()), 0);
    EXPECT_EQ(readTextFile(link), QByteArray("[options]\r\n")) << "a link to a file is read";
    EXPECT_EQ(readTextFile(dir.write(QStringLiteral("empty"), "")), QByteArray());
}

// Nothing here may block or read without end: each is refused at once.
TEST(TextFile, RefusesWhatIsNoSaneFile) {
    test::TempDir dir;
    const QString fifo = dir.file(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(native(fifo).constData(), 0600), 0);
    const QString zero = dir.file(QStringLiteral("zero"));
    ASSERT_EQ(::symlink("/dev/zero", native(zero).constData()), 0);
    const QString huge = dir.write(QStringLiteral("huge"), "");
    ASSERT_EQ(::truncate(native(huge).constData(), kMaxTextFileBytes + 1), 0);
    QDir().mkdir(dir.file(QStringLiteral("folder")));
    struct Case {
        const char* name;
        QString path;
        QString reason;
    };
    const std::vector<Case> cases{
        {"FIFO without a writer", fifo, QStringLiteral("Not a regular file")},
        {"link to /dev/zero", zero, QStringLiteral("Not a regular file")},
        {"folder", dir.file(QStringLiteral("folder")), QStringLiteral("Not a regular file")},
        {"larger than 64 MiB", huge, QStringLiteral("File is larger than 64 MiB")},
        {"missing", dir.file(QStringLiteral("missing")),
         QStringLiteral("No such file or directory")},
    };
    for (const Case& c : cases) {
        QString reason;
        EXPECT_EQ(readTextFile(c.path, &reason), std::nullopt) << c.name;
        EXPECT_EQ(reason, c.reason) << c.name;
    }
}

} // namespace
} // namespace korvane::text
