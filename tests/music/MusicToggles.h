#pragma once

#include "settings/Toggles.h"

namespace korvane::test {

// Toggles by the mp3 options they switch on.
enum MusicOption { Names = 1, Capitals = 2, Year = 4, Vbr = 8, AllOptions = 15, Mp3NamesOnly = 16 };

inline Toggles toggles(int options) {
    Toggles t;
    t.artistFromID3 = (options & Names) != 0;
    t.albumUppercase = (options & Capitals) != 0;
    t.yearInColumn = (options & Year) != 0;
    t.showVBR = (options & Vbr) != 0;
    t.mp3NamesOnly = (options & Mp3NamesOnly) != 0;
    return t;
}

} // namespace korvane::test
