#include "export/OutputFile.h"

#include "text/LocaleText.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace korvane::exporter {
namespace {

// Bytes gathered before they go to the file: large enough that the file sees few writes.
constexpr size_t kBufferSize = 1 << 16;

} // namespace

ExportError::ExportError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

QStringList collectLines(const std::function<void(const LineSink&)>& write) {
    QStringList lines;
    write([&lines](const QString& line) { lines << line; });
    return lines;
}

std::string cp1251Lines(const QStringList& lines) {
    std::string bytes;
    for (const QString& line : lines) {
        bytes += text::toCp1251(line);
        bytes += "\r\n";
    }
    return bytes;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines << text.mid(start, i - start);
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

OutputFile::OutputFile(const QString& path) : m_path(path), m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly))
        fail();
}

void OutputFile::writeBytes(std::string_view bytes) {
    m_buffer += bytes;
    if (m_buffer.size() >= kBufferSize)
        flushBuffer();
}

void OutputFile::writeText(const QString& text) {
    writeBytes(text::toCp1251(text));
}

void OutputFile::writeLine(const QString& line) {
    writeText(line);
    writeBytes("\r\n");
}

void OutputFile::commit() {
    flushBuffer();
    // Small writes only fill Qt's buffer; a full disk shows at the flush, which commit() would
    // not report, renaming a short file over the user's one.
    if (!m_file.flush() || !m_file.commit())
        fail();
}

void OutputFile::fail() const {
    throw ExportError(QStringLiteral("Cannot create file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(m_path), m_file.errorString()));
}

void OutputFile::flushBuffer() {
    if (m_file.write(m_buffer.data(), static_cast<qint64>(m_buffer.size())) !=
        static_cast<qint64>(m_buffer.size()))
        fail();
    m_buffer.clear();
}

void replaceFile(const QString& path, const std::string& bytes) {
    OutputFile file(path);
    file.writeBytes(bytes);
    file.commit();
}

QString readCp1251File(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ExportError(QStringLiteral("Cannot open file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    return text::fromCp1251(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

} // namespace korvane::exporter
