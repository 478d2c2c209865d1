#pragma once

#include "video/FormatBlock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the probe asks of the platform about one file, stream by stream. Every query may fail
// (nothing); the probe decides what a failure means.
namespace korvane::video {

struct StreamMediaType {
    Guid formatType;
    std::vector<std::uint8_t> formatBlock; // empty when the type carries no block
};

class MediaDetector {
public:
    virtual ~MediaDetector() = default;

    virtual bool open(const std::string& path) = 0;
    virtual std::optional<int> streamCount() = 0;
    virtual bool selectStream(int index) = 0;
    // The queries below are about the selected stream.
    virtual std::optional<StreamMediaType> mediaType() = 0;
    virtual std::optional<double> streamLength() = 0; // seconds
    virtual std::optional<double> frameRate() = 0;    // frames per second
    // The platform's own name of the stream's codec ("vp9", "av1"), for the codes the codec
    // table has no name for; nothing when it has none.
    virtual std::optional<std::string> codecName() { return std::nullopt; }
};

} // namespace korvane::video
