#include "tags/WavPackReader.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace korvane::tags {
namespace {

constexpr std::string_view kBlockId = "wvpk";
constexpr std::int64_t kSearchLimit = 65536; // leading junk a player would skip
constexpr std::size_t kBlockHeaderSize = 32;
// A block holds at most a few seconds of sound: the last one lies within this much of the end.
constexpr std::int64_t kTailLimit = 1 << 20;
// Blocks walked from the start when the last one is not found at the end.
constexpr int kBlockWalkLimit = 4096;
constexpr std::uint32_t kUnknownSamples = 0xFFFFFFFFu;
constexpr std::size_t kMetadataLimit = 4096; // the sub-blocks that matter come first

constexpr std::uint32_t kBytesPerSampleMask = 0x3;
constexpr std::uint32_t kMono = 0x4;
constexpr std::uint32_t kHybrid = 0x8;
constexpr int kRateShift = 23;
constexpr std::uint32_t kRateMask = 0xF;
constexpr std::array<std::int32_t, 15> kSampleRates = {6000,  8000,  9600,  11025, 12000,
                                                       16000, 22050, 24000, 32000, 44100,
                                                       48000, 64000, 88200, 96000, 192000};

// Metadata sub-block ids (the low 6 bits, 0x20 marks the ones a decoder may skip).
constexpr std::uint8_t kIdMask = 0x3F;
constexpr std::uint8_t kOddSize = 0x40;
constexpr std::uint8_t kLargeSize = 0x80;
constexpr std::uint8_t kIdChannelInfo = 0x0D;
constexpr std::uint8_t kIdSampleRate = 0x27; // 0x07 with the "optional" bit 0x20

// The first block within kSearchLimit of `from` (after a leading ID3v2 tag of any size).
std::int64_t findBlock(ByteSource& source, std::int64_t from) {
    const std::string head = source.read(from, kSearchLimit + kBlockHeaderSize);
    const std::size_t at = std::string_view(head).find(kBlockId);
    return at == std::string_view::npos || at > kSearchLimit ? -1
                                                             : from + static_cast<std::int64_t>(at);
}

// The 40-bit index of a block's first sample: the low 32 bits, the high 8 in byte 10.
std::int64_t blockIndex(const ByteView& header) {
    return static_cast<std::int64_t>(header.le32(16)) + (std::int64_t{header.u8(10)} << 32);
}

// Where the sound ends in a block that starts at `at`: its id and size field, then the size.
std::int64_t blockEnd(const ByteView& header, std::int64_t at) {
    return at + 8 + header.le32(4);
}

// The samples per channel of a stream whose first block does not know them (written to a pipe):
// the last block's index and count, that block being the one that ends where the sound ends;
// else the blocks walked from the first, at most kBlockWalkLimit of them. 0 when neither tells.
std::int64_t countSamples(ByteSource& source, std::int64_t first, std::int64_t soundEnd) {
    const std::int64_t tailStart = std::max(first, soundEnd - kTailLimit);
    const std::string tail = source.read(tailStart, static_cast<std::size_t>(soundEnd - tailStart));
    const std::string_view tailView(tail);
    for (std::size_t at = tailView.rfind(kBlockId); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : tailView.rfind(kBlockId, at - 1)) {
        const ByteView header(tailView.substr(at, kBlockHeaderSize));
        if (header.size() == kBlockHeaderSize &&
            blockEnd(header, tailStart + static_cast<std::int64_t>(at)) == soundEnd)
            return blockIndex(header) + header.le32(20);
    }
    std::int64_t total = 0;
    std::int64_t at = first;
    for (int n = 0; n < kBlockWalkLimit && at < soundEnd; ++n) {
        const std::string bytes = source.read(at, kBlockHeaderSize);
        const ByteView header(bytes);
        if (header.size() < kBlockHeaderSize || !header.startsWith(0, kBlockId))
            return total;
        total = std::max(total, blockIndex(header) + header.le32(20));
        at = blockEnd(header, at);
    }
    return at >= soundEnd ? total : 0;
}

// The channel count and a rate that the 4-bit index cannot name, from the metadata sub-blocks
// of the first block: one byte of id, a size in 16-bit words (one byte, or three), the data.
void readMetadata(ByteView metadata, std::int32_t& channels, std::int32_t& sampleRate) {
    std::size_t at = 0;
    while (at + 2 <= metadata.size()) {
        const std::uint8_t id = metadata.u8(at);
        std::size_t words = metadata.u8(at + 1);
        std::size_t headSize = 2;
        if (id & kLargeSize) {
            words = metadata.u8(at + 1) | (std::size_t{metadata.u8(at + 2)} << 8) |
                    (std::size_t{metadata.u8(at + 3)} << 16);
            headSize = 4;
        }
        const std::size_t dataSize = words * 2 - ((id & kOddSize) && words > 0 ? 1 : 0);
        if (!metadata.fits(at + headSize, dataSize))
            return;
        const ByteView data = metadata.sub(at + headSize, dataSize);
        if ((id & kIdMask) == kIdChannelInfo && data.size() >= 1)
            channels = data.u8(0);
        else if ((id & kIdMask) == kIdSampleRate && data.size() >= 3)
            sampleRate =
                static_cast<std::int32_t>(data.u8(0) | (data.u8(1) << 8) | (data.u8(2) << 16));
        at += headSize + words * 2;
    }
}

} // namespace

ReadResult WavPackReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult WavPackReader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult WavPackReader::parse(ByteSource& source) {
    reset();
    const std::int64_t start = findBlock(source, leadingId3v2Size(source));
    if (start < 0)
        return ReadResult::notThisFormat();
    const std::string block = source.read(start, kBlockHeaderSize + kMetadataLimit);
    const ByteView header(block);
    if (header.size() < kBlockHeaderSize)
        return ReadResult::damaged("the block header ends early");
    const std::uint32_t blockSize = header.le32(4); // after the id and this field
    const std::uint32_t flags = header.le32(24);

    blockStart = start;
    version = header.le16(8);
    // 40-bit sample count: the low 32 bits, the high 8 in byte 11; all ones means unknown.
    const std::uint32_t samplesLow = header.le32(12);
    totalSamples = samplesLow == kUnknownSamples
                       ? -1
                       : static_cast<std::int64_t>(samplesLow) +
                             (static_cast<std::int64_t>(header.u8(11)) << 32);
    bitsPerSample = static_cast<std::int32_t>((flags & kBytesPerSampleMask) + 1) * 8;
    lossless = (flags & kHybrid) == 0;

    AudioProperties& p = properties;
    p.channels = (flags & kMono) ? 1 : 2;
    const std::uint32_t rateIndex = (flags >> kRateShift) & kRateMask;
    p.sampleRate = rateIndex < kSampleRates.size() ? kSampleRates[rateIndex] : 0;
    const std::size_t metadataEnd = std::min<std::size_t>(blockSize + 8, block.size());
    if (metadataEnd > kBlockHeaderSize)
        readMetadata(header.sub(kBlockHeaderSize, metadataEnd - kBlockHeaderSize), p.channels,
                     p.sampleRate);

    if (const ReadResult tagRead = tag.load(source); tagRead.isUnreadable())
        return tagRead;
    p.artist = tag.artist;
    p.album = tag.album;
    p.year = yearFromDate(tag.year);
    p.genre = tag.genre;
    p.comment = tag.comment;
    p.audioBytes = std::max<std::int64_t>(0, source.size() - start - trailingTagsSize(tag));
    const std::int64_t samples =
        totalSamples >= 0 ? totalSamples : countSamples(source, start, start + p.audioBytes);
    if (samples > 0 && p.sampleRate > 0)
        p.durationSeconds = static_cast<double>(samples) / p.sampleRate;
    return ReadResult::read();
}

} // namespace korvane::tags
