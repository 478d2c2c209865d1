#pragma once

#include "tags/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A CUE sheet's album-level commands: PERFORMER, TITLE, REM DATE, REM GENRE, REM COMMENT and
// the FILE names, up to the first TRACK. Cue files are UTF-8 (with or without a byte-order
// mark) or, when not valid UTF-8, Windows-1251; texts are handed out as UTF-8.
namespace korvane::tags {

class CueSheetReader {
public:
    void reset() { *this = CueSheetReader(); }
    // True when the sheet holds at least one FILE or TRACK command; otherwise false with every
    // field reset. False too when it cannot be opened. Only the first megabyte is read.
    bool load(const std::filesystem::path& fileName);
    bool load(ByteSource& source);

    bool utf8 = false; // how the sheet was decoded
    std::string performer;
    std::string title;
    std::string date;
    std::string genre;
    std::string comment;
    std::vector<std::string> files; // in sheet order, the first 64
};

} // namespace korvane::tags
