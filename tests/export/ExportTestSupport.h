#pragma once

#include "catalogue/CatalogueList.h"
#include "text/LocaleText.h"

#include "TempDir.h"

#include <QStringList>

#include <ostream>
#include <string>
#include <vector>

// Readable texts in the failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace korvane::test {

// A music album row: Folder text, then Size, Bitrate, Style, Country.
inline CatalogueRow album(const QString& folder, const QString& size, const QString& bitrate,
                          const QString& style, const QString& country = QStringLiteral("-")) {
    return {folder, {size, bitrate, style, country}};
}

inline CatalogueRow category(const QString& name) {
    return {name,
            {QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")}};
}

// A video row: file name, then Size, Resolution, Duration, fps, Codec.
inline CatalogueRow clip(const QString& name, const QString& size, const QString& resolution,
                         const QString& duration, const QString& fps, const QString& codec) {
    return {name, {size, resolution, duration, fps, codec}};
}

// What a file of these lines holds: Windows-1251, CR LF after every line.
inline QByteArray cp1251File(const QStringList& lines) {
    std::string bytes;
    for (const QString& line : lines)
        bytes += text::toCp1251(line) + "\r\n";
    return QByteArray::fromStdString(bytes);
}

// A program folder with a set.ini of the given "key=value" lines in section options, and an
// output folder "out/" that save_dir points at.
class ExportFolder : public TempDir {
public:
    explicit ExportFolder(const QStringList& settings = {}) {
        QDir(path()).mkpath(QStringLiteral("out"));
        QStringList lines{QStringLiteral("[options]"), QStringLiteral("save_dir=") + outDir()};
        lines << settings;
        write(QStringLiteral("set.ini"), cp1251File(lines).toStdString());
    }
    QString outDir() const { return file(QStringLiteral("out/")); }
};

} // namespace korvane::test
