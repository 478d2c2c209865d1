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
    void Reset() { *this = TOggVorbis(); }
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

    std::int64_t FileSize = 0;
    std::uint8_t Channels = 0;
    std::int32_t SampleRate = 0;
    std::uint16_t NominalBitRate = 0; // kbit/s: the header's bit/s divided by 1000
    std::int32_t Samples = 0;         // low 32 bits of the last page's granule position
    std::int64_t ID3v2Size = 0;
    std::string Title;
    std::string Artist; // ARTIST, or PERFORMER when ARTIST is empty
    std::string Album;
    std::uint16_t Track = 0; // TRACKNUMBER before any "/", low 8 bits
    std::string Date;
    std::string Genre;
    std::string Comment; // COMMENT, or DESCRIPTION when COMMENT is empty
    std::string Vendor;
};

} // namespace korvane::tags
