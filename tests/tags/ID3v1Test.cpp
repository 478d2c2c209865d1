#include "tags/ID3v1.h"

#include "TagBytes.h"

#include <gtest/gtest.h>

using namespace korvane::tags;
using namespace korvane::tags::test;

namespace {

TID3v1 load(const std::string& file, bool expected = true) {
    MemorySource source(file);
    TID3v1 tag;
    EXPECT_EQ(tag.Load(source), expected);
    return tag;
}

std::string lyricsField(std::string_view id, const std::string& data) {
    char size[6];
    std::snprintf(size, sizeof size, "%05zu", data.size());
    return std::string(id) + size + data;
}

// "LYRICSBEGIN", the fields, the 6-digit size and "LYRICS200".
std::string lyricsBlock(const std::string& fields) {
    const std::string block = "LYRICSBEGIN" + fields;
    char size[7];
    std::snprintf(size, sizeof size, "%06zu", block.size());
    return block + size + "LYRICS200";
}

const std::string kAudio(300, 'x');

} // namespace

TEST(ID3v1, VersionTrackAndCommentFromBytes125And126) {
    struct Case {
        const char* name;
        int b125, b126;
        int version, track;
        std::string comment;
    };
    const std::string text28 = "comment of twenty-eight byte";
    const Case cases[] = {
        {"zero then track: 1.1", 0x00, 0x05, 2, 5, text28},
        {"blank then non-blank: 1.1", 0x20, 0x07, 2, 7, text28},
        {"both zero: 1.0, trailing zeros removed", 0x00, 0x00, 1, 0, text28},
        {"both blank: 1.0, trailing blanks removed", 0x20, 0x20, 1, 0, text28},
        {"text in both: 1.0, all 30 comment bytes", 'X', 'Y', 1, 0, text28 + "XY"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string comment = text28 + bytes({c.b125, c.b126});
        const TID3v1 tag = load(kAudio + id3v1Tag("T", "A", "B", "1999", comment, 17));
        EXPECT_TRUE(tag.Exists);
        EXPECT_EQ(tag.Version, c.version);
        EXPECT_EQ(tag.Track, c.track);
        EXPECT_EQ(tag.Comment, c.comment);
        EXPECT_EQ(tag.GenreCode, 17);
    }
}

TEST(ID3v1, FieldsAreTrimmedAndKeptAs8BitText) {
    const std::string title = "Title padded" + std::string(18, ' ');
    const std::string artist = win1251("Кино");
    const TID3v1 tag = load(kAudio + id3v1Tag(title, artist, "Album\0garbage", "88 ", "", 255));
    EXPECT_EQ(tag.Title, "Title padded");
    EXPECT_EQ(tag.Artist, artist);
    EXPECT_EQ(tag.FullArtist(), artist);
    EXPECT_EQ(tag.Album, "Album");
    EXPECT_EQ(tag.FullAlbum(), "Album");
    EXPECT_EQ(tag.Year, "88");
    EXPECT_TRUE(tag.LongTitle.empty());
    EXPECT_EQ(tag.GenreName(), "");
    EXPECT_EQ(tag.TailSize(), 128);
}

TEST(ID3v1, GenreNames) {
    const std::pair<int, const char*> cases[] = {
        {0, "Blues"},       {17, "Rock"},      {37, "Sound Clip"}, {67, "Psychadelic"},
        {74, "Acid Jazz"},  {85, "Bebob"},     {111, "Slow Jam"},  {123, "A capella"},
        {133, "Negerpunk"}, {147, "Synthpop"}, {148, ""},          {255, ""}};
    for (const auto& [code, name] : cases) {
        SCOPED_TRACE(code);
        TID3v1 tag;
        tag.GenreCode = static_cast<std::uint8_t>(code);
        EXPECT_EQ(tag.GenreName(), name);
    }
}

TEST(ID3v1, NoTagGivesInitialValues) {
    const TID3v1 tag = load(kAudio);
    EXPECT_FALSE(tag.Exists);
    EXPECT_EQ(tag.Version, 1);
    EXPECT_EQ(tag.GenreCode, 255);
    EXPECT_EQ(tag.TailSize(), 0);
    EXPECT_TRUE(load("TAG").Title.empty()); // shorter than a tag
}

TEST(ID3v1, Setters) {
    TID3v1 tag;
    tag.setYear("2001 \t");
    EXPECT_EQ(tag.Year, "2001");
    tag.setYear("200112");
    EXPECT_EQ(tag.Year, "2001");
    const std::string forty(40, 'a');
    tag.setTitle(forty + "  ");
    EXPECT_EQ(tag.Title, forty);
    EXPECT_EQ(tag.LongTitle, forty);
    tag.setTitle(std::string(30, 'b'));
    EXPECT_TRUE(tag.LongTitle.empty());
}

TEST(ID3v1, Lyrics3FieldsAndTailSize) {
    const std::string longTitle(40, 'T');
    const std::string fields = lyricsField("IND", "11") + lyricsField("ETT", longTitle + " ") +
                               lyricsField("EAR", " Long Artist ") +
                               lyricsField("EAL", "Album Name") + lyricsField("INF", "info\r\n") +
                               lyricsField("AUT", "  Writer ") + lyricsField("IMG", " pic.jpg ") +
                               lyricsField("LYR", "\r\na\rb\r\nc\nd\r\n");
    const std::string block = lyricsBlock(fields);
    const std::int64_t lyricsSize = static_cast<std::int64_t>(block.size()) - 15;

    const TID3v1 tag = load(kAudio + block + id3v1Tag("short", "a", "b", "", "", 1));
    EXPECT_TRUE(tag.LyricsFound);
    EXPECT_EQ(tag.LyricsSize, lyricsSize);
    EXPECT_EQ(tag.LyricsTailSize(), lyricsSize + 15);
    EXPECT_EQ(tag.TailSize(), lyricsSize + 15 + 128);
    EXPECT_EQ(tag.Title, longTitle);
    EXPECT_EQ(tag.LongTitle, longTitle);
    EXPECT_EQ(tag.Artist, "Long Artist");
    EXPECT_EQ(tag.Album, "Album Name");
    EXPECT_EQ(tag.Comment, "info");
    EXPECT_EQ(tag.Author, "Writer");
    EXPECT_EQ(tag.Image, " pic.jpg ");
    EXPECT_EQ(tag.Lyrics, "a\r\nb\r\nc\nd");

    // Without an ID3v1 tag the block ends the file.
    const TID3v1 bare = load(kAudio + block);
    EXPECT_FALSE(bare.Exists);
    EXPECT_TRUE(bare.LyricsFound);
    EXPECT_EQ(bare.TailSize(), lyricsSize + 15);
    EXPECT_EQ(bare.Artist, "Long Artist");
}

TEST(ID3v1, Lyrics3Trailers) {
    struct Case {
        const char* name;
        std::string beforeTag;
        bool found;
        std::int64_t size;
        std::string author;
    };
    const std::string good = lyricsBlock(lyricsField("AUT", "Someone"));
    std::string wrongSize = good;
    wrongSize.replace(wrongSize.size() - 15, 6, "000012");
    std::string notNumber = good;
    notNumber.replace(notNumber.size() - 15, 6, "00x012");
    const std::string beyondFile = "999999LYRICS200";
    const std::string unknownFirst =
        lyricsBlock(lyricsField("XYZ", "skip") + lyricsField("AUT", "Someone"));
    const std::string oversized =
        "LYRICSBEGIN" + std::string("AUT99999") + "Someone" + "000026" + "LYRICS200";
    const Case cases[] = {
        {"a good block", good, true, static_cast<std::int64_t>(good.size()) - 15, "Someone"},
        {"no begin mark where the size points", wrongSize, false, 0, ""},
        {"size that is not a number", notNumber, false, 0, ""},
        {"size beyond the start of the file", beyondFile, false, 0, ""},
        {"unknown field id ends the walk", unknownFirst, true,
         static_cast<std::int64_t>(unknownFirst.size()) - 15, ""},
        {"field size past the block is cut at the block", oversized, true, 26, "Someone"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TID3v1 tag = load(kAudio + c.beforeTag + id3v1Tag("t", "a", "b", "", "", 1));
        EXPECT_EQ(tag.LyricsFound, c.found);
        EXPECT_EQ(tag.LyricsSize, c.size);
        EXPECT_EQ(tag.TailSize(), 128 + (c.size > 0 ? c.size + 15 : 0));
        EXPECT_EQ(tag.Author, c.author);
    }
}

TEST(ID3v1, LoadByFileName) {
    TempFile file(kAudio + id3v1Tag("t", "a", "b", "1999", "", 3));
    TID3v1 tag;
    EXPECT_TRUE(tag.Load(file.path()));
    EXPECT_EQ(tag.GenreName(), "Dance");
    EXPECT_FALSE(tag.Load(file.path().string() + ".missing"));
    EXPECT_FALSE(tag.Exists);
}
