#include "ReadContract.h"
#include "tags/Id3v1Reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::Id3v1Reader tag;
    if (!keepsReadContract(tag.load(source)))
        __builtin_trap();
    // The tail size must never claim more than the file holds.
    if (tag.tailSize() > static_cast<std::int64_t>(size))
        __builtin_trap();
    (void)tag.genreName();
    return 0;
}
