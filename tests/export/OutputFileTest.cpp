#include "export/OutputFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace korvane::exporter {
namespace {

TEST(OutputFile, SplitLines) {
    struct Case {
        const char* name;
        QString text;
        QStringList lines;
    };
    const std::vector<Case> cases{
        {"empty", QString(), {}},
        {"CR LF", QStringLiteral("a\r\nb\r\n"), {QStringLiteral("a"), QStringLiteral("b")}},
        {"lone LF and CR",
         QStringLiteral("a\nb\rc"),
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {"LF CR is two breaks",
         QStringLiteral("a\n\rb"),
         {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {"empty lines kept",
         QStringLiteral("\r\n\r\nx"),
         {QString(), QString(), QStringLiteral("x")}},
        {"a final break closes the line", QStringLiteral("x\r"), {QStringLiteral("x")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitLines(c.text), c.lines) << c.name;
}

TEST(OutputFile, Cp1251LinesEndInCrLf) {
    EXPECT_EQ(cp1251Lines({QStringLiteral("Я"), QString(), QStringLiteral("€ ő")}),
              std::string("\xDF\r\n\r\n\x88 ?\r\n"));
}

TEST(OutputFile, ReplacesAnExistingFile) {
    test::TempDir dir;
    const QString path = dir.write(QStringLiteral("list.txt"), "old contents, longer than the new");
    replaceFile(path, "new");
    EXPECT_EQ(dir.read(QStringLiteral("list.txt")), "new");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("list.txt")});
}

TEST(OutputFile, MissingFolderIsReportedWithPathAndReason) {
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("no such folder/list.txt"));
    try {
        replaceFile(path, "x");
        FAIL() << "no error";
    } catch (const ExportError& error) {
        const QString prefix =
            QStringLiteral("Cannot create file \"") + path + QStringLiteral("\". ");
        EXPECT_TRUE(error.message().startsWith(prefix)) << error.what();
        EXPECT_GT(error.message().size(), prefix.size()) << "the system's reason is missing";
    }
}

// The write fails half-way, as on a full disk; the file that was there stays as it was.
TEST(OutputFile, FailedWriteLeavesThePreviousFile) {
    test::TempDir dir;
    const QString path = dir.write(QStringLiteral("list.txt"), "previous list");
    // A file size limit stops writes for every user, root included.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(replaceFile(path, std::string(100000, 'x')), ExportError);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(dir.read(QStringLiteral("list.txt")), "previous list");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("list.txt")})
        << "the temporary file was left behind";
}

TEST(OutputFile, ReadOnlyFolderKeepsThePreviousFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    test::TempDir dir;
    const QString path = dir.write(QStringLiteral("list.txt"), "previous list");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_THROW(replaceFile(path, "new"), ExportError);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(dir.read(QStringLiteral("list.txt")), "previous list");
}

TEST(OutputFile, ReadsWindows1251) {
    test::TempDir dir;
    const QString path = dir.write(QStringLiteral("t.htm"), "\xC0\xE1\r\n");
    EXPECT_EQ(readCp1251File(path), QStringLiteral("Аб\r\n"));
}

} // namespace
} // namespace korvane::exporter
