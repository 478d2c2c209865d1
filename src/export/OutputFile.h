#pragma once

#include "files/ReportedError.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

// What every exporter shares: the Windows-1251 CR LF text of its lines, the
// replace-through-a-temporary-file write and the template read.
namespace korvane::exporter {

// Receives an export's lines one at a time, so that no export holds its whole text.
using LineSink = std::function<void(const QString& line)>;
// Receives an export's text piece by piece, line breaks included.
using TextSink = std::function<void(const QString& text)>;
// The lines a writer hands its sink, gathered.
QStringList collectLines(const std::function<void(const LineSink&)>& write);

// The lines as Windows-1251 bytes, CR LF after every line; "?" for what the code page lacks.
std::string cp1251Lines(const QStringList& lines);

// Splits at CR LF, lone LF and lone CR; a break at the very end closes the last line rather
// than starting an empty one.
QStringList splitLines(const QString& text);

// Throws "Cannot create file \"path\". reason".
[[noreturn]] void failToCreate(const QString& path, const QString& reason);

// The file that a write to `path` replaces: a symbolic link is followed to the file it names.
// Only a regular file or a new name can be replaced; a device, FIFO, socket or folder is refused
// (ReportedError) and left alone.
QString replaceableTarget(const QString& path);

// A hidden temporary file beside the target, ".name.XXXXXX", that takes the target's place
// only when committed; left uncommitted it is removed. Temporaries of this naming that an
// earlier run left behind (killed half-way) are removed on creation.
class ReplacementFile {
public:
    // `path` as the user named it; errors name it too. Throws ReportedError.
    explicit ReplacementFile(const QString& path);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    const QString& temporaryPath() const { return m_temporaryPath; }
    // Appends the bytes, gathered in a buffer; the system's reason on failure ("No space left on
    // device").
    void write(std::string_view bytes);
    // Windows-1251 text; "?" for what the code page lacks.
    void writeText(const QString& text);
    // The line and CR LF; with `utf8`, the line in UTF-8 instead of Windows-1251.
    void writeLine(const QString& line, bool utf8 = false);
    // Writes what the buffer holds, gives the file the target's permissions (or rw-r--r-- less
    // the umask for a new file) and renames it over the target.
    void commit();

private:
    void flushBuffer();

    QString m_path;
    QString m_target;
    QString m_temporaryPath;
    int m_fd = -1;
    bool m_committed = false;
    std::string m_buffer;
};

// Writes the bytes to a temporary file beside `path` and renames it over `path`, so that a failed
// write leaves the previous file as it was. Throws "Cannot create file \"path\". reason".
void replaceFile(const QString& path, std::string_view bytes);

// A Windows-1251 text file, whole; only a regular file of a sane size
// (text::readTextFile). Throws
// "Cannot open file \"path\". reason".
QString readCp1251File(const QString& path);

} // namespace korvane::exporter
