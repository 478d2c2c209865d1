#pragma once

#include "text/CodePageDetector.h"

#include <QString>

#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

// How many tracks an album has and how long it plays, read from every audio file's headers
// (never by decoding), and whether its files differ in format or rate.
namespace korvane {

struct AlbumTotals {
    int tracks = 0;
    double seconds = 0;
    std::vector<std::string> formats; // as file endings without the dot, in order of appearance
    int lowestBitRate = 0;            // kbit/s over the files that state one
    int highestBitRate = 0;
    // The files differ in a way the album's one bitrate cell hides: more than one format, VBR
    // mp3 beside CBR, or constant rates that differ. Rates of VBR and lossless files always
    // vary from file to file and do not count.
    bool mixed = false;
};

// Adds up the album's audio files (any of the formats the album details know), in any folder
// of the album. A disc image that a cue sheet of the album describes alone counts as the sheet's
// tracks. A file that cannot be read counts as a track of unknown length. A stop ends the count
// where it is.
AlbumTotals readAlbumTotals(const std::vector<std::filesystem::path>& audioFiles,
                            const std::vector<std::filesystem::path>& cueSheets,
                            codepage::Choice choice, const std::stop_token& stop = {});

// "42:07" under an hour, "1:02:33" from an hour on; seconds rounded to the nearest.
QString playTimeText(double seconds);

// What the bitrate cell shows for a mixed album: the formats joined by "/" and the span of
// rates ("mp3 128-320", "flac/mp3 192-1012"); empty for an album that is not mixed.
QString mixedBitRateText(const AlbumTotals& totals);

} // namespace korvane
