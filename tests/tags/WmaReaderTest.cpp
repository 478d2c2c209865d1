#include "tags/WmaReader.h"

#include "WmaOggFixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace korvane::tags;
using namespace korvane::tags::fixtures;

namespace {

// Read exactly when the header is whole and its values plausible.
WmaReader load(const std::string& bytes, bool expected = true) {
    MemorySource source(bytes);
    WmaReader wma;
    EXPECT_EQ(wma.load(source).isRead(), expected);
    return wma;
}

} // namespace

TEST(WmaReader, BitRate) {
    const std::pair<std::uint32_t, std::int32_t> cases[] = {
        {16000, 128}, {20050, 160}, {24000, 192}, {124, 0}, {39999, 319}};
    for (const auto& [bytesPerSecond, bitRate] : cases) {
        SCOPED_TRACE(bytesPerSecond);
        EXPECT_EQ(load(plausible({}, bytesPerSecond)).bitRate, bitRate);
    }
}

TEST(WmaReader, StreamValues) {
    const std::string bytes = asf({fileProperties(64000), streamProperties(1, 22050, 8000)});
    const WmaReader wma = load(bytes);
    EXPECT_TRUE(wma.valid);
    EXPECT_EQ(wma.fileSize, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(wma.channels, 1);
    EXPECT_EQ(wma.sampleRate, 22050);
    EXPECT_DOUBLE_EQ(wma.duration, bytes.size() * 8.0 / 64000);
    EXPECT_EQ(wma.bitRate, 64);
}

TEST(WmaReader, ValidityCheck) {
    struct Case {
        const char* name;
        std::uint32_t maximumBitRate;
        std::uint16_t channels;
        std::uint32_t sampleRate;
        std::uint32_t bytesPerSecond;
        bool valid;
    };
    const Case cases[] = {
        {"plausible", 128000, 2, 44100, 16000, true},
        {"lowest values", 1, 1, 8000, 1, true},
        {"320 kbit/s (40000 bytes per second)", 327680, 2, 44100, 40000, true},
        {"WMA Lossless, 16 bits at 44.1 kHz (1411 kbit/s)", 1500000, 2, 44100, 176400, true},
        {"highest values", 9216000, 2, 96000, 1152000, true},
        {"more bytes per second than twice 24-bit 96 kHz stereo", 9216000, 2, 96000, 1152001,
         false},
        {"maximum bitrate past the highest", 9216001, 2, 96000, 16000, false},
        {"6 channels", 128000, 6, 44100, 16000, false},
        {"no channels", 128000, 0, 44100, 16000, false},
        {"192000 Hz", 128000, 2, 192000, 16000, false},
        {"7999 Hz", 128000, 2, 7999, 16000, false},
        {"0 bytes per second", 128000, 2, 44100, 0, false},
        {"negative bytes per second", 128000, 2, 44100, 0xFFFFFFF0, false},
        {"maximum bitrate 0", 0, 2, 44100, 16000, false},
        {"negative maximum bitrate", 0x80000000, 2, 44100, 16000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WmaReader wma =
            load(asf({fileProperties(c.maximumBitRate),
                      streamProperties(c.channels, c.sampleRate, c.bytesPerSecond),
                      contentDescription(u"Title", u"Artist"),
                      extendedDescription({text(u"WM/Genre", u"Rock")})}),
                 c.valid);
        EXPECT_EQ(wma.valid, c.valid);
        // Nothing is taken from an implausible file, not even the texts.
        EXPECT_EQ(wma.title, c.valid ? "Title" : "");
        EXPECT_EQ(wma.genre, c.valid ? "Rock" : "");
        EXPECT_EQ(wma.sampleRate, c.valid ? static_cast<std::int32_t>(c.sampleRate) : 0);
        EXPECT_EQ(wma.fileSize == 0, !c.valid);
    }
}

TEST(WmaReader, MissingObjects) {
    const std::pair<const char*, std::string> cases[] = {
        {"no stream properties", asf({fileProperties(128000)})},
        {"no file properties", asf({streamProperties(2, 44100, 16000)})},
        {"no objects", asf({})},
        {"object count 0",
         [] {
             std::string bytes = plausible();
             bytes.replace(24, 4, littleEndian(0, 4));
             return bytes;
         }()},
        {"negative object count",
         [] {
             std::string bytes = plausible();
             bytes.replace(24, 4, littleEndian(0x80000000, 4));
             return bytes;
         }()},
        {"not ASF", std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0", 20)},
        {"a later stream with 6 channels", plausible({streamProperties(6, 48000, 48000)})},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const WmaReader wma = load(bytes, false);
        EXPECT_FALSE(wma.valid);
        EXPECT_EQ(wma.bitRate, 0);
    }
}

TEST(WmaReader, Texts) {
    using Field = std::string WmaReader::*;
    struct Case {
        const char* name;
        std::vector<std::string> objects;
        Field field;
        std::string expected;
    };
    const std::u16string longTitle(300, u'T');
    const Case cases[] = {
        {"content description title",
         {contentDescription(u"Song", u"")},
         &WmaReader::title,
         "Song"},
        {"content description author",
         {contentDescription(u"", u"Band")},
         &WmaReader::artist,
         "Band"},
        {"content description description",
         {contentDescription(u"", u"", u"Live")},
         &WmaReader::comment,
         "Live"},
        {"Cyrillic kept as Unicode",
         {contentDescription(u"", u"Кино")},
         &WmaReader::artist,
         "Кино"},
        {"blanks trimmed", {contentDescription(u"  Song \t", u"")}, &WmaReader::title, "Song"},
        {"mixed-case name",
         {extendedDescription({text(u"WM/Genre", u"Rock")})},
         &WmaReader::genre,
         "Rock"},
        {"lower-case name with blanks",
         {extendedDescription({text(u" wm/year ", u"2001")})},
         &WmaReader::year,
         "2001"},
        {"album title",
         {extendedDescription({text(u"WM/AlbumTitle", u"Disc")})},
         &WmaReader::album,
         "Disc"},
        {"WM/Description",
         {extendedDescription({text(u"WM/Description", u"Note")})},
         &WmaReader::comment,
         "Note"},
        {"other names ignored",
         {extendedDescription({text(u"WM/GenreID", u"Rock"), text(u"WM/Genre2", u"Pop")})},
         &WmaReader::genre,
         ""},
        {"DWORD descriptor before a string",
         {extendedDescription(
             {{u"WM/TrackNumber", 3, littleEndian(7, 4)}, {u"WM/Genre", 0, utf16(u"Jazz")}})},
         &WmaReader::genre,
         "Jazz"},
        {"every kind of non-string stepped over",
         {extendedDescription({{u"WM/Genre", 1, std::string(33, '\x01')},
                               {u"WM/Genre", 2, littleEndian(1, 4)},
                               {u"WM/Genre", 4, littleEndian(9, 8)},
                               {u"WM/Genre", 5, littleEndian(9, 2)},
                               text(u"WM/Year", u"1999")})},
         &WmaReader::year,
         "1999"},
        {"non-string value under a known name sets nothing",
         {extendedDescription({{u"WM/Genre", 3, littleEndian(5, 4)}})},
         &WmaReader::genre,
         ""},
        {"descriptor after the content description wins",
         {contentDescription(u"Old", u""), extendedDescription({text(u"WM/TITLE", u"New")})},
         &WmaReader::title,
         "New"},
        {"content description after the descriptor wins",
         {extendedDescription({text(u"WM/TITLE", u"Old")}), contentDescription(u"New", u"")},
         &WmaReader::title,
         "New"},
        {"later descriptor wins",
         {extendedDescription({text(u"WM/GENRE", u"Rock"), text(u"WM/GENRE", u"Jazz")})},
         &WmaReader::genre,
         "Jazz"},
        {"600-byte title keeps 250 characters",
         {contentDescription(longTitle, u"Band")},
         &WmaReader::title,
         std::string(250, 'T')},
        {"text after a 600-byte title",
         {contentDescription(longTitle, u"Band")},
         &WmaReader::artist,
         "Band"},
        {"descriptor after a 600-byte value",
         {extendedDescription({text(u"WM/Title", longTitle), text(u"WM/Genre", u"Rock")})},
         &WmaReader::genre,
         "Rock"},
        {"odd length drops the last byte",
         {extendedDescription({{u"WM/Genre", 0, std::string("R\0o\0c\0k\0!", 9)}})},
         &WmaReader::genre,
         "Rock"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(plausible(c.objects)).*c.field, c.expected);
    }
}

TEST(WmaReader, Track) {
    const std::pair<std::u16string, std::int32_t> cases[] = {
        {u"7", 7},   {u" 12 ", 12},       {u"-3", -3},    {u"x", 0},
        {u"1/9", 0}, {u"99999999999", 0}, {u"\uFF17", 0}, // a full-width digit is no decimal digit
    };
    for (const auto& [value, track] : cases) {
        EXPECT_EQ(load(plausible({extendedDescription({text(u"WM/Track", value)})})).track, track);
    }
}

TEST(WmaReader, TruncatedHeaders) {
    const std::string full = plausible(
        {contentDescription(u"Song", u"Band"), extendedDescription({text(u"WM/Genre", u"Rock")})});
    struct Case {
        const char* name;
        std::size_t length;
        bool loads;
    };
    const std::size_t audio = 64; // bytes after the header
    const std::size_t headerEnd = full.size() - audio;
    const Case cases[] = {
        {"empty", 0, false},
        {"inside the header GUID", 10, false},
        {"inside the object count", 26, false},
        {"inside the file properties", 30 + 50, false},
        {"inside the stream's sample rate", 30 + 104 + 84, false},
        {"inside the last descriptor", headerEnd - 6, false},
        // The last object's size points to the end of the header: no read needs what follows.
        {"at the end of the header", headerEnd, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WmaReader wma = load(full.substr(0, c.length), c.loads);
        EXPECT_EQ(wma.valid, c.loads);
        EXPECT_EQ(wma.genre, c.loads ? "Rock" : "");
    }
    // No prefix of the file makes the reader fail in any other way.
    for (std::size_t length = 0; length <= full.size(); ++length) {
        MemorySource source(std::string_view(full).substr(0, length));
        WmaReader wma;
        wma.load(source);
    }
}

TEST(WmaReader, HostileObjectSizes) {
    const auto withSize = [](std::string object, std::uint64_t size) {
        object.replace(16, 8, littleEndian(size, 8));
        return object;
    };
    const std::string genre = extendedDescription({text(u"WM/Genre", u"Rock")});
    struct Case {
        const char* name;
        std::string bytes;
        bool loads;
        bool valid;
        std::string genre;
    };
    const Case cases[] = {
        // A size below the object's own 24 bytes would keep the walk in place: it ends there.
        {"size 0 stops the walk", plausible({withSize(genre, 0), genre}), true, true, ""},
        {"size 23 stops the walk", plausible({withSize(genre, 23), genre}), true, true, ""},
        {"size 0x7FFFFFFF before another object", plausible({withSize(genre, 0x7FFFFFFF), genre}),
         false, false, ""},
        {"size 0x7FFFFFFF as the last object", plausible({withSize(genre, 0x7FFFFFFF)}), true, true,
         "Rock"},
        {"size 2^64-1 before another object", plausible({withSize(genre, UINT64_MAX), genre}),
         false, false, ""},
        {"object count 0x7FFFFFFF",
         [] {
             std::string bytes = plausible();
             bytes.replace(24, 4, littleEndian(0x7FFFFFFF, 4));
             return bytes;
         }(),
         false, false, ""},
        {"descriptor count 65535 with one descriptor",
         [&genre] {
             std::string object = genre;
             object.replace(24, 2, littleEndian(0xFFFF, 2));
             return plausible({object});
         }(),
         false, false, ""},
        {"text length 65535 past the end",
         [] {
             std::string object = contentDescription(u"Song", u"");
             object.replace(24, 2, littleEndian(0xFFFF, 2));
             return plausible({object}).substr(0, 300);
         }(),
         false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WmaReader wma = load(c.bytes, c.loads);
        EXPECT_EQ(wma.valid, c.valid);
        EXPECT_EQ(wma.genre, c.genre);
    }
}

TEST(WmaReader, LoadResets) {
    const std::string good = plausible(
        {contentDescription(u"Song", u""), extendedDescription({text(u"WM/Year", u"1")})});
    const std::string implausible = asf({fileProperties(1), streamProperties(7, 1, 1)});
    WmaReader wma;
    for (const std::string& other : {implausible, std::string("short")}) {
        MemorySource first(good);
        ASSERT_TRUE(wma.load(first));
        ASSERT_EQ(wma.year, "1");
        MemorySource second(other);
        wma.load(second);
        EXPECT_FALSE(wma.valid);
        EXPECT_EQ(wma.title, "");
        EXPECT_EQ(wma.year, "");
        EXPECT_EQ(wma.bitRate, 0);
        EXPECT_EQ(wma.fileSize, 0);
    }
}

TEST(WmaReader, UnopenableFileGivesFalse) {
    WmaReader wma;
    EXPECT_FALSE(wma.load(std::filesystem::temp_directory_path() / "korvane-no-such-file.wma"));
    EXPECT_FALSE(wma.load(std::filesystem::temp_directory_path()));
}
