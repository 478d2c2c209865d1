#pragma once

#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <string>

// Windows Media Audio: the ASF header's file properties, audio stream properties, content
// description and extended content description. Unlike the other readers this one hands out
// Unicode texts, as UTF-16 (std::u16string, which QString::fromStdU16String takes as it is).
namespace korvane::tags {

class TWMAfile {
public:
    void Reset() { *this = TWMAfile(); }
    // False when the file cannot be opened or its header ends early; true otherwise. The fields
    // are filled only when the header's values are plausible (Valid); a readable foreign or
    // implausible file gives true with every field at its initial value.
    bool Load(const std::filesystem::path& fileName);
    bool Load(ByteSource& source);

    bool Valid = false;
    std::int64_t FileSize = 0;
    std::uint8_t Channels = 0;
    std::int32_t SampleRate = 0;
    double Duration = 0.0;    // seconds: the file size in bits over the maximum bitrate
    std::int32_t BitRate = 0; // kbit/s: average bytes per second × 8 / 1000, truncated
    std::u16string Title;
    std::u16string Artist;
    std::u16string Album;
    std::int32_t Track = 0;
    std::u16string Year;
    std::u16string Genre;
    std::u16string Comment;
};

} // namespace korvane::tags
