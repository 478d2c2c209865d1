#pragma once

#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <filesystem>
#include <string>

// Ogg Vorbis: the identification header on the first page, the comment and setup headers after
// it (over as many pages as they take) and the granule position of the last page. Texts are
// UTF-8.
namespace korvane::tags {

class OggVorbisReader {
public:
    explicit OggVorbisReader(codepage::Choice choice = codepage::Choice::Auto) : eightBit(choice) {}
    void reset() { *this = OggVorbisReader(eightBit.choice()); }
    // Read when the file starts, after an optional ID3v2 tag, with an Ogg page whose first
    // packet is a Vorbis identification header; otherwise not this format, every field reset.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    // Seconds: from the last granule position, else from the nominal bitrate, else 0.
    double duration() const;
    // Average kbit/s over the audio pages; 0 without a duration.
    std::int32_t bitRate() const;

    std::int64_t fileSize = 0;
    std::uint8_t channels = 0;
    std::int32_t sampleRate = 0;
    std::uint16_t nominalBitRate = 0; // kbit/s: the header's bit/s divided by 1000
    std::int32_t samples = 0;         // low 32 bits of the last page's granule position
    std::int64_t id3v2Size = 0;
    // The pages after the headers: a large cover in the comment header is no sound.
    std::int64_t audioBytes = 0;
    std::string title;
    std::string artist; // ARTIST, or PERFORMER when ARTIST is empty
    std::string album;
    std::uint16_t track = 0; // TRACKNUMBER before any "/", low 8 bits
    std::string date;
    std::string genre;
    std::string comment; // COMMENT, or DESCRIPTION when COMMENT is empty
    std::string vendor;
    // Comments that are no UTF-8 are 8-bit texts of some code page.
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
