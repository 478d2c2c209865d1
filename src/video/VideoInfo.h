#pragma once

#include "video/MediaDetector.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The video probe: picture size, duration, frame rate and codec of a file's video stream.
namespace korvane::video {

struct VideoStreamInfo {
    std::string codec;    // Windows-1251 text
    std::string duration; // "mm:ss" or "hh:mm:ss"
    double frameRate = 0.0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    friend bool operator==(const VideoStreamInfo&, const VideoStreamInfo&) = default;
};

// "mm:ss", or "hh:mm:ss" from one hour on; the fraction of a second is dropped.
std::string durationText(double seconds);

using MediaDetectorFactory = std::function<std::unique_ptr<MediaDetector>()>;

class VideoInfo {
public:
    // The FFmpeg detector.
    VideoInfo();
    // Another detector (tests); a factory returning null stands for one that cannot be created.
    explicit VideoInfo(MediaDetectorFactory factory);

    // Fills Video from FileName. Never throws; whatever fails leaves the empty values. A codec
    // the codec table has no name for is shown by the detector's name for it.
    void probe();

    std::string fileName; // the file's path in the file system's encoding
    VideoStreamInfo video;
    bool hasVideo = false; // the file opened and holds a video stream (not a picture, not text)

private:
    void walkStreams(MediaDetector& detector);

    MediaDetectorFactory m_factory;
};

} // namespace korvane::video
