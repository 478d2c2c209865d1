#include "ReadContract.h"
#include "tags/ApeTagReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    ApeTagReader tag;
    const korvane::tags::ReadResult result = tag.load(source);
    if (!keepsReadContract(result))
        __builtin_trap();
    const bool loaded = result.isRead();
    // The tag lies inside the file, and a text is never longer than the value read.
    if (loaded &&
        (tag.start < 0 || tag.start + tag.size + tag.id3v1Size > static_cast<std::int64_t>(size)))
        __builtin_trap();
    if (tag.artist.size() > 2 * 4096 || tag.comment.size() > 2 * 4096)
        __builtin_trap();
    return 0;
}
