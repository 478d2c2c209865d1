#pragma once

#include "files/FolderWalker.h"
#include "music/MusicList.h"
#include "settings/Toggles.h"

#include <QString>

#include <stop_token>

namespace korvane {

// `AlbumDetails`: completes an album row (its Folder text as caption, its Size cell or its size in
// bytes, a folded album's disc count among its values) from one audio
// file of folder: the first entry ending in ".mp3" in the order of the directory listing, else
// the first ".wma", else the first ".ogg" (case-insensitive endings, hidden entries included).
// Appends exactly three cells, Bitrate, Style and Country ("-" each without an audio file), and
// may rewrite the Folder text: artist and album from the tags joined by separator, the group part
// in capitals, the year in parentheses, as the options say. A file that cannot be read or
// decoded, or that is damaged still gives the three cells; so does a read ended by a stop
// (the file then counts as unreadable). What the file gives goes into the row's values, and the
// texts are made from them (formatMusicRow). Texts taken from the file are cut to
// text::kMaxRowTextLength characters. The row is a value: this runs on a scan's worker thread.
void readAlbumDetails(const QString& folder, MusicRow& row, const QString& separator,
                      const Toggles& options, const std::stop_token& stop = {});
// The same with the folder's listing already read (folderSizeText hands it back).
void readAlbumDetails(const QString& folder, const std::vector<FolderEntry>& listing, MusicRow& row,
                      const QString& separator, const Toggles& options,
                      const std::stop_token& stop = {});

// Whether the listing holds a file the album details would read.
bool holdsAudio(const std::vector<FolderEntry>& listing, bool otherFormats);

} // namespace korvane
