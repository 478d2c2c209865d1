#include "tags/Id3v2FrameReader.h"

#include "TagBytes.h"

#include <gtest/gtest.h>

using namespace korvane::tags;
using namespace korvane::tags::test;

namespace {

const std::string kAudio(32, '\0');

std::vector<std::string> items(const std::vector<std::string>& list) {
    return list;
}

Id3v2FrameReader load(const std::string& file) {
    MemorySource source(file);
    Id3v2FrameReader tag;
    EXPECT_FALSE(tag.load(source).isDamaged());
    return tag;
}

// The reason of a damaged tag, which leaves every field reset; empty when it is not damaged.
std::string loadError(const std::string& file) {
    MemorySource source(file);
    Id3v2FrameReader tag;
    const ReadResult result = tag.load(source);
    if (result.isDamaged()) {
        EXPECT_TRUE(tag.frameIds().empty());
        EXPECT_FALSE(tag.header().hasTag);
    }
    return result.reason();
}

using Strings = std::vector<std::string>;

} // namespace

TEST(Id3v2FrameReader, LeadArtistEncodingsAndSplitting) {
    struct Case {
        const char* name;
        int version;
        std::string data; // TPE1 data
        Strings expected;
    };
    const Case cases[] = {
        {"2.3: AC/DC gives two entries", 3, bytes({0}) + "AC/DC", {"AC", "DC"}},
        {"2.3: empty pieces are kept", 3, bytes({0}) + "A//B", {"A", "", "B"}},
        {"2.3: no trimming", 3, bytes({0}) + " A / B", {" A ", " B"}},
        {"2.4: AC/DC stays one artist", 4, bytes({3}) + "AC/DC" + bytes({0}), {"AC/DC"}},
        {"2.4: zero bytes separate artists",
         4,
         bytes({3}) + "Кино" + bytes({0}) + "Аквариум",
         {"Кино", "Аквариум"}},
        {"2.4: trailing padding is no artist", 4, bytes({0}) + "A" + bytes({0, 0, 0}), {"A"}},
        {"8-bit text is Windows-1251",
         3,
         bytes({0}) + win1251("Кино") + bytes({0}) + "x",
         {"Кино"}},
        {"8-bit text that is UTF-8 stays UTF-8", 3, bytes({0}) + "Björk", {"Björk"}},
        {"UTF-8", 3, bytes({3}) + "Кино/Аквариум", {"Кино", "Аквариум"}},
        {"UTF-16 little-endian mark",
         3,
         bytes({1, 0xFF, 0xFE}) + utf16le("Ёлка") + bytes({0, 0}),
         {"Ёлка"}},
        {"UTF-16 big-endian mark", 3, bytes({1, 0xFE, 0xFF}) + utf16be("Ёлка"), {"Ёлка"}},
        {"UTF-16 without a mark is empty", 3, bytes({1}) + utf16le("Ёлка"), {}},
        {"UTF-16 big-endian without mark",
         3,
         bytes({2}) + utf16be("Чайф") + bytes({0, 0}),
         {"Чайф"}},
        {"characters outside Windows-1251",
         3,
         bytes({1, 0xFF, 0xFE}) + utf16le("坂本龍一 🎹"),
         {"坂本龍一 🎹"}},
        {"empty text gives an empty list", 3, bytes({0, 0}), {}},
        {"no data at all", 3, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string frame =
            c.version == 4 ? frameV4("TPE1", c.data) : frameV3("TPE1", c.data);
        const Id3v2FrameReader tag = load(id3v2Tag(c.version, frame) + kAudio);
        EXPECT_EQ(items(tag.texts.leadArtist), c.expected);
    }
}

// A big tag of empty frames must not turn into millions of kept ids.
TEST(Id3v2FrameReader, FrameIdsAreCapped) {
    std::string frames;
    for (int i = 0; i < 3000; ++i)
        frames += frameV4("TXXX", "");
    const Id3v2FrameReader tag =
        load(id3v2Tag(4, frames + frameV4("TALB", bytes({0}) + "Album")) + kAudio);
    EXPECT_EQ(tag.frameIds().size(), Id3v2FrameReader::kMaxFrameIds);
    EXPECT_EQ(tag.frameIdsLeftOut(), 3001 - Id3v2FrameReader::kMaxFrameIds);
    EXPECT_EQ(tag.texts.album, "Album") << "frames past the cap are still read";
}

TEST(Id3v2FrameReader, MissingFrameGivesAnEmptyList) {
    const Id3v2FrameReader tag = load(id3v2Tag(3, frameV3("TALB", bytes({0}) + "Album")) + kAudio);
    EXPECT_EQ(tag.texts.album, "Album");
    EXPECT_TRUE(tag.texts.leadArtist.empty());
}

TEST(Id3v2FrameReader, ContentType) {
    struct Case {
        const char* name;
        std::string data;
        Strings expected;
    };
    const Case cases[] = {
        {"numeric reference", bytes({0}) + "(13)", {"Pop"}},
        {"bare number", bytes({3}) + "17" + bytes({0}), {"Rock"}},
        {"reference and text", bytes({0}) + "(17)Rock & Roll" + bytes({0}), {"Rock & Roll"}},
        {"parentheses that are no reference",
         bytes({3}) + "Шансон (русский)" + bytes({0}),
         {"Шансон (русский)"}},
        {"several values", bytes({0}) + "Rock" + bytes({0}) + "Pop", {"Rock", "Pop"}},
        {"no slash splitting", bytes({0}) + "Rock/Pop", {"Rock/Pop"}},
        {"two bytes after the encoding: empty", bytes({0}) + "17", {}},
        {"one byte after the encoding: empty", bytes({0}) + "7", {}},
        {"UTF-16 values",
         bytes({1, 0xFF, 0xFE}) + utf16le("Рок") + bytes({0, 0, 0xFF, 0xFE}) + utf16le("Поп") +
             bytes({0, 0}),
         {"Рок", "Поп"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Id3v2FrameReader tag = load(id3v2Tag(4, frameV4("TCON", c.data)) + kAudio);
        EXPECT_EQ(items(tag.texts.contentType), c.expected);
    }
}

TEST(Id3v2FrameReader, TagLayouts) {
    const std::string artist = bytes({0}) + "Artist";
    const std::string album = bytes({0}) + "Album";
    // 2.3 frame with grouping: a group id byte precedes the data.
    const std::string grouped = frameV3("TPE1", bytes({7}) + artist, 0x20);
    // 2.4 frame with a data length indicator and unsynchronised data.
    const std::string indicated =
        frameV4("TPE1", syncsafe(4) + bytes({0, 0xFF, 0x00, 0xE0}), 0x01 | 0x02);
    struct Case {
        const char* name;
        std::string file;
        Strings artist;
        std::string album;
    };
    const Case cases[] = {
        {"version 2.2",
         id3v2Tag(2, frameV2("TP1", artist) + frameV2("TAL", album)),
         {"Artist"},
         "Album"},
        {"version 2.3",
         id3v2Tag(3, frameV3("TPE1", artist) + frameV3("TALB", album)),
         {"Artist"},
         "Album"},
        {"version 2.4 unsynchronised frame: FF 00 E0 gives FF E0",
         id3v2Tag(4, frameV4("TPE1", bytes({0, 0xFF, 0x00, 0xE0}), 0x02)),
         {"яа"},
         ""},
        {"version 2.4 with a data length indicator", id3v2Tag(4, indicated), {"яа"}, ""},
        {"version 2.4 compressed frame is passed over",
         id3v2Tag(4, frameV4("TALB", syncsafe(5) + bytes({0x78, 0x9C, 1, 2, 3}), 0x08 | 0x01) +
                         frameV4("TALB", album)),
         {},
         "Album"},
        {"version 2.3 grouping byte", id3v2Tag(3, grouped), {"Artist"}, ""},
        {"version 2.3 extended header",
         id3v2Tag(3, be32(6) + bytes({0, 0, 0, 0, 0, 0}) + frameV3("TPE1", artist), 0x40),
         {"Artist"},
         ""},
        {"version 2.4 extended header",
         id3v2Tag(4, syncsafe(6) + bytes({1, 0}) + frameV4("TALB", album), 0x40),
         {},
         "Album"},
        {"first frame of a kind counts",
         id3v2Tag(4, frameV4("TALB", album) + frameV4("TALB", bytes({0}) + "Other")),
         {},
         "Album"},
        {"unknown frames are skipped by their size",
         id3v2Tag(4, frameV4("TXXX", std::string(300, 'x')) + frameV4("TALB", album)),
         {},
         "Album"},
        {"padding ends the walk",
         id3v2Tag(4, std::string(10, '\0') + frameV4("TALB", album)),
         {},
         ""},
        {"a frame larger than the tag is skipped",
         id3v2Header(4, 0, 20) + "TALB" + syncsafe(100) + bytes({0, 0}) + album + kAudio,
         {},
         ""},
        {"major version 5", id3v2Tag(5, frameV4("TALB", album)), {}, ""},
        {"no tag", "RIFF" + std::string(40, '\0'), {}, ""},
        {"9 bytes", "ID3\x04" + std::string(5, '\0'), {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Id3v2FrameReader tag = load(c.file + kAudio);
        EXPECT_EQ(items(tag.texts.leadArtist), c.artist);
        EXPECT_EQ(tag.texts.album, c.album);
    }
}

TEST(Id3v2FrameReader, UnsynchronisedTagVersion3) {
    // Unsynchronisation of the whole tag: FF E0 is stored as FF 00 E0, and the tag size counts
    // the stored bytes; the frame size counts the restored ones.
    const std::string frame = "TPE1" + be32(3) + bytes({0, 0, 0, 0xFF, 0x00, 0xE0});
    const Id3v2FrameReader tag = load(id3v2Tag(3, frame, 0x80) + kAudio);
    EXPECT_EQ(items(tag.texts.leadArtist), Strings{"яа"});
    // 2.4 with the tag flag: every frame is unsynchronised on its own, sizes count stored bytes.
    const std::string frame4 = frameV4("TPE1", bytes({0, 0xFF, 0x00, 0xE0}));
    const Id3v2FrameReader tag4 =
        load(id3v2Tag(4, frame4 + frameV4("TALB", bytes({0}) + "B"), 0x80));
    EXPECT_EQ(items(tag4.texts.leadArtist), Strings{"яа"});
    EXPECT_EQ(tag4.texts.album, "B");
}

TEST(Id3v2FrameReader, Errors) {
    struct Case {
        const char* name;
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {"unknown encoding", id3v2Tag(4, frameV4("TPE1", bytes({4}) + "x")), "Unknown encoding"},
        {"tag shorter than stated", id3v2Header(3, 0, 500) + std::string(100, 'A'),
         "Stream read error"},
        {"tag shorter than stated, unsynchronised",
         id3v2Header(3, 0x80, 500) + std::string(100, 'A'), "Could not read data from stream"},
        {"an encoding byte on another frame kind is not read",
         id3v2Tag(4, frameV4("TIT2", bytes({9}) + "x")), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(loadError(c.file), c.message);
    }
}

TEST(Id3v2FrameReader, FromAFile) {
    TempFile first(id3v2Tag(3, frameV3("TPE1", bytes({0}) + "First")) + kAudio);
    TempFile none("RIFF" + std::string(40, '\0'));
    Id3v2FrameReader tag;
    EXPECT_TRUE(tag.load(first.path()).isRead());
    EXPECT_EQ(tag.texts.leadArtist, Strings{"First"});
    // A file without a tag is not this format; the texts of the last one are gone.
    EXPECT_EQ(tag.load(none.path()).status(), ReadResult::Status::NotThisFormat);
    EXPECT_TRUE(tag.texts.leadArtist.empty());

    const std::string missing = first.path().string() + ".missing";
    const ReadResult result = tag.load(missing);
    EXPECT_TRUE(result.isDamaged());
    EXPECT_TRUE(result.isUnreadable());
    EXPECT_EQ(result.reason(), "Cannot open file \"" + missing + "\". No such file or directory");
}
