#include "tags/WMAfile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    TWMAfile wma;
    const bool loaded = wma.Load(source);
    // Fields are taken only from a readable, plausible header.
    if ((!loaded || !wma.Valid) && (wma.BitRate != 0 || !wma.Genre.empty()))
        __builtin_trap();
    if (wma.Valid && (wma.Title.size() > 250 || wma.Comment.size() > 250))
        __builtin_trap();
    return 0;
}
