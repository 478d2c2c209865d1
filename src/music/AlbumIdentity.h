#pragma once

#include <QString>

// What a music row's caption says of its album, for the statistics and the duplicates.
namespace korvane {

struct AlbumIdentity {
    QString artist; // the part before the album; empty for a caption of one part
    QString title;  // the album without its year and disc count mark
    int year = 0;   // from " (1999)" at the end or "1999 - " at the start; 0 when neither
};

// The caption split at the separator: the last part is the album, the one before it the artist
// (a category before them is left out). A disc count mark (" [2CD]"), notes of the format at the
// end ("(FLAC)", "[mp3 320]"), a year appended in parentheses and a leading year ("1999 - ",
// "1999. ") come off the title.
AlbumIdentity albumIdentity(const QString& caption, const QString& separator);

// A name as the duplicates compare it: lower case, "ё" as "е", letters and digits only (no
// punctuation, no spacing). A name of nothing but punctuation stays as it is, in lower case.
QString comparableName(const QString& name);

} // namespace korvane
