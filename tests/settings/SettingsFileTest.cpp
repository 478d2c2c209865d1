#include "settings/SettingsFile.h"
#include "settings/Settings.h"

#include "TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvane;

namespace {

struct ReadCase {
    const char* name;
    const char* file; // nullptr: no file at all
    const char* key;
    const char* defaultValue;
    const char* expected;
};

// Reading texts: quotes, blanks, case, absent file/section/key, long values.
const ReadCase kTextCases[] = {
    {"1 plain value", "[options]\r\nmp3dir=/music/\r\n", "mp3dir", "", "/music/"},
    {"2 blanks around the value are trimmed", "[options]\nkey=   a b  \t\n", "key", "", "a b"},
    {"3 double quotes keep inner blanks", "[options]\nkey=\"  \\  \"\n", "key", "", "  \\  "},
    {"4 single quotes likewise", "[options]\nkey='  x '\n", "key", "", "  x "},
    {"5 unmatched quotes stay", "[options]\nkey=\"abc'\n", "key", "", "\"abc'"},
    {"6 a lone quote stays", "[options]\nkey=\"\n", "key", "", "\""},
    {"7 unquoted separator loses its blanks", "[options]\nsep=  \\  \n", "sep", "", "\\"},
    {"8 text after the first = only", "[options]\nkey=a=b\n", "key", "", "a=b"},
    {"9 key and section names ignore case", "[OPTIONS]\nMP3DIR=x\n", "mp3dir", "", "x"},
    {"10 blanks around the key name", "[options]\n  key  =v\n", "key", "", "v"},
    {"11 absent key: default, trailing blanks cut", "[options]\nother=1\n", "key", "  d  ", "  d"},
    {"12 absent section", "[other]\nkey=1\n", "key", "def", "def"},
    {"13 absent file", nullptr, "key", "def", "def"},
    {"14 key of another section ignored", "[a]\nkey=1\n[options]\nx=2\n[b]\nkey=3\n", "key", "d",
     "d"},
    {"15 first of two lines wins", "[options]\nkey=1\nkey=2\n", "key", "", "1"},
    {"16 empty value", "[options]\nkey=\n", "key", "d", ""},
    {"17 CR-only line ends", "[options]\rkey=v\rz=1\r", "key", "", "v"},
    {"18 Windows-1251 value", "[options]\nmp3dir=\xCC\xF3\xE7\xFB\xEA\xE0\n", "mp3dir", "",
     "Музыка"},
};

} // namespace

TEST(SettingsFile, ReadsTextsByTheProfileRules) {
    for (const ReadCase& c : kTextCases) {
        test::TempDir dir;
        if (c.file)
            dir.write("set.ini", c.file);
        SettingsFile settings(dir.file("set.ini"));
        EXPECT_EQ(settings.readText(QString::fromUtf8(c.key), QString::fromUtf8(c.defaultValue)),
                  QString::fromUtf8(c.expected))
            << c.name;
    }
}

TEST(SettingsFile, LongValuesAreCutTo2047Characters) {
    test::TempDir dir;
    dir.write("set.ini", "[options]\nkey=" + std::string(3000, 'x') + "\n");
    SettingsFile settings(dir.file("set.ini"));
    EXPECT_EQ(settings.readText(u"key", QString()).size(), 2047);
}

// A set.ini that is a FIFO, a link to /dev/zero or a huge file reads as a missing one: the
// program starts with the defaults instead of hanging or running out of memory. It says why, and
// no write replaces the file with the few keys it writes.
TEST(SettingsFile, NoSaneFileReadsAsMissing) {
    test::TempDir dir;
    const QString fifo = dir.file(QStringLiteral("fifo.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.file(QStringLiteral("zero.ini"));
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zero).constData()), 0);
    const QString huge = dir.write(QStringLiteral("huge.ini"), "[options]\r\nmin_limit=7\r\n");
    ASSERT_EQ(::truncate(QFile::encodeName(huge).constData(), 65LL * 1024 * 1024), 0);
    struct Case {
        QString path;
        QString problem;
    };
    for (const Case& c : {Case{fifo, QStringLiteral("Not a regular file")},
                          Case{zero, QStringLiteral("Not a regular file")},
                          Case{huge, QStringLiteral("File is larger than 64 MiB")}}) {
        SettingsFile settings(c.path);
        EXPECT_EQ(settings.readInteger(u"min_limit", 3), 3) << c.path.toStdString();
        EXPECT_EQ(settings.readProblem(), c.problem) << c.path.toStdString();
        EXPECT_TRUE(unreadableSettingsMessage(settings).contains(c.problem))
            << c.path.toStdString();
        EXPECT_THROW(settings.writeText(u"min_limit", QStringLiteral("5")), ReportedError)
            << c.path.toStdString();
    }
    struct stat fifoAfter {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &fifoAfter), 0);
    EXPECT_TRUE(S_ISFIFO(fifoAfter.st_mode)) << "the FIFO is still one";
    EXPECT_TRUE(QFileInfo(zero).isSymLink());
    EXPECT_EQ(QFileInfo(huge).size(), 65LL * 1024 * 1024);
    // A file that reads, or none at all, has no problem to tell.
    SettingsFile absent(dir.file(QStringLiteral("absent.ini")));
    EXPECT_EQ(absent.readProblem(), QString());
    EXPECT_EQ(unreadableSettingsMessage(absent), QString());
    SettingsFile sane(dir.write(QStringLiteral("sane.ini"), "[options]\r\n"));
    EXPECT_EQ(sane.readProblem(), QString());
}

TEST(SettingsFile, ReadsIntegersAndBooleans) {
    struct Case {
        const char* value; // nullptr: key absent
        int expected;
    };
    const Case cases[] = {
        {"12", 12},         {"-7", -7}, {"0x1F", 31}, {"0X10", 16}, {"0x", 3},    {"5,5", 3},
        {"abc", 3},         {"", 3},    {"1.5", 3},   {" 42 ", 42}, {"\"9\"", 9}, {nullptr, 3},
        {"99999999999", 3},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        dir.write("set.ini", c.value ? std::string("[options]\nmin_limit=") + c.value + "\n"
                                     : std::string("[options]\n"));
        SettingsFile settings(dir.file("set.ini"));
        EXPECT_EQ(settings.readInteger(u"min_limit", 3), c.expected)
            << (c.value ? c.value : "absent");
    }
    test::TempDir dir;
    dir.write("set.ini", "[options]\na=0\nb=2\nc=x\n");
    SettingsFile settings(dir.file("set.ini"));
    EXPECT_FALSE(settings.readBool(u"a", true));
    EXPECT_TRUE(settings.readBool(u"b", false));
    EXPECT_TRUE(settings.readBool(u"c", true));
    EXPECT_FALSE(settings.readBool(u"c", false));
    EXPECT_TRUE(settings.readBool(u"absent", true));
}

TEST(SettingsFile, WritesKeepOtherLinesAndSections) {
    test::TempDir dir;
    dir.write("set.ini", "; a comment\r\n[Other]\r\nkeep=1\r\n[Options]\r\nFormWidth=10\r\n"
                         "unknown=yes\r\n\r\n[last]\r\nz=9\r\n");
    SettingsFile settings(dir.file("set.ini"));
    settings.writeInteger(u"formwidth", 700);
    settings.writeText(u"mp3dir", QStringLiteral("/музыка/"));
    EXPECT_EQ(
        dir.read("set.ini"),
        QByteArray("; a comment\r\n[Other]\r\nkeep=1\r\n[Options]\r\nformwidth=700\r\n"
                   "unknown=yes\r\nmp3dir=/\xEC\xF3\xE7\xFB\xEA\xE0/\r\n\r\n[last]\r\nz=9\r\n"));
}

TEST(SettingsFile, FirstWriteCreatesFileAndSection) {
    test::TempDir dir;
    SettingsFile settings(dir.file("set.ini"));
    EXPECT_FALSE(QFile::exists(dir.file("set.ini")));
    settings.writeBool(u"showVBR", true);
    settings.writeBool(u"musicInCat", false);
    EXPECT_EQ(dir.read("set.ini"), QByteArray("[options]\r\nshowVBR=1\r\nmusicInCat=0\r\n"));
}

TEST(SettingsFile, ObjectsOnOneFileSeeEachOthersWrites) {
    test::TempDir dir;
    SettingsFile first(dir.file("set.ini"));
    SettingsFile second(dir.file("set.ini"));
    first.writeText(u"save_dir", QStringLiteral("/tmp/"));
    EXPECT_EQ(second.readText(u"save_dir", QString()), QStringLiteral("/tmp/"));
}

// The parsed file is kept between reads; every way the file can change must still show.
TEST(SettingsFile, ReadsFollowEveryChangeOfTheFile) {
    test::TempDir dir;
    const QString path = dir.file("set.ini");
    // Put in place by rename, an hour old, so that only the stamp can tell a change.
    const auto age = [&path](const char* bytes) {
        QFile out(path + QStringLiteral(".new"));
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.close();
        const timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(out.fileName()).constData(), old, 0);
        ::rename(QFile::encodeName(out.fileName()).constData(),
                 QFile::encodeName(path).constData());
    };
    SettingsFile settings(path);
    EXPECT_EQ(settings.readText(u"key", QStringLiteral("d")), QStringLiteral("d"));

    dir.write("set.ini", "[options]\nkey=1\n");
    EXPECT_EQ(settings.readText(u"key", QString()), QStringLiteral("1")) << "file appeared";
    dir.write("set.ini", "[options]\nkey=2\n");
    EXPECT_EQ(settings.readText(u"key", QString()), QStringLiteral("2"))
        << "rewritten in place within the same clock tick";

    age("[options]\nkey=3\n");
    EXPECT_EQ(settings.readText(u"key", QString()), QStringLiteral("3")) << "settled file";
    age("[options]\nkey=4\n");
    EXPECT_EQ(settings.readText(u"key", QString()), QStringLiteral("4"))
        << "replaced by a file of the same size and time";

    SettingsFile(path).writeText(u"key", QStringLiteral("5"));
    EXPECT_EQ(settings.readText(u"key", QString()), QStringLiteral("5")) << "another object wrote";
    settings.writeText(u"key", QStringLiteral("a✓"));
    EXPECT_EQ(settings.readText(u"key", QString()), QStringLiteral("a?"))
        << "the code page's stand-in, as the file holds it";

    QFile::remove(path);
    EXPECT_EQ(settings.readText(u"key", QStringLiteral("d")), QStringLiteral("d")) << "removed";
}

TEST(SettingsFile, RefusedWriteRaisesAndKeepsTheFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    test::TempDir dir;
    dir.write("ro/set.ini", "[options]\nkeep=1\n");
    QFile::setPermissions(dir.file("ro"), QFile::ReadOwner | QFile::ExeOwner);
    SettingsFile settings(dir.file("ro/set.ini"));
    try {
        settings.writeText(u"x", QStringLiteral("1"));
        FAIL() << "no error";
    } catch (const ReportedError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Unable to write to ") + dir.file("ro/set.ini"));
    }
    QFile::setPermissions(dir.file("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(dir.read("ro/set.ini"), QByteArray("[options]\nkeep=1\n"));
}

TEST(SettingsFile, WriteOntoAFolderOrIntoAMissingFolderRaises) {
    test::TempDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("set.ini"));
    SettingsFile onFolder(dir.file("set.ini"));
    EXPECT_THROW(onFolder.writeText(u"x", QStringLiteral("1")), ReportedError);
    SettingsFile inMissing(dir.file("missing/set.ini"));
    EXPECT_THROW(inMissing.writeText(u"x", QStringLiteral("1")), ReportedError);
}

TEST(SettingsFile, ReadOnlyFileRefusesWrites) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    test::TempDir dir;
    dir.write("set.ini", "[options]\nkeep=1\n");
    QFile::setPermissions(dir.file("set.ini"), QFile::ReadOwner);
    SettingsFile settings(dir.file("set.ini"));
    EXPECT_THROW(settings.writeText(u"x", QStringLiteral("1")), ReportedError);
    EXPECT_EQ(dir.read("set.ini"), QByteArray("[options]\nkeep=1\n"));
}

TEST(SettingsFile, QuotedSeparators) {
    struct Case {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, "  \\  "},
        {"separator_G_A=\"  \\  \"", "  \\  "},
        {"separator_G_A=  \\  ", "\\"},
        {"separator_G_A=\" - \"", " - "},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        dir.write("set.ini", std::string("[options]\n") + (c.line ? c.line : "") + "\n");
        SettingsFile settings(dir.file("set.ini"));
        EXPECT_EQ(Settings(settings).groupAlbumSeparator(), QString::fromUtf8(c.expected))
            << (c.line ? c.line : "absent");
    }
    test::TempDir dir;
    SettingsFile settings(dir.file("set.ini"));
    EXPECT_EQ(Settings(settings).txtSeparator(), QStringLiteral(" | "));
    // The base commands read the key unquoted: an absent key yields the default trimmed.
    EXPECT_EQ(Settings(settings).groupAlbumSeparatorForBases(), QStringLiteral("  \\"));

    EXPECT_EQ(quoteSeparator(QStringLiteral(" - ")), QStringLiteral("\" - \""));
    EXPECT_EQ(quoteSeparator(QStringLiteral("\"x\"")), QStringLiteral("\"x\""));
    EXPECT_EQ(quoteSeparator(QStringLiteral("\"x")), QStringLiteral("\"x\""));
    EXPECT_EQ(quoteSeparator(QString()), QStringLiteral("\"\""));
}
