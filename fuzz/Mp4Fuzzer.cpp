#include "ReadContract.h"
#include "tags/Mp4Reader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    Mp4Reader mp4;
    const korvane::tags::ReadResult result = mp4.load(source);
    if (!keepsReadContract(result))
        __builtin_trap();
    const bool loaded = result.isRead();
    // A reader that gave up holds nothing; the bitrate is worked out on whatever was read.
    const std::int32_t bitRate = mp4.properties.bitRate();
    if (!loaded && (mp4.properties.sampleRate != 0 || bitRate != 0))
        __builtin_trap();
    if (bitRate < 0 || mp4.properties.audioBytes > static_cast<std::int64_t>(size))
        __builtin_trap();
    return 0;
}
