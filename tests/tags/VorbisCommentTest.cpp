#include "tags/VorbisComment.h"

#include "tags/AudioProperties.h"
#include "tags/ByteSource.h"

#include "FlacOpusFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

using namespace korvane::tags;
using namespace korvane::tags::fixtures;

namespace {

std::vector<std::string> strings(const std::vector<std::string_view>& views) {
    return {views.begin(), views.end()};
}

} // namespace

TEST(VorbisComment, Walk) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string vendor;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"vendor and items", vorbisComment("lib 1.0", {"A=1", "B=2"}), "lib 1.0", {"A=1", "B=2"}},
        {"framing byte after the items", vorbisComment("v", {"A=1"}) + "\x01", "v", {"A=1"}},
        {"no items", vorbisComment("v", {}), "v", {}},
        {"empty items are dropped", vorbisComment("v", {"", "A=1", ""}), "v", {"A=1"}},
        {"empty", "", "", {}},
        {"cut inside the vendor length", "\x05\x00", "", {}},
        {"vendor length past the end", littleEndian(0xFFFFFFFF, 4) + "abc", "", {}},
        {"cut inside the count", littleEndian(1, 4) + "v\x02", "v", {}},
        {"count larger than the items",
         littleEndian(1, 4) + "v" + littleEndian(9, 4) + littleEndian(3, 4) + "A=1",
         "v",
         {"A=1"}},
        {"count 2^32-1 over zeros",
         littleEndian(0, 4) + littleEndian(0xFFFFFFFF, 4) + std::string(4000, '\0'),
         "",
         {}},
        {"count 2^32-1 with an item",
         littleEndian(1, 4) + "v" + littleEndian(0xFFFFFFFF, 4) + littleEndian(7, 4) + "TITLE=x",
         "v",
         {"TITLE=x"}},
        // A length past the end stops the walk; what came before stays.
        {"item length past the end",
         vorbisComment("v", {"A=1"}).replace(5, 4, littleEndian(3, 4)) +
             littleEndian(0xFFFFFFFC, 4) + "TITLE=x",
         "v",
         {"A=1"}},
        {"item length one byte too long",
         vorbisComment("v", {"A=1", "B=2"}).substr(0, 22),
         "v",
         {"A=1"}},
        {"count smaller than the items",
         vorbisComment("v", {"A=1", "B=2"}).replace(5, 4, littleEndian(1, 4)),
         "v",
         {"A=1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const VorbisComment comment = parseVorbisComment(c.bytes);
        EXPECT_EQ(comment.vendor, c.vendor);
        EXPECT_EQ(strings(comment.items), c.items);
    }
}

TEST(VorbisComment, Value) {
    struct Case {
        const char* name;
        std::vector<std::string> items;
        std::string value; // of ARTIST
    };
    const Case cases[] = {
        {"upper case", {"ARTIST=Band"}, "Band"},
        {"any case", {"aRtIsT=Band"}, "Band"},
        {"first of two", {"ARTIST=One", "ARTIST=Two"}, "One"},
        {"a blank one is passed over", {"ARTIST= \t", "ARTIST=Two"}, "Two"},
        {"trimmed", {"ARTIST=  Band \r\n"}, "Band"},
        {"later equals signs kept", {"ARTIST=a=b"}, "a=b"},
        {"other names", {"ARTISTS=x", "ARTIS=y", "=ARTIST=z", "ARTIST"}, ""},
        {"Cyrillic",
         {"ARTIST=\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},
         "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE"},
        {"emoji", {"ARTIST=\xF0\x9F\x8E\xB8"}, "\xF0\x9F\x8E\xB8"},
        {"bad byte beside UTF-8 replaced, the rest kept",
         {"ARTIST=\xC3\xA9\xFF"
          "b"},
         "\xC3\xA9\xEF\xBF\xBD"
         "b"},
        // No UTF-8 character at all: a tagger wrote its code page.
        {"Windows-1251 of a careless tagger", {"ARTIST=\xCA\xE8\xED\xEE"}, "Кино"},
        {"Windows-1252 of a careless tagger", {"ARTIST=Mot\xF6rhead"}, "Motörhead"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = vorbisComment("v", c.items);
        EightBitTexts eightBit;
        EXPECT_EQ(parseVorbisComment(bytes).value("ARTIST", eightBit), c.value);
    }
}

TEST(VorbisComment, AlbumDetailsFields) {
    using Field = std::string AudioProperties::*;
    struct Case {
        const char* name;
        std::vector<std::string> items;
        Field field;
        std::string expected;
    };
    const Case cases[] = {
        {"ARTIST first",
         {"PERFORMER=P", "ALBUMARTIST=AA", "ARTIST=A"},
         &AudioProperties::artist,
         "A"},
        {"ALBUMARTIST when ARTIST is blank",
         {"ARTIST= ", "PERFORMER=P", "ALBUMARTIST=AA"},
         &AudioProperties::artist,
         "AA"},
        {"PERFORMER last", {"PERFORMER=P"}, &AudioProperties::artist, "P"},
        {"album", {"album=Disc"}, &AudioProperties::album, "Disc"},
        {"year of a full date", {"DATE=2001-05-03"}, &AudioProperties::year, "2001"},
        {"genre", {"GENRE=Rock"}, &AudioProperties::genre, "Rock"},
        {"COMMENT before DESCRIPTION",
         {"DESCRIPTION=D", "COMMENT=C"},
         &AudioProperties::comment,
         "C"},
        {"DESCRIPTION when no COMMENT", {"DESCRIPTION=D"}, &AudioProperties::comment, "D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AudioProperties properties;
        EightBitTexts eightBit;
        applyVorbisComment(parseVorbisComment(vorbisComment("v", c.items)), properties, eightBit);
        EXPECT_EQ(properties.*c.field, c.expected);
    }
}

TEST(AudioProperties, YearFromDate) {
    const std::pair<const char*, const char*> cases[] = {
        {"2001", "2001"}, {"2001-05-03", "2001"}, {"1999/2000", "1999"},
        {"200", ""},      {"20x1", ""},           {"May 2001", ""},
        {"", ""},
    };
    for (const auto& [date, year] : cases) {
        SCOPED_TRACE(date);
        EXPECT_EQ(yearFromDate(date), year);
    }
}

TEST(AudioProperties, BitRate) {
    struct Case {
        const char* name;
        std::int64_t audioBytes;
        double seconds;
        std::int32_t bitRate;
    };
    const Case cases[] = {
        {"4,000,000 bytes over 200 s", 4'000'000, 200, 160},
        {"160.5 rounds to the even 160", 40'125, 2, 160},
        {"161.5 rounds to the even 162", 40'375, 2, 162},
        {"no duration", 4'000'000, 0, 0},
        {"no audio", 0, 200, 0},
        {"a few samples saturate", 4'000'000, 1.0 / 96000, INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AudioProperties properties;
        properties.audioBytes = c.audioBytes;
        properties.durationSeconds = c.seconds;
        EXPECT_EQ(properties.bitRate(), c.bitRate);
    }
}
