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
    // Read when the ASF header is whole and its values plausible (valid); not this format
    // for other bytes or implausible values, damaged for a header that ends early. Anything
    // but Read leaves every field at its initial value.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    bool valid = false;
    std::int64_t fileSize = 0;
    std::uint8_t channels = 0;
    std::int32_t sampleRate = 0;
    double duration = 0.0;    // seconds: the file size in bits over the maximum bitrate
    double playSeconds = 0.0; // the play duration the file properties state, less the preroll
    std::int32_t bitRate = 0; // kbit/s: average bytes per second × 8 / 1000, truncated
    std::string title;
    std::string artist;
    std::string album;
    std::int32_t track = 0;
    std::string year;
    std::string genre;
    std::string comment;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
