// Files made by real encoders at test time: the WMA and Ogg Vorbis readers must agree with what
// ffprobe states about them. Skipped when a tool is missing.
#include "tags/OggVorbisReader.h"
#include "tags/WmaReader.h"
#include "text/Cp1251.h"

#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace korvane::tags;
namespace fs = std::filesystem;

using korvane::test::haveTool;

namespace {

// Runs a shell command and returns its standard output; fails the test on a non-zero exit.
std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return out;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, got);
    EXPECT_EQ(::pclose(pipe), 0) << command;
    return out;
}

// What ffprobe states, by its flat keys ("streams.stream.0.bit_rate", "format.tags.genre").
std::map<std::string, std::string> probe(const fs::path& file) {
    std::istringstream lines(run("ffprobe -v error -show_entries "
                                 "stream=bit_rate,sample_rate,channels:format=bit_rate,duration:"
                                 "format_tags:stream_tags -of flat '" +
                                 file.string() + "'"));
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        values[line.substr(0, equals)] = value;
    }
    return values;
}

class EncodedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"ffmpeg", "ffprobe"}) {
            if (!haveTool(tool))
                GTEST_SKIP() << tool << " is not installed";
        }
        m_dir = fs::temp_directory_path() /
                ("korvane-encoded-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    fs::path m_dir;
};

} // namespace

TEST_F(EncodedFiles, WmaFromFfmpeg) {
    for (const char* rate : {"64k", "128k"}) {
        SCOPED_TRACE(rate);
        const fs::path file = m_dir / (std::string(rate) + ".wma");
        // ASF keeps the year as WM/Year; ffmpeg writes other keys under their own names.
        run(std::string("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=5:"
                        "sample_rate=44100 -ac 2 -c:a wmav2 -b:a ") +
            rate +
            " -metadata genre=Rock -metadata WM/Year=2001 -metadata artist='Кино' "
            "-metadata title=Song '" +
            file.string() + "'");
        auto stated = probe(file);

        WmaReader wma;
        ASSERT_TRUE(wma.load(file));
        ASSERT_TRUE(wma.valid);
        EXPECT_EQ(wma.bitRate, std::stoi(stated["streams.stream.0.bit_rate"]) / 1000);
        EXPECT_EQ(wma.sampleRate, std::stoi(stated["streams.stream.0.sample_rate"]));
        EXPECT_EQ(wma.channels, std::stoi(stated["streams.stream.0.channels"]));
        EXPECT_EQ(wma.genre, stated["format.tags.genre"]);
        EXPECT_EQ(wma.year, stated["format.tags.WM_Year"]);
        EXPECT_EQ(wma.artist, stated["format.tags.artist"]);
        EXPECT_EQ(wma.title, "Song");
        EXPECT_EQ(wma.genre, "Rock");
        EXPECT_EQ(wma.year, "2001");
    }
}

TEST_F(EncodedFiles, WmaDateKeyIsNotTheYear) {
    // `-metadata date=` makes ffmpeg write a descriptor named "date", which is none of the
    // names a WMA year is read from.
    const fs::path file = m_dir / "date.wma";
    run("ffmpeg -v error -y -f lavfi -i sine=duration=1 -c:a wmav2 -metadata date=2001 "
        "-metadata genre=Rock '" +
        file.string() + "'");
    WmaReader wma;
    ASSERT_TRUE(wma.load(file));
    EXPECT_EQ(wma.genre, "Rock");
    EXPECT_EQ(wma.year, "");
}

TEST_F(EncodedFiles, OggFromOggenc) {
    if (!haveTool("oggenc"))
        GTEST_SKIP() << "oggenc is not installed";
    const fs::path wav = m_dir / "in.wav";
    run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=8:sample_rate=44100 -ac 2 "
        "-fflags +bitexact '" +
        wav.string() + "'");
    for (const char* nominal : {"96", "160"}) {
        SCOPED_TRACE(nominal);
        const fs::path file = m_dir / (std::string(nominal) + ".ogg");
        // oggenc converts its arguments from the locale's character set.
        run(std::string("LC_ALL=C.UTF-8 oggenc -Q -b ") + nominal +
            " -G Rock -d 2001 -a 'Кино' -t Song -N 3/12 -c 'COMMENT=Live' -o '" + file.string() +
            "' '" + wav.string() + "'");
        auto stated = probe(file);

        OggVorbisReader ogg;
        ASSERT_TRUE(ogg.load(file));
        EXPECT_EQ(ogg.genre, stated["streams.stream.0.tags.genre"]);
        EXPECT_EQ(ogg.date, stated["streams.stream.0.tags.date"]);
        EXPECT_EQ(ogg.artist, stated["streams.stream.0.tags.artist"]);
        EXPECT_EQ(ogg.artist, "Кино");
        EXPECT_EQ(ogg.genre, "Rock");
        EXPECT_EQ(ogg.date, "2001");
        EXPECT_EQ(ogg.title, "Song");
        EXPECT_EQ(ogg.comment, "Live");
        EXPECT_EQ(ogg.track, 3);
        EXPECT_EQ(ogg.nominalBitRate, std::stoi(nominal));
        EXPECT_EQ(ogg.sampleRate, std::stoi(stated["streams.stream.0.sample_rate"]));
        EXPECT_EQ(ogg.channels, std::stoi(stated["streams.stream.0.channels"]));
        EXPECT_NEAR(ogg.duration(), std::stod(stated["format.duration"]), 0.001);
        // Both are the whole file's bits over its duration.
        EXPECT_NEAR(ogg.bitRate(), std::stod(stated["format.bit_rate"]) / 1000, 1.0);
        EXPECT_FALSE(ogg.vendor.empty());
    }
}
