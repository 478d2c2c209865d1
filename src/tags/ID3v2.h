#pragma once

#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace korvane::tags {

// An ID3v2 tag (major versions 2, 3 and 4) at the start of a file, reduced to seventeen text-like
// frames. Only text encodings 0 (ISO-8859-1) and 1 (UTF-16 with byte-order mark) are taken, at
// most 500 bytes of each frame; texts come out as 8-bit Windows-1251.
class TID3v2 {
public:
    void Reset() { *this = TID3v2(); }
    // False when the file cannot be opened or is shorter than 10 bytes; true otherwise, also
    // when the file has no tag.
    bool Load(const std::filesystem::path& fileName);
    bool Load(ByteSource& source);

    bool Exists = false;
    std::uint8_t Version = 0;
    // Whole tag with header and footer; 0 without a tag or when it would pass the file's end.
    std::int64_t Size = 0;
    std::string Title;
    std::string Artist;
    std::string Album;
    std::uint16_t Track = 0;
    std::string TrackText;
    std::string Year;
    std::string Genre;
    std::string Comment;
    std::string Composer;
    std::string Encoder;
    std::string RightsNotice;
    std::string Language;
    std::string Link;
    std::string SizeText;
};

} // namespace korvane::tags
