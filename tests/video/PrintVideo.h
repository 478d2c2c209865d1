#pragma once

#include "video/VideoInfo.h"

#include <ostream>

namespace korvane::video {

// Readable failures for probe results.
inline void PrintTo(const VideoStreamInfo& video, std::ostream* out) {
    *out << "{Codec \"" << video.codec << "\", Duration \"" << video.duration << "\", FrameRate "
         << video.frameRate << ", " << video.width << " x " << video.height << '}';
}

} // namespace korvane::video
