#include "settings/ProgramFolder.h"

#include "ScopedEnvironment.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace korvane {
namespace {

TEST(ProgramFolder, PortableKeepsEverythingInOneFolder) {
    const ProgramFolder folder(QStringLiteral("/opt/korvane/"));
    EXPECT_EQ(folder.dir(), QStringLiteral("/opt/korvane"));
    EXPECT_EQ(folder.settingsPath(), QStringLiteral("/opt/korvane/set.ini"));
    EXPECT_EQ(folder.file(QStringLiteral("genrebd.txt")),
              QStringLiteral("/opt/korvane/genrebd.txt"));
    EXPECT_EQ(folder.dirWithSeparator(), QStringLiteral("/opt/korvane/"));
}

TEST(ProgramFolder, InstalledSplitsSettingsFromData) {
    const ProgramFolder folder = ProgramFolder::installed(
        {QStringLiteral("/home/u/.config"), QStringLiteral("/home/u/.local/share")});
    EXPECT_EQ(folder.settingsPath(), QStringLiteral("/home/u/.config/korvane/set.ini"));
    EXPECT_EQ(folder.file(QStringLiteral("mp3blank.htm")),
              QStringLiteral("/home/u/.local/share/korvane/mp3blank.htm"));
    EXPECT_EQ(folder.dirWithSeparator(), QStringLiteral("/home/u/.local/share/korvane/"));
}

TEST(ProgramFolder, UserFoldersFollowTheXdgVariables) {
    struct Case {
        const char* what;
        QString config, data;
        QString expectedConfig, expectedData;
    };
    const QString home = QStringLiteral("/home/u");
    const std::vector<Case> cases = {
        {"unset: under the home folder", {}, {}, "/home/u/.config", "/home/u/.local/share"},
        {"absolute paths are taken", "/cfg", "/data", "/cfg", "/data"},
        {"relative paths are ignored", "cfg", "./data", "/home/u/.config", "/home/u/.local/share"},
        {"each on its own", "/cfg", {}, "/cfg", "/home/u/.local/share"},
    };
    for (const Case& c : cases) {
        const UserFolders user = UserFolders::fromVariables(home, c.config, c.data);
        EXPECT_EQ(user.config, c.expectedConfig) << c.what;
        EXPECT_EQ(user.data, c.expectedData) << c.what;
    }
}

// An installation tree: PREFIX/bin for the executables, PREFIX/share/korvane for the starters.
struct Installation {
    test::TempDir prefix;

    Installation() {
        QDir(prefix.path()).mkpath(QStringLiteral("bin"));
        prefix.write(QStringLiteral("share/korvane/genrebd.txt"), "kino=Rock\r\n");
        prefix.write(QStringLiteral("share/korvane/countrybd.txt"), "kino=USSR\r\n");
        prefix.write(QStringLiteral("share/korvane/mp3blank.htm"), "<p>##TABLE##</p>");
    }
    QString bin() const { return prefix.file(QStringLiteral("bin")); }
    QString starters() const { return prefix.file(QStringLiteral("share/korvane")); }
};

TEST(ProgramFolder, InstalledWhenTheFolderCannotBeWrittenOrSitsInAnInstallation) {
    Installation installed;
    test::TempDir build; // build/bin, nothing beside it
    QDir(build.path()).mkpath(QStringLiteral("bin"));
    test::TempDir odd; // odd/bin with a file named share/korvane beside it
    odd.write(QStringLiteral("share/korvane"), "a file, not the starters' folder");
    QDir(odd.path()).mkpath(QStringLiteral("bin"));
    const QString buildBin = build.file(QStringLiteral("bin"));
    struct Case {
        const char* what;
        QString executableDir;
        bool writable;
        std::optional<QString> starters;
    };
    const std::vector<Case> cases = {
        {"a build folder: portable", buildBin, true, std::nullopt},
        {"a read-only copy: its own files are the starters", buildBin, false, buildBin},
        {"an installation that can be written (root, ~/.local)", installed.bin(), true,
         installed.starters()},
        {"an installation that cannot be written (/usr/bin)", installed.bin(), false,
         installed.starters()},
        {"share/korvane that is no folder", odd.file(QStringLiteral("bin")), true, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(installedStarterFolder(c.executableDir, c.writable), c.starters) << c.what;
}

TEST(ProgramFolder, StarterFilesAreCopiedOnlyWhereTheUserHasNone) {
    Installation installed;
    installed.prefix.write(QStringLiteral("share/korvane/videoblank.htm"), "<p>video</p>");
    installed.prefix.write(QStringLiteral("share/korvane/more/inner.txt"), "not a starter file");
    // Installed files are read-only to the user; the copies must be editable.
    QFile::setPermissions(installed.starters() + QStringLiteral("/genrebd.txt"),
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    test::TempDir user;
    user.write(QStringLiteral("mp3blank.htm"), "<p>my own page ##TABLE##</p>");
    QFile::link(QStringLiteral("/nonexistent-korvane-base"),
                user.file(QStringLiteral("countrybd.txt")));

    copyMissingStarterFiles(installed.starters(), user.path());

    EXPECT_EQ(user.read(QStringLiteral("genrebd.txt")), "kino=Rock\r\n");
    EXPECT_TRUE(QFile::permissions(user.file(QStringLiteral("genrebd.txt"))) &
                QFileDevice::WriteOwner);
    EXPECT_EQ(user.read(QStringLiteral("videoblank.htm")), "<p>video</p>");
    EXPECT_EQ(user.read(QStringLiteral("mp3blank.htm")), "<p>my own page ##TABLE##</p>")
        << "the user's own copy stays";
    EXPECT_EQ(QFileInfo(user.file(QStringLiteral("countrybd.txt"))).symLinkTarget(),
              QStringLiteral("/nonexistent-korvane-base"))
        << "a link the user left stays";
    EXPECT_FALSE(QFileInfo::exists(user.file(QStringLiteral("more"))));
}

TEST(ProgramFolder, OfAnInstalledExecutableUsesTheUsersFoldersAndFillsThemOnce) {
    Installation installed;
    test::TempDir user;
    const test::ScopedEnvironment environment{
        {"XDG_CONFIG_HOME", user.file(QStringLiteral("cfg")).toUtf8()},
        {"XDG_DATA_HOME", user.file(QStringLiteral("data")).toUtf8()}};

    const ProgramFolder first = ProgramFolder::ofExecutable(installed.bin());
    EXPECT_EQ(first.settingsPath(), user.file(QStringLiteral("cfg/korvane/set.ini")));
    EXPECT_EQ(first.dir(), user.file(QStringLiteral("data/korvane")));
    EXPECT_TRUE(QFileInfo(first.settingsDir()).isDir()) << "ready for the first set.ini write";
    EXPECT_EQ(user.read(QStringLiteral("data/korvane/genrebd.txt")), "kino=Rock\r\n");
    EXPECT_EQ(first.shippedFile(QStringLiteral("manual/ru.html")),
              installed.starters() + QStringLiteral("/manual/ru.html"))
        << "the manual is read where it is installed";

    user.write(QStringLiteral("data/korvane/genrebd.txt"), "kino=Post-punk\r\n");
    QFile::remove(user.file(QStringLiteral("data/korvane/countrybd.txt")));
    const ProgramFolder second = ProgramFolder::ofExecutable(installed.bin());
    EXPECT_EQ(second.dir(), first.dir());
    EXPECT_EQ(user.read(QStringLiteral("data/korvane/genrebd.txt")), "kino=Post-punk\r\n");
    EXPECT_EQ(user.read(QStringLiteral("data/korvane/countrybd.txt")), "kino=USSR\r\n")
        << "a deleted file comes back as the starter";
}

TEST(ProgramFolder, OfAnInstalledExecutableDefaultsToTheHomeFolder) {
    Installation installed;
    test::TempDir home;
    const test::ScopedEnvironment environment{{"HOME", home.path().toUtf8()},
                                              {"XDG_CONFIG_HOME", QByteArray()},
                                              {"XDG_DATA_HOME", QByteArray()}};
    const ProgramFolder folder = ProgramFolder::ofExecutable(installed.bin());
    EXPECT_EQ(folder.settingsPath(), home.file(QStringLiteral(".config/korvane/set.ini")));
    EXPECT_EQ(folder.dir(), home.file(QStringLiteral(".local/share/korvane")));
    EXPECT_EQ(home.read(QStringLiteral(".local/share/korvane/mp3blank.htm")), "<p>##TABLE##</p>");
}

// Cron jobs and `env -u HOME` run without HOME: the home comes from the password database, never
// the root folder.
TEST(ProgramFolder, WithoutHomeTheHomeComesFromThePasswordDatabase) {
    const passwd* entry = ::getpwuid(::getuid());
    if (entry == nullptr || entry->pw_dir == nullptr || entry->pw_dir[0] != '/')
        GTEST_SKIP() << "no home in the password database";
    const QString home = QFile::decodeName(entry->pw_dir);
    for (const QByteArray& variable : {QByteArray(), QByteArray(""), QByteArray("relative")}) {
        SCOPED_TRACE(variable.isNull() ? "unset" : variable.constData());
        const test::ScopedEnvironment environment{
            {"HOME", variable}, {"XDG_CONFIG_HOME", QByteArray()}, {"XDG_DATA_HOME", QByteArray()}};
        EXPECT_EQ(userHome(), home);
        EXPECT_EQ(UserFolders::fromEnvironment().config, home + QStringLiteral("/.config"));
        EXPECT_EQ(defaultSaveDir(), withTrailingSeparator(home));
    }
}

TEST(ProgramFolder, OfAWritableFolderStaysBesideTheProgram) {
    test::TempDir build;
    QDir(build.path()).mkpath(QStringLiteral("bin"));
    const QString bin = build.file(QStringLiteral("bin"));
    test::TempDir user;
    const test::ScopedEnvironment environment{
        {"XDG_CONFIG_HOME", user.file(QStringLiteral("cfg")).toUtf8()},
        {"XDG_DATA_HOME", user.file(QStringLiteral("data")).toUtf8()}};
    const ProgramFolder folder = ProgramFolder::ofExecutable(bin);
    EXPECT_EQ(folder.settingsPath(), bin + QStringLiteral("/set.ini"));
    EXPECT_EQ(folder.dir(), bin);
    EXPECT_EQ(folder.shippedFile(QStringLiteral("manual/ru.html")),
              bin + QStringLiteral("/manual/ru.html"));
    EXPECT_TRUE(QDir(user.path()).isEmpty())
        << "a portable program leaves the user's folders alone";
}

// Root may write everywhere, so a folder without write permission only shows as such to others.
TEST(ProgramFolder, OfAFolderTheUserCannotWriteIsInstalled) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into a folder without write permission";
    test::TempDir copy;
    const QString bin =
        copy.write(QStringLiteral("bin/genrebd.txt"), "kino=Rock\r\n").section(u'/', 0, -2);
    test::TempDir user;
    const test::ScopedEnvironment environment{
        {"XDG_CONFIG_HOME", user.file(QStringLiteral("cfg")).toUtf8()},
        {"XDG_DATA_HOME", user.file(QStringLiteral("data")).toUtf8()}};
    const QFileDevice::Permissions writable = QFile::permissions(bin);
    QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const ProgramFolder folder = ProgramFolder::ofExecutable(bin);
    QFile::setPermissions(bin, writable);
    EXPECT_EQ(folder.settingsPath(), user.file(QStringLiteral("cfg/korvane/set.ini")));
    EXPECT_EQ(user.read(QStringLiteral("data/korvane/genrebd.txt")), "kino=Rock\r\n");
}

} // namespace
} // namespace korvane
