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
    explicit WavPackReader(codepage::Choice choice = codepage::Choice::Auto) : tag(choice) {}
    void reset() { *this = WavPackReader(tag.eightBit.choice()); }
    // Read when a whole WavPack block header starts within 64 KB of the start, or of the end
    // of a leading ID3v2 tag; otherwise not this format (damaged for a header cut short), with
    // every field reset. A stream written to a pipe does not state its length in the first
    // block: the last block's index and count give it.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    std::int64_t blockStart = 0;   // where the first block begins
    std::uint16_t version = 0;     // the stream version, 0x402 to 0x410
    std::int64_t totalSamples = 0; // per channel, as the first block states it; -1 when unknown
    std::int32_t bitsPerSample = 0;
    bool lossless = true; // false for the hybrid (lossy) mode without its correction file
    ApeTagReader tag;
    AudioProperties properties;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
