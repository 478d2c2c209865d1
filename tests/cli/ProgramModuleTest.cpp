#include "cli/Cli.h"

#include "TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

// A module that is missing or damaged in the program's folder: the real korvane-cli, copied with
// its modules into a folder of its own, reports it once and stores nothing.
namespace korvane::cli {
namespace {

enum class Damage { Missing, Truncated, NotALibrary };

struct Case {
    const char* name;
    const char* module;
    Damage damage;
    QStringList command; // ROOT and OUT stand for the collection and a file in it
    std::string message;
};

TEST(ProgramModule, AMissingOrDamagedModuleIsOneClearError) {
    const std::string probe = "korvane-cli: the module korvane_probe.so cannot be loaded: ";
    const std::vector<Case> cases{
        {"no probe module",
         "korvane_probe.so",
         Damage::Missing,
         {"video", "ROOT", "--store"},
         probe + "not found in "},
        {"a truncated probe module",
         "korvane_probe.so",
         Damage::Truncated,
         {"video", "ROOT", "--store", "--print"},
         probe},
        {"a probe module that is text",
         "korvane_probe.so",
         Damage::NotALibrary,
         {"video", "ROOT", "--store"},
         probe},
        {"a truncated workbook module",
         "korvane_xlsx.so",
         Damage::Truncated,
         {"music", "ROOT", "--xlsx", "OUT"},
         "korvane-cli: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir bin;
        test::TempDir root;
        root.write(QStringLiteral("Group/Album/clip.avi"), std::string(4096, 'x'));
        // The music scan lists a folder from 1 MB on.
        QFile(root.write(QStringLiteral("Group/Album/tracks.bin"), "x")).resize(20 << 20);
        for (const char* name : {"korvane-cli", "korvane_probe.so", "korvane_xlsx.so"}) {
            const QString target = bin.file(QLatin1String(name));
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/") + QLatin1String(name), target));
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
        }
        const QString module = bin.file(QLatin1String(c.module));
        if (c.damage == Damage::Missing) {
            ASSERT_TRUE(QFile::remove(module));
        } else if (c.damage == Damage::Truncated) {
            QFile file(module);
            ASSERT_TRUE(file.resize(file.size() / 2));
        } else {
            bin.write(QLatin1String(c.module), "not a library\n");
        }
        QStringList args = c.command;
        args.replaceInStrings(QStringLiteral("ROOT"), root.path());
        args.replaceInStrings(QStringLiteral("OUT"), root.file(QStringLiteral("book.xlsx")));
        QProcess cli;
        cli.start(bin.file(QStringLiteral("korvane-cli")), args);
        ASSERT_TRUE(cli.waitForFinished(60000));
        ASSERT_EQ(cli.exitStatus(), QProcess::NormalExit) << "killed by signal";
        EXPECT_EQ(cli.exitCode(), kExitFailure);
        const std::string err = cli.readAllStandardError().toStdString();
        EXPECT_EQ(err.rfind(c.message, 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(cli.readAllStandardOutput(), QByteArray());
        EXPECT_FALSE(QFile::exists(bin.file(QStringLiteral("korvane.db"))));
        EXPECT_FALSE(QFile::exists(root.file(QStringLiteral("book.xlsx"))));
    }
}

} // namespace
} // namespace korvane::cli
