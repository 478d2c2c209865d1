#include "tags/ID3v1.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::TID3v1 tag;
    tag.Load(source);
    // The tail size must never claim more than the file holds.
    if (tag.TailSize() > static_cast<std::int64_t>(size))
        __builtin_trap();
    (void)tag.GenreName();
    return 0;
}
