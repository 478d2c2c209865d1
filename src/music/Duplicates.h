#pragma once

#include "music/MusicList.h"

#include <QString>

#include <vector>

// Albums the list holds more than once: a FLAC and an mp3 copy, or one album filed under two
// groups, categories or roots. Only looks at the rows; never touches a file.
namespace korvane {

// The rows (indices into the list, in list order) that hold one album.
struct DuplicateGroup {
    std::vector<int> rows;
};

// Groups the album rows whose artist and album (albumIdentity) compare equal as comparableName
// makes them. A year taken off the title tells albums apart only when both rows have one: "1999 -
// Live" and "2003 - Live" are two albums, either and "Live" the same one; when a name has several
// years, the rows without one form a group of their own. A year inside the title ("Live 1999")
// stays part of it. Rows without an artist and category header rows are never duplicates. Groups
// of two or more rows, in the order of their first row.
std::vector<DuplicateGroup> findDuplicates(const std::vector<MusicRow>& rows,
                                           const QString& separator);

// The groups for scripts: {"groups": [{"artist", "album", "rows": [{"row", "caption", "cells",
// "root", "path"}]}]}, the artist and album as the group's first row shows them, UTF-8.
QByteArray duplicatesJson(const std::vector<MusicRow>& rows,
                          const std::vector<DuplicateGroup>& groups, const QString& separator);

} // namespace korvane
