#pragma once

#include "text/CodePageDetector.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string_view>

// File names are bytes to the file system. Most are UTF-8, but collections unpacked from old
// Windows and DOS archives hold 8-bit names, which a plain UTF-8 decoding turns into U+FFFD and
// can then never open again. These conversions carry any name through a QString and back.
namespace korvane::files {

// UTF-8 as far as it is valid; every byte of an invalid sequence becomes the lone surrogate
// U+DC00 + byte (U+DC80..U+DCFF), which no valid UTF-8 can produce.
QString decodeFileName(std::string_view bytes);

// The exact bytes decodeFileName was given.
QByteArray encodeFileName(QStringView name);

// The name as the user should read it: each carried byte shown as the character of the code page
// that the name's 8-bit parts read best in (Windows-1251, KOI8-R or CP866 from DOS archivers,
// Windows-1252), Windows-1251 when that is close; or of the code page the user chose.
QString displayFileName(const QString& name, codepage::Choice choice = codepage::Choice::Auto);

// Sorts paths by the case-insensitive order of their shown names; the paths themselves keep
// their bytes.
void sortByShownName(QStringList& paths, codepage::Choice choice = codepage::Choice::Auto);

} // namespace korvane::files
