#include "export/OutputFile.h"

#include "text/LocaleText.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace korvane::exporter {

ExportError::ExportError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

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

void replaceFile(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    const auto fail = [&path](const QString& reason) {
        throw ExportError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(path), reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    // Small writes only fill Qt's buffer; a full disk shows at the flush, which commit() would
    // not report, renaming a short file over the user's one.
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.flush())
        fail(file.errorString());
    if (!file.commit())
        fail(file.errorString());
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
