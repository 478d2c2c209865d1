#include "tags/JvID3v2.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    korvane::tags::TJvID3v2 tag;
    try {
        tag.Load(source);
        // The scan reads the first entries.
        if (tag.Texts.LeadArtist().Count() > 0)
            (void)tag.Texts.LeadArtist()[0];
        (void)tag.Texts.Album();
        if (tag.Texts.ContentType().Count() > 0)
            (void)tag.Texts.ContentType()[0];
    } catch (const korvane::tags::JvID3Error&) {
        // Errors the reader raises on purpose; anything else escapes and is a finding.
    }
    return 0;
}
