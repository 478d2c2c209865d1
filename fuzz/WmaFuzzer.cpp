#include "ReadContract.h"
#include "tags/WmaReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    WmaReader wma;
    const korvane::tags::ReadResult result = wma.load(source);
    if (!keepsReadContract(result))
        __builtin_trap();
    const bool loaded = result.isRead();
    // Fields are taken only from a readable, plausible header.
    if ((!loaded || !wma.valid) && (wma.bitRate != 0 || !wma.genre.empty()))
        __builtin_trap();
    // At most 250 UTF-16 units a text, each at most three bytes of UTF-8.
    if (wma.valid && (wma.title.size() > 750 || wma.comment.size() > 750))
        __builtin_trap();
    // A play length is never negative or not a number, whatever the header states.
    if (!(wma.playSeconds >= 0))
        __builtin_trap();
    return 0;
}
