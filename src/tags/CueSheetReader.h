#pragma once

#include "tags/ByteSource.h"
#include "tags/TagText.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A CUE sheet's album-level commands: PERFORMER, TITLE, REM DATE, REM GENRE, REM COMMENT and
// the FILE names, up to the first TRACK, and the count of its tracks. Cue files are UTF-8 (with or
// without a byte-order mark) or, when not valid UTF-8, 8-bit texts in one code page (EightBitTexts)
// decided from the whole sheet; texts are handed out as UTF-8.
namespace korvane::tags {

class CueSheetReader {
public:
    explicit CueSheetReader(codepage::Choice choice = codepage::Choice::Auto) : eightBit(choice) {}
    void reset() { *this = CueSheetReader(eightBit.choice()); }
    // Read when the sheet holds at least one FILE or TRACK command; otherwise not this
    // format with every field reset. Only the first megabyte is read.
    ReadResult load(const std::filesystem::path& fileName);
    ReadResult load(ByteSource& source);

    bool utf8 = false; // how the sheet was decoded
    std::string performer;
    std::string title;
    std::string date;
    std::string genre;
    std::string comment;
    std::vector<std::string> files; // in sheet order, the first 64
    int tracks = 0;                 // TRACK commands in the whole of what is read
    int fileCommands = 0;           // FILE commands likewise: 1 for a disc image
    EightBitTexts eightBit;

private:
    ReadResult parse(ByteSource& source);
};

} // namespace korvane::tags
