#include "video/VideoCells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace korvane::video {
namespace {

TEST(VideoCells, Size) {
    const struct {
        std::uint64_t bytes;
        std::string cell;
    } cases[] = {
        {0, "1"},
        {1048575, "1"},
        {1048576, "2"},
        {5ull << 30, "5121"},       // 5 GiB: no 32-bit truncation
        {(2ull << 30) - 1, "2048"}, // just under 2 GiB
        {std::numeric_limits<std::uint64_t>::max(), "17592186044416"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sizeCell(c.bytes), c.cell) << c.bytes;
}

TEST(VideoCells, FpsRoundsHalfToEven) {
    const struct {
        double rate;
        std::string cell;
    } cases[] = {
        {25.0, "25"},
        {29.97, "30"},
        {30000.0 / 1001, "30"},
        {23.976, "24"},
        {12.5, "12"},
        {13.5, "14"},
        {0.5, "0"},
        {1.5, "2"},
        {2.5, "2"},
        {0.0, "0"},
        {-3.0, "0"},
        {std::nan(""), "0"},
        {std::numeric_limits<double>::infinity(), "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fpsCell(c.rate), c.cell) << c.rate;
}

TEST(VideoCells, ResolutionAndCodec) {
    EXPECT_EQ(resolutionCell(640, 480), "640 x 480");
    EXPECT_EQ(resolutionCell(0, 0), "0 x 0");
    EXPECT_EQ(resolutionCell(160, -120), "160 x -120");
    EXPECT_EQ(codecCell("YUV 4:1:1 Raw"), "MPEG-1");
    EXPECT_EQ(codecCell("YUV 4:1:1 Planar"), "YUV 4:1:1 Planar");
    EXPECT_EQ(codecCell("XVID MPEG-4"), "XVID MPEG-4");
    EXPECT_EQ(codecCell(""), "");
}

TEST(VideoCells, RowFromAnEmptyProbe) {
    const VideoCells cells = videoCells(10, VideoStreamInfo());
    EXPECT_EQ(cells.size, "1");
    EXPECT_EQ(cells.resolution, "0 x 0");
    EXPECT_EQ(cells.duration, "");
    EXPECT_EQ(cells.fps, "0");
    EXPECT_EQ(cells.codec, "");
}

} // namespace
} // namespace korvane::video
