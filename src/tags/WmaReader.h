#pragma once

#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <string>

// Windows Media Audio: the ASF header's file properties, audio stream properties, content
// description and extended content description. The texts, stored as UTF-16, come out as UTF-8
// like every reader's.
namespace korvane::tags {

class WmaReader {
public:
    void reset() { *this = WmaReader(); }
    // False when the file cannot be opened or its header ends early; true otherwise. The fields
    // are filled only when the header's values are plausible (Valid); a readable foreign or
    // implausible file gives true with every field at its initial value.
    bool load(const std::filesystem::path& fileName);
    bool load(ByteSource& source);

    bool valid = false;
    std::int64_t fileSize = 0;
    std::uint8_t channels = 0;
    std::int32_t sampleRate = 0;
    double duration = 0.0;    // seconds: the file size in bits over the maximum bitrate
    std::int32_t bitRate = 0; // kbit/s: average bytes per second × 8 / 1000, truncated
    std::string title;
    std::string artist;
    std::string album;
    std::int32_t track = 0;
    std::string year;
    std::string genre;
    std::string comment;
};

} // namespace korvane::tags
