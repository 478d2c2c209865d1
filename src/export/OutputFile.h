#pragma once

#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <functional>
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

// Receives an export's lines one at a time, so that no export holds its whole text.
using LineSink = std::function<void(const QString& line)>;
// The lines a writer hands its sink, gathered.
QStringList collectLines(const std::function<void(const LineSink&)>& write);

// The lines as Windows-1251 bytes, CR LF after every line; "?" for what the code page lacks.
std::string cp1251Lines(const QStringList& lines);

// Splits at CR LF, lone LF and lone CR; a break at the very end closes the last line rather
// than starting an empty one.
QStringList splitLines(const QString& text);

// A file written piece by piece into a temporary file beside `path`, renamed over `path` by
// commit(), so that a failed write leaves the previous file as it was. Every failure throws
// "Cannot create file \"path\". reason".
class OutputFile {
public:
    explicit OutputFile(const QString& path);

    void writeBytes(std::string_view bytes);
    // Windows-1251 text; "?" for what the code page lacks.
    void writeText(const QString& text);
    // The line and CR LF.
    void writeLine(const QString& line);
    void commit();

private:
    [[noreturn]] void fail() const;
    void flushBuffer();

    QString m_path;
    QSaveFile m_file;
    std::string m_buffer;
};

// The bytes as a whole file, through an OutputFile.
void replaceFile(const QString& path, const std::string& bytes);

// A Windows-1251 text file, whole. Throws "Cannot open file \"path\". reason".
QString readCp1251File(const QString& path);

} // namespace korvane::exporter
