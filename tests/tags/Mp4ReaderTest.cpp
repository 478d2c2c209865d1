// The MP4 reader on byte-built files: the box tree, the sample entries and the iTunes list.
#include "tags/Mp4Reader.h"
#include "Mp4Fixtures.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvane::tags;
using namespace korvane::tags::fixtures;

namespace {

const std::string kAac = soundTrack(mdhd(44100, 441000), sampleEntry("mp4a", 2, 44100));
const std::string kItems = ilstItem("\xA9"
                                    "ART",
                                    "Кино") +
                           ilstItem("\xA9"
                                    "alb",
                                    "Группа крови") +
                           ilstItem("\xA9"
                                    "day",
                                    "1988-01-05T00:00:00Z") +
                           ilstItem("\xA9"
                                    "gen",
                                    "Рок") +
                           ilstItem("\xA9"
                                    "cmt",
                                    "Country: СССР");

struct Case {
    const char* name;
    std::string file;
    bool loaded;
    std::string codec;
    std::int32_t sampleRate;
    std::int32_t channels;
    double duration;
    std::int64_t audioBytes;
};

std::string nested(int depth) {
    std::string inner = box("free", "");
    for (int i = 0; i < depth; ++i)
        inner = box("udta", inner);
    return inner;
}

template <std::size_t N> void runCases(const Case (&cases)[N]) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySource source(c.file);
        Mp4Reader reader;
        EXPECT_EQ(reader.load(source).isRead(), c.loaded);
        EXPECT_EQ(reader.codec, c.codec);
        EXPECT_EQ(reader.properties.sampleRate, c.sampleRate);
        EXPECT_EQ(reader.properties.channels, c.channels);
        EXPECT_DOUBLE_EQ(reader.properties.durationSeconds, c.duration);
        EXPECT_EQ(reader.properties.audioBytes, c.audioBytes);
    }
}

TEST(Mp4Reader, StreamCases) {
    const std::string alac =
        soundTrack(mdhd(96000, 288000), sampleEntry("alac", 2, 0, alacConfig(24, 2, 96000)));
    const std::string video =
        box("trak", box("mdia", fullBox("hdlr", be(0, 4) + "vide" + std::string(13, '\0'))));
    const std::string ftyp = box("ftyp", "M4A " + be(0, 4));
    const Case cases[] = {
        {"AAC", m4a(kAac, 1000), true, "mp4a", 44100, 2, 10.0, 1000},
        {"ALAC 96 kHz from its own box", m4a(alac, 500), true, "alac", 96000, 2, 3.0, 500},
        {"version 1 mdhd",
         m4a(soundTrack(mdhd(48000, 96000, true), sampleEntry("mp4a", 1, 48000)), 10), true, "mp4a",
         48000, 1, 2.0, 10},
        {"the sound track after a video track", m4a(video + kAac, 10), true, "mp4a", 44100, 2, 10.0,
         10},
        {"moov after mdat", ftyp + box("mdat", std::string(300, 'x')) + box("moov", kAac), true,
         "mp4a", 44100, 2, 10.0, 300},
        {"64-bit mdat size", ftyp + box("moov", kAac) + largeBox("mdat", std::string(70, 'x')),
         true, "mp4a", 44100, 2, 10.0, 70},
        {"mdat of size 0 runs to the end",
         ftyp + box("moov", kAac) + be(0, 4) + "mdat" + std::string(90, 'x'), true, "mp4a", 44100,
         2, 10.0, 90},
        {"mdat past the end is cut", ftyp + box("moov", kAac) + be(5000, 4) + "mdat" + "xyz", true,
         "mp4a", 44100, 2, 10.0, 3},
        {"no ftyp", box("moov", kAac), false, "", 0, 0, 0.0, 0},
        {"no moov", ftyp + box("mdat", "x"), false, "", 0, 0, 0.0, 0},
        {"box size 1 without its 64 bits", ftyp + be(1, 4) + "moov", false, "", 0, 0, 0.0, 0},
        {"box smaller than its header", ftyp + be(4, 4) + "moov" + kAac, false, "", 0, 0, 0.0, 0},
        {"timescale 0", m4a(soundTrack(mdhd(0, 100), sampleEntry("mp4a", 2, 44100)), 10), true,
         "mp4a", 44100, 2, 0.0, 10},
        {"no sound track", m4a(video, 10), true, "", 0, 0, 0.0, 10},
        // Object type 2, rate index 3 (48 kHz), one channel: the entry's own 2 and 0 are wrong.
        {"AAC mono 48 kHz by its esds",
         m4a(soundTrack(mdhd(48000, 48000), sampleEntry("mp4a", 2, 0, esds(0x11, 0x88))), 10), true,
         "mp4a", 48000, 1, 1.0, 10},
        {"rate index 15: 24 explicit bits",
         m4a(soundTrack(mdhd(1000, 1000), sampleEntry("mp4a", 2, 0, esds(0x17, 0x80))), 10), true,
         "mp4a", 0, 2, 1.0, 10},
        {"edit list without the priming samples",
         m4a(mvhd(1000, 2000) +
                 soundTrack(mdhd(44100, 89224), sampleEntry("mp4a", 2, 44100), edits(2000, 1024)),
             10),
         true, "mp4a", 44100, 2, 2.0, 10},
        // Found by the fuzzer: the 64-bit size reads past edts into the next box's header.
        {"64-bit box header past its parent's end",
         m4a(mvhd(1000, 2000) + soundTrack(mdhd(44100, 441000), sampleEntry("mp4a", 2, 44100),
                                           box("edts", be(1, 4) + "elst" + be(0xFFFFFFFF, 4))),
             10),
         true, "mp4a", 44100, 2, 10.0, 10},
        {"udta nested thousands deep", m4a(kAac + nested(5000), 10), true, "mp4a", 44100, 2, 10.0,
         10},
    };
    runCases(cases);
}

// ffmpeg's empty_moov and the DASH layout: moov states no samples, the fragments hold them.
TEST(Mp4Reader, FragmentCases) {
    const std::string entry = sampleEntry("mp4a", 2, 44100);
    const std::string track = soundTrack(mdhd(1000, 0), entry, {}, stsz(0, 0), tkhd(1));
    const std::string ftyp = box("ftyp", "dash" + be(0, 4) + "iso6");
    const auto movie = [&](const std::string& moovContent, const std::string& fragments) {
        return ftyp + box("moov", mvhd(1000, 0) + moovContent) + fragments +
               box("mdat", std::string(40, 'x'));
    };
    // Durations 500, 500, 1000 ms; sizes 10, 20, 30.
    const std::string pairs =
        be(500, 4) + be(10, 4) + be(500, 4) + be(20, 4) + be(1000, 4) + be(30, 4);
    const Case cases[] = {
        {"durations sample by sample", movie(track + mvex(1, 0, 0), moof(1, 0, 0, pairs, 3)), true,
         "mp4a", 44100, 2, 2.0, 40},
        {"two fragments",
         movie(track + mvex(1, 0, 0), moof(1, 0, 0, pairs, 3) + moof(1, 0, 0, pairs, 3)), true,
         "mp4a", 44100, 2, 4.0, 40},
        {"the fragment header's default", movie(track + mvex(1, 0, 0), moof(1, 250, 7, {}, 8)),
         true, "mp4a", 44100, 2, 2.0, 40},
        {"the movie's default", movie(track + mvex(1, 100, 7, 0), moof(1, 0, 0, {}, 30)), true,
         "mp4a", 44100, 2, 3.0, 40},
        {"mehd states the length", movie(track + mvex(1, 0, 0, 5500), moof(1, 0, 0, pairs, 3)),
         true, "mp4a", 44100, 2, 5.5, 40},
        {"another track's fragments", movie(track + mvex(1, 0, 0), moof(2, 0, 0, pairs, 3)), true,
         "mp4a", 44100, 2, 0.0, 40},
        {"run count past its entries",
         movie(track + mvex(1, 0, 0), moof(1, 0, 0, pairs, 0xFFFFFFFF)), true, "mp4a", 44100, 2,
         2.0, 40},
        {"no mvex: fragments ignored", movie(track, moof(1, 0, 0, pairs, 3)), true, "mp4a", 44100,
         2, 0.0, 40},
    };
    runCases(cases);
}

// The media data of a movie with a video holds the video's bytes too.
TEST(Mp4Reader, SoundBesideVideo) {
    const std::string entry = sampleEntry("mp4a", 2, 44100);
    const std::string video = box(
        "trak", tkhd(1) + box("mdia", fullBox("hdlr", be(0, 4) + "vide" + std::string(13, '\0'))));
    const std::string sizes = be(100, 4) + be(200, 4) + be(300, 4);
    const auto sound = [&](const std::string& table) {
        return soundTrack(mdhd(1000, 2000), entry, {}, table, tkhd(2));
    };
    const std::string pairs = be(500, 4) + be(10, 4) + be(1500, 4) + be(20, 4);
    const Case cases[] = {
        {"sizes sample by sample", m4a(video + sound(stsz(0, 3, sizes)), 5000), true, "mp4a", 44100,
         2, 2.0, 600},
        {"one size for every sample", m4a(video + sound(stsz(40, 10)), 5000), true, "mp4a", 44100,
         2, 2.0, 400},
        {"table longer than its box", m4a(video + sound(stsz(0, 1000, sizes)), 5000), true, "mp4a",
         44100, 2, 2.0, 5000},
        {"no table", m4a(video + sound({}), 5000), true, "mp4a", 44100, 2, 2.0, 5000},
        {"sound alone: every mdat", m4a(sound(stsz(0, 3, sizes)), 5000), true, "mp4a", 44100, 2,
         2.0, 5000},
        {"fragmented: the sound's runs",
         box("ftyp", "iso6" + be(0, 4)) +
             box("moov", mvhd(1000, 0) + video +
                             soundTrack(mdhd(1000, 0), entry, {}, stsz(0, 0), tkhd(2)) +
                             mvex(2, 0, 0)) +
             moof(1, 0, 0, pairs, 2) + moof(2, 0, 0, pairs, 2) + box("mdat", std::string(900, 'v')),
         true, "mp4a", 44100, 2, 2.0, 30},
    };
    runCases(cases);
}

struct TagCase {
    const char* name;
    std::string items;
    std::string artist;
    std::string album;
    std::string year;
    std::string genre;
    std::string comment;
};

TEST(Mp4Reader, ItunesListCases) {
    const std::string lyingData = box("\xA9"
                                      "ART",
                                      be(0x7FFFFFF0, 4) + "data" + be(1, 4) + be(0, 4) + "Кино");
    const std::string shortData = box("\xA9"
                                      "alb",
                                      box("data", be(1, 4)));
    const TagCase cases[] = {
        {"every item", kItems, "Кино", "Группа крови", "1988", "Рок", "Country: СССР"},
        {"album artist when no artist", ilstItem("aART", "Various"), "Various", "", "", "", ""},
        {"artist before album artist",
         ilstItem("aART", "Various") + ilstItem("\xA9"
                                                "ART",
                                                "A"),
         "A", "", "", "", ""},
        {"genre by ID3v1 code plus one", ilstItem("gnre", be(18, 2), 0), "", "", "", "Rock", ""},
        {"genre code 0 is none", ilstItem("gnre", be(0, 2), 0), "", "", "", "", ""},
        {"text genre before the code",
         ilstItem("gnre", be(18, 2), 0) + ilstItem("\xA9"
                                                   "gen",
                                                   "Ска"),
         "", "", "", "Ска", ""},
        {"a year alone",
         ilstItem("\xA9"
                  "day",
                  "2001"),
         "", "", "2001", "", ""},
        {"Windows-1251 bytes",
         ilstItem("\xA9"
                  "ART",
                  "\xCA\xE8\xED\xEE"),
         "Кино", "", "", "", ""},
        {"binary data is no text",
         ilstItem("\xA9"
                  "ART",
                  "x", 0),
         "", "", "", "", ""},
        {"data length past its item is cut to it", lyingData, "Кино", "", "", "", ""},
        {"data shorter than its header", shortData, "", "", "", "", ""},
    };
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = m4a(kAac + itunesMeta(c.items), 10);
        MemorySource source(file);
        Mp4Reader reader;
        ASSERT_TRUE(reader.load(source));
        const AudioProperties& p = reader.properties;
        EXPECT_EQ(p.artist, c.artist);
        EXPECT_EQ(p.album, c.album);
        EXPECT_EQ(p.year, c.year);
        EXPECT_EQ(p.genre, c.genre);
        EXPECT_EQ(p.comment, c.comment);
    }
}

TEST(Mp4Reader, QuickTimeMetaWithoutVersion) {
    const std::string hdlr = fullBox("hdlr", be(0, 4) + "mdir" + "appl" + std::string(9, '\0'));
    const std::string udta = box("udta", box("meta", hdlr + box("ilst", kItems)));
    const std::string file = m4a(kAac + udta, 10);
    MemorySource source(file);
    Mp4Reader reader;
    ASSERT_TRUE(reader.load(source));
    EXPECT_EQ(reader.properties.album, "Группа крови");
}

} // namespace
