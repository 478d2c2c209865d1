#pragma once

#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace korvane::tags {

// An ID3v2 tag (major versions 2, 3 and 4) at the start of a file, reduced to seventeen text-like
// frames. Only text encodings 0 (ISO-8859-1) and 1 (UTF-16 with byte-order mark) are taken, at
// most 500 bytes of each frame; texts come out as 8-bit Windows-1251.
class Id3v2Reader {
public:
    void reset() { *this = Id3v2Reader(); }
    // False when the file cannot be opened or is shorter than 10 bytes; true otherwise, also
    // when the file has no tag.
    bool load(const std::filesystem::path& fileName);
    bool load(ByteSource& source);

    bool exists = false;
    std::uint8_t version = 0;
    // Whole tag with header and footer; 0 without a tag or when it would pass the file's end.
    std::int64_t size = 0;
    std::string title;
    std::string artist;
    std::string album;
    std::uint16_t track = 0;
    std::string trackText;
    std::string year;
    std::string genre;
    std::string comment;
    std::string composer;
    std::string encoder;
    std::string rightsNotice;
    std::string language;
    std::string link;
    std::string sizeText;
};

} // namespace korvane::tags
