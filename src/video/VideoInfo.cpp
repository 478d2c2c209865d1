#include "video/VideoInfo.h"

#include "video/CodecTable.h"
#include "video/FfmpegDetector.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace korvane::video {
namespace {

std::string twoDigits(std::int64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02lld", static_cast<long long>(value));
    return buffer;
}

} // namespace

std::string durationText(double seconds) {
    // Lengths come from file headers: keep garbage (NaN, negative, absurdly large) from
    // overflowing the conversion.
    constexpr double kMaxSeconds = 9.0e15;
    std::int64_t s = 0;
    if (seconds >= 1.0)
        s = static_cast<std::int64_t>(std::trunc(std::min(seconds, kMaxSeconds)));
    const std::int64_t m = s / 60;
    const std::int64_t sec = s % 60;
    const std::int64_t h = m / 60;
    if (h > 0)
        return twoDigits(h) + ':' + twoDigits(m % 60) + ':' + twoDigits(sec);
    return twoDigits(m) + ':' + twoDigits(sec);
}

VideoInfo::VideoInfo() : VideoInfo(createFfmpegDetector) {}

VideoInfo::VideoInfo(MediaDetectorFactory factory) : m_factory(std::move(factory)) {}

void VideoInfo::probe() {
    video = VideoStreamInfo();
    hasVideo = false;
    try {
        // Only regular files: opening a FIFO or a device would block or read forever.
        std::error_code error;
        if (!std::filesystem::is_regular_file(fileName, error))
            return;
        std::unique_ptr<MediaDetector> detector = m_factory ? m_factory() : nullptr;
        if (!detector || !detector->open(fileName))
            return;
        walkStreams(*detector);
    } catch (...) {
        // A probe failure only leaves the cells empty; the scan goes on with the next file.
    }
}

void VideoInfo::walkStreams(MediaDetector& detector) {
    const std::optional<int> count = detector.streamCount();
    if (!count || *count <= 0)
        return;
    // Later video streams overwrite earlier ones field by field: the last one wins.
    for (int index = 0; index < *count; ++index) {
        if (!detector.selectStream(index))
            continue;
        const std::optional<StreamMediaType> type = detector.mediaType();
        if (!type)
            continue;
        const std::optional<VideoFormat> format = videoFormatOf(type->formatType);
        if (!format)
            continue;
        hasVideo = true;
        if (const std::optional<double> length = detector.streamLength();
            length && std::isfinite(*length) && *length >= 0)
            video.duration = durationText(*length);
        if (type->formatBlock.empty())
            continue;
        const std::optional<BitmapHeader> header = decodeFormatBlock(*format, type->formatBlock);
        if (!header)
            continue;
        video.width = header->width;
        video.height = header->height;
        if (const std::optional<double> rate = detector.frameRate(); rate && std::isfinite(*rate))
            video.frameRate = *rate;
        video.codec = codecText(*format, header->compression);
        // VP9, AV1, Theora and others that old code tables never named.
        if (video.codec == kUnknownCodec) {
            if (const std::optional<std::string> name = detector.codecName();
                name && !name->empty())
                video.codec = *name;
        }
    }
}

} // namespace korvane::video
