#pragma once

#include "video/VideoInfo.h"

#include <cstdint>
#include <string>

// The cells of a video list row as the scan writes them, from the file length and the probe.
namespace korvane::video {

// Length / 1 MiB, rounded down, plus 1: "1" for an empty file.
std::string sizeCell(std::uint64_t lengthInBytes);
// "640 x 480"
std::string resolutionCell(std::int32_t width, std::int32_t height);
// The frame rate rounded to the nearest whole number, halves to the even neighbour.
std::string fpsCell(double frameRate);
// The probe's codec text, except that the detector's MPEG-1 output format is shown as "MPEG-1".
std::string codecCell(const std::string& codec);

struct VideoCells {
    std::string size;
    std::string resolution;
    std::string duration;
    std::string fps;
    std::string codec;
};

VideoCells videoCells(std::uint64_t lengthInBytes, const VideoStreamInfo& video);

// The length of a file that can be opened for reading, else 0. Only regular files are opened:
// a FIFO would block the scan.
std::uint64_t readableFileLength(const std::string& path);

} // namespace korvane::video
