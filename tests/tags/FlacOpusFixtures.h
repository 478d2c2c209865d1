#pragma once

// Byte-built Vorbis comment blocks, FLAC and Ogg Opus files for the tests of their readers.

#include "WmaOggFixtures.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::tags::fixtures {

// A Vorbis comment block: vendor, count, items, each text behind its little-endian length.
inline std::string vorbisComment(const std::string& vendor, const std::vector<std::string>& items) {
    std::string out = littleEndian(vendor.size(), 4) + vendor + littleEndian(items.size(), 4);
    for (const std::string& item : items)
        out += littleEndian(item.size(), 4) + item;
    return out;
}

inline std::string bigEndian(std::uint64_t value, int width) {
    std::string out;
    for (int i = width - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// FLAC

enum FlacBlockType { FlacStreamInfo = 0, FlacPadding = 1, FlacVorbisComment = 4, FlacPicture = 6 };

inline std::string flacBlock(int type, const std::string& body, bool last = false) {
    return static_cast<char>(type | (last ? 0x80 : 0)) + bigEndian(body.size(), 3) + body;
}

// STREAMINFO: block sizes 4096, frame sizes unknown, then sample rate (20 bits), channels - 1
// (3), bits per sample - 1 (5), total samples (36), and an MD5 of zeros.
inline std::string streamInfo(std::uint32_t sampleRate, int channels, int bits,
                              std::uint64_t samples) {
    const std::uint64_t packed = (std::uint64_t{sampleRate} << 44) |
                                 (std::uint64_t(channels - 1) << 41) |
                                 (std::uint64_t(bits - 1) << 36) | (samples & 0xFFFFFFFFFull);
    return bigEndian(4096, 2) + bigEndian(4096, 2) + bigEndian(0, 3) + bigEndian(0, 3) +
           bigEndian(packed, 8) + std::string(16, '\0');
}

// "fLaC", the blocks (the last one flagged) and `audio` bytes of frames.
inline std::string flacFile(const std::vector<std::pair<int, std::string>>& blocks,
                            const std::string& audio = std::string(1000, '\xF8')) {
    std::string out = "fLaC";
    for (std::size_t i = 0; i < blocks.size(); ++i)
        out += flacBlock(blocks[i].first, blocks[i].second, i + 1 == blocks.size());
    return out + audio;
}

// Opus

inline std::string opusHead(int channels, std::uint16_t preSkip, std::uint32_t inputRate,
                            int version = 1) {
    return "OpusHead" + std::string(1, static_cast<char>(version)) + static_cast<char>(channels) +
           littleEndian(preSkip, 2) + littleEndian(inputRate, 4) + littleEndian(0, 2) + '\0';
}

inline std::string opusTags(const std::string& vendor, const std::vector<std::string>& items) {
    return "OpusTags" + vorbisComment(vendor, items);
}

} // namespace korvane::tags::fixtures
