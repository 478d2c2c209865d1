#pragma once

#include "video/MediaDetector.h"

#include <memory>

// The media detector over FFmpeg's libavformat. Nothing of FFmpeg is visible outside its unit.
namespace korvane::video {

std::unique_ptr<MediaDetector> createFfmpegDetector();

} // namespace korvane::video
