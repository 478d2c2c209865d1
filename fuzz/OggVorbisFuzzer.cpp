#include "ReadContract.h"
#include "tags/OggPages.h"
#include "tags/OggVorbisReader.h"
#include "text/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file: the reader on it, and the packet layer alone with small limits,
// so that the limits are reached too.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    MemorySource source(bytes);
    OggVorbisReader ogg;
    const korvane::tags::ReadResult result = ogg.load(source);
    if (!keepsReadContract(result))
        __builtin_trap();
    const bool loaded = result.isRead();
    // Duration and BitRate do the arithmetic on whatever the headers hold.
    const double duration = ogg.duration();
    const std::int32_t bitRate = ogg.bitRate();
    if (!loaded && (duration != 0 || bitRate != 0 || !ogg.vendor.empty()))
        __builtin_trap();
    // Items are cut at 250 bytes; a bad byte turns into at most 3 bytes of U+FFFD.
    if (ogg.title.size() > 750 || ogg.vendor.size() > 750 || bitRate < 0)
        __builtin_trap();
    if (korvane::utf8::withReplacements(ogg.title) != ogg.title ||
        korvane::utf8::withReplacements(ogg.genre) != ogg.genre)
        __builtin_trap();
    if (ogg.audioBytes < 0 || ogg.audioBytes > ogg.fileSize)
        __builtin_trap();

    const auto first = readOggPage(source, 0);
    if (!first)
        return 0;
    const OggPacketReader::Limits limits{16, 4096};
    OggPacketReader packets(source, *first, limits);
    std::int64_t lastEnd = 0;
    while (const auto packet = packets.next()) {
        if (packet->bytes.size() > limits.packetBytes || packet->pageEnd < lastEnd ||
            packet->pageEnd > source.size())
            __builtin_trap();
        lastEnd = packet->pageEnd;
    }
    const auto granule = lastGranulePosition(source, first->serial, 0);
    if (granule && *granule == ~std::uint64_t{0})
        __builtin_trap();
    return 0;
}
