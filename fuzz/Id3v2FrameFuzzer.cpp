#include "ReadContract.h"
#include "tags/Id3v2FrameReader.h"
#include "text/Utf8.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::Id3v2FrameReader tag;
    const korvane::tags::ReadResult result = tag.load(source);
    // Damage leaves the reader reset.
    if (!keepsReadContract(result) || (result.isDamaged() && !tag.frameIds().empty()))
        __builtin_trap();
    // Every text comes out as well-formed UTF-8, whatever the frames held.
    bool utf8 = korvane::utf8::isValid(tag.texts.album);
    for (const std::string& text : tag.texts.leadArtist)
        utf8 = utf8 && korvane::utf8::isValid(text);
    for (const std::string& text : tag.texts.contentType)
        utf8 = utf8 && korvane::utf8::isValid(text);
    if (!utf8)
        __builtin_trap();
    return 0;
}
