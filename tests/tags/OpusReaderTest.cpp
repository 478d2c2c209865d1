#include "tags/OpusReader.h"

#include "FlacOpusFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace korvane::tags;
using namespace korvane::tags::fixtures;

namespace {

OpusReader load(const std::string& bytes, bool expected = true) {
    MemorySource source(bytes);
    OpusReader opus;
    EXPECT_EQ(opus.load(source).isRead(), expected);
    return opus;
}

// OpusHead alone on the first page, OpusTags on the next (`segments` lacing values a page),
// then two audio pages of 1,000 bytes each, the last at `granule`.
std::string opusFile(const std::string& head, const std::string& tags, std::uint64_t granule,
                     std::size_t segments = 255) {
    const std::string audio = std::string(3, '\xFF') + '\xEB';
    return packetPages({head}, 255, 77) + packetPages({tags}, segments, 77) +
           rawPage(0, granule / 2, 77, audio, std::string(1000, 'a')) +
           rawPage(4, granule, 77, audio, std::string(1000, 'a'));
}

// The two audio pages: 27 + 4 lacing values + 1,000 bytes each.
constexpr std::int64_t kAudioBytes = 2 * (27 + 4 + 1000);

} // namespace

TEST(OpusReader, HeadAndDuration) {
    struct Case {
        const char* name;
        std::string head;
        std::uint64_t granule;
        std::int32_t channels;
        std::uint16_t preSkip;
        std::int32_t inputRate;
        double seconds;
    };
    const Case cases[] = {
        {"stereo from 44.1 kHz", opusHead(2, 312, 44100), 48312, 2, 312, 44100, 1.0},
        {"mono from 16 kHz", opusHead(1, 3840, 16000), 3840 + 96000, 1, 3840, 16000, 2.0},
        {"input rate unknown", opusHead(2, 312, 0), 24312, 2, 312, 0, 0.5},
        {"granule below the pre-skip", opusHead(2, 312, 48000), 100, 2, 312, 48000, 0.0},
        {"version 15 still reads", opusHead(2, 0, 48000, 15), 48000, 2, 0, 48000, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OpusReader opus = load(opusFile(c.head, opusTags("libopus", {}), c.granule));
        EXPECT_EQ(opus.properties.channels, c.channels);
        EXPECT_EQ(opus.properties.sampleRate, 48000);
        EXPECT_EQ(opus.preSkip, c.preSkip);
        EXPECT_EQ(opus.inputSampleRate, c.inputRate);
        EXPECT_DOUBLE_EQ(opus.properties.durationSeconds, c.seconds);
    }
}

TEST(OpusReader, TagsAndAudioBytes) {
    const std::vector<std::string> items = {"ARTIST=\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", "ALBUM=Disc",
                                            "DATE=2001", "GENRE=Rock", "COMMENT=Live"};
    std::vector<std::string> withCover = items;
    withCover.insert(withCover.begin() + 2, "METADATA_BLOCK_PICTURE=" + std::string(300'000, 'Q'));
    const std::pair<const char*, std::string> cases[] = {
        {"one page of tags", opusFile(opusHead(2, 312, 48000), opusTags("v", items), 48312)},
        {"a cover over many pages",
         opusFile(opusHead(2, 312, 48000), opusTags("v", withCover), 48312)},
        {"a cover over many small pages",
         opusFile(opusHead(2, 312, 48000), opusTags("v", withCover), 48312, 7)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const OpusReader opus = load(bytes);
        const AudioProperties& p = opus.properties;
        EXPECT_EQ(p.artist, "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE");
        EXPECT_EQ(p.album, "Disc");
        EXPECT_EQ(p.year, "2001");
        EXPECT_EQ(p.genre, "Rock");
        EXPECT_EQ(p.comment, "Live");
        // 2,062 bytes over 1 s, the headers' pages left out.
        EXPECT_EQ(p.audioBytes, kAudioBytes);
        EXPECT_EQ(p.bitRate(), 16);
    }
}

TEST(OpusReader, BrokenTags) {
    const std::string head = opusHead(2, 312, 48000);
    const std::string tags = opusTags("v", {"GENRE=Rock", "DATE=2001"});
    const std::string headPage = packetPages({head}, 255, 77);
    struct Case {
        const char* name;
        std::string bytes;
        std::string genre;
        std::string year;
    };
    const Case cases[] = {
        {"no OpusTags packet", headPage, "", ""},
        {"not OpusTags", opusFile(head, "OpusTagz" + tags.substr(8), 48312), "", ""},
        {"count 2^32-1",
         opusFile(head,
                  "OpusTags" + littleEndian(0, 4) + littleEndian(0xFFFFFFFF, 4) +
                      littleEndian(10, 4) + "GENRE=Rock",
                  48312),
         "Rock", ""},
        {"file ends inside OpusTags",
         (headPage + packetPages({tags}, 255, 77))
             .substr(0, headPage.size() + 28 + 8 + 4 + 1 + 4 + 4 + 10 + 3),
         "Rock", ""},
        {"lacing past the end", headPage + rawPage(0, 0, 77, "\xFF\xFF\x10", tags), "Rock", "2001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OpusReader opus = load(c.bytes);
        EXPECT_EQ(opus.properties.channels, 2);
        EXPECT_EQ(opus.properties.genre, c.genre);
        EXPECT_EQ(opus.properties.year, c.year);
        EXPECT_GE(opus.properties.audioBytes, 0);
    }
}

TEST(OpusReader, NothingRead) {
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"not Ogg", "RIFF" + std::string(100, '\0')},
        {"Ogg Vorbis", packetPages({std::string("\x01vorbis", 7) + std::string(23, '\0')})},
        {"OpusHead of version 16", packetPages({opusHead(2, 312, 48000, 16)})},
        {"OpusHead cut short", packetPages({opusHead(2, 312, 48000).substr(0, 12)})},
        {"first page's packet cut by the file end",
         packetPages({opusHead(2, 312, 48000)}).substr(0, 40)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const std::string good =
            opusFile(opusHead(2, 312, 48000), opusTags("v", {"GENRE=Rock"}), 48312);
        MemorySource goodSource(good);
        OpusReader opus;
        ASSERT_TRUE(opus.load(goodSource));
        MemorySource source(bytes);
        EXPECT_FALSE(opus.load(source));
        EXPECT_EQ(opus.properties.genre, "");
        EXPECT_EQ(opus.properties.channels, 0);
        EXPECT_EQ(opus.properties.audioBytes, 0);
        EXPECT_EQ(opus.properties.bitRate(), 0);
        EXPECT_EQ(opus.preSkip, 0);
    }
}

TEST(OpusReader, UnopenableFileGivesFalse) {
    OpusReader opus;
    EXPECT_FALSE(opus.load(std::filesystem::temp_directory_path() / "korvane-no-such.opus"));
}
