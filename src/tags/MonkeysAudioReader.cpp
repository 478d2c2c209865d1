#include "tags/MonkeysAudioReader.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace korvane::tags {
namespace {

constexpr std::string_view kMagic = "MAC ";
constexpr std::size_t kHeadSize = 128; // the descriptor and the header of any version
// From 3.98 on a descriptor with the sizes of the parts comes before the header.
constexpr std::uint16_t kDescriptorVersion = 3980;
constexpr std::uint16_t kExtraHighCompression = 4000;
// Old format flags: bit 0 8-bit samples, bit 3 24-bit samples (16-bit otherwise).
constexpr std::uint16_t kEightBit = 0x1;
constexpr std::uint16_t kTwentyFourBit = 0x8;

// Blocks per frame before the header named them.
std::uint32_t oldBlocksPerFrame(std::uint16_t version, std::uint16_t compression) {
    if (version >= 3950)
        return 73728 * 4;
    if (version >= 3900 || (version >= 3800 && compression == kExtraHighCompression))
        return 73728;
    return 9216;
}

} // namespace

ReadResult MonkeysAudioReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult MonkeysAudioReader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult MonkeysAudioReader::parse(ByteSource& source) {
    reset();
    const std::int64_t start = leadingId3v2Size(source);
    const std::string headBytes = source.read(start, kHeadSize);
    const ByteView head(headBytes);
    if (!head.startsWith(0, kMagic))
        return ReadResult::notThisFormat();
    const std::uint16_t fileVersion = head.le16(4);
    std::int32_t channels = 0;
    std::int32_t sampleRate = 0;
    std::int64_t frameDataBytes = -1;
    if (fileVersion >= kDescriptorVersion) {
        const std::uint32_t descriptorSize = head.le32(8);
        const ByteView header = head.sub(std::min<std::size_t>(descriptorSize, kHeadSize));
        if (header.size() < 24)
            return ReadResult::damaged("the header ends early");
        frameDataBytes = static_cast<std::int64_t>(head.le32(24)) +
                         (static_cast<std::int64_t>(head.le32(28)) << 32);
        compressionLevel = header.le16(0);
        blocksPerFrame = header.le32(4);
        finalFrameBlocks = header.le32(8);
        totalFrames = header.le32(12);
        bitsPerSample = header.le16(16);
        channels = header.le16(18);
        sampleRate = static_cast<std::int32_t>(header.le32(20));
    } else {
        if (head.size() < 32)
            return ReadResult::damaged("the header ends early");
        compressionLevel = head.le16(6);
        const std::uint16_t formatFlags = head.le16(8);
        channels = head.le16(10);
        sampleRate = static_cast<std::int32_t>(head.le32(12));
        totalFrames = head.le32(24);
        finalFrameBlocks = head.le32(28);
        blocksPerFrame = oldBlocksPerFrame(fileVersion, compressionLevel);
        bitsPerSample = (formatFlags & kEightBit) ? 8 : (formatFlags & kTwentyFourBit) ? 24 : 16;
    }
    headerStart = start;
    version = fileVersion;
    // Both counts are 32-bit: the product fits 64 bits unsigned, not always signed.
    if (totalFrames > 0)
        totalSamples = static_cast<std::int64_t>(std::min<std::uint64_t>(
            std::uint64_t{totalFrames - 1} * blocksPerFrame + finalFrameBlocks, INT64_MAX));

    if (const ReadResult tagRead = tag.load(source); tagRead.isUnreadable())
        return tagRead;
    AudioProperties& p = properties;
    p.channels = channels;
    p.sampleRate = sampleRate;
    p.artist = tag.artist;
    p.album = tag.album;
    p.year = yearFromDate(tag.year);
    p.genre = tag.genre;
    p.comment = tag.comment;
    if (totalSamples > 0 && sampleRate > 0)
        p.durationSeconds = static_cast<double>(totalSamples) / sampleRate;
    // The descriptor states the size of the coded frames; a size past the end is a lie, and the
    // file less its tags stands in for it, as it does for the old layout.
    const std::int64_t withoutTags =
        std::max<std::int64_t>(0, source.size() - start - trailingTagsSize(tag));
    p.audioBytes =
        frameDataBytes >= 0 && frameDataBytes <= withoutTags ? frameDataBytes : withoutTags;
    return ReadResult::read();
}

} // namespace korvane::tags
