#include "tags/OggVorbisReader.h"

#include "WmaOggFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace korvane::tags;
using namespace korvane::tags::fixtures;

namespace {

OggVorbisReader load(const std::string& bytes, bool expected = true) {
    MemorySource source(bytes);
    OggVorbisReader ogg;
    EXPECT_EQ(ogg.load(source).isRead(), expected);
    return ogg;
}

} // namespace

TEST(OggVorbisReader, DurationAndBitRate) {
    struct Case {
        const char* name;
        Ogg ogg;
        double duration;
        std::int32_t bitRate;
    };
    const auto make = [](std::size_t size, std::uint64_t granule, std::uint32_t rate = 44100,
                         std::string id3v2 = {}) {
        Ogg ogg;
        ogg.size = size;
        ogg.lastGranule = granule;
        ogg.sampleRate = rate;
        ogg.id3v2 = std::move(id3v2);
        return ogg;
    };
    const Case cases[] = {
        {"4,000,000 bytes over 200 s", make(4'000'000, 8'820'000), 200.0, 160},
        {"ID3v2 bytes do not count", make(4'001'000, 8'820'000, 44100, id3v2Tag(990)), 200.0, 160},
        {"160.5 rounds to the even 160", make(40'125, 88'200), 2.0, 160},
        {"161.5 rounds to the even 162", make(40'375, 88'200), 2.0, 162},
        // Granule -1: samples are not > 0, so nominal 128 kbit/s × 2 channels gives the time.
        {"granule -1 falls back to the nominal bitrate", make(160'000, UINT64_MAX), 10.0, 128},
        {"granule 0 falls back to the nominal bitrate", make(160'000, 0), 10.0, 128},
        {"only the low 32 bits of the granule count", make(160'000, 0x1'0000'AC44), 1.0, 1280},
        {"sample rate 0 gives no duration", make(160'000, 44100, 0), 0.0, 0},
        {"one sample at 96 kHz saturates the bitrate", make(4'000'000, 1, 96000), 1.0 / 96000,
         INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OggVorbisReader ogg = load(c.ogg.bytes());
        EXPECT_DOUBLE_EQ(ogg.duration(), c.duration);
        EXPECT_EQ(ogg.bitRate(), c.bitRate);
    }
}

TEST(OggVorbisReader, HeaderValues) {
    Ogg fixture;
    fixture.channels = 1;
    fixture.sampleRate = 22050;
    fixture.nominal = 96999;
    fixture.lastGranule = 0xFFFFFFFFFFFFFFFFull;
    fixture.id3v2 = id3v2Tag(20);
    const std::string bytes = fixture.bytes();
    const OggVorbisReader ogg = load(bytes);
    EXPECT_EQ(ogg.fileSize, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(ogg.channels, 1);
    EXPECT_EQ(ogg.sampleRate, 22050);
    EXPECT_EQ(ogg.nominalBitRate, 96); // truncated
    EXPECT_EQ(ogg.samples, -1);
    EXPECT_EQ(ogg.id3v2Size, 30);
    EXPECT_EQ(ogg.vendor, "Test vendor 1.0");
}

TEST(OggVorbisReader, ID3v2Sizes) {
    struct Case {
        const char* name;
        std::string front;
        bool loads;
        std::int64_t id3v2Size;
    };
    std::string withFooter = id3v2Tag(100) + std::string(10, '\0');
    withFooter[5] = '\x10';
    std::string tooLarge = id3v2Tag(100);
    tooLarge[6] = '\x7F';
    const Case cases[] = {
        {"no tag", "", true, 0},
        {"tag of 100 bytes", id3v2Tag(100), true, 110},
        {"footer flag adds 10 bytes", withFooter, true, 120},
        // A size past the end is taken as no tag, and then "ID3" is not "OggS".
        {"size larger than the file", tooLarge, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ogg fixture;
        fixture.id3v2 = c.front;
        const OggVorbisReader ogg = load(fixture.bytes(), c.loads);
        EXPECT_EQ(ogg.id3v2Size, c.id3v2Size);
    }
}

TEST(OggVorbisReader, CommentTexts) {
    using Field = std::string OggVorbisReader::*;
    struct Case {
        const char* name;
        std::vector<std::string> comments;
        Field field;
        std::string expected;
    };
    const std::string longTitle = "TITLE=" + std::string(300, 'x');
    const Case cases[] = {
        {"upper-case name", {"TITLE=Song"}, &OggVorbisReader::title, "Song"},
        {"lower-case name", {"artist=Band"}, &OggVorbisReader::artist, "Band"},
        {"mixed-case name", {"Album=Disc"}, &OggVorbisReader::album, "Disc"},
        {"value trimmed", {"DATE= \t2001  "}, &OggVorbisReader::date, "2001"},
        {"later comment wins", {"GENRE=Rock", "GENRE=Jazz"}, &OggVorbisReader::genre, "Jazz"},
        {"PERFORMER fills an empty ARTIST",
         {"ARTIST=   ", "PERFORMER=Orchestra"},
         &OggVorbisReader::artist,
         "Orchestra"},
        {"ARTIST before PERFORMER", {"PERFORMER=P", "ARTIST=A"}, &OggVorbisReader::artist, "A"},
        {"DESCRIPTION fills a missing COMMENT",
         {"DESCRIPTION=Live"},
         &OggVorbisReader::comment,
         "Live"},
        {"COMMENT before DESCRIPTION",
         {"COMMENT=Studio", "DESCRIPTION=Live"},
         &OggVorbisReader::comment,
         "Studio"},
        {"value keeps later equals signs", {"TITLE=a=b"}, &OggVorbisReader::title, "a=b"},
        {"unknown names ignored", {"TITLEX=a", "TITL=b"}, &OggVorbisReader::title, ""},
        {"name starting with equals ignored", {"=TITLE=a"}, &OggVorbisReader::title, ""},
        {"Cyrillic stays UTF-8",
         {"ARTIST=\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},
         &OggVorbisReader::artist,
         "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},
        {"three-byte euro sign", {"TITLE=\xE2\x82\xAC"}, &OggVorbisReader::title, "\xE2\x82\xAC"},
        {"four-byte emoji",
         {"TITLE=\xF0\x9F\x8E\xB8!"},
         &OggVorbisReader::title,
         "\xF0\x9F\x8E\xB8!"},
        {"character without a Windows-1251 byte",
         {"TITLE=\xE4\xB8\xAD"},
         &OggVorbisReader::title,
         "\xE4\xB8\xAD"},
        // A bad byte costs one replacement character, not the rest of the value.
        {"broken sequence replaced",
         {"TITLE=ab\xD0x\xD0\x9A"},
         &OggVorbisReader::title,
         "ab\xEF\xBF\xBDx\xD0\x9A"},
        {"text ending inside a sequence",
         {"TITLE=\xC3\xA9b\xE2\x82"},
         &OggVorbisReader::title,
         "\xC3\xA9b\xEF\xBF\xBD\xEF\xBF\xBD"},
        // No UTF-8 character at all: a tagger wrote its code page.
        {"KOI8-R of a careless tagger",
         {"ARTIST=\xEB\xC9\xCE\xCF \xC9 \xE7\xD2\xD5\xD0\xD0\xC1"},
         &OggVorbisReader::artist,
         "Кино и Группа"},
        // Only the first 250 bytes of the item: "TITLE=" and 244 letters.
        {"item cut at 250 bytes", {longTitle}, &OggVorbisReader::title, std::string(244, 'x')},
        {"comment after a long item", {longTitle, "GENRE=Rock"}, &OggVorbisReader::genre, "Rock"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ogg fixture;
        fixture.comments = c.comments;
        const OggVorbisReader ogg = load(fixture.bytes());
        EXPECT_EQ(ogg.*c.field, c.expected);
    }
}

TEST(OggVorbisReader, TrackNumber) {
    const std::pair<const char*, std::uint16_t> cases[] = {
        {"TRACKNUMBER=7", 7},    {"TRACKNUMBER=3/12", 3}, {"tracknumber=300", 44},
        {"TRACKNUMBER=x", 0},    {"TRACKNUMBER=/5", 0},   {"TRACKNUMBER=3 /12", 0},
        {"TRACKNUMBER=-1", 255}, {"TITLE=5", 0},
    };
    for (const auto& [comment, track] : cases) {
        SCOPED_TRACE(comment);
        Ogg fixture;
        fixture.comments = {comment};
        EXPECT_EQ(load(fixture.bytes()).track, track);
    }
}

TEST(OggVorbisReader, VendorString) {
    Ogg fixture;
    fixture.vendor = "";
    fixture.comments = {"no equals sign", "second one"};
    EXPECT_EQ(load(fixture.bytes()).vendor, "no equals sign");

    fixture.vendor = std::string(260, 'v');
    fixture.comments = {"GENRE=Rock"};
    const OggVorbisReader ogg = load(fixture.bytes());
    EXPECT_EQ(ogg.vendor, std::string(250, 'v'));
    EXPECT_EQ(ogg.genre, "Rock");
}

TEST(OggVorbisReader, NoCommentHeaderLeavesTextsEmpty) {
    Ogg fixture;
    fixture.commentHeader = false;
    fixture.comments = {"GENRE=Rock"};
    const OggVorbisReader ogg = load(fixture.bytes());
    EXPECT_EQ(ogg.sampleRate, 44100);
    EXPECT_EQ(ogg.genre, "");
    EXPECT_EQ(ogg.vendor, "");
}

TEST(OggVorbisReader, ForeignFilesGiveFalseAndInitialValues) {
    Ogg good;
    good.comments = {"GENRE=Rock"};
    std::string notVorbis = good.bytes();
    notVorbis[28] = '\x05'; // the first packet's type byte
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"RIFF", std::string("RIFF\x10\0\0\0WAVEfmt ", 16)},
        {"Ogg page without Vorbis", notVorbis},
        {"cut inside the first page", good.bytes().substr(0, 20)},
        {"ID3v2 tag only", id3v2Tag(50)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const std::string goodBytes = good.bytes();
        MemorySource goodSource(goodBytes);
        OggVorbisReader ogg;
        ASSERT_TRUE(ogg.load(goodSource));
        MemorySource source(bytes);
        EXPECT_FALSE(ogg.load(source));
        EXPECT_EQ(ogg.fileSize, 0);
        EXPECT_EQ(ogg.sampleRate, 0);
        EXPECT_EQ(ogg.genre, "");
        EXPECT_EQ(ogg.bitRate(), 0);
    }
}

TEST(OggVorbisReader, HostileCommentBlocks) {
    // Lengths and counts that promise far more than the file holds, or would step backwards:
    // each walk ends at the end of the file.
    const std::string id = Ogg().identification();
    const auto withBlock = [&id](const std::string& block) {
        return page(id, 0) + page(std::string("\x03vorbis", 7) + block, 0);
    };
    struct Case {
        const char* name;
        std::string bytes;
        std::string title;
    };
    const Case cases[] = {
        {"vendor length 0xFFFFFFFF", withBlock(littleEndian(0xFFFFFFFF, 4) + "abc"), ""},
        {"count 0x7FFFFFFF, empty items",
         withBlock(littleEndian(0, 4) + littleEndian(0x7FFFFFFF, 4) + std::string(4000, '\0')), ""},
        // A length past the end of the packet ends the walk: the item is not there.
        {"length 0xFFFFFFFC",
         withBlock(littleEndian(0, 4) + littleEndian(0x7FFFFFFF, 4) + littleEndian(0xFFFFFFFC, 4) +
                   "TITLE=x"),
         ""},
        // The count is unsigned: 2^32-1 reads the items that are there.
        {"count 2^32-1",
         withBlock(littleEndian(1, 4) + "v" + littleEndian(0xFFFFFFFF, 4) + littleEndian(7, 4) +
                   "TITLE=x"),
         "x"},
        {"cut inside the count", withBlock(littleEndian(1, 4) + "v" + "\x02"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(c.bytes).title, c.title);
    }
}

TEST(OggVorbisReader, LastPageSearch) {
    struct Case {
        const char* name;
        std::string tail;
        std::int32_t samples;
    };
    const std::string lastHeader = "OggS" + std::string(2, '\0') + littleEndian(88200, 8);
    const Case cases[] = {
        {"page starting 10 bytes before the end", lastHeader.substr(0, 10), 88200},
        {"capture starting 9 bytes before the end is not looked at", lastHeader.substr(0, 9), 0},
        {"page 12,060 bytes before the end", lastHeader + std::string(12'060 - 14, '\0'), 88200},
        {"page 12,061 bytes before the end is too far", lastHeader + std::string(12'061 - 14, '\0'),
         0},
        {"the last of two pages",
         "OggS" + std::string(2, '\0') + littleEndian(5, 8) + std::string(300, '\0') + lastHeader,
         88200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ogg fixture;
        std::string bytes = fixture.bytes();
        // Hide the fixture's own last page so that only the tail is found.
        bytes.replace(bytes.rfind("OggS"), 4, "xxxx");
        bytes += std::string(13'000, '\0') + c.tail;
        EXPECT_EQ(load(bytes).samples, c.samples);
    }
}

TEST(OggVorbisReader, ShortFiles) {
    // Windows before the start of the file hold no data; the pages at the start still count.
    Ogg fixture;
    fixture.comments = {};
    fixture.vendor = "v";
    fixture.lastGranule = 4410;
    const std::string bytes = fixture.bytes();
    ASSERT_LT(bytes.size(), 251u);
    EXPECT_EQ(load(bytes).samples, 4410);
}

TEST(OggVorbisReader, UnopenableFileIsUnreadableAndThrowsNothing) {
    OggVorbisReader ogg;
    const auto missing = std::filesystem::temp_directory_path() / "korvane-no-such-file.ogg";
    const auto folder = std::filesystem::temp_directory_path();
    for (const std::filesystem::path& path : {missing, folder}) {
        SCOPED_TRACE(path.string());
        const ReadResult result = ogg.load(path);
        EXPECT_TRUE(result.isUnreadable());
        EXPECT_TRUE(result.reason().starts_with("Cannot open file \"" + path.string() + "\". "));
    }
}

namespace {

// A file laid out as encoders lay it: the identification header alone on the first page, the
// comment and setup headers on the pages after it (`segments` lacing values a page), then one
// page of 4,000 audio bytes ending at 44,100 samples.
std::string laidOut(const std::vector<std::string>& comments, std::size_t segments = 255,
                    const std::string& setupId = "\x05vorbis") {
    Ogg fixture;
    fixture.comments = comments;
    const std::string setup = setupId + std::string(3000, 's');
    return packetPages({fixture.identification()}) +
           packetPages({fixture.commentBlock(), setup}, segments) +
           rawPage(0, 44100, 0, std::string(15, '\xFF') + '\xAF', std::string(4000, 'a'));
}

const std::string kAudioPage = rawPage(0, 44100, 0, std::string(15, '\xFF') + '\xAF', "");
const std::int64_t kAudioBytes = static_cast<std::int64_t>(kAudioPage.size()) + 4000;

} // namespace

TEST(OggVorbisReader, CommentHeaderOverManyPages) {
    // A 300 KB cover as taggers store it, before and after the tags that matter.
    const std::string picture = "METADATA_BLOCK_PICTURE=" + std::string(300'000, 'Q');
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"one page", laidOut({"GENRE=Rock", "DATE=2001"})},
        {"cover between the tags", laidOut({"GENRE=Rock", picture, "DATE=2001"})},
        {"cover first, small pages", laidOut({picture, "GENRE=Rock", "DATE=2001"}, 17)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OggVorbisReader ogg = load(c.bytes);
        EXPECT_EQ(ogg.genre, "Rock");
        EXPECT_EQ(ogg.date, "2001");
        EXPECT_EQ(ogg.vendor, "Test vendor 1.0");
        // Only the audio page counts: 4,043 bytes over 1 s.
        EXPECT_EQ(ogg.audioBytes, kAudioBytes);
        EXPECT_DOUBLE_EQ(ogg.duration(), 1.0);
        EXPECT_EQ(ogg.bitRate(), 32);
    }
}

TEST(OggVorbisReader, BrokenCommentHeaders) {
    // The tags before a break are kept; the audio start is unknown, so the whole file counts.
    const std::string big = "METADATA_BLOCK_PICTURE=" + std::string(1'200'000, 'Q');
    const std::string full = laidOut({"GENRE=Rock", "DATE=2001"});
    // The comment page's body starts after its 27-byte header and 13 lacing values (the comment
    // header's one, the setup header's twelve); its first 50 bytes hold GENRE but not DATE.
    const std::size_t commentPage = full.find("OggS", 1);
    const std::string commentStart = full.substr(commentPage + 40, 50);
    struct Case {
        const char* name;
        std::string bytes;
        std::string genre;
        std::string date;
    };
    const Case cases[] = {
        {"more pages than the limit", laidOut({"GENRE=Rock", big, "DATE=2001"}, 1), "Rock", ""},
        {"file ends inside the comment header", full.substr(0, commentPage + 90), "Rock", ""},
        // Two lacing values of 255 promise 510 bytes where 50 remain.
        // An audio packet where the setup header belongs tells nothing of where audio starts.
        {"no setup header", laidOut({"GENRE=Rock", "DATE=2001"}, 255, "\x06vorbis"), "Rock",
         "2001"},
        {"lacing past the end", full.substr(0, commentPage + 26) + "\x02\xFF\xFF" + commentStart,
         "Rock", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OggVorbisReader ogg = load(c.bytes);
        EXPECT_EQ(ogg.sampleRate, 44100);
        EXPECT_EQ(ogg.genre, c.genre);
        EXPECT_EQ(ogg.date, c.date);
        EXPECT_EQ(ogg.audioBytes, static_cast<std::int64_t>(c.bytes.size()));
    }
}
