#pragma once

#include <QString>

#include <string_view>

// The rules of an album row that every audio format shares.
namespace korvane {

// The cells that the album details append, with the Folder text they may rewrite.
struct AlbumCells {
    QString caption;
    QString bitrate = QStringLiteral("-");
    QString style = QStringLiteral("-");
    QString country = QStringLiteral("-");
};

// A file name's ending, compared without regard to ASCII case as on Windows ("*.mp3").
bool endsWithNoCase(std::string_view name, std::string_view ending);

// caption + " (" + year + ")", unless the year is blank.
void appendYear(QString& caption, const QString& year);
// The group part, before the first separator, in the locale's capitals.
void groupInCapitals(QString& caption, const QString& separator);
// A comment that begins with "Country: " exactly gives the rest, each line break shown as
// " / "; any other gives "-".
QString countryNote(const QString& comment);

} // namespace korvane
