#pragma once

#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <filesystem>
#include <string>

// APEv2 (and APEv1) tag at the end of a file, before an optional ID3v1 tag: the tag of WavPack
// and Monkey's Audio files. Texts are handed out as UTF-8; APEv2 declares them UTF-8, so only
// texts that are not (APEv1, careless taggers) go through EightBitTexts, as one tag.
namespace korvane::tags {

class ApeTagReader {
public:
    explicit ApeTagReader(codepage::Choice choice = codepage::Choice::Auto) : eightBit(choice) {}
    void reset() { *this = ApeTagReader(eightBit.choice()); }
    // Read when the file ends in an APE tag (ID3v1 after it tolerated); not this format
    // without one; damaged when the tag claims more than the file holds.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    bool exists = false;
    std::uint32_t version = 0;   // 1000 or 2000
    std::int64_t start = 0;      // where the tag begins, its header included
    std::int64_t size = 0;       // the whole tag: header, items and footer
    std::int64_t id3v1Size = 0;  // 128 when an ID3v1 tag follows
    std::uint32_t itemCount = 0; // as the footer states it
    std::string artist;          // "Artist", else "Album Artist"
    std::string albumArtist;     // "Album Artist" ("AlbumArtist", FFmpeg's "album_artist")
    std::string album;
    std::string year; // "Year", else "Date" as written (the readers take its first four digits)
    std::string genre;
    std::string comment;
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
};

// The bytes that an ID3v1 tag and an APE tag take at the end of a file.
std::int64_t trailingTagsSize(const ApeTagReader& tag);

} // namespace korvane::tags
