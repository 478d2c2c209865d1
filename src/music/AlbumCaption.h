#pragma once

#include "catalogue/CatalogueList.h"
#include "settings/Toggles.h"
#include "tags/TagText.h"

#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

// The rules of an album row that every audio format shares.
namespace korvane {

// The cells that the album details append, with the Folder text they may rewrite.
struct AlbumCells {
    QString caption;
    QString bitrate = QStringLiteral("-");
    QString style = QStringLiteral("-");
    QString country = QStringLiteral("-");
    // The file's 8-bit texts whose code page was a close call.
    QList<CloseText> closeTexts = {};
};

// Adds the close calls among a reader's decoded 8-bit texts to the cells.
void addCloseTexts(std::span<const tags::TextDecision> decisions, AlbumCells& cells);

// A file name's ending, compared without regard to ASCII case as on Windows ("*.mp3").
bool endsWithNoCase(std::string_view name, std::string_view ending);

// caption + " (" + year + ")", unless the year is blank.
void appendYear(QString& caption, const QString& year);
// The group part, before the first separator, in the locale's capitals.
void groupInCapitals(QString& caption, const QString& separator);
// A comment that begins with "Country: " exactly gives the rest, each line break shown as
// " / "; any other gives "-".
QString countryNote(const QString& comment);

// What a file of any format but mp3 gives the row from its tags (UTF-8 texts).
struct AlbumTags {
    std::string_view artist;
    std::string_view album;
    std::string_view year;
    std::string_view genre;
    std::string_view comment;
};
// The cells of a row from `tags` by the rules mp3 rows follow: artist and album (both not blank)
// as the Folder text, the group part in capitals and the year as the toggles say, the genre as
// the style (unless blank), the country note. With `mp3NamesOnly`, the older rule for wma
// and ogg rows: the Folder text as the scan built it with only the year added, no country note.
void applyAlbumTags(const AlbumTags& tags, const QString& separator, const Toggles& options,
                    AlbumCells& cells);

} // namespace korvane
