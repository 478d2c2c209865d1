#include "tags/FlacReader.h"

#include "FlacOpusFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace korvane::tags;
using namespace korvane::tags::fixtures;

namespace {

FlacReader load(const std::string& bytes, bool expected = true) {
    MemorySource source(bytes);
    FlacReader flac;
    EXPECT_EQ(flac.load(source).isRead(), expected);
    return flac;
}

const std::string kInfo = streamInfo(44100, 2, 16, 441000);

} // namespace

TEST(FlacReader, StreamInfo) {
    struct Case {
        const char* name;
        std::string info;
        std::int32_t sampleRate;
        std::int32_t channels;
        std::int32_t bits;
        std::int64_t samples;
        double seconds;
    };
    const Case cases[] = {
        {"CD audio", kInfo, 44100, 2, 16, 441000, 10.0},
        {"mono 8 bits", streamInfo(8000, 1, 8, 4000), 8000, 1, 8, 4000, 0.5},
        {"8 channels, 24 bits, 192 kHz", streamInfo(192000, 8, 24, 96000), 192000, 8, 24, 96000,
         0.5},
        {"largest values", streamInfo(0xFFFFF, 8, 32, 0xFFFFFFFFF), 0xFFFFF, 8, 32, 0xFFFFFFFFF,
         0xFFFFFFFFF / double{0xFFFFF}},
        {"total samples unknown", streamInfo(44100, 2, 16, 0), 44100, 2, 16, 0, 0.0},
        {"sample rate 0", streamInfo(0, 2, 16, 441000), 0, 2, 16, 441000, 0.0},
        {"longer block than 34 bytes", kInfo + "more", 44100, 2, 16, 441000, 10.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FlacReader flac = load(flacFile({{FlacStreamInfo, c.info}}));
        EXPECT_EQ(flac.properties.sampleRate, c.sampleRate);
        EXPECT_EQ(flac.properties.channels, c.channels);
        EXPECT_EQ(flac.bitsPerSample, c.bits);
        EXPECT_EQ(flac.totalSamples, c.samples);
        EXPECT_DOUBLE_EQ(flac.properties.durationSeconds, c.seconds);
    }
}

TEST(FlacReader, TagsAndAudioBytes) {
    const std::string comment = vorbisComment(
        "reference libFLAC 1.4.2", {"ARTIST=\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", "ALBUM=Disc",
                                    "DATE=2001-05-03", "GENRE=Rock", "DESCRIPTION=Live"});
    const std::string picture(300'000, 'P');
    struct Case {
        const char* name;
        std::string bytes;
        std::int64_t id3v2Size;
    };
    const Case cases[] = {
        {"comment after STREAMINFO",
         flacFile({{FlacStreamInfo, kInfo}, {FlacVorbisComment, comment}}), 0},
        {"picture, padding and an unknown block around it",
         flacFile({{FlacStreamInfo, kInfo},
                   {FlacPicture, picture},
                   {FlacVorbisComment, comment},
                   {FlacPadding, std::string(8192, '\0')},
                   {100, "reserved type"}}),
         0},
        {"ID3v2 tag in front",
         id3v2Tag(2000) + flacFile({{FlacStreamInfo, kInfo}, {FlacVorbisComment, comment}}), 2010},
        {"a second comment block is not read",
         flacFile({{FlacStreamInfo, kInfo},
                   {FlacVorbisComment, comment},
                   {FlacVorbisComment, vorbisComment("v", {"GENRE=Jazz"})}}),
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FlacReader flac = load(c.bytes);
        const AudioProperties& p = flac.properties;
        EXPECT_EQ(p.artist, "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE");
        EXPECT_EQ(p.album, "Disc");
        EXPECT_EQ(p.year, "2001");
        EXPECT_EQ(p.genre, "Rock");
        EXPECT_EQ(p.comment, "Live");
        EXPECT_EQ(flac.id3v2Size, c.id3v2Size);
        // The 1,000 frame bytes over 10 s: 0.8 kbit/s, rounded to 1.
        EXPECT_EQ(p.audioBytes, 1000);
        EXPECT_EQ(p.bitRate(), 1);
    }
}

TEST(FlacReader, NothingRead) {
    std::string noLastFlag = flacFile({{FlacStreamInfo, kInfo}});
    noLastFlag[4] = '\0';
    std::string tooLong = flacFile({{FlacStreamInfo, kInfo}}, "");
    tooLong[7] = 35;
    std::string manyBlocks = "fLaC" + flacBlock(FlacStreamInfo, kInfo);
    for (int i = 0; i < 2000; ++i)
        manyBlocks += flacBlock(FlacPadding, "");
    manyBlocks += flacBlock(FlacPadding, "", true);
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"no fLaC", "fLaX" + flacFile({{FlacStreamInfo, kInfo}}).substr(4)},
        {"Ogg FLAC is not native FLAC", "OggS" + flacFile({{FlacStreamInfo, kInfo}})},
        {"only the marker", "fLaC"},
        {"cut inside a block header", flacFile({{FlacStreamInfo, kInfo}}, "").substr(0, 6)},
        {"STREAMINFO not first", flacFile({{FlacPadding, "x"}, {FlacStreamInfo, kInfo}})},
        {"second STREAMINFO", flacFile({{FlacStreamInfo, kInfo}, {FlacStreamInfo, kInfo}})},
        {"STREAMINFO too short", flacFile({{FlacStreamInfo, kInfo.substr(0, 20)}})},
        {"block length past the end", tooLong},
        {"comment block length past the end",
         flacFile({{FlacStreamInfo, kInfo}, {FlacVorbisComment, "v"}}, "").substr(0, 45)},
        {"no last-block flag: frames read as a block", noLastFlag},
        {"block type 127", flacFile({{FlacStreamInfo, kInfo}, {127, "x"}})},
        {"thousands of empty blocks", manyBlocks},
        {"ID3v2 tag only", id3v2Tag(50)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const std::string good = flacFile(
            {{FlacStreamInfo, kInfo}, {FlacVorbisComment, vorbisComment("v", {"GENRE=x"})}});
        MemorySource goodSource(good);
        FlacReader flac;
        ASSERT_TRUE(flac.load(goodSource));
        MemorySource source(bytes);
        EXPECT_FALSE(flac.load(source));
        EXPECT_EQ(flac.properties.genre, "");
        EXPECT_EQ(flac.properties.sampleRate, 0);
        EXPECT_EQ(flac.properties.audioBytes, 0);
        EXPECT_EQ(flac.properties.bitRate(), 0);
        EXPECT_EQ(flac.totalSamples, 0);
    }
}

TEST(FlacReader, HostileCommentBlocks) {
    // The block is inside the file; only its inner lengths lie. The tags before the lie stay.
    struct Case {
        const char* name;
        std::string comment;
        std::string genre;
    };
    const Case cases[] = {
        {"count 2^32-1",
         littleEndian(0, 4) + littleEndian(0xFFFFFFFF, 4) + littleEndian(10, 4) + "GENRE=Rock",
         "Rock"},
        {"item length past the block",
         littleEndian(0, 4) + littleEndian(2, 4) + littleEndian(10, 4) + "GENRE=Rock" +
             littleEndian(0xFFFFFFF0, 4) + "DATE=2001",
         "Rock"},
        {"vendor length past the block", littleEndian(0xFFFFFFFF, 4) + "GENRE=Rock", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FlacReader flac =
            load(flacFile({{FlacStreamInfo, kInfo}, {FlacVorbisComment, c.comment}}));
        EXPECT_EQ(flac.properties.genre, c.genre);
        EXPECT_EQ(flac.properties.year, "");
        EXPECT_EQ(flac.properties.sampleRate, 44100);
    }
}

TEST(FlacReader, UnopenableFileGivesFalse) {
    FlacReader flac;
    EXPECT_FALSE(flac.load(std::filesystem::temp_directory_path() / "korvane-no-such.flac"));
    EXPECT_FALSE(flac.load(std::filesystem::temp_directory_path()));
}
