// Files made by real encoders at test time: the WMA and Ogg Vorbis readers must agree with what
// ffprobe states about them. Skipped when a tool is missing.
#include "tags/OggVorbisReader.h"
#include "tags/WmaReader.h"

#include "EncodedFiles.h"

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
using namespace korvane::tags::encoded;
namespace fs = std::filesystem;

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
        // oggenc puts the identification header on the first page and the comment and setup
        // headers on the second: the audio starts with the third page.
        const std::string bytes = readFile(file);
        const std::size_t third = bytes.find("OggS", bytes.find("OggS", 1) + 1);
        ASSERT_NE(third, std::string::npos);
        EXPECT_EQ(ogg.audioBytes, static_cast<std::int64_t>(bytes.size() - third));
        EXPECT_EQ(ogg.bitRate(), std::nearbyint((bytes.size() - third) /
                                                std::stod(stated["format.duration"]) / 125));
        EXPECT_FALSE(ogg.vendor.empty());
    }
}
