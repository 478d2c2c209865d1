#include "export/OutputFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
    } catch (const ReportedError& error) {
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
    EXPECT_THROW(replaceFile(path, std::string(100000, 'x')), ReportedError);
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
    EXPECT_THROW(replaceFile(path, "new"), ReportedError);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(dir.read(QStringLiteral("list.txt")), "previous list");
}

TEST(OutputFile, ReadsWindows1251) {
    test::TempDir dir;
    const QString path = dir.write(QStringLiteral("t.htm"), "\xC0\xE1\r\n");
    EXPECT_EQ(readCp1251File(path), QStringLiteral("Аб\r\n"));
}

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// What a write meets at its target: a regular file or a new name is replaced, a link is followed
// to what it names, anything else is refused and left alone.
TEST(OutputFile, TargetsByWhatStandsThere) {
    test::TempDir dir;
    dir.write(QStringLiteral("real.txt"), "previous");
    QDir().mkdir(dir.file(QStringLiteral("folder")));
    ASSERT_EQ(0, ::symlink("real.txt", native(dir.file(QStringLiteral("relative"))).constData()));
    ASSERT_EQ(0, ::symlink(native(dir.file(QStringLiteral("real.txt"))).constData(),
                           native(dir.file(QStringLiteral("absolute"))).constData()));
    ASSERT_EQ(0, ::symlink("relative", native(dir.file(QStringLiteral("chain"))).constData()));
    ASSERT_EQ(0, ::symlink("new.txt", native(dir.file(QStringLiteral("dangling"))).constData()));
    ASSERT_EQ(0, ::symlink("/dev/null", native(dir.file(QStringLiteral("device"))).constData()));
    ASSERT_EQ(0, ::symlink("loop", native(dir.file(QStringLiteral("loop"))).constData()));
    ::mkfifo(native(dir.file(QStringLiteral("fifo"))).constData(), 0600);
    struct Case {
        const char* name;
        QString path;
        QString target; // empty: refused
    };
    const QString real = dir.file(QStringLiteral("real.txt"));
    const std::vector<Case> cases{
        {"regular file", real, real},
        {"new name", dir.file(QStringLiteral("other.txt")), dir.file(QStringLiteral("other.txt"))},
        {"relative link", dir.file(QStringLiteral("relative")), real},
        {"absolute link", dir.file(QStringLiteral("absolute")), real},
        {"link to a link", dir.file(QStringLiteral("chain")), real},
        {"link to a new name", dir.file(QStringLiteral("dangling")),
         dir.file(QStringLiteral("new.txt"))},
        {"link to a device", dir.file(QStringLiteral("device")), {}},
        {"device", QStringLiteral("/dev/null"), {}},
        {"link loop", dir.file(QStringLiteral("loop")), {}},
        {"FIFO", dir.file(QStringLiteral("fifo")), {}},
        {"folder", dir.file(QStringLiteral("folder")), {}},
    };
    for (const Case& c : cases) {
        if (c.target.isEmpty()) {
            try {
                replaceableTarget(c.path);
                ADD_FAILURE() << c.name << ": not refused";
            } catch (const ReportedError& error) {
                EXPECT_TRUE(error.message().startsWith(QStringLiteral("Cannot create file \"") +
                                                       c.path + QStringLiteral("\". ")))
                    << c.name << ": " << error.what();
            }
        } else {
            EXPECT_EQ(replaceableTarget(c.path), c.target) << c.name;
        }
    }
}

TEST(OutputFile, WriteThroughALinkReplacesTheFileItNames) {
    test::TempDir dir;
    QDir().mkdir(dir.file(QStringLiteral("lists")));
    dir.write(QStringLiteral("lists/list.txt"), "previous");
    const QString link = dir.file(QStringLiteral("list.txt"));
    ASSERT_EQ(::symlink("lists/list.txt", native(link).constData()), 0);
    replaceFile(link, "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(dir.read(QStringLiteral("lists/list.txt")), "new");
    EXPECT_EQ(QDir(dir.file(QStringLiteral("lists"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("list.txt")});
}

// The write to a device or FIFO is refused before anything is opened: no hang on a FIFO without
// a reader, no device node replaced by a regular file.
TEST(OutputFile, NeverReplacesAFifoOrADevice) {
    test::TempDir dir;
    const QString fifo = dir.file(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(native(fifo).constData(), 0600), 0);
    EXPECT_THROW(replaceFile(fifo, "x"), ReportedError);
    struct stat info {};
    ASSERT_EQ(::lstat(native(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    const QString device = dir.file(QStringLiteral("full"));
    if (::mknod(native(device).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
        GTEST_SKIP() << "no mknod here: the FIFO case stands for devices";
    EXPECT_THROW(replaceFile(device, "x"), ReportedError);
    ASSERT_EQ(::lstat(native(device).constData(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST(OutputFile, KeepsThePermissionsOfTheReplacedFile) {
    test::TempDir dir;
    const QString path = dir.write(QStringLiteral("list.txt"), "previous");
    ::chmod(native(path).constData(), 0640);
    replaceFile(path, "new");
    struct stat info {};
    ASSERT_EQ(::stat(native(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

} // namespace
} // namespace korvane::exporter
