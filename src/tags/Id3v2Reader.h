#pragma once

#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace korvane::tags {

// An ID3v2 tag (major versions 2, 3 and 4) at the start of a file, reduced to seventeen text-like
// frames, at most 500 bytes of each. All four text encodings are read; unsynchronisation is
// undone (the whole tag up to 2.3, frame by frame in 2.4), an extended header is skipped, and
// compressed or encrypted frames are passed over. Texts come out as UTF-8; the 8-bit ones of the
// tag (EightBitTexts) are read in one code page unless a text says clearly otherwise.
class Id3v2Reader {
public:
    explicit Id3v2Reader(codepage::Choice choice = codepage::Choice::Auto) : eightBit(choice) {}
    void reset() { *this = Id3v2Reader(eightBit.choice()); }
    // Read when the file starts with a tag; not this format without one (or when shorter
    // than 10 bytes); damaged for a version other than 2 to 4 or a size past the end (the header
    // fields kept), or when a frame cannot be read (the frames before it kept).
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

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
    std::string genre;   // genre references such as "(17)" translated to their names
    std::string comment; // of several, the country note, else the one without description
    std::string composer;
    std::string encoder;
    std::string rightsNotice;
    std::string language;
    std::string link;
    std::string sizeText;
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
