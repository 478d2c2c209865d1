#include "tags/OggVorbisReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    OggVorbisReader ogg;
    const bool loaded = ogg.load(source);
    // Duration and BitRate do the arithmetic on whatever the headers hold.
    const double duration = ogg.duration();
    const std::int32_t bitRate = ogg.bitRate();
    if (!loaded && (duration != 0 || bitRate != 0 || !ogg.vendor.empty()))
        __builtin_trap();
    // Items are cut at 250 bytes; a value decodes to no more characters than it has bytes.
    if (ogg.title.size() > 250 || ogg.vendor.size() > 250 || bitRate < 0)
        __builtin_trap();
    return 0;
}
