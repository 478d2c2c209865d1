#include "video/CodecTable.h"
#include "video/FormatBlock.h"
#include "video/VideoInfo.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// The first byte picks the layout, the next eight are a stream length; the rest is the block.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::video;
    if (size < 9)
        return 0;
    const VideoFormat format = data[0] % 3 == 0   ? VideoFormat::VideoInfo
                               : data[0] % 3 == 1 ? VideoFormat::VideoInfo2
                                                  : VideoFormat::MpegVideo;
    double length = 0;
    std::memcpy(&length, data + 1, sizeof length);
    (void)durationText(length);
    const std::span<const std::uint8_t> block(data + 9, size - 9);
    if (const auto header = decodeFormatBlock(format, block))
        (void)codecText(format, header->compression);
    return 0;
}
