#pragma once

#include "video/VideoInfo.h"

#include <ostream>

namespace korvane::video {

// Readable failures for probe results.
inline void PrintTo(const TVFVideoStreamInfo& video, std::ostream* out) {
    *out << "{Codec \"" << video.Codec << "\", Duration \"" << video.Duration << "\", FrameRate "
         << video.FrameRate << ", " << video.Width << " x " << video.Height << '}';
}

} // namespace korvane::video
