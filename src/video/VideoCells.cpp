#include "video/VideoCells.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace korvane::video {

std::string sizeCell(std::uint64_t lengthInBytes) {
    return std::to_string(lengthInBytes / 1048576 + 1);
}

std::string resolutionCell(std::int32_t width, std::int32_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string fpsCell(double frameRate) {
    // A rate from a file header can be anything; nothing outside a sane range reaches the
    // integer conversion.
    if (!(frameRate > 0) || frameRate > 1e12)
        return "0";
    double whole = std::floor(frameRate);
    const double fraction = frameRate - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    return std::to_string(static_cast<std::int64_t>(whole));
}

std::string codecCell(const std::string& codec) {
    return codec == "YUV 4:1:1 Raw" ? "MPEG-1" : codec;
}

VideoCells videoCells(std::uint64_t lengthInBytes, const VideoStreamInfo& video) {
    return {sizeCell(lengthInBytes), resolutionCell(video.width, video.height), video.duration,
            fpsCell(video.frameRate), codecCell(video.codec)};
}

std::uint64_t readableFileLength(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return 0;
    if (!std::ifstream(path, std::ios::binary))
        return 0;
    const std::uintmax_t length = std::filesystem::file_size(path, error);
    return error ? 0 : length;
}

} // namespace korvane::video
