#pragma once

#include "tags/ApeTagReader.h"
#include "tags/AudioProperties.h"
#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>

// WavPack (.wv): the header of the first block for the stream, the APEv2 tag at the end for
// the names.
namespace korvane::tags {

class WavPackReader {
public:
    void reset() { *this = WavPackReader(); }
    // True when a whole WavPack block header starts within the first 64 KB; otherwise false with
    // every field reset. False too when the file cannot be opened.
    bool load(const std::filesystem::path& fileName);
    bool load(ByteSource& source);

    std::int64_t blockStart = 0;   // where the first block begins
    std::uint16_t version = 0;     // the stream version, 0x402 to 0x410
    std::int64_t totalSamples = 0; // per channel; -1 when the encoder did not know it
    std::int32_t bitsPerSample = 0;
    bool lossless = true; // false for the hybrid (lossy) mode without its correction file
    ApeTagReader tag;
    AudioProperties properties;
};

} // namespace korvane::tags
