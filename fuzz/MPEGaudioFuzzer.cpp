#include "tags/MPEGaudio.h"

#include <cstddef>
#include <cstdint>

using korvane::tags::TMPEGaudio;

namespace {

bool sameResult(const TMPEGaudio& a, const TMPEGaudio& b) {
    return a.BitRate() == b.BitRate() && a.AudioStart == b.AudioStart && a.AudioEnd == b.AudioEnd &&
           a.EncoderMark == b.EncoderMark && a.VBR.found == b.VBR.found &&
           a.ID3v2.Artist == b.ID3v2.Artist && a.ID3v2.Comment == b.ID3v2.Comment &&
           a.ID3v1.Title == b.ID3v1.Title && a.ID3v1.Lyrics == b.ID3v1.Lyrics;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    TMPEGaudio mpeg;
    mpeg.Load(source);
    // A found frame lies inside the file.
    if (mpeg.Frame.found &&
        (mpeg.AudioStart < 0 || mpeg.AudioStart >= static_cast<std::int64_t>(size)))
        __builtin_trap();

    // Reading through the read-ahead windows (small here, so that they move a lot) must give
    // the same result as reading the bytes directly.
    korvane::tags::ReadAheadSource windows(source, 700);
    TMPEGaudio viaWindows;
    viaWindows.Load(windows);
    if (!sameResult(mpeg, viaWindows))
        __builtin_trap();
    return 0;
}
