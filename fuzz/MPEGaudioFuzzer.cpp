#include "tags/MPEGaudio.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::TMPEGaudio mpeg;
    mpeg.Load(source);
    (void)mpeg.BitRate();
    // A found frame lies inside the file.
    if (mpeg.Frame.found &&
        (mpeg.AudioStart < 0 || mpeg.AudioStart >= static_cast<std::int64_t>(size)))
        __builtin_trap();
    return 0;
}
