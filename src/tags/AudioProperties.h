#pragma once

#include <cstdint>
#include <string>

// What the album details take from a lossless or modern audio file, whatever its format: the
// names as UTF-8 and enough of the stream to give an average bitrate.
namespace korvane::tags {

struct AudioProperties {
    std::string artist;
    std::string album;
    std::string year;
    std::string genre;
    std::string comment;
    std::int32_t sampleRate = 0;
    std::int32_t channels = 0;
    double durationSeconds = 0;
    std::int64_t audioBytes = 0; // the coded audio, without tags and headers

    // Average kbit/s over the whole audio, rounded to the nearest; 0 without a duration.
    std::int32_t bitRate() const;
};

} // namespace korvane::tags
