#pragma once

#include "tags/ApeTagReader.h"
#include "tags/AudioProperties.h"
#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>

// Monkey's Audio (.ape): the descriptor and header at the start (after an optional ID3v2 tag)
// for the stream, the APEv2 tag at the end for the names.
namespace korvane::tags {

class MonkeysAudioReader {
public:
    explicit MonkeysAudioReader(codepage::Choice choice = codepage::Choice::Auto) : tag(choice) {}
    void reset() { *this = MonkeysAudioReader(tag.eightBit.choice()); }
    // Read when the file starts, after an optional ID3v2 tag, with "MAC " and a header of a
    // known layout; not this format without "MAC "; damaged when the header ends early.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    std::int64_t headerStart = 0; // where "MAC " begins
    std::uint16_t version = 0;    // 3990 for 3.99
    std::uint16_t compressionLevel = 0;
    std::uint32_t blocksPerFrame = 0;
    std::uint32_t finalFrameBlocks = 0;
    std::uint32_t totalFrames = 0;
    std::int32_t bitsPerSample = 0;
    std::int64_t totalSamples = 0; // per channel
    ApeTagReader tag;
    AudioProperties properties;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
