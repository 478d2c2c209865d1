#include "video/CodecTable.h"

#include <gtest/gtest.h>

#include <set>

namespace korvane::video {
namespace {

TEST(CompressionCodeText, NamesAndBytes) {
    const struct {
        std::uint32_t code;
        std::string text;
    } cases[] = {
        {0, "RGB"},
        {1, "RLE8"},
        {2, "RLE4"},
        {3, "BITFIELDS"},
        {4, std::string("\x04", 1)},
        {fourCC("XVID"), "XVID"},
        {fourCC("rle "), "rle "},
        {0x00004242, "BB"},               // third byte zero: two characters
        {0x42004242, "BB"},               // nothing after the first zero byte
        {0x44490000, ""},                 // first byte zero
        {0xE9E8E7E6, "\xE6\xE7\xE8\xE9"}, // high bytes pass unchanged
    };
    for (const auto& c : cases)
        EXPECT_EQ(compressionCodeText(c.code), c.text) << std::hex << c.code;
}

TEST(CodecDescription, Lookup) {
    const struct {
        std::string text;
        std::string_view description;
    } cases[] = {
        {"RGB", "Full Frames (Uncompressed)"},
        {"raw", "Full Frames (Uncompressed)"},
        {"DIB", "Full Frames (Uncompressed)"},
        {"BITFIELDS", "Unknown Codec"},
        {"RLE8", "Run Length Encoded 8bpp"},
        {"RLE4", "Run Length Encoded 4bpp"},
        {"XVID", "XVID MPEG-4"},
        {"xvid", "XVID MPEG-4"},
        {"XviD", "XVID MPEG-4"},
        {"DIVX", "DivX"},
        {"DX50", "DivX 5.0 codec"},
        {"DIV3", "DivX Low Motion"},
        {"DIV4", "DivX Fast Motion"},
        {"MP42", "MS MPEG-4"},
        {"MP43", "MS MPEG-4"},
        {"MP4S", "MS MPEG-4"},
        {"MPG4", "MS MPEG-4"},
        {"MP4V", "MPEG4 Video"},
        {"3IVX", "MPEG4-based codec 3ivx"},
        {"WMV1", "Windows Media Video 7"},
        {"WMV2", "Windows Media Video 8"},
        {"WMV3", "Windows Media Video 9"},
        {"H264", "Intel ITU H.264"},
        {"H263", "Intel ITU H.263"},
        {"MPEG", "MPEG"},
        {"MP2V", "MPEG2 Video"},
        {"MJPG", "Motion JPEG"},
        {"dvsd", "Sony Digital Video"},
        {"cvid", "Cinepak by Radius YUV 4:2:2"},
        {"IV50", "Intel Indeo 5.0 Interactive"},
        {"MSVC", "Microsoft Video 1"},
        {"CRAM", "Microsoft Video 1"},
        {"HFYU", "Huffman YUV/RGB Lossless"},
        {"ZLIB", "Lossless codec (ZIP compression)"},
        {"MSZH", "Lossless codec (ZIP compression)"},
        {"Y41P", "YUV 4:1:1 Raw"},
        {"Y41B", "YUV 4:1:1 Planar"},
        {"YUY2", "RAW YUV 4:2:2"},
        {"YV12", "ATI YVU12 4:2:0 Planar"},
        {"Y8", "Simple grayscale video (Y8)"},
        // trailing blanks are part of the code
        {"RLE ", "Run Length Encoding"},
        {"RLE", "Unknown Codec"},
        {"rvx ", "Intel RDX"},
        {"rvx", "Unknown Codec"},
        {"RGB ", "Unknown Codec"},
        // exact match only: no prefix, no longer text
        {"XVID1", "Unknown Codec"},
        {"XVI", "Unknown Codec"},
        {"", "Unknown Codec"},
        // bytes outside A-Z are not folded: Cyrillic А..Я (0xC0..0xDF) stay upper case
        {"\xD5VID", "Unknown Codec"},
        {"X-ID", "Unknown Codec"},
        {std::string("XV\0D", 4), "Unknown Codec"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(codecDescription(c.text), c.description) << '"' << c.text << '"';
}

TEST(CodecDescription, CodeThenDescriptionFromACode) {
    EXPECT_EQ(codecDescription(compressionCodeText(0)), "Full Frames (Uncompressed)");
    EXPECT_EQ(codecDescription(compressionCodeText(3)), "Unknown Codec");
    EXPECT_EQ(codecDescription(compressionCodeText(1)), "Run Length Encoded 8bpp");
    EXPECT_EQ(codecDescription(compressionCodeText(fourCC("XviD"))), "XVID MPEG-4");
}

TEST(CodecDescription, FirstOccurrenceWins) {
    const CodecEntry table[] = {{"abcd", "first"}, {"xvid", "mine"}, {"abcd", "second"}};
    EXPECT_EQ(codecDescription("ABCD", table), "first");
    EXPECT_EQ(codecDescription("xvid", table), "mine");
    EXPECT_EQ(codecDescription("dx50", table), "Unknown Codec");
}

TEST(CodecTable, KeysAreLowerCaseAndEveryEntryHasADescription) {
    std::set<std::string_view> keys;
    for (const CodecEntry& entry : codecTable()) {
        EXPECT_FALSE(entry.description.empty()) << entry.key;
        EXPECT_GE(entry.key.size(), 2u);
        EXPECT_LE(entry.key.size(), 4u);
        for (char c : entry.key)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ') << entry.key;
        keys.insert(entry.key);
    }
    // Every key of the table can be reached: none hides behind an earlier equal one.
    EXPECT_EQ(keys.size(), codecTable().size());
    EXPECT_EQ(keys.size(), 381u);
    EXPECT_EQ(codecTable().front().key, "3iv1");
    EXPECT_EQ(codecTable().back().key, "zygo");
}

} // namespace
} // namespace korvane::video
