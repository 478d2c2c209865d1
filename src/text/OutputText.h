#pragma once

#include <QString>

// Texts from file names and tags on their way into the files Korvane writes: the one place that
// decides which characters each kind of output can hold.
namespace korvane::text {

// Longest text a row takes from a file: more is no caption or genre anybody reads, and a tag
// of megabytes would slow every sort and every export.
inline constexpr qsizetype kMaxRowTextLength = 1024;

// For line-based outputs (the printed rows, TXT lists, bases): every control character (tab,
// line feed and carriage return among them) becomes a space, so that a text stays one field of
// one line.
QString singleLine(const QString& text);

// For XML outputs: the characters XML 1.0 cannot hold (controls other than tab, LF and CR, lone
// surrogates, U+FFFE and U+FFFF) are removed.
QString xmlText(const QString& text);

// At most `length` UTF-16 units, never splitting a surrogate pair.
QString cutText(const QString& text, qsizetype length);

// Sets LC_NUMERIC to "C": libraries that print numbers through the C library (the workbook's
// column widths and margins) then write the same bytes under every locale. Collation, case and
// dates come from QLocale and do not depend on it. Called once at start-up, after Qt has set the
// C locale from the environment.
void useCNumberFormat();

} // namespace korvane::text
