#include "tags/Id3v2Reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::Id3v2Reader tag;
    tag.load(source);
    if (tag.size > static_cast<std::int64_t>(size))
        __builtin_trap();
    return 0;
}
