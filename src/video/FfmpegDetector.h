#pragma once

#include "video/MediaDetector.h"

#include <memory>

// The media detector over FFmpeg's libavformat. It lives in a module of its own (korvane_probe),
// loaded on the first probe, so that only the video commands load FFmpeg's libraries. Nothing of
// FFmpeg is visible outside the module.
namespace korvane::video {

inline constexpr const char* kProbeModuleName = "korvane_probe.so";
// The module's one entry point: a new detector the caller owns.
inline constexpr const char* kProbeModuleEntry = "korvaneCreateFfmpegDetector";

// A detector from the module; nothing when the module cannot be loaded (the probe then finds no
// video stream).
std::unique_ptr<MediaDetector> createFfmpegDetector();

} // namespace korvane::video
