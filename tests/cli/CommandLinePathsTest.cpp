// Paths on the command line reach the file system as the bytes given: a Windows-1251 name from
// an old archive is no UTF-8, and must not be reported as missing.
#include "cli/Cli.h"
#include "files/FileName.h"

#include "../tags/TagBytes.h"
#include "CliRun.h"
#include "ToolRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace korvane::cli {
namespace {

namespace b = tags::test;
namespace fs = std::filesystem;

// "Кино" in Windows-1251: four bytes that are no UTF-8.
const std::string kName = b::win1251("Кино");

std::string sampleMp3() {
    return b::id3v2Tag(3, b::frameV3("TPE1", b::bytes({0}) + "Artist") +
                              b::frameV3("TALB", b::bytes({0}) + "Album")) +
           b::mpegFrames(12);
}

// <name>/Group/Album/01.mp3 and <name>.mp3, the names in Windows-1251.
struct Collection {
    QTemporaryDir dir;
    fs::path root() const { return fs::path(dir.path().toStdString()) / kName; }
    fs::path file() const { return fs::path(dir.path().toStdString()) / (kName + ".mp3"); }
    Collection() {
        fs::create_directories(root() / "Group" / "Album");
        std::ofstream(root() / "Group" / "Album" / "01.mp3", std::ios::binary) << sampleMp3();
        // Past the scan's default limit of 3 MiB, so that the album gets a row.
        fs::resize_file(root() / "Group" / "Album" / "01.mp3", 4 << 20);
        std::ofstream(file(), std::ios::binary) << sampleMp3();
    }
};

QString carried(const fs::path& path) {
    return files::decodeFileName(path.string());
}

TEST(CommandLinePaths, NamesThatAreNoUtf8) {
    const Collection collection;
    const CliOutcome tags = runCli({"tags", carried(collection.file())});
    EXPECT_EQ(tags.status, 0) << tags.err;
    EXPECT_NE(tags.out.find("\"artist\": \"Artist\""), std::string::npos);

    const CliOutcome probe = runCli({"probe", carried(collection.file())});
    EXPECT_EQ(probe.status, 0) << probe.err;
    // The name as the user reads it: the bytes as Windows-1251.
    EXPECT_NE(probe.out.find("Кино.mp3"), std::string::npos);

    const CliOutcome music = runCli({"music", carried(collection.root()), "--print"});
    EXPECT_EQ(music.status, 0) << music.err;
    EXPECT_NE(music.out.find("\t128\t"), std::string::npos) << music.out;

    const CliOutcome video = runCli({"video", carried(collection.root())});
    EXPECT_EQ(video.status, 0) << video.err;

    // A name that does not exist is still reported, with its bytes.
    const CliOutcome missing = runCli({"tags", carried(collection.root() / "none.mp3")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no such file: " + (collection.root() / "none.mp3").string()),
              std::string::npos);
}

TEST(CommandLinePaths, TheProgramTakesArgumentsAsBytes) {
    const Collection collection;
    const std::string program = std::string(KORVANE_BIN_DIR) + "/korvane-cli";
    for (const char* command : {"tags", "probe"}) {
        SCOPED_TRACE(command);
        const test::ToolResult result =
            test::runTool(test::shellQuoted(program) + ' ' + command + ' ' +
                          test::shellQuoted(collection.file().string()) + " 2>&1");
        EXPECT_EQ(result.status, 0) << result.out;
    }
    const test::ToolResult music = test::runTool(test::shellQuoted(program) + " music " +
                                                 test::shellQuoted(collection.root().string()) +
                                                 " --artist-from-tags --print 2>&1");
    EXPECT_EQ(music.status, 0) << music.out;
    EXPECT_NE(music.out.find("Artist"), std::string::npos) << music.out;
}

} // namespace
} // namespace korvane::cli
