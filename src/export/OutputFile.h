#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <string>

// What every exporter shares: the error it reports, the Windows-1251 CR LF text of its lines, the
// replace-through-a-temporary-file write and the template read.
namespace korvane::exporter {

// A failure the user sees in the error box, with the text it carries.
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& message);
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The lines as Windows-1251 bytes, CR LF after every line; "?" for what the code page lacks.
std::string cp1251Lines(const QStringList& lines);

// Splits at CR LF, lone LF and lone CR; a break at the very end closes the last line rather
// than starting an empty one.
QStringList splitLines(const QString& text);

// Writes the bytes to a temporary file beside `path` and renames it over `path`, so that a failed
// write leaves the previous file as it was. Throws "Cannot create file \"path\". reason".
void replaceFile(const QString& path, const std::string& bytes);

// A Windows-1251 text file, whole. Throws "Cannot open file \"path\". reason".
QString readCp1251File(const QString& path);

} // namespace korvane::exporter
