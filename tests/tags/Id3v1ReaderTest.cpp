#include "tags/Id3v1Reader.h"

#include "TagBytes.h"

#include <gtest/gtest.h>

using namespace korvane::tags;
using namespace korvane::tags::test;

namespace {

using Status = ReadResult::Status;

Id3v1Reader load(const std::string& file, Status expected = Status::Read) {
    MemorySource source(file);
    Id3v1Reader tag;
    EXPECT_EQ(tag.load(source).status(), expected);
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

TEST(Id3v1Reader, VersionTrackAndCommentFromBytes125And126) {
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
        const Id3v1Reader tag = load(kAudio + id3v1Tag("T", "A", "B", "1999", comment, 17));
        EXPECT_TRUE(tag.exists);
        EXPECT_EQ(tag.version, c.version);
        EXPECT_EQ(tag.track, c.track);
        EXPECT_EQ(tag.comment, c.comment);
        EXPECT_EQ(tag.genreCode, 17);
    }
}

TEST(Id3v1Reader, FieldsAreTrimmedAndComeOutAsUtf8) {
    const std::string title = "Title padded" + std::string(18, ' ');
    const Id3v1Reader tag =
        load(kAudio + id3v1Tag(title, win1251("Кино"), "Album\0garbage", "88 ", "", 255));
    EXPECT_EQ(tag.title, "Title padded");
    EXPECT_EQ(tag.artist, "Кино");
    EXPECT_EQ(tag.fullArtist(), "Кино");
    EXPECT_EQ(tag.album, "Album");
    EXPECT_EQ(tag.fullAlbum(), "Album");
    EXPECT_EQ(tag.year, "88");
    EXPECT_TRUE(tag.longTitle.empty());
    EXPECT_EQ(tag.genreName(), "");
    EXPECT_EQ(tag.tailSize(), 128);
}

TEST(Id3v1Reader, GenreNames) {
    const std::pair<int, const char*> cases[] = {{0, "Blues"},
                                                 {17, "Rock"},
                                                 {37, "Sound Clip"},
                                                 {67, "Psychadelic"},
                                                 {74, "Acid Jazz"},
                                                 {85, "Bebob"},
                                                 {111, "Slow Jam"},
                                                 {123, "A capella"},
                                                 {133, "Negerpunk"},
                                                 {147, "Synthpop"},
                                                 {148, "Abstract"},
                                                 {161, "Emo"},
                                                 {185, "Neue Deutsche Welle"},
                                                 {191, "Psybient"},
                                                 {192, ""},
                                                 {255, ""}};
    for (const auto& [code, name] : cases) {
        SCOPED_TRACE(code);
        Id3v1Reader tag;
        tag.genreCode = static_cast<std::uint8_t>(code);
        EXPECT_EQ(tag.genreName(), name);
    }
}

TEST(Id3v1Reader, TextsThatAreUtf8StayUtf8) {
    // Taggers that write UTF-8 into the 8-bit fields; Windows-1251 bytes rarely form UTF-8.
    const Id3v1Reader tag =
        load(kAudio + id3v1Tag("Björk", "Земляне", win1251("Земляне"), "1984", "", 17));
    EXPECT_EQ(tag.title, "Björk");
    EXPECT_EQ(tag.artist, "Земляне");
    EXPECT_EQ(tag.album, "Земляне");
}

TEST(Id3v1Reader, NoTagGivesInitialValues) {
    const Id3v1Reader tag = load(kAudio, Status::NotThisFormat);
    EXPECT_FALSE(tag.exists);
    EXPECT_EQ(tag.version, 1);
    EXPECT_EQ(tag.genreCode, 255);
    EXPECT_EQ(tag.tailSize(), 0);
    EXPECT_TRUE(load("TAG", Status::NotThisFormat).title.empty()); // shorter than a tag
}

TEST(Id3v1Reader, Setters) {
    Id3v1Reader tag;
    tag.setYear("2001 \t");
    EXPECT_EQ(tag.year, "2001");
    tag.setYear("200112");
    EXPECT_EQ(tag.year, "2001");
    const std::string forty(40, 'a');
    tag.setTitle(forty + "  ");
    EXPECT_EQ(tag.title, forty);
    EXPECT_EQ(tag.longTitle, forty);
    tag.setTitle(std::string(30, 'b'));
    EXPECT_TRUE(tag.longTitle.empty());
}

TEST(Id3v1Reader, Lyrics3FieldsAndTailSize) {
    const std::string longTitle(40, 'T');
    const std::string fields = lyricsField("IND", "11") + lyricsField("ETT", longTitle + " ") +
                               lyricsField("EAR", " Long Artist ") +
                               lyricsField("EAL", "Album Name") + lyricsField("INF", "info\r\n") +
                               lyricsField("AUT", "  Writer ") + lyricsField("IMG", " pic.jpg ") +
                               lyricsField("LYR", "\r\na\rb\r\nc\nd\r\n");
    const std::string block = lyricsBlock(fields);
    const std::int64_t lyricsSize = static_cast<std::int64_t>(block.size()) - 15;

    const Id3v1Reader tag = load(kAudio + block + id3v1Tag("short", "a", "b", "", "", 1));
    EXPECT_TRUE(tag.lyricsFound);
    EXPECT_EQ(tag.lyricsSize, lyricsSize);
    EXPECT_EQ(tag.lyricsTailSize(), lyricsSize + 15);
    EXPECT_EQ(tag.tailSize(), lyricsSize + 15 + 128);
    EXPECT_EQ(tag.title, longTitle);
    EXPECT_EQ(tag.longTitle, longTitle);
    EXPECT_EQ(tag.artist, "Long Artist");
    EXPECT_EQ(tag.album, "Album Name");
    EXPECT_EQ(tag.comment, "info");
    EXPECT_EQ(tag.author, "Writer");
    EXPECT_EQ(tag.image, " pic.jpg ");
    EXPECT_EQ(tag.lyrics, "a\r\nb\r\nc\nd");

    // Without an ID3v1 tag the block ends the file.
    const Id3v1Reader bare = load(kAudio + block);
    EXPECT_FALSE(bare.exists);
    EXPECT_TRUE(bare.lyricsFound);
    EXPECT_EQ(bare.tailSize(), lyricsSize + 15);
    EXPECT_EQ(bare.artist, "Long Artist");
}

TEST(Id3v1Reader, Lyrics3Trailers) {
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
        const Id3v1Reader tag = load(kAudio + c.beforeTag + id3v1Tag("t", "a", "b", "", "", 1));
        EXPECT_EQ(tag.lyricsFound, c.found);
        EXPECT_EQ(tag.lyricsSize, c.size);
        EXPECT_EQ(tag.tailSize(), 128 + (c.size > 0 ? c.size + 15 : 0));
        EXPECT_EQ(tag.author, c.author);
    }
}

TEST(Id3v1Reader, LoadByFileName) {
    TempFile file(kAudio + id3v1Tag("t", "a", "b", "1999", "", 3));
    Id3v1Reader tag;
    EXPECT_TRUE(tag.load(file.path()));
    EXPECT_EQ(tag.genreName(), "Dance");
    EXPECT_FALSE(tag.load(file.path().string() + ".missing"));
    EXPECT_FALSE(tag.exists);
}
