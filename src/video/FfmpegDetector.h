#pragma once

#include "video/MediaDetector.h"

#include <memory>
#include <string>

// The media detector over FFmpeg's libavformat. Nothing of FFmpeg is visible outside its unit.
namespace korvane::video {

std::unique_ptr<MediaDetector> createFfmpegDetector();

// The version of the FFmpeg libraries the program runs with, as FFmpeg states it.
std::string ffmpegVersion();

} // namespace korvane::video
