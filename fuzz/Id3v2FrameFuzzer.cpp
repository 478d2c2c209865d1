#include "tags/Id3v2FrameReader.h"
#include "text/Utf8.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::Id3v2FrameReader tag;
    try {
        tag.load(source);
        // The scan reads the first entries.
        if (tag.texts.leadArtist().count() > 0)
            (void)tag.texts.leadArtist()[0];
        (void)tag.texts.album();
        if (tag.texts.contentType().count() > 0)
            (void)tag.texts.contentType()[0];
        // Every text comes out as well-formed UTF-8, whatever the frames held.
        bool utf8 = korvane::utf8::isValid(tag.texts.album());
        for (const std::string& text : tag.texts.leadArtist().items())
            utf8 = utf8 && korvane::utf8::isValid(text);
        for (const std::string& text : tag.texts.contentType().items())
            utf8 = utf8 && korvane::utf8::isValid(text);
        if (!utf8)
            __builtin_trap();
    } catch (const korvane::tags::Id3v2FrameError&) {
        // Errors the reader raises on purpose; anything else escapes and is a finding.
    }
    return 0;
}
