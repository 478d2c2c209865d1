#include "ReadContract.h"
#include "tags/ByteSource.h"
#include "tags/FlacReader.h"
#include "text/Utf8.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    FlacReader flac;
    const korvane::tags::ReadResult result = flac.load(source);
    if (!keepsReadContract(result))
        __builtin_trap();
    const bool loaded = result.isRead();
    const AudioProperties& p = flac.properties;
    const std::int32_t bitRate = p.bitRate();
    if (!loaded && (bitRate != 0 || p.sampleRate != 0 || !p.genre.empty() || p.audioBytes != 0))
        __builtin_trap();
    if (bitRate < 0 || p.audioBytes < 0 || p.audioBytes > source.size() ||
        !std::isfinite(p.durationSeconds) || p.durationSeconds < 0)
        __builtin_trap();
    if (korvane::utf8::withReplacements(p.artist) != p.artist || p.year.size() > 4)
        __builtin_trap();
    if (loaded &&
        (p.channels < 1 || p.channels > 8 || flac.bitsPerSample < 1 || flac.bitsPerSample > 32))
        __builtin_trap();
    return 0;
}
