#pragma once

#include "tags/ByteSource.h"
#include "tags/Id3v1Reader.h"
#include "tags/Id3v2Reader.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace korvane::tags {

// A Xing, Info or VBRI header found inside the first frame. "Info" is the Xing header of a
// constant-bitrate stream: its fields are read, but it marks no VBR.
struct VbrHeader {
    bool found = false; // a Xing or VBRI header
    std::string id;     // "Xing", "Info" or "VBRI"
    std::uint32_t frames = 0;
    std::uint32_t bytes = 0;
    std::uint8_t scale = 0;
    std::string vendor; // Xing and Info: the 8 bytes after the scale byte, zeros included
    std::uint16_t streamBitRate = 0; // Info only: the table bitrate of the frame after it
};

// One MPEG audio frame header, b0..b3, and the values derived from it.
struct MpegFrameInfo {
    bool found = false;
    std::int64_t position = 0;
    std::uint16_t size = 0;
    bool xing = false; // the 6 bytes after the header are all zero
    std::array<std::uint8_t, 4> header{};
    std::uint8_t versionIndex = 0; // 0 = MPEG 2.5, 1 = reserved, 2 = MPEG 2, 3 = MPEG 1
    std::uint8_t layerIndex = 0;   // 1 = Layer III, 2 = Layer II, 3 = Layer I
    bool protection = false;
    std::uint16_t bitrateIndex = 0;
    std::uint16_t sampleRateIndex = 0;
    bool padding = false;
    bool privateBit = false;
    std::uint8_t mode = 0; // 3 = single channel
    std::uint8_t modeExtension = 0;
    bool rightsBit = false;
    bool original = false;
    std::uint8_t emphasis = 0;

    // Decodes four header bytes (no validity check).
    static MpegFrameInfo decode(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);
    // kbit/s from the ISO tables; 0 for free format, bad indexes and the reserved version.
    std::uint16_t bitRate() const;
    // Hz; 0 for index 3 and the reserved version.
    std::uint32_t sampleRate() const;
    std::uint16_t coefficient() const;
    std::uint16_t paddingSize() const;
    // Frame length in bytes, 0 when the sample rate is unknown.
    std::uint16_t length() const;
    // Samples of sound each frame holds: 384 in Layer I, 1152 in Layer II, 1152 or (MPEG 2 and
    // 2.5) 576 in Layer III.
    std::uint16_t samplesPerFrame() const;
    // Where a Xing or VBRI header starts, counted from the frame's first byte.
    std::uint8_t vbrHeaderOffset() const;
};

// True when the four bytes form a frame header the reader accepts (no free format, no
// emphasis 2, no reserved values).
bool isMpegFrameHeader(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3);

// An MPEG audio file: its ID3v2 and ID3v1 tags, the first valid frame after the ID3v2 tag, a
// Xing or VBRI header in that frame, and an encoder mark.
class MpegAudioReader {
public:
    explicit MpegAudioReader(codepage::Choice choice = codepage::Choice::Auto)
        : id3v1(choice), id3v2(choice) {
        reset();
    }
    void reset();
    // Read when a frame was found; otherwise not this format (or damaged when a read failed),
    // with every field reset, the tags included. The tags' own damage does not count.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);
    // kbit/s: after an Info frame the stream's; the average from the VBR header when it states
    // frames; else the first frame's.
    std::uint16_t bitRate() const;
    // Seconds of sound: the frames a Xing, Info or VBRI header counts, else the audio bytes at
    // the first frame's bitrate. 0 when neither is known.
    double playSeconds() const;

    std::int64_t fileLength = 0;
    std::string encoderMark;
    VbrHeader vbr;
    MpegFrameInfo frame;
    std::int64_t audioStart = 0;
    std::int64_t audioEnd = 0;
    std::int64_t declaredAudioSize = 0;
    Id3v1Reader id3v1;
    Id3v2Reader id3v2;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
