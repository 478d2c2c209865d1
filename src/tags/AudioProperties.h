#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What the album details take from a file of the newer formats (FLAC, Opus, MP4, WavPack, APE):
// one shape for all of them, so each is shown alike.
namespace korvane::tags {

struct AudioProperties {
    std::string artist; // UTF-8, like every text below
    std::string album;
    std::string year; // the first four digits of the date tag
    std::string genre;
    std::string comment;
    std::int32_t sampleRate = 0;
    std::int32_t channels = 0;
    double durationSeconds = 0;
    std::int64_t audioBytes = 0; // the file less its tags and headers

    // kbit/s over the audio bytes, ties to the even neighbour; 0 when the duration is unknown.
    std::int32_t bitRate() const;
};

// The year of a date tag ("2001", "2001-05-03", "2001/2002"): its first four characters when
// they are digits, else empty.
std::string yearFromDate(std::string_view date);

} // namespace korvane::tags
