#include "ReadContract.h"
#include "tags/Id3v2Reader.h"
#include "text/Utf8.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::Id3v2Reader tag;
    if (!keepsReadContract(tag.load(source)))
        __builtin_trap();
    if (tag.size > static_cast<std::int64_t>(size))
        __builtin_trap();
    // Every text comes out as well-formed UTF-8, whatever the frames held.
    for (const std::string* text : {&tag.title, &tag.artist, &tag.album, &tag.trackText, &tag.year,
                                    &tag.genre, &tag.comment, &tag.composer, &tag.encoder,
                                    &tag.rightsNotice, &tag.language, &tag.link, &tag.sizeText}) {
        if (!korvane::utf8::isValid(*text))
            __builtin_trap();
    }
    return 0;
}
