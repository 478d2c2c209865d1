#pragma once

#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <string>

// Ogg Vorbis: the identification header on the first page, the comment header that begins the
// second page and the granule position of the last page. Texts are Windows-1251 bytes.
namespace korvane::tags {

class TOggVorbis {
public:
    void Reset();
    // True when the file starts, after an optional ID3v2 tag, with an Ogg page whose first
    // packet is a Vorbis identification header; otherwise false with every field reset.
    // Throws std::filesystem::filesystem_error when the file cannot be opened, and ReadError
    // when the system fails a read.
    bool Load(const std::filesystem::path& fileName);
    bool Load(ByteSource& source);

    // Seconds: from the last granule position, else from the nominal bitrate, else 0.
    double Duration() const;
    // Average kbit/s over the whole file after the ID3v2 tag; 0 without a duration.
    std::int32_t BitRate() const;

    std::int64_t FileSize() const { return m_fileSize; }
    std::uint8_t Channels() const { return m_channels; }
    std::int32_t SampleRate() const { return m_sampleRate; }
    // kbit/s, the header's bit/s divided by 1000.
    std::uint16_t NominalBitRate() const { return m_nominalBitRate; }
    // The low 32 bits of the last page's granule position (-1 stays -1).
    std::int32_t Samples() const { return m_samples; }
    std::int64_t ID3v2Size() const { return m_id3v2Size; }
    const std::string& Title() const { return m_title; }
    // ARTIST, or PERFORMER when ARTIST is empty.
    const std::string& Artist() const { return m_artist; }
    const std::string& Album() const { return m_album; }
    // TRACKNUMBER before any "/", low 8 bits.
    std::uint16_t Track() const { return m_track; }
    const std::string& Date() const { return m_date; }
    const std::string& Genre() const { return m_genre; }
    // COMMENT, or DESCRIPTION when COMMENT is empty.
    const std::string& Comment() const { return m_comment; }
    const std::string& Vendor() const { return m_vendor; }

private:
    std::int64_t m_fileSize = 0;
    std::uint8_t m_channels = 0;
    std::int32_t m_sampleRate = 0;
    std::uint16_t m_nominalBitRate = 0;
    std::int32_t m_samples = 0;
    std::int64_t m_id3v2Size = 0;
    std::string m_title;
    std::string m_artist;
    std::string m_album;
    std::uint16_t m_track = 0;
    std::string m_date;
    std::string m_genre;
    std::string m_comment;
    std::string m_vendor;
};

} // namespace korvane::tags
