#include "video/FormatBlock.h"

#include "video/CodecTable.h"

namespace korvane::video {
namespace {

// Sizes of the published structures: BITMAPINFOHEADER is 40 bytes; VIDEOINFOHEADER puts it
// after two RECTs, two DWORDs and a REFERENCE_TIME (48 bytes), VIDEOINFOHEADER2 after 72 bytes,
// and MPEG1VIDEOINFO adds a start time code, the sequence header length and one header byte.
constexpr std::size_t kBitmapHeaderSize = 40;
constexpr std::size_t kMpeg1Tail = 4 + 4 + 1;

std::int32_t readInt32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return std::int32_t(std::uint32_t(bytes[offset]) | std::uint32_t(bytes[offset + 1]) << 8 |
                        std::uint32_t(bytes[offset + 2]) << 16 |
                        std::uint32_t(bytes[offset + 3]) << 24);
}

void writeInt32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = std::uint8_t(value >> (8 * i));
}

std::size_t blockSize(VideoFormat format) {
    const std::size_t end = bitmapHeaderOffset(format) + kBitmapHeaderSize;
    return format == VideoFormat::MpegVideo ? end + kMpeg1Tail : end;
}

} // namespace

std::optional<VideoFormat> videoFormatOf(const Guid& formatType) {
    if (formatType == FORMAT_VideoInfo)
        return VideoFormat::VideoInfo;
    if (formatType == FORMAT_VideoInfo2)
        return VideoFormat::VideoInfo2;
    if (formatType == FORMAT_MPEGVideo)
        return VideoFormat::MpegVideo;
    return std::nullopt;
}

Guid formatTypeOf(VideoFormat format) {
    switch (format) {
    case VideoFormat::VideoInfo2:
        return FORMAT_VideoInfo2;
    case VideoFormat::MpegVideo:
        return FORMAT_MPEGVideo;
    case VideoFormat::VideoInfo:
        break;
    }
    return FORMAT_VideoInfo;
}

std::size_t bitmapHeaderOffset(VideoFormat format) {
    return format == VideoFormat::VideoInfo2 ? 72 : 48;
}

std::optional<BitmapHeader> decodeFormatBlock(VideoFormat format,
                                              std::span<const std::uint8_t> block) {
    // The compression code is the last field we read: bytes 16..19 of the bitmap header.
    const std::size_t offset = bitmapHeaderOffset(format);
    if (block.size() < offset || block.size() - offset < 20)
        return std::nullopt;
    BitmapHeader header;
    header.width = readInt32(block, offset + 4);
    header.height = readInt32(block, offset + 8);
    header.compression = std::uint32_t(readInt32(block, offset + 16));
    return header;
}

std::vector<std::uint8_t> makeFormatBlock(VideoFormat format, const BitmapHeader& header) {
    std::vector<std::uint8_t> block(blockSize(format), 0);
    const std::size_t offset = bitmapHeaderOffset(format);
    writeInt32(block, offset, std::uint32_t(kBitmapHeaderSize));
    writeInt32(block, offset + 4, std::uint32_t(header.width));
    writeInt32(block, offset + 8, std::uint32_t(header.height));
    writeInt32(block, offset + 16, header.compression);
    return block;
}

std::string codecText(VideoFormat format, std::uint32_t compression) {
    const std::string code = compressionCodeText(compression);
    if (format == VideoFormat::MpegVideo)
        return code;
    return std::string(codecDescription(code));
}

} // namespace korvane::video
