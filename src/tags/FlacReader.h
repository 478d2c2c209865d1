#pragma once

#include "tags/AudioProperties.h"
#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <filesystem>

// FLAC: "fLaC" (after an ID3v2 tag that some taggers put in front), then metadata blocks, each
// with a 4-byte header: last-block flag and type, then a 24-bit length. STREAMINFO gives the
// sound, VORBIS_COMMENT the tags; the audio frames follow the last block.
namespace korvane::tags {

class FlacReader {
public:
    explicit FlacReader(codepage::Choice choice = codepage::Choice::Auto) : eightBit(choice) {}
    void reset() { *this = FlacReader(eightBit.choice()); }
    // Read when the file is FLAC with a whole STREAMINFO block and every block inside the file;
    // not this format without "fLaC"; damaged otherwise, with every field reset.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    AudioProperties properties;
    std::int32_t bitsPerSample = 0;
    std::int64_t totalSamples = 0; // 0: unknown
    std::int64_t id3v2Size = 0;
    // Vorbis comments that are no UTF-8 are 8-bit texts of some code page.
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
