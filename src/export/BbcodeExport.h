#pragma once

#include "catalogue/CatalogueList.h"

#include <QStringList>

#include <vector>

// A list as a forum post in BBCode: a bold title line with the count, then one line per row.
namespace korvane::exporter {

// Every "[" followed by an empty bold element ("[[b][/b]"), so that no text of a name can open or
// close a tag: a forum shows the bracket and the empty element leaves no trace.
QString bbcodeEscape(const QString& text);

struct MusicBbcodeStyle {
    bool bold = true;        // the group name in [b]
    bool categories = false; // category header rows as red headings
    QString groupSeparator;  // ends the group name inside a Folder text
    QString fieldSeparator;  // between size, bitrate, style and country
};

// "[b]mp3 collection — альбомов: N[/b]", then per album the Folder text, size, bitrate, style and
// country; a category header row becomes an empty line and a [size=4][color=red] heading in
// categories mode, a plain line of its name otherwise.
QStringList musicBbcodeLines(const std::vector<CatalogueRow>& rows, const MusicBbcodeStyle& style);

// "[b]Video collection — файлов: N[/b]", then per file its name and cells as the TXT list joins
// them.
QStringList videoBbcodeLines(const std::vector<CatalogueRow>& rows);

} // namespace korvane::exporter
