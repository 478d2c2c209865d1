#include "cli/Cli.h"

#include "ScopedEnvironment.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sstream>

// korvane-cli without --dir, installed: set.ini from the user's config folder, the bases from the
// user's data folder, filled from the installation's share/korvane.
namespace korvane::cli {
namespace {

constexpr qint64 kMiB = 1024 * 1024;

void album(const test::TempDir& collection, const QString& relative, qint64 bytes) {
    QDir().mkpath(collection.file(relative));
    QFile file(collection.file(relative + QStringLiteral("/tracks.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.resize(bytes);
}

TEST(InstalledProgram, ReadsTheUsersSettingsAndBases) {
    test::TempDir prefix;
    QDir(prefix.path()).mkpath(QStringLiteral("bin"));
    prefix.write(QStringLiteral("share/korvane/genrebd.txt"), "kino=Rock\r\n");
    test::TempDir user;
    user.write(QStringLiteral("cfg/korvane/set.ini"), "[options]\r\nmin_limit=10\r\n");
    const test::ScopedEnvironment environment{
        {"XDG_CONFIG_HOME", user.file(QStringLiteral("cfg")).toUtf8()},
        {"XDG_DATA_HOME", user.file(QStringLiteral("data")).toUtf8()}};
    test::TempDir collection;
    album(collection, QStringLiteral("Kino/Big"), 20 * kMiB);
    album(collection, QStringLiteral("Kino/Small"), 5 * kMiB); // below the user's min_limit

    std::ostringstream out, err;
    const int status = run({QStringLiteral("music"), collection.path(), QStringLiteral("--fill"),
                            QStringLiteral("genre:missing"), QStringLiteral("--print")},
                           prefix.file(QStringLiteral("bin")), out, err);
    ASSERT_EQ(status, kExitOk) << err.str();
    EXPECT_EQ(out.str(), "Kino  \\  Big\t20\t-\tRock\t-\n");
    EXPECT_EQ(user.read(QStringLiteral("data/korvane/genrebd.txt")), "kino=Rock\r\n");
    EXPECT_FALSE(QFile::exists(prefix.file(QStringLiteral("bin/set.ini"))));
}

} // namespace
} // namespace korvane::cli
