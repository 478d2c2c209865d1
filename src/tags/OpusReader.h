#pragma once

#include "tags/AudioProperties.h"
#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <filesystem>

// Opus in Ogg: the OpusHead packet on the first page, the OpusTags packet after it (a Vorbis
// comment block behind its magic, over as many pages as it takes) and the granule position of
// the last page, counted in 48 kHz samples from which the pre-skip is taken off.
namespace korvane::tags {

class OpusReader {
public:
    explicit OpusReader(codepage::Choice choice = codepage::Choice::Auto) : eightBit(choice) {}
    void reset() { *this = OpusReader(eightBit.choice()); }
    // Read when the file is an Ogg stream whose first packet is an OpusHead of version 0.x;
    // otherwise not this format (damaged for a head too short), with every field reset.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    // sampleRate is the 48 kHz Opus always decodes at; audioBytes the pages after the headers.
    AudioProperties properties;
    std::int32_t inputSampleRate = 0; // what the encoder was given, for information
    std::uint16_t preSkip = 0;
    std::int64_t id3v2Size = 0;
    // Vorbis comments that are no UTF-8 are 8-bit texts of some code page.
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
