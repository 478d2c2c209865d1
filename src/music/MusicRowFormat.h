#pragma once

#include "music/MusicList.h"
#include "settings/Toggles.h"

#include <QString>
#include <QStringList>

#include <vector>

// The one place where a music row's values become the texts the list shows and the exports
// write.
namespace korvane {

// The Folder text of an album folder at `shownRelative` (its path below the root, as the user
// reads it): in categories mode without the category folder, each "/" as the separator.
QString musicFolderText(const QString& shownRelative, bool categories, const QString& separator);

// The caption, Size and Bitrate of a row from its values, as the toggles say: the Folder text
// (`folderText`) or artist and album from the tags, the group part in capitals, the year, the
// disc count mark; the size, the bitrate ("VBR " with showVBR; with album totals, the span of
// an album whose files differ, "mp3 128-320"). Style and Country are texts of
// their own (as the scan, a base fill or the user gave them) and stay. A column edited by hand
// keeps its text; a row that holds only texts (RowValues::Kind::Texts) is left as it is.
void formatMusicRow(MusicRow& row, const QString& folderText, const Toggles& toggles,
                    const QString& separator);

// The two columns album totals add after Country, their captions and a row's texts: the
// tracks and the playing time ("1:02:33"); empty texts for a row whose totals were not read.
inline const QStringList kAlbumTotalsCaptions{
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Треков")),
    QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Время"))};
QString albumTracksText(const RowValues& values);
QString albumTimeText(const RowValues& values);
// Whether the row's totals were read.
inline bool hasAlbumTotals(const RowValues& values) {
    return values.kind == RowValues::Kind::Album && values.tracks >= 0;
}

// Rows restored from the catalogue or kept by an update, made again with the current toggles as a
// fresh scan would make them, hand edits kept. Rows that hold only texts (stored by an older
// Korvane) get what their texts tell: a header row becomes one, and an album row takes the
// category of the header row above it.
void remakeMusicRows(std::vector<MusicRow>& rows, const Toggles& toggles, const QString& separator);

} // namespace korvane
