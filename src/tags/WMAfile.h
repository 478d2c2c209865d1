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
    void Reset();
    // False when the file cannot be opened or its header ends early; true otherwise. The fields
    // are filled only when the header's values are plausible (Valid); a readable foreign or
    // implausible file gives true with every field at its initial value.
    bool Load(const std::filesystem::path& fileName);
    bool Load(ByteSource& source);

    bool Valid() const { return m_valid; }
    std::int64_t FileSize() const { return m_fileSize; }
    std::uint8_t Channels() const { return m_channels; }
    std::int32_t SampleRate() const { return m_sampleRate; }
    // Seconds: the file size in bits over the maximum bitrate.
    double Duration() const { return m_duration; }
    // kbit/s: average bytes per second × 8 / 1000, truncated.
    std::int32_t BitRate() const { return m_bitRate; }
    const std::u16string& Title() const { return m_title; }
    const std::u16string& Artist() const { return m_artist; }
    const std::u16string& Album() const { return m_album; }
    std::int32_t Track() const { return m_track; }
    const std::u16string& Year() const { return m_year; }
    const std::u16string& Genre() const { return m_genre; }
    const std::u16string& Comment() const { return m_comment; }

private:
    bool m_valid = false;
    std::int64_t m_fileSize = 0;
    std::uint8_t m_channels = 0;
    std::int32_t m_sampleRate = 0;
    double m_duration = 0.0;
    std::int32_t m_bitRate = 0;
    std::u16string m_title;
    std::u16string m_artist;
    std::u16string m_album;
    std::int32_t m_track = 0;
    std::u16string m_year;
    std::u16string m_genre;
    std::u16string m_comment;
};

} // namespace korvane::tags
