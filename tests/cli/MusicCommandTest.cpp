#include "cli/Cli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace korvane::cli {
namespace {

constexpr qint64 kMiB = 1024 * 1024;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// A program folder with its own set.ini and a collection beside it.
struct MusicFixture {
    QTemporaryDir programDir;
    QTemporaryDir collection;

    // A folder holding one sparse file of that size (no audio: the details stay "-").
    void album(const QString& relative, qint64 bytes) {
        const QString folder = collection.filePath(relative);
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/tracks.bin"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.resize(bytes);
    }
    void settings(const QByteArray& lines) {
        QFile file(programDir.filePath("set.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[options]\r\n" + lines);
    }
    QString root(const QString& relative = {}) const {
        return relative.isEmpty() ? collection.path() : collection.filePath(relative);
    }
    Outcome run(QStringList args) {
        args.prepend(QStringLiteral("music"));
        args.prepend(programDir.path());
        args.prepend(QStringLiteral("--dir"));
        std::ostringstream out, err;
        const int status = cli::run(args, QString(), out, err, false);
        return {status, out.str(), err.str()};
    }
};

} // namespace

TEST(MusicCommand, PrintsTheRowsAsTheWindowHoldsThem) {
    MusicFixture f;
    f.album("Rock & Co/2001 - Альбом [live] #1", 50 * kMiB);
    f.album("Group/Album/CD1", 4 * kMiB + kMiB / 2);
    f.album("Group/Small", kMiB);
    const Outcome o = f.run({f.root(), "--print"});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    EXPECT_EQ(o.out, "Group  \\  Album  \\  CD1\t4,5\t-\t-\t-\n"
                     "Rock & Co  \\  2001 - Альбом [live] #1\t50\t-\t-\t-\n");
    EXPECT_EQ(o.err, "") << "no progress line when stderr is no terminal";
}

TEST(MusicCommand, CategoriesFromSettingsAndOptionsOverrideThem) {
    MusicFixture f;
    f.album("Punk/GroupA/Album1", 10 * kMiB);
    f.album("Ska/GroupC", 10 * kMiB);
    f.settings("musicInCat=1\r\nmin_limit=5\r\nseparator_G_A=\" / \"\r\n");
    Outcome o = f.run({f.root(), "--print"});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    EXPECT_EQ(o.out, "Punk\t \t \t \t \nGroupA / Album1\t10\t-\t-\t-\n");

    o = f.run({f.root(), "--no-categories", "--groups-without-albums", "--print"});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    EXPECT_EQ(o.out, "Punk / GroupA / Album1\t10\t-\t-\t-\n"
                     "Ska / GroupC\t10\t-\t-\t-\n");
}

TEST(MusicCommand, NeverWritesTheSettingsFile) {
    MusicFixture f;
    f.album("G/A", 10 * kMiB);
    f.settings("musicInCat=0\r\n");
    const QString ini = f.programDir.filePath("set.ini");
    const QDateTime written = QFileInfo(ini).lastModified();
    QFile in(ini);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray content = in.readAll();
    in.close();
    ASSERT_EQ(f.run({f.root(), "--categories", "--print"}).status, kExitOk);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), content);
    EXPECT_EQ(QFileInfo(ini).lastModified(), written);
    EXPECT_EQ(QDir(f.programDir.path()).entryList(QDir::Files), QStringList{"set.ini"});
}

// A set.ini that is there but cannot be read (here a FIFO) is named in one line on stderr; the
// scan runs with the defaults.
TEST(MusicCommand, SaysOnceThatTheSettingsFileCannotBeRead) {
    MusicFixture f;
    f.album("G/A", 10 * kMiB);
    ASSERT_EQ(::mkfifo(QFile::encodeName(f.programDir.filePath("set.ini")).constData(), 0600), 0);
    const Outcome o = f.run({f.root(), "--print"});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    EXPECT_EQ(o.out, "G  \\  A\t10\t-\t-\t-\n");
    const QString err = QString::fromStdString(o.err);
    EXPECT_TRUE(err.startsWith(QStringLiteral("korvane-cli: Файл настроек \"") +
                               f.programDir.filePath("set.ini")))
        << o.err;
    EXPECT_TRUE(err.contains(QStringLiteral("Not a regular file"))) << o.err;
    EXPECT_EQ(err.count(u'\n'), 1) << o.err;
}

TEST(MusicCommand, EachRootInTurnAndActionsInTheirOrder) {
    MusicFixture f;
    f.album("one/B/Album", 30 * kMiB);
    f.album("one/Z/Album", 100 * kMiB);
    f.album("two/A/Album", 4 * kMiB);
    const Outcome o = f.run({f.root("one"), f.root("two"), "--print", "--sort", "1", "--print",
                             "--sort", "0", "--print"});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    const std::string b = "B  \\  Album\t30\t-\t-\t-\n";
    const std::string z = "Z  \\  Album\t100\t-\t-\t-\n";
    const std::string a = "A  \\  Album\t4\t-\t-\t-\n";
    EXPECT_EQ(o.out, b + z + a       // scan order: root by root
                         + z + b + a // by size as text: "100" < "30" < "4"
                         + a + b + z);
}

TEST(MusicCommand, FailuresAndUsageErrors) {
    MusicFixture f;
    f.album("G/A", 10 * kMiB);
    QFile file(f.collection.filePath("plain.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    struct Case {
        QStringList args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{f.root("missing"), "--print"}, kExitFailure, "no such folder"},
        {{f.root(), f.root("missing")}, kExitFailure, "no such folder"},
        {{f.collection.filePath("plain.txt")}, kExitFailure, "not a folder"},
        {{"--print"}, kExitUsage, "at least one ROOT"},
        {{f.root(), "--sort"}, kExitUsage, "--sort needs COLUMN"},
        {{f.root(), "--sort", "5"}, kExitUsage, "from 0 to 4"},
        {{f.root(), "--sort", "x"}, kExitUsage, "from 0 to 4"},
        {{f.root(), "--frobnicate"}, kExitUsage, "unknown music option"},
    };
    for (const Case& c : cases) {
        const Outcome o = f.run(c.args);
        EXPECT_EQ(o.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "") << "nothing is printed before the words are checked";
    }
}

TEST(MusicCommand, EmptyRootPrintsNothing) {
    MusicFixture f;
    const Outcome o = f.run({f.root(), "--print"});
    EXPECT_EQ(o.status, kExitOk);
    EXPECT_EQ(o.out, "");
}

} // namespace korvane::cli
