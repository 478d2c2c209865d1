#include "ReadContract.h"
#include "tags/MpegAudioReader.h"

#include <cstddef>
#include <cstdint>

using korvane::tags::MpegAudioReader;

namespace {

bool sameResult(const MpegAudioReader& a, const MpegAudioReader& b) {
    return a.bitRate() == b.bitRate() && a.audioStart == b.audioStart && a.audioEnd == b.audioEnd &&
           a.encoderMark == b.encoderMark && a.vbr.found == b.vbr.found &&
           a.id3v2.artist == b.id3v2.artist && a.id3v2.comment == b.id3v2.comment &&
           a.id3v1.title == b.id3v1.title && a.id3v1.lyrics == b.id3v1.lyrics;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvane::tags::MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    MpegAudioReader mpeg;
    const korvane::tags::ReadResult result = mpeg.load(source);
    // A file is MPEG audio exactly when a frame was found.
    if (!keepsReadContract(result) || result.isRead() != mpeg.frame.found)
        __builtin_trap();
    // A found frame lies inside the file.
    if (mpeg.frame.found &&
        (mpeg.audioStart < 0 || mpeg.audioStart >= static_cast<std::int64_t>(size)))
        __builtin_trap();
    // A length is a number of seconds, never negative, infinite or not a number.
    if (!(mpeg.playSeconds() >= 0) || mpeg.playSeconds() > 1e12)
        __builtin_trap();

    // Reading through the read-ahead windows (small here, so that they move a lot) must give
    // the same result as reading the bytes directly.
    korvane::tags::ReadAheadSource windows(source, 700);
    MpegAudioReader viaWindows;
    if (viaWindows.load(windows).status() != result.status() || !sameResult(mpeg, viaWindows))
        __builtin_trap();
    return 0;
}
