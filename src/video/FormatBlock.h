#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The video format blocks of a stream's media type: which layouts we read, and the width, height
// and compression code of their bitmap header. Plain functions of bytes.
namespace korvane::video {

// A GUID as its four fields, the form in which the format types are published.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};

    friend bool operator==(const Guid&, const Guid&) = default;
};

inline constexpr Guid FORMAT_VideoInfo{
    0x05589F80, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
inline constexpr Guid FORMAT_VideoInfo2{
    0xF72A76A0, 0xEB0A, 0x11D0, {0xAC, 0xE4, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};
inline constexpr Guid FORMAT_MPEGVideo{
    0x05589F82, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};

enum class VideoFormat {
    VideoInfo,  // VIDEOINFOHEADER
    VideoInfo2, // VIDEOINFOHEADER2
    MpegVideo,  // MPEG1VIDEOINFO
};

// The format types that describe a video picture; any other (audio, text, ...) gives nothing.
std::optional<VideoFormat> videoFormatOf(const Guid& formatType);
Guid formatTypeOf(VideoFormat format);

// Where the BITMAPINFOHEADER starts inside the block.
std::size_t bitmapHeaderOffset(VideoFormat format);

struct BitmapHeader {
    std::int32_t width = 0;
    std::int32_t height = 0; // negative for top-down pictures
    std::uint32_t compression = 0;
};

// Width, height and compression code, or nothing when the block is too short for them.
std::optional<BitmapHeader> decodeFormatBlock(VideoFormat format,
                                              std::span<const std::uint8_t> block);

// A zero-filled block of the format's full size with the header fields set; the adapter and the
// tests build blocks with it.
std::vector<std::uint8_t> makeFormatBlock(VideoFormat format, const BitmapHeader& header);

// The codec text a stream shows: the code's description for the VIDEOINFOHEADER layouts, the
// code's own text for MPEG-1 video.
std::string codecText(VideoFormat format, std::uint32_t compression);

} // namespace korvane::video
