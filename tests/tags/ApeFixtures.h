#pragma once

// Byte-built APEv2 tags, WavPack blocks and Monkey's Audio headers for the reader tests, the
// damaged-file table and the fuzz seeds.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace korvane::tags::fixtures {

inline std::string le(std::uint64_t value, int width) {
    std::string out;
    for (int i = 0; i < width; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

struct ApeItem {
    std::string key;
    std::string value;
    std::uint32_t flags = 0; // bits 1-2: 0 text, 1 binary
};

inline std::string apeItem(const ApeItem& item) {
    return le(item.value.size(), 4) + le(item.flags, 4) + item.key + '\0' + item.value;
}

// The 32 bytes of an APE header or footer.
inline std::string apeHeaderOrFooter(std::uint32_t version, std::uint32_t bodySize,
                                     std::uint32_t count, std::uint32_t flags) {
    return "APETAGEX" + le(version, 4) + le(bodySize, 4) + le(count, 4) + le(flags, 4) +
           std::string(8, '\0');
}

// A whole tag: header (version 2000 only), items, footer.
inline std::string apeTag(const std::vector<ApeItem>& items, std::uint32_t version = 2000,
                          bool withHeader = true) {
    std::string body;
    for (const ApeItem& item : items)
        body += apeItem(item);
    const auto bodySize = static_cast<std::uint32_t>(body.size() + 32);
    const auto count = static_cast<std::uint32_t>(items.size());
    const bool header = withHeader && version >= 2000;
    const std::uint32_t flags = header ? 0x80000000u : 0;
    return (header ? apeHeaderOrFooter(version, bodySize, count, flags | 0x20000000u) : "") + body +
           apeHeaderOrFooter(version, bodySize, count, flags);
}

// A WavPack block: a 32-byte header, `metadata` sub-blocks and some coded bytes. By default the
// first and only block, holding every sample; a stream written to a pipe states 0xFFFFFFFF as
// its total and counts its blocks by `index` and `samples`.
inline std::string wavPackBlock(std::uint32_t flags, std::uint32_t totalSamples,
                                const std::string& metadata = {}, std::size_t audio = 64,
                                std::uint64_t index = 0, std::int64_t samples = -1) {
    const std::string rest = metadata + std::string(audio, '\x5A');
    return "wvpk" + le(24 + rest.size(), 4) + le(0x410, 2) + le(index >> 32, 1) + le(0, 1) +
           le(totalSamples, 4) + le(index & 0xFFFFFFFF, 4) +
           le(samples < 0 ? totalSamples : static_cast<std::uint64_t>(samples), 4) + le(flags, 4) +
           le(0, 4) + rest;
}
// 16-bit stereo at 44100 Hz (rate index 9), a first and final block.
constexpr std::uint32_t kWavPackCdFlags = 1 | (9u << 23) | 0x1800;

// A Monkey's Audio file of the current layout: descriptor, header, a seek table of one entry
// per frame (ffprobe wants it), `frames` coded bytes.
inline std::string monkeysAudio(std::uint16_t channels, std::uint32_t sampleRate,
                                std::uint32_t blocksPerFrame, std::uint32_t totalFrames,
                                std::uint32_t finalFrameBlocks, std::size_t frames = 256) {
    const std::string header = le(2000, 2) + le(0, 2) + le(blocksPerFrame, 4) +
                               le(finalFrameBlocks, 4) + le(totalFrames, 4) + le(16, 2) +
                               le(channels, 2) + le(sampleRate, 4);
    const std::string seekTable(4 * std::size_t{totalFrames}, '\0');
    const std::string descriptor = "MAC " + le(3990, 2) + le(0, 2) + le(52, 4) +
                                   le(header.size(), 4) + le(seekTable.size(), 4) + le(0, 4) +
                                   le(frames, 4) + le(0, 4) + le(0, 4) + std::string(16, '\0');
    return descriptor + header + seekTable + std::string(frames, '\x33');
}

// The layout before 3.98: "MAC ", version, compression, flags, channels, rate, the WAV header
// and tail sizes, total frames, final frame blocks.
inline std::string oldMonkeysAudio(std::uint16_t version, std::uint16_t compression,
                                   std::uint16_t channels, std::uint32_t sampleRate,
                                   std::uint32_t totalFrames, std::uint32_t finalFrameBlocks,
                                   std::size_t frames = 256) {
    return "MAC " + le(version, 2) + le(compression, 2) + le(0, 2) + le(channels, 2) +
           le(sampleRate, 4) + le(0, 4) + le(0, 4) + le(totalFrames, 4) + le(finalFrameBlocks, 4) +
           std::string(frames, '\x33');
}

} // namespace korvane::tags::fixtures
