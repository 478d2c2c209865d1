#include "tags/ID3v2.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::TID3v2 tag;
    tag.Load(source);
    if (tag.Size > static_cast<std::int64_t>(size))
        __builtin_trap();
    return 0;
}
