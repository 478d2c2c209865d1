#pragma once

#include "files/FolderWalker.h"
#include "settings/Toggles.h"

#include <QString>

namespace korvane {

class MusicList;

// `AlbumDetails`: completes the album row just appended at index row (its Folder text and Size
// cell are set) from one audio file of folder: the first entry ending in ".mp3" in the order of
// the directory listing, else the first ".wma", else the first ".ogg" (case-insensitive endings,
// hidden entries included). Appends exactly three cells, Bitrate, Style and Country ("-" each
// without an audio file), and may rewrite the Folder text: artist and album from the tags joined
// by separator, the group part in capitals, the year in parentheses, as the options say.
// A file that cannot be read, is not of its kind or is damaged still gives the three cells.
// After an mp3 the pump runs once, as the last step: the row index is not used after it. Long
// reads run the pump every few MiB too; when it returns false the read ends and the file counts
// as unreadable. Texts taken from the file are cut to text::kMaxRowTextLength characters.
void readAlbumDetails(const QString& folder, MusicList& list, int row, const QString& separator,
                      const Toggles& options, const Pump& pump);
// The same with the folder's listing already read (folderSizeText hands it back); mark goes
// after the caption (a folded album's disc count).
void readAlbumDetails(const QString& folder, const std::vector<FolderEntry>& listing,
                      MusicList& list, int row, const QString& separator, const Toggles& options,
                      const Pump& pump, const QString& mark = {});

// Whether the listing holds a file the album details would read.
bool holdsAudio(const std::vector<FolderEntry>& listing, bool otherFormats);

} // namespace korvane
