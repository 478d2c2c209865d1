#pragma once

#include "app/Toggles.h"
#include "music/FolderWalker.h"

#include <QString>

namespace korvane {

class MusicList;

// `AlbumDetails`: completes the album row just appended at index row (its Folder text and Size
// cell are set) from the first audio file of folder: appends exactly three cells, Bitrate, Style
// and Country, and may rewrite the Folder text from the tags, joining group and album with
// separator. The pump may run while files are read; rows can move then, so a reader that pumps
// must track its row (a QPersistentModelIndex) rather than keep the index.
//
// The audio readers are not wired in yet: every album takes the result of a folder without
// audio, the no-value mark "-" in all three cells.
void AlbumDetails(const QString& folder, MusicList& list, int row, const QString& separator,
                  const Toggles& options, const Pump& pump);

} // namespace korvane
