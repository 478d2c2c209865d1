#include "video/FormatBlock.h"
#include "video/CodecTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane::video {
namespace {

// A block of `size` bytes of 0xAA with a bitmap header's width, height and code at `offset`.
std::vector<std::uint8_t> blockWithHeader(std::size_t size, std::size_t offset, std::uint32_t width,
                                          std::uint32_t height, std::uint32_t code) {
    std::vector<std::uint8_t> block(size, 0xAA);
    const auto put = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            if (at + i < block.size())
                block[at + i] = std::uint8_t(value >> (8 * i));
        }
    };
    put(offset + 4, width);
    put(offset + 8, height);
    put(offset + 16, code);
    return block;
}

TEST(FormatType, OnlyTheThreeVideoTypes) {
    EXPECT_EQ(videoFormatOf(FORMAT_VideoInfo), VideoFormat::VideoInfo);
    EXPECT_EQ(videoFormatOf(FORMAT_VideoInfo2), VideoFormat::VideoInfo2);
    EXPECT_EQ(videoFormatOf(FORMAT_MPEGVideo), VideoFormat::MpegVideo);
    // FORMAT_WaveFormatEx, FORMAT_MPEG2Video and an all-zero type describe no picture we read
    const Guid waveFormatEx{
        0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
    const Guid mpeg2Video{
        0xE06D80E3, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
    EXPECT_EQ(videoFormatOf(waveFormatEx), std::nullopt);
    EXPECT_EQ(videoFormatOf(mpeg2Video), std::nullopt);
    EXPECT_EQ(videoFormatOf(Guid{}), std::nullopt);
    Guid almost = FORMAT_VideoInfo;
    almost.data4[7] ^= 1;
    EXPECT_EQ(videoFormatOf(almost), std::nullopt);
    for (VideoFormat f : {VideoFormat::VideoInfo, VideoFormat::VideoInfo2, VideoFormat::MpegVideo})
        EXPECT_EQ(videoFormatOf(formatTypeOf(f)), f);
}

TEST(FormatBlock, DecodesEachLayout) {
    const struct {
        const char* name;
        VideoFormat format;
        std::size_t offset;
        std::size_t size;
    } cases[] = {
        {"VIDEOINFOHEADER", VideoFormat::VideoInfo, 48, 88},
        {"VIDEOINFOHEADER2", VideoFormat::VideoInfo2, 72, 112},
        {"MPEG1VIDEOINFO", VideoFormat::MpegVideo, 48, 97},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto block = blockWithHeader(c.size, c.offset, 720, 576, fourCC("XVID"));
        const std::optional<BitmapHeader> header = decodeFormatBlock(c.format, block);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->width, 720);
        EXPECT_EQ(header->height, 576);
        EXPECT_EQ(header->compression, fourCC("XVID"));
    }
}

TEST(FormatBlock, SignedSizesAndLengthBounds) {
    const struct {
        const char* name;
        VideoFormat format;
        std::size_t size;
        bool decodes;
    } cases[] = {
        {"VIDEOINFOHEADER: exactly up to the code", VideoFormat::VideoInfo, 48 + 20, true},
        {"VIDEOINFOHEADER: code cut by one byte", VideoFormat::VideoInfo, 48 + 19, false},
        {"VIDEOINFOHEADER: header missing", VideoFormat::VideoInfo, 48, false},
        {"VIDEOINFOHEADER: one byte", VideoFormat::VideoInfo, 1, false},
        {"VIDEOINFOHEADER: empty", VideoFormat::VideoInfo, 0, false},
        {"VIDEOINFOHEADER2: exactly up to the code", VideoFormat::VideoInfo2, 72 + 20, true},
        {"VIDEOINFOHEADER2: VIDEOINFOHEADER size", VideoFormat::VideoInfo2, 88, false},
        {"MPEG1VIDEOINFO: exactly up to the code", VideoFormat::MpegVideo, 48 + 20, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t offset = bitmapHeaderOffset(c.format);
        // -480: a top-down picture keeps its sign
        const auto block = blockWithHeader(c.size, offset, 0x80000000u, std::uint32_t(-480), 0);
        const std::optional<BitmapHeader> header = decodeFormatBlock(c.format, block);
        ASSERT_EQ(header.has_value(), c.decodes);
        if (header) {
            EXPECT_EQ(header->width, INT32_MIN);
            EXPECT_EQ(header->height, -480);
            EXPECT_EQ(header->compression, 0u);
        }
    }
}

TEST(FormatBlock, MadeBlocksDecodeBack) {
    for (VideoFormat f :
         {VideoFormat::VideoInfo, VideoFormat::VideoInfo2, VideoFormat::MpegVideo}) {
        const BitmapHeader written{352, -288, fourCC("MJPG")};
        const std::vector<std::uint8_t> block = makeFormatBlock(f, written);
        const std::optional<BitmapHeader> read = decodeFormatBlock(f, block);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->width, 352);
        EXPECT_EQ(read->height, -288);
        EXPECT_EQ(read->compression, fourCC("MJPG"));
    }
    EXPECT_EQ(makeFormatBlock(VideoFormat::VideoInfo, {}).size(), 88u);
    EXPECT_EQ(makeFormatBlock(VideoFormat::VideoInfo2, {}).size(), 112u);
}

TEST(FormatBlock, CodecTextByFormat) {
    const struct {
        VideoFormat format;
        std::uint32_t code;
        std::string text;
    } cases[] = {
        {VideoFormat::VideoInfo, fourCC("XVID"), "XVID MPEG-4"},
        {VideoFormat::VideoInfo2, fourCC("MP2V"), "MPEG2 Video"},
        {VideoFormat::VideoInfo, 0, "Full Frames (Uncompressed)"},
        {VideoFormat::VideoInfo, fourCC("ABCD"), "Unknown Codec"},
        // MPEG-1 video shows the code's own text, not its description
        {VideoFormat::MpegVideo, 0, "RGB"},
        {VideoFormat::MpegVideo, fourCC("XVID"), "XVID"},
        {VideoFormat::MpegVideo, 0x00003231, "12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(codecText(c.format, c.code), c.text);
}

} // namespace
} // namespace korvane::video
