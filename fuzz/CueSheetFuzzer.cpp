#include "ReadContract.h"
#include "tags/CueSheetReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The whole input is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::tags;
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size));
    CueSheetReader cue;
    const korvane::tags::ReadResult result = cue.load(source);
    if (!keepsReadContract(result))
        __builtin_trap();
    const bool loaded = result.isRead();
    // Only the first megabyte is read, and at most 64 file names are kept.
    if (cue.files.size() > 64 || cue.performer.size() > 2 * (1 << 20))
        __builtin_trap();
    if (!loaded && !cue.files.empty())
        __builtin_trap();
    // Each TRACK or FILE is a word of its own line: no more of them than lines in the megabyte.
    if (cue.tracks < 0 || cue.fileCommands < static_cast<int>(cue.files.size()) ||
        cue.tracks + cue.fileCommands > static_cast<int>(size) / 4 + 1)
        __builtin_trap();
    return 0;
}
