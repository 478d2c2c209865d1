// The APEv2 tag and the two formats that carry it, WavPack and Monkey's Audio, on byte-built
// files.
#include "ApeFixtures.h"
#include "TagBytes.h"
#include "tags/ApeTagReader.h"
#include "tags/MonkeysAudioReader.h"
#include "tags/WavPackReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korvane::tags;
using namespace korvane::tags::fixtures;
using korvane::tags::test::id3v1Tag;
using korvane::tags::test::id3v2Tag;
using korvane::tags::test::win1251;

namespace {

const std::string kAudio(300, '\x11');
const std::vector<ApeItem> kNames = {{"Artist", "Группа"},
                                     {"Album", "Альбом"},
                                     {"Year", "2003"},
                                     {"Genre", "Rock"},
                                     {"Comment", "Country: UK\r\nUSA"}};

struct TagCase {
    const char* name;
    std::string file;
    bool exists;
    std::string artist;
    std::string album;
    std::string year;
};

TEST(ApeTagReader, Cases) {
    const std::string tag = apeTag(kNames);
    const std::string id3v1 = id3v1Tag("t", "a", "b", "1999", "", 1);
    const std::string lyingCount =
        kAudio +
        apeHeaderOrFooter(2000, 32 + 20, 0xFFFFFFFF, 0).replace(0, 0, std::string(20, 'x'));
    const TagCase cases[] = {
        {"header and footer", kAudio + tag, true, "Группа", "Альбом", "2003"},
        {"ID3v1 after the tag", kAudio + tag + id3v1, true, "Группа", "Альбом", "2003"},
        {"footer only", kAudio + apeTag(kNames, 2000, false), true, "Группа", "Альбом", "2003"},
        {"version 1", kAudio + apeTag({{"ARTIST", "A"}, {"album", "B"}}, 1000), true, "A", "B", ""},
        {"keys in any case", kAudio + apeTag({{"aRtIsT", "A"}, {"ALBUM", "B"}}), true, "A", "B",
         ""},
        {"Windows-1251 texts", kAudio + apeTag({{"Artist", win1251("Кино")}}), true, "Кино", "",
         ""},
        {"the first of several values", kAudio + apeTag({{"Artist", std::string("A\0B", 3)}}), true,
         "A", "", ""},
        {"binary item skipped", kAudio + apeTag({{"Artist", "bin", 2}, {"Album", "B"}}), true, "",
         "B", ""},
        {"the first of two items", kAudio + apeTag({{"Album", "one"}, {"Album", "two"}}), true, "",
         "one", ""},
        {"date as FFmpeg writes it", kAudio + apeTag({{"date", "1988-01-05"}}), true, "", "",
         "1988-01-05"},
        {"year before date", kAudio + apeTag({{"Date", "1990"}, {"Year", "1988"}}), true, "", "",
         "1988"},
        {"album artist alone", kAudio + apeTag({{"Album Artist", "Кино"}, {"Album", "B"}}), true,
         "Кино", "B", ""},
        {"album artist without a blank", kAudio + apeTag({{"ALBUMARTIST", "A"}}), true, "A", "",
         ""},
        {"artist before album artist",
         kAudio + apeTag({{"Album Artist", "Various"}, {"Artist", "A"}}), true, "A", "", ""},
        {"no tag", kAudio, false, "", "", ""},
        {"no tag, ID3v1 only", kAudio + id3v1, false, "", "", ""},
        {"empty file", "", false, "", "", ""},
        {"footer alone, nothing before", apeTag({}, 2000, false), true, "", "", ""},
        {"item count lies", lyingCount, true, "", "", ""},
        {"tag size past the start", apeHeaderOrFooter(2000, 1000, 1, 0), false, "", "", ""},
        {"tag size below a footer", kAudio + apeHeaderOrFooter(2000, 8, 1, 0), false, "", "", ""},
        {"value size past the footer",
         kAudio + std::string(8, '\0') +
             apeHeaderOrFooter(2000, 40, 1, 0)
                 .replace(0, 0, le(0x7FFFFFF0, 4) + le(0, 4) + "Artist" + '\0' + "A"),
         true, "", "", ""},
    };
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySource source(c.file);
        ApeTagReader reader;
        EXPECT_EQ(reader.load(source).isRead(), c.exists);
        EXPECT_EQ(reader.exists, c.exists);
        EXPECT_EQ(reader.artist, c.artist);
        EXPECT_EQ(reader.album, c.album);
        EXPECT_EQ(reader.year, c.year);
    }
}

TEST(ApeTagReader, PlaceAndSize) {
    const std::string tag = apeTag(kNames);
    const std::string id3v1 = id3v1Tag("t", "a", "b", "1999", "", 1);
    const std::string file = kAudio + tag + id3v1;
    MemorySource source(file);
    ApeTagReader reader;
    ASSERT_TRUE(reader.load(source));
    EXPECT_EQ(reader.start, static_cast<std::int64_t>(kAudio.size()));
    EXPECT_EQ(reader.size, static_cast<std::int64_t>(tag.size()));
    EXPECT_EQ(reader.id3v1Size, 128);
    EXPECT_EQ(reader.itemCount, 5u);
    EXPECT_EQ(reader.genre, "Rock");
    EXPECT_EQ(reader.comment, "Country: UK\r\nUSA");
    EXPECT_EQ(trailingTagsSize(reader), static_cast<std::int64_t>(tag.size() + 128));
}

struct WavPackCase {
    const char* name;
    std::string file;
    bool loaded;
    std::int32_t sampleRate;
    std::int32_t channels;
    double duration;
};

TEST(WavPackReader, Cases) {
    const std::uint32_t mono = (kWavPackCdFlags | 0x4);
    const std::uint32_t customRate = (kWavPackCdFlags | (15u << 23));
    // Sub-blocks: id, size in words, data. 0x27 a rate of 3 bytes (odd size), 0x0D the
    // channel count and mask.
    const std::string rate = le(0x27 | 0x40, 1) + le(2, 1) + le(37800, 3) + '\0';
    const std::string channelInfo = le(0x0D, 1) + le(1, 1) + le(6, 1) + le(0x3F, 1);
    const auto unknown = [](std::uint64_t index, std::int64_t samples) {
        return wavPackBlock(kWavPackCdFlags, 0xFFFFFFFF, {}, 64, index, samples);
    };
    const WavPackCase cases[] = {
        {"CD stereo", wavPackBlock(kWavPackCdFlags, 441000), true, 44100, 2, 10.0},
        {"mono", wavPackBlock(mono, 44100), true, 44100, 1, 1.0},
        {"rate in a sub-block", wavPackBlock(customRate, 37800, rate), true, 37800, 2, 1.0},
        {"six channels", wavPackBlock(kWavPackCdFlags, 88200, channelInfo), true, 44100, 6, 2.0},
        {"after leading junk", std::string(1000, 'j') + wavPackBlock(kWavPackCdFlags, 44100), true,
         44100, 2, 1.0},
        {"unknown length, one block", unknown(0, 22050), true, 44100, 2, 0.5},
        {"unknown length, the last block's index and count",
         unknown(0, 44100) + unknown(44100, 44100) + unknown(88200, 22050), true, 44100, 2, 2.5},
        {"unknown length, index past 32 bits", unknown(0, 44100) + unknown(1ull << 32, 44100), true,
         44100, 2, (4294967296.0 + 44100) / 44100},
        {"unknown length, blocks walked to junk",
         unknown(0, 44100) + unknown(44100, 22050) + "junk", true, 44100, 2, 1.5},
        {"unknown length, the last block cut short",
         unknown(0, 44100) + unknown(44100, 22050).substr(0, 40), true, 44100, 2, 1.5},
        {"behind an ID3v2 tag over 64 KiB",
         id3v2Tag(3, std::string(100000, '\0')) + wavPackBlock(kWavPackCdFlags, 44100), true, 44100,
         2, 1.0},
        {"no block", std::string(5000, 'j'), false, 0, 0, 0.0},
        {"block past the first 64 KB", std::string(70000, 'j') + wavPackBlock(kWavPackCdFlags, 1),
         false, 0, 0, 0.0},
        {"header cut short", wavPackBlock(kWavPackCdFlags, 44100).substr(0, 30), false, 0, 0, 0.0},
        {"sub-block sizes that lie",
         wavPackBlock(kWavPackCdFlags, 44100, le(0x80 | 0x0D, 1) + le(0xFFFFFF, 3)), true, 44100, 2,
         1.0},
    };
    for (const WavPackCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySource source(c.file);
        WavPackReader reader;
        EXPECT_EQ(reader.load(source).isRead(), c.loaded);
        EXPECT_EQ(reader.properties.sampleRate, c.sampleRate);
        EXPECT_EQ(reader.properties.channels, c.channels);
        EXPECT_DOUBLE_EQ(reader.properties.durationSeconds, c.duration);
    }
}

TEST(WavPackReader, TagsAndAudioBytes) {
    const std::string block = wavPackBlock(kWavPackCdFlags, 441000, {}, 10000);
    const std::string tag = apeTag(kNames);
    const std::string file = block + tag + id3v1Tag("t", "a", "b", "1999", "", 1);
    MemorySource source(file);
    WavPackReader reader;
    ASSERT_TRUE(reader.load(source));
    const AudioProperties& p = reader.properties;
    EXPECT_EQ(p.artist, "Группа");
    EXPECT_EQ(p.album, "Альбом");
    EXPECT_EQ(p.year, "2003");
    EXPECT_EQ(p.genre, "Rock");
    EXPECT_EQ(p.audioBytes, static_cast<std::int64_t>(block.size()));
    EXPECT_EQ(reader.bitsPerSample, 16);
    EXPECT_TRUE(reader.lossless);
    // 10032 bytes over 10 s.
    EXPECT_EQ(p.bitRate(), 8);
}

struct MonkeysCase {
    const char* name;
    std::string file;
    bool loaded;
    std::int32_t sampleRate;
    std::int32_t channels;
    std::int64_t samples;
};

TEST(MonkeysAudioReader, Cases) {
    const std::string current = monkeysAudio(2, 44100, 73728, 3, 1000);
    std::string descriptorPastEnd = current;
    descriptorPastEnd.replace(8, 4, le(0xFFFFFFF0, 4));
    const MonkeysCase cases[] = {
        {"3.99 layout", current, true, 44100, 2, 2 * 73728 + 1000},
        {"after an ID3v2 tag", id3v2Tag(3, std::string(20, '\0')) + current, true, 44100, 2,
         2 * 73728 + 1000},
        {"mono 48 kHz", monkeysAudio(1, 48000, 4608, 1, 4608), true, 48000, 1, 4608},
        {"no frames", monkeysAudio(2, 44100, 73728, 0, 0), true, 44100, 2, 0},
        {"3.97 layout", oldMonkeysAudio(3970, 2000, 2, 44100, 2, 10), true, 44100, 2,
         73728 * 4 + 10},
        {"3.90 layout", oldMonkeysAudio(3900, 2000, 2, 44100, 2, 10), true, 44100, 2, 73728 + 10},
        {"3.80 extra high", oldMonkeysAudio(3800, 4000, 2, 44100, 2, 10), true, 44100, 2,
         73728 + 10},
        {"3.80 normal", oldMonkeysAudio(3800, 2000, 2, 44100, 2, 10), true, 44100, 2, 9216 + 10},
        {"descriptor size past the end", descriptorPastEnd, false, 0, 0, 0},
        {"no magic", "MAC" + std::string(200, '\0'), false, 0, 0, 0},
        {"header cut short", current.substr(0, 60), false, 0, 0, 0},
    };
    for (const MonkeysCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySource source(c.file);
        MonkeysAudioReader reader;
        EXPECT_EQ(reader.load(source).isRead(), c.loaded);
        EXPECT_EQ(reader.properties.sampleRate, c.sampleRate);
        EXPECT_EQ(reader.properties.channels, c.channels);
        EXPECT_EQ(reader.totalSamples, c.samples);
    }
}

TEST(MonkeysAudioReader, AudioBytesFromTheDescriptor) {
    const std::string file = monkeysAudio(2, 44100, 44100, 10, 44100, 50000);
    const std::string tag = apeTag(kNames);
    MonkeysAudioReader reader;
    const std::string tagged = file + tag;
    MemorySource source(tagged);
    ASSERT_TRUE(reader.load(source));
    EXPECT_EQ(reader.properties.audioBytes, 50000);
    EXPECT_EQ(reader.properties.album, "Альбом");
    EXPECT_DOUBLE_EQ(reader.properties.durationSeconds, 10.0);
    EXPECT_EQ(reader.properties.bitRate(), 40);

    // A frame size past the end: the file less its header start and tags instead.
    std::string lying = file;
    lying.replace(24, 4, le(0x7FFFFFFF, 4));
    lying += tag;
    MemorySource lyingSource(lying);
    ASSERT_TRUE(reader.load(lyingSource));
    EXPECT_EQ(reader.properties.audioBytes, static_cast<std::int64_t>(file.size()));
}

} // namespace
