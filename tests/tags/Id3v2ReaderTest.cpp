#include "tags/Id3v2Reader.h"

#include "TagBytes.h"

#include <gtest/gtest.h>

using namespace korvane::tags;
using namespace korvane::tags::test;

namespace {

const std::string kAudio(64, '\0');

using Status = ReadResult::Status;

Id3v2Reader load(const std::string& file, Status expected = Status::Read) {
    MemorySource source(file);
    Id3v2Reader tag;
    EXPECT_EQ(tag.load(source).status(), expected);
    return tag;
}

std::string latin(std::string_view text) {
    return bytes({0}) + std::string(text);
}
std::string utf16Bom(std::string_view utf8) {
    return bytes({1, 0xFF, 0xFE}) + utf16le(utf8) + bytes({0, 0});
}

} // namespace

TEST(Id3v2Reader, Version3EncodingsZeroAndOne) {
    const std::string frames =
        frameV3("TPE1", latin("Artist") + bytes({0})) + frameV3("TALB", utf16Bom("Группа крови")) +
        frameV3("TIT2", bytes({1, 0xFE, 0xFF}) + utf16be("Кино") + bytes({0, 0}));
    const Id3v2Reader tag = load(id3v2Tag(3, frames) + kAudio);
    EXPECT_TRUE(tag.exists);
    EXPECT_EQ(tag.version, 3);
    EXPECT_EQ(tag.size, 10 + static_cast<std::int64_t>(frames.size()));
    EXPECT_EQ(tag.artist, "Artist");
    EXPECT_EQ(tag.album, "Группа крови");
    // A big-endian byte-order mark is honoured.
    EXPECT_EQ(tag.title, "Кино");
}

TEST(Id3v2Reader, Version2ThreeCharacterFrames) {
    const std::string frames = frameV2("TP1", latin("Band")) + frameV2("TAL", utf16Bom("Альбом")) +
                               frameV2("TYE", latin("1999")) + frameV2("TCO", latin("(17)Rock")) +
                               frameV2("COM", latin("engdesc") + bytes({0}) + "Country: UK");
    const Id3v2Reader tag = load(id3v2Tag(2, frames) + kAudio);
    EXPECT_EQ(tag.version, 2);
    EXPECT_EQ(tag.artist, "Band");
    EXPECT_EQ(tag.album, "Альбом");
    EXPECT_EQ(tag.year, "1999");
    EXPECT_EQ(tag.genre, "Rock");
    EXPECT_EQ(tag.comment, "Country: UK");
}

TEST(Id3v2Reader, AllFourEncodings) {
    struct Case {
        const char* name;
        std::string data; // TPE1 data
        std::string expected;
    };
    const Case cases[] = {
        {"0: Windows-1251", latin(win1251("Земляне")), "Земляне"},
        {"0: bytes that form UTF-8 are read as UTF-8", latin("Björk"), "Björk"},
        {"0: Latin-1 bytes that are no UTF-8 read as Windows-1252", latin("Bj\xF6rk"), "Björk"},
        {"0: KOI8-R", latin("\xEB\xC9\xCE\xCF"), "Кино"},
        {"0: CP866", latin("\x8A\xA8\xAD\xAE"), "Кино"},
        {"0: too little to tell stays Windows-1251", latin("\xA9 1988"), "© 1988"},
        {"1: UTF-16 with a little-endian mark", utf16Bom("Земляне"), "Земляне"},
        {"1: characters outside Windows-1251", utf16Bom("坂本龍一"), "坂本龍一"},
        {"1: a surrogate pair", utf16Bom("Björk 🎹"), "Björk 🎹"},
        {"1: a lone surrogate", bytes({1, 0xFF, 0xFE, 0x3D, 0xD8, 'A', 0}), "\uFFFDA"},
        {"2: UTF-16 big-endian", bytes({2}) + utf16be("Земляне") + bytes({0, 0}), "Земляне"},
        {"3: UTF-8", bytes({3}) + "Земляне" + bytes({0}), "Земляне"},
        {"3: UTF-8 past Windows-1251", bytes({3}) + "坂本龍一", "坂本龍一"},
        {"4: no such encoding", bytes({4}) + "Artist", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(id3v2Tag(4, frameV4("TPE1", c.data)) + kAudio).artist, c.expected);
        EXPECT_EQ(load(id3v2Tag(3, frameV3("TPE1", c.data)) + kAudio).artist, c.expected);
    }
}

TEST(Id3v2Reader, Version4WithEncodingsTwoAndThree) {
    const std::string frames =
        frameV4("TPE1", bytes({3}) + "Artist") + frameV4("TALB", bytes({2}) + utf16be("Album")) +
        frameV4("TDRC", bytes({2}) + utf16be("2004-05-06")) + frameV4("TCON", bytes({3}) + "17") +
        frameV4("COMM", bytes({1}) + "eng" + bytes({0xFF, 0xFE, 0, 0}) + bytes({0xFF, 0xFE}) +
                            utf16le("Country: UK"));
    const Id3v2Reader tag = load(id3v2Tag(4, frames) + kAudio);
    EXPECT_EQ(tag.artist, "Artist");
    EXPECT_EQ(tag.album, "Album");
    EXPECT_EQ(tag.year, "2004");
    EXPECT_EQ(tag.genre, "Rock");
    EXPECT_EQ(tag.comment, "Country: UK");
}

TEST(Id3v2Reader, Unsynchronisation) {
    // FF E0 (a Windows-1251 "яа") is stored as FF 00 E0.
    const std::string stored = bytes({0, 0xFF, 0x00, 0xE0});
    struct Case {
        const char* name;
        std::string tag;
        std::string artist;
        std::string album;
    };
    const Case cases[] = {
        {"2.3: the whole tag, frame sizes count restored bytes",
         id3v2Tag(3, "TPE1" + be32(3) + bytes({0, 0}) + stored + frameV3("TALB", latin("B")), 0x80),
         "яа", "B"},
        {"2.2: the whole tag",
         id3v2Tag(2, "TP1" + be24(3) + stored + frameV2("TAL", latin("B")), 0x80), "яа", "B"},
        {"2.4: a frame's own flag, sizes count stored bytes",
         id3v2Tag(4, frameV4("TPE1", stored, 0x02) + frameV4("TALB", latin("B"))), "яа", "B"},
        {"2.4: the tag's flag applies to every frame",
         id3v2Tag(4, frameV4("TPE1", stored) + frameV4("TALB", latin("B")), 0x80), "яа", "B"},
        {"2.3: FF 00 00 in a UTF-16 frame",
         id3v2Tag(3, "TPE1" + be32(5) + bytes({0, 0}) + bytes({1, 0xFF, 0x00, 0xFE, 'A', 0}), 0x80),
         "A", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Id3v2Reader tag = load(c.tag + kAudio);
        EXPECT_EQ(tag.artist, c.artist);
        EXPECT_EQ(tag.album, c.album);
    }
}

TEST(Id3v2Reader, FrameFlags) {
    struct Case {
        const char* name;
        std::string frame; // TPE1, version 4 unless the name says otherwise
        int version;
        std::string artist;
    };
    const Case cases[] = {
        {"data length indicator", frameV4("TPE1", syncsafe(7) + latin("Artist"), 0x01), 4,
         "Artist"},
        {"grouping and data length",
         frameV4("TPE1", bytes({5}) + syncsafe(7) + latin("Artist"), 0x41), 4, "Artist"},
        {"data length with unsynchronisation",
         frameV4("TPE1", syncsafe(3) + bytes({0, 0xFF, 0, 0xE0}), 0x03), 4, "яа"},
        {"2.4 compressed", frameV4("TPE1", syncsafe(6) + latin("Artist"), 0x09), 4, ""},
        {"2.4 encrypted", frameV4("TPE1", bytes({1}) + latin("Artist"), 0x04), 4, ""},
        {"2.3 grouping", frameV3("TPE1", bytes({5}) + latin("Artist"), 0x20), 3, "Artist"},
        {"2.3 encrypted", frameV3("TPE1", bytes({1}) + latin("Artist"), 0x40), 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(id3v2Tag(c.version, c.frame) + kAudio).artist, c.artist);
    }
}

TEST(Id3v2Reader, CommentChoice) {
    const auto comm = [](std::string_view description, std::string_view text) {
        return frameV3("COMM",
                       latin("eng") + std::string(description) + bytes({0}) + std::string(text));
    };
    struct Case {
        const char* name;
        std::string frames;
        std::string comment;
    };
    const Case cases[] = {
        {"the country note wins over a later iTunNORM",
         comm("", "Country: UK") + comm("iTunNORM", " 0000021C 000001F4"), "Country: UK"},
        {"the country note wins over an earlier ID3v1 comment",
         comm("ID3v1 Comment", "old") + comm("", "Country: USA"), "Country: USA"},
        {"the country note wins with a description of its own",
         comm("", "plain") + comm("note", "Country: France"), "Country: France"},
        {"else the empty description", comm("iTunNORM", "x") + comm("", "mine"), "mine"},
        {"else the first", comm("a", "first") + comm("b", "second"), "first"},
        {"of two empty descriptions the first", comm("", "one") + comm("", "two"), "one"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(id3v2Tag(3, c.frames) + kAudio).comment, c.comment);
    }
}

TEST(Id3v2Reader, SingleFrameDecoding) {
    struct Case {
        const char* name;
        std::string frame; // version 3
        std::string Id3v2Reader::*field;
        std::string expected;
    };
    const Case cases[] = {
        {"TCON plain", frameV3("TCON", latin("Rock")), &Id3v2Reader::genre, "Rock"},
        {"TDRC when TYER is absent", frameV3("TDRC", latin("2004-05-06")), &Id3v2Reader::year,
         "2004"},
        {"COMM with empty description",
         frameV3("COMM", latin("eng") + bytes({0}) + "Country: UK\r\nUSA  "), &Id3v2Reader::comment,
         "Country: UK\r\nUSA"},
        {"COMM with description", frameV3("COMM", latin("rusabout") + bytes({0}) + "text"),
         &Id3v2Reader::comment, "text"},
        {"COMM in UTF-16 with a description ending in ASCII",
         frameV3("COMM", bytes({1}) + "eng" + bytes({0xFF, 0xFE}) + utf16le("A") + bytes({0, 0}) +
                             utf16Bom("Страна").substr(1)),
         &Id3v2Reader::comment, "Страна"},
        {"WXXX link", frameV3("WXXX", latin("home") + bytes({0}) + "http://x.example"),
         &Id3v2Reader::link, "http://x.example"},
        {"TCOM", frameV3("TCOM", latin("Composer")), &Id3v2Reader::composer, "Composer"},
        {"TENC", frameV3("TENC", latin("Encoder")), &Id3v2Reader::encoder, "Encoder"},
        {"TCOP", frameV3("TCOP", latin("(c) 1999")), &Id3v2Reader::rightsNotice, "(c) 1999"},
        {"TLAN", frameV3("TLAN", latin("rus")), &Id3v2Reader::language, "rus"},
        {"TSIZ", frameV3("TSIZ", latin("123456")), &Id3v2Reader::sizeText, "123456"},
        {"TIT1 when TIT2 is absent", frameV3("TIT1", latin("Group")), &Id3v2Reader::title, "Group"},
        {"TOPE when TPE1 is absent", frameV3("TOPE", latin("Orig")), &Id3v2Reader::artist, "Orig"},
        {"TOAL when TALB is absent", frameV3("TOAL", latin("OrigAl")), &Id3v2Reader::album,
         "OrigAl"},
        {"8-bit text ends at a zero byte", frameV3("TPE1", latin("One") + bytes({0}) + "Two"),
         &Id3v2Reader::artist, "One"},
        {"UTF-16 without a mark is little-endian", frameV3("TPE1", bytes({1}) + utf16le("Ab")),
         &Id3v2Reader::artist, "Ab"},
        {"odd last byte of UTF-16 pairs with the zero padding",
         frameV3("TPE1", bytes({1, 0xFF, 0xFE, 'Z'})), &Id3v2Reader::artist, "Z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Id3v2Reader tag = load(id3v2Tag(3, c.frame) + kAudio);
        EXPECT_EQ(tag.*c.field, c.expected);
    }
}

TEST(Id3v2Reader, GenreReferences) {
    const std::pair<std::string, std::string> cases[] = {
        {"(17)", "Rock"},
        {"(13)", "Pop"},
        {"17", "Rock"},
        {"(0)", "Blues"},
        {"(191)", "Psybient"},
        {"(147)Synthpop", "Synthpop"},
        {"(13)Pop", "Pop"},
        {"(17) Rock", "Rock"},
        {"(1)(2)Two", "Two"},
        {"(17)(6)", "Rock"},
        {"(RX)", "Remix"},
        {"(CR)", "Cover"},
        {"(17)((Classic)", "(Classic)"},
        {"Rock (Classic)", "Rock (Classic)"},
        {win1251("Шансон (русский)"), "Шансон (русский)"},
        {"(192)", ""},
        {"(255)", ""},
        {"(255)Rock", "Rock"},
        {"(255)(17)", "Rock"},
        {"(1000)", ""},
        {"(x)Rock", "(x)Rock"},
        {"192", "192"},
        {"1984", "1984"},
        {"((Classic)", "((Classic)"},
    };
    for (const auto& [stored, genre] : cases) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(load(id3v2Tag(3, frameV3("TCON", latin(stored))) + kAudio).genre, genre);
    }
}

TEST(Id3v2Reader, Track) {
    const std::pair<const char*, int> cases[] = {
        {"3/12", 3}, {"7", 7}, {"A3", 0}, {"", 0}, {"70000", 70000 % 65536}};
    for (const auto& [text, number] : cases) {
        SCOPED_TRACE(text);
        const Id3v2Reader tag = load(id3v2Tag(3, frameV3("TRCK", latin(text))) + kAudio);
        EXPECT_EQ(tag.track, number);
        EXPECT_EQ(tag.trackText, text);
    }
}

TEST(Id3v2Reader, FrameWalk) {
    const std::string long800 = latin(std::string(499, 'a') + std::string(300, 'b'));
    struct Case {
        const char* name;
        std::string tag;
        std::string artist;
        std::string album;
    };
    const Case cases[] = {
        {"a frame of 800 bytes: its first 500 seen, the walk goes on",
         id3v2Tag(3, frameV3("TPE1", long800) + frameV3("TALB", latin("After"))),
         std::string(499, 'a'), "After"},
        {"version 4 sizes are syncsafe (300 = 00 00 02 2C)",
         id3v2Tag(4, frameV4("TIT2", latin(std::string(299, 't'))) + frameV4("TALB", latin("B"))),
         "", "B"},
        {"a later frame with the same id replaces",
         id3v2Tag(3, frameV3("TPE1", latin("First")) + frameV3("TPE1", latin("Second"))), "Second",
         ""},
        {"second flag byte's top bit: frame ignored",
         id3v2Tag(3, frameV3("TPE1", latin("Packed"), 0x80) + frameV3("TALB", latin("B"))), "",
         "B"},
        {"padding ends the walk",
         id3v2Tag(3, frameV3("TPE1", latin("A")) + std::string(20, '\0') +
                         frameV3("TALB", latin("B"))),
         "A", ""},
        {"2.3 extended header is skipped",
         id3v2Tag(3, be32(6) + bytes({0, 0, 0, 0, 0, 0}) + frameV3("TPE1", latin("A")), 0x40), "A",
         ""},
        {"2.4 extended header is skipped",
         id3v2Tag(4, syncsafe(6) + bytes({1, 0}) + frameV4("TALB", latin("B")), 0x40), "", "B"},
        {"extended header larger than the tag: no frames",
         id3v2Tag(3, be32(600) + frameV3("TPE1", latin("A")), 0x40), "", ""},
        {"frame size past the tag reads what the file holds",
         id3v2Header(3, 0, 30) + "TPE1" + be32(1000000) + bytes({0, 0, 0}) + "Cut", "Cut", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Id3v2Reader tag = load(c.tag + kAudio);
        EXPECT_EQ(tag.artist, c.artist);
        EXPECT_EQ(tag.album, c.album);
    }
    EXPECT_EQ(syncsafe(300), bytes({0, 0, 2, 0x2C}));
}

TEST(Id3v2Reader, HeaderAndSize) {
    struct Case {
        const char* name;
        std::string file;
        Status status;
        bool exists;
        int version;
        std::int64_t size;
        std::string artist;
    };
    const std::string frames = frameV3("TPE1", latin("A"));
    const std::string tag3 = id3v2Tag(3, frames);
    const Case cases[] = {
        {"no tag", "abcdefghijkl", Status::NotThisFormat, false, 0, 0, ""},
        {"shorter than 10 bytes", "ID3\x03", Status::NotThisFormat, false, 0, 0, ""},
        {"plain version 3 tag", tag3 + kAudio, Status::Read, true, 3, 10 + (int)frames.size(), "A"},
        {"footer flag adds 10 bytes",
         id3v2Tag(4, frameV4("TPE1", latin("A")), 0x10) + "3DI" + std::string(7, '\0') + kAudio,
         Status::Read, true, 4, 20 + (int)frames.size(), "A"},
        {"size past the end of the file", id3v2Header(3, 0, 5000) + frames, Status::Damaged, true,
         3, 0, ""},
        {"major version 5", id3v2Tag(5, frames) + kAudio, Status::Damaged, true, 5,
         10 + (int)frames.size(), ""},
        {"size bytes with top bits are taken as they are",
         "ID3" + bytes({3, 0, 0, 0, 0, 0x80, 0x00}) + frames + std::string(20000, '\0'),
         Status::Read, true, 3, 0x80 * 128 + 10, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Id3v2Reader tag = load(c.file, c.status);
        EXPECT_EQ(tag.exists, c.exists);
        EXPECT_EQ(tag.version, c.version);
        EXPECT_EQ(tag.size, c.size);
        EXPECT_EQ(tag.artist, c.artist);
    }
}

TEST(Id3v2Reader, LoadByFileName) {
    TempFile file(id3v2Tag(3, frameV3("TPE1", latin("A"))) + kAudio);
    Id3v2Reader tag;
    EXPECT_TRUE(tag.load(file.path()));
    EXPECT_EQ(tag.artist, "A");
    EXPECT_FALSE(tag.load(file.path().string() + ".missing"));
    EXPECT_FALSE(tag.exists);
}
