#include "cli/Cli.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    // A single disc folder folds into its album (on by default).
    EXPECT_EQ(o.out, "Group  \\  Album\t4,5\t-\t-\t-\n"
                     "Rock & Co  \\  2001 - Альбом [live] #1\t50\t-\t-\t-\n");
    // No progress line when stderr is no terminal; the folder left out as too small is counted.
    EXPECT_EQ(o.err, "пропущено маленьких папок: 1\n");
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

TEST(MusicCommand, DiscFoldersFoldAsTheSettingsAndOptionsSay) {
    MusicFixture f;
    f.album("G/A/CD1", 10 * kMiB);
    f.album("G/A/CD2", 12 * kMiB);
    const std::string folded = "G  \\  A [2CD]\t22\t-\t-\t-\n";
    const std::string discs = "G  \\  A  \\  CD1\t10\t-\t-\t-\n"
                              "G  \\  A  \\  CD2\t12\t-\t-\t-\n";
    struct Case {
        QByteArray settings;
        QStringList options;
        std::string expected;
    };
    const Case cases[] = {
        {"", {}, folded},
        {"", {"--no-fold-discs"}, discs},
        {"foldDiscs=0\r\n", {}, discs},
        {"foldDiscs=0\r\n", {"--fold-discs"}, folded},
    };
    for (const Case& c : cases) {
        f.settings(c.settings);
        const Outcome o = f.run(QStringList{f.root()} + c.options + QStringList{"--print"});
        ASSERT_EQ(o.status, kExitOk) << o.err;
        EXPECT_EQ(o.out, c.expected)
            << c.settings.toStdString() << c.options.join(' ').toStdString();
    }
    // The exports take the folded row as it stands.
    f.settings("");
    const Outcome csv = f.run({f.root(), "--csv", "-"});
    ASSERT_EQ(csv.status, kExitOk) << csv.err;
    EXPECT_NE(csv.out.find("A [2CD]"), std::string::npos) << csv.out;
}

TEST(MusicCommand, StatisticsAndDuplicatesAsJson) {
    MusicFixture f;
    f.album("Rock/Кино/1988 - Группа крови", 10 * kMiB);
    f.album("Кино/Группа крови", 20 * kMiB);
    f.album("Ramones/Ramones", 30 * kMiB);
    const Outcome o = f.run({f.root(), "--duplicates", "-"});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    const QJsonArray groups = QJsonDocument::fromJson(QByteArray::fromStdString(o.out))
                                  .object()
                                  .value("groups")
                                  .toArray();
    ASSERT_EQ(groups.size(), 1) << o.out;
    const QJsonArray rows = groups.at(0).toObject().value("rows").toArray();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(0).toObject().value("path").toString(),
              QStringLiteral("Rock/Кино/1988 - Группа крови"));
    EXPECT_EQ(rows.at(1).toObject().value("path").toString(), QStringLiteral("Кино/Группа крови"));

    const QString path = f.programDir.filePath("stats.json");
    const Outcome stats = f.run({f.root(), "--stats", path});
    ASSERT_EQ(stats.status, kExitOk) << stats.err;
    EXPECT_EQ(stats.out, "");
    EXPECT_EQ(stats.err, "пропущено маленьких папок: 1\nwritten: " + path.toStdString() + "\n");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(json.value("albums").toInt(), 3);
    EXPECT_EQ(json.value("groups").toInt(), 2);
    EXPECT_EQ(json.value("sizeMiB").toDouble(), 60);
}

TEST(MusicCommand, EmptyRootPrintsNothing) {
    MusicFixture f;
    const Outcome o = f.run({f.root(), "--print"});
    EXPECT_EQ(o.status, kExitOk);
    EXPECT_EQ(o.out, "");
}

} // namespace korvane::cli
