#pragma once

#include "video/MediaDetector.h"

#include <memory>
#include <string>

// The media detector over FFmpeg's libavformat. It lives in a module of its own (korvane_probe),
// loaded on the first probe, so that only the video commands load FFmpeg's libraries. Nothing of
// FFmpeg is visible outside the module.
namespace korvane::video {

inline constexpr const char* kProbeModuleName = "korvane_probe.so";
// The module's entry points: a new detector the caller owns; FFmpeg's version text.
inline constexpr const char* kProbeModuleEntry = "korvaneCreateFfmpegDetector";
inline constexpr const char* kProbeModuleVersionEntry = "korvaneFfmpegVersion";

// A detector from the module; nothing when the module cannot be loaded (the probe then finds no
// video stream).
std::unique_ptr<MediaDetector> createFfmpegDetector();

// The version of the FFmpeg libraries the program runs with, as FFmpeg states it; empty when the
// module cannot be loaded.
std::string ffmpegVersion();

} // namespace korvane::video
