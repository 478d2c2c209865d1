#include "ReadContract.h"
#include "tags/WavPackReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    WavPackReader wv;
    const korvane::tags::ReadResult result = wv.load(source);
    if (!keepsReadContract(result))
        __builtin_trap();
    const bool loaded = result.isRead();
    // A reader that gave up holds nothing; the bitrate is worked out on whatever was read.
    const std::int32_t bitRate = wv.properties.bitRate();
    if (!loaded && (wv.properties.sampleRate != 0 || bitRate != 0))
        __builtin_trap();
    if (bitRate < 0 || wv.properties.audioBytes > static_cast<std::int64_t>(size))
        __builtin_trap();
    return 0;
}
