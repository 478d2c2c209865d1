#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string_view>

// File names are bytes to the file system. Most are UTF-8, but collections unpacked from old
// Windows archives hold Windows-1251 names, which a plain UTF-8 decoding turns into U+FFFD and
// can then never open again. These conversions carry any name through a QString and back.
namespace korvane::files {

// UTF-8 as far as it is valid; every byte of an invalid sequence becomes the lone surrogate
// U+DC00 + byte (U+DC80..U+DCFF), which no valid UTF-8 can produce.
QString decodeFileName(std::string_view bytes);

// The exact bytes decodeFileName was given.
QByteArray encodeFileName(QStringView name);

// The name as the user should read it: each carried byte shown as its Windows-1251 character.
QString displayFileName(const QString& name);

// Sorts paths by the case-insensitive order of their shown names; the paths themselves keep
// their bytes.
void sortByShownName(QStringList& paths);

} // namespace korvane::files
