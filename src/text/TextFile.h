#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading the program's own text files (set.ini, the bases, the templates) whole.
namespace korvane::text {

// Largest such file read: far beyond any real one, small enough to be held whole.
inline constexpr qint64 kMaxTextFileBytes = 64 * 1024 * 1024;

// The bytes of a regular file (symbolic links followed) of at most maxBytes. A FIFO,
// device, socket or folder is refused without being read, so that nothing can hang or exhaust
// memory. Nothing on failure, with the reason in `error` ("Not a regular file", "File is larger
// than 64 MiB", or the system's reason).
std::optional<QByteArray> readTextFile(const QString& path, QString* error = nullptr,
                                       qint64 maxBytes = kMaxTextFileBytes);

} // namespace korvane::text
