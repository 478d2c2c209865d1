#include "tags/MpegAudioReader.h"

#include <cmath>
#include <limits>

namespace korvane::tags {
namespace {

// Blocks of this size are searched; frame starts are looked for in the first 1730 bytes of each.
constexpr std::size_t kBlockSize = 3458;
constexpr std::size_t kSearchStarts = 1730;
constexpr std::size_t kEncoderSearchEnd = 3450;
constexpr std::int64_t kId3v1Size = 128;

using Block = std::array<char, kBlockSize>;

// ISO/IEC 11172-3 (MPEG 1) and 13818-3 (MPEG 2, used for 2.5 too), by layer index 3, 2, 1.
constexpr std::uint16_t kMpeg1Rates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}};
constexpr std::uint16_t kMpeg2Rates[3][16] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
constexpr std::uint32_t kSampleRates[4][3] = {
    {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};

constexpr std::uint8_t kMpeg1 = 3;
constexpr std::uint8_t kReservedVersion = 1;
constexpr std::uint8_t kLayer1 = 3;

std::uint8_t byteAt(const Block& block, std::size_t offset) {
    return static_cast<std::uint8_t>(block[offset]);
}

bool isHeaderAt(const Block& block, std::size_t offset) {
    return offset + 4 <= kBlockSize &&
           isMpegFrameHeader(byteAt(block, offset), byteAt(block, offset + 1),
                             byteAt(block, offset + 2), byteAt(block, offset + 3));
}

// Reads a block; bytes past the end of the file stay zero. Returns how many were read.
std::size_t readBlock(ByteSource& source, std::int64_t offset, Block& block) {
    block.fill(0);
    return source.readAt(offset, block.data(), block.size());
}

VbrHeader vbrHeaderAt(const Block& block, std::size_t offset) {
    VbrHeader vbr;
    const ByteView view(std::string_view(block.data(), block.size()));
    // "Info" is the Xing header of a constant-bitrate stream (LAME, FFmpeg): no VBR.
    const bool info = view.startsWith(offset, "Info");
    if (info || view.startsWith(offset, "Xing")) {
        vbr.found = !info;
        vbr.id = info ? "Info" : "Xing";
        // The flags word is not consulted: frames, bytes, the TOC and the scale are assumed.
        vbr.frames = view.be32(offset + 8);
        vbr.bytes = view.be32(offset + 12);
        vbr.scale = view.u8(offset + 119);
        vbr.vendor = std::string(view.bytes(offset + 120, 8));
    } else if (view.startsWith(offset, "VBRI")) {
        vbr.found = true;
        vbr.id = "VBRI";
        vbr.scale = view.u8(offset + 9);
        vbr.bytes = view.be32(offset + 10);
        vbr.frames = view.be32(offset + 14);
    }
    return vbr;
}

// The first header in the block's search range whose successor, one frame length later, is a
// header too. A false sync inside the audio data rarely has a valid successor.
MpegFrameInfo frameSearch(const Block& block, VbrHeader& vbr) {
    for (std::size_t i = 0; i < kSearchStarts; ++i) {
        if (!isHeaderAt(block, i))
            continue;
        MpegFrameInfo frame = MpegFrameInfo::decode(byteAt(block, i), byteAt(block, i + 1),
                                                    byteAt(block, i + 2), byteAt(block, i + 3));
        const std::size_t next = i + frame.length();
        if (!isHeaderAt(block, next))
            continue;
        frame.found = true;
        frame.position = static_cast<std::int64_t>(i);
        frame.size = frame.length();
        frame.xing = true;
        for (std::size_t k = i + 4; k < i + 10; ++k)
            frame.xing = frame.xing && block[k] == 0;
        vbr = vbrHeaderAt(block, i + frame.vbrHeaderOffset());
        // The Info frame is coded at whatever rate holds it; the stream's rate is the next one's.
        if (vbr.id == "Info")
            vbr.streamBitRate =
                MpegFrameInfo::decode(byteAt(block, next), byteAt(block, next + 1),
                                      byteAt(block, next + 2), byteAt(block, next + 3))
                    .bitRate();
        return frame;
    }
    return {};
}

// Looks backwards from near the block's end for "LAME" + version or "GOGO".
std::string encoderSearch(const Block& block, std::uint16_t frameSize) {
    const std::size_t limit = std::min<std::size_t>(5u * frameSize, kEncoderSearchEnd);
    const std::string_view bytes(block.data(), block.size());
    for (std::size_t k = 0; k <= limit; ++k) {
        const std::size_t at = kEncoderSearchEnd - k;
        if (bytes.substr(at, 4) == "LAME")
            return std::string(bytes.substr(at, 8));
        if (bytes.substr(at, 4) == "GOGO")
            return "GOGO";
    }
    return {};
}

} // namespace

MpegFrameInfo MpegFrameInfo::decode(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                                    std::uint8_t b3) {
    MpegFrameInfo frame;
    frame.header = {b0, b1, b2, b3};
    frame.versionIndex = (b1 >> 3) & 3;
    frame.layerIndex = (b1 >> 1) & 3;
    frame.protection = (b1 & 1) == 0;
    frame.bitrateIndex = b2 >> 4;
    frame.sampleRateIndex = (b2 >> 2) & 3;
    frame.padding = (b2 & 2) != 0;
    frame.privateBit = (b2 & 1) != 0;
    frame.mode = b3 >> 6;
    frame.modeExtension = (b3 >> 4) & 3;
    frame.rightsBit = (b3 & 8) != 0;
    frame.original = (b3 & 4) != 0;
    frame.emphasis = b3 & 3;
    return frame;
}

bool isMpegFrameHeader(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    const MpegFrameInfo frame = MpegFrameInfo::decode(b0, b1, b2, b3);
    return b0 == 0xFF && (b1 & 0xE0) == 0xE0 && frame.versionIndex != kReservedVersion &&
           frame.layerIndex != 0 && frame.bitrateIndex != 0 && frame.bitrateIndex != 15 &&
           frame.sampleRateIndex != 3 && frame.emphasis != 2;
}

std::uint16_t MpegFrameInfo::bitRate() const {
    if (versionIndex == kReservedVersion || layerIndex == 0 || bitrateIndex > 15)
        return 0;
    const auto& table = versionIndex == kMpeg1 ? kMpeg1Rates : kMpeg2Rates;
    return table[3 - layerIndex][bitrateIndex];
}

std::uint32_t MpegFrameInfo::sampleRate() const {
    if (versionIndex > 3 || sampleRateIndex > 2)
        return 0;
    return kSampleRates[versionIndex][sampleRateIndex];
}

std::uint16_t MpegFrameInfo::coefficient() const {
    if (layerIndex == kLayer1)
        return versionIndex == kMpeg1 ? 48 : 24;
    if (versionIndex == kMpeg1 || layerIndex == 2)
        return 144;
    return 72;
}

std::uint16_t MpegFrameInfo::paddingSize() const {
    if (!padding)
        return 0;
    return layerIndex == kLayer1 ? 4 : 1;
}

std::uint16_t MpegFrameInfo::length() const {
    const std::uint32_t rate = sampleRate();
    if (rate == 0)
        return 0;
    const double bytes = double(coefficient()) * bitRate() * 1000 / rate;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(bytes) + paddingSize());
}

std::uint16_t MpegFrameInfo::samplesPerFrame() const {
    if (layerIndex == kLayer1)
        return 384;
    return versionIndex == kMpeg1 || layerIndex == 2 ? 1152 : 576;
}

std::uint8_t MpegFrameInfo::vbrHeaderOffset() const {
    if (versionIndex == kMpeg1)
        return mode == 3 ? 21 : 36;
    return mode == 3 ? 13 : 21;
}

void MpegAudioReader::reset() {
    fileLength = 0;
    encoderMark.clear();
    vbr = VbrHeader();
    frame = MpegFrameInfo();
    frame.versionIndex = kReservedVersion;
    frame.sampleRateIndex = 3;
    frame.mode = 4;
    frame.modeExtension = 4;
    frame.emphasis = 2;
    audioStart = 0;
    audioEnd = 0;
    declaredAudioSize = 0;
    id3v1.reset();
    id3v2.reset();
}

std::uint16_t MpegAudioReader::bitRate() const {
    if (vbr.streamBitRate != 0)
        return vbr.streamBitRate;
    if (!vbr.found || vbr.frames == 0)
        return frame.bitRate();
    if (frame.sampleRate() == 0)
        return 0;
    const double average = (double(vbr.bytes) / vbr.frames - frame.paddingSize()) *
                           frame.sampleRate() / frame.coefficient() / 1000;
    // Round half to even (the default rounding mode); a header claiming less than a frame
    // header's worth gives 0 rather than a wrapped value.
    const double rounded = std::nearbyint(average);
    if (!(rounded > 0))
        return 0;
    return static_cast<std::uint16_t>(
        std::min<double>(rounded, std::numeric_limits<std::uint16_t>::max()));
}

double MpegAudioReader::playSeconds() const {
    const std::uint32_t rate = frame.sampleRate();
    if (!vbr.id.empty() && vbr.frames > 0 && rate > 0)
        return double(vbr.frames) * frame.samplesPerFrame() / rate;
    const std::uint16_t kbits = frame.bitRate();
    if (!frame.found || kbits == 0 || audioEnd <= audioStart)
        return 0;
    return double(audioEnd - audioStart) * 8 / (kbits * 1000.0);
}

ReadResult MpegAudioReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult MpegAudioReader::load(ByteSource& source) {
    reset();
    ReadResult result = guardReads([&] { return parse(source); });
    if (result.isRead() && !frame.found)
        result = ReadResult::notThisFormat();
    // No frame: nothing in the file is taken, the tags included.
    if (!result.isRead())
        reset();
    return result;
}

ReadResult MpegAudioReader::parse(ByteSource& source) {
    if (source.size() < 10)
        return ReadResult::notThisFormat();
    // The tags' own damage is no reason to miss the stream; a read that broke off is.
    if (const ReadResult tag = id3v2.load(source); tag.isUnreadable())
        return tag;
    if (const ReadResult tag = id3v1.load(source); tag.isUnreadable())
        return tag;
    fileLength = source.size();

    Block block;
    std::int64_t base = id3v2.size;
    std::size_t got = readBlock(source, base, block);
    frame = frameSearch(block, vbr);
    encoderMark = encoderSearch(block, frame.found ? frame.size : 0);
    // A file without frames is searched to its end, block after block.
    while (!frame.found && got == kBlockSize) {
        base += static_cast<std::int64_t>(kBlockSize);
        got = readBlock(source, base, block);
        frame = frameSearch(block, vbr);
    }
    if (frame.found) {
        frame.position += base;
        audioStart = frame.position;
        audioEnd = fileLength - id3v1.tailSize();
    }
    if (id3v2.exists && !id3v2.sizeText.empty()) {
        if (const auto declared = parseDecimal(id3v2.sizeText))
            declaredAudioSize = *declared;
    }
    if (frame.found && encoderMark.empty()) {
        // The mark may sit at the end of the stream, just before the ID3v1 tag. A file shorter
        // than a block is read from its start.
        const std::int64_t tail =
            std::max<std::int64_t>(0, fileLength - static_cast<std::int64_t>(kBlockSize) -
                                          (id3v1.exists ? kId3v1Size : 0));
        readBlock(source, tail, block);
        encoderMark = encoderSearch(block, frame.size);
    }
    return ReadResult::read();
}

} // namespace korvane::tags
