#include "export/TxtExport.h"

#include "export/RowCells.h"
#include "music/MusicList.h"

#include <algorithm>

namespace korvane::exporter {
namespace {

// Names longer than this are cut to 78 characters and "...".
constexpr qsizetype kMaxNameWidth = 80;
constexpr qsizetype kCutNameLength = 78;
// Room for the " (year)" the scan appends to the name when the year option is on.
constexpr qsizetype kYearWidening = 6;

qsizetype longestCaption(const std::vector<CatalogueRow>& rows) {
    qsizetype longest = 0;
    for (const CatalogueRow& row : rows)
        longest = std::max(longest, row.caption.size());
    return longest;
}

QStringList headerLines(const QString& title, const QString& date) {
    return {title, QStringLiteral("Создан: ") + date, QString()};
}

} // namespace

QStringList musicTxtLines(const std::vector<CatalogueRow>& rows, const QString& separator,
                          bool yearInColumn, const QString& date) {
    QStringList lines = headerLines(QStringLiteral("~~~ mp3 collection ~~~"), date);
    const qsizetype width =
        std::min(longestCaption(rows) + (yearInColumn ? kYearWidening : 0), kMaxNameWidth);
    for (const CatalogueRow& row : rows) {
        if (MusicList::isCategoryHeader(row)) {
            lines << QString()
                  << QStringLiteral(">> КАТЕГОРИЯ: ") + row.caption + QStringLiteral(" <<");
            continue;
        }
        QString name = row.caption.leftJustified(width);
        if (name.size() > kMaxNameWidth)
            name = name.left(kCutNameLength) + QStringLiteral("...");
        lines << name + u'\t' + QStringLiteral("[ ") + cell(row, BitrateCell) +
                     QStringLiteral(" kbps") + separator + cell(row, SizeCell) +
                     QStringLiteral(" mb") + separator + cell(row, StyleCell) +
                     QStringLiteral(" ]");
    }
    return lines;
}

QStringList videoTxtLines(const std::vector<CatalogueRow>& rows, const QString& date) {
    QStringList lines = headerLines(QStringLiteral("~~~ Video collection ~~~"), date);
    lines << QStringLiteral("Файл   [Размер | Разрешение | Время | Кадров | Кодек]");
    const qsizetype width = longestCaption(rows);
    for (const CatalogueRow& row : rows) {
        lines << row.caption.leftJustified(width) + u'\t' + QStringLiteral("[ ") +
                     cell(row, VideoSizeCell) + QStringLiteral(" mb | ") +
                     cell(row, ResolutionCell) + QStringLiteral(" | ") + cell(row, DurationCell) +
                     QStringLiteral(" min | ") + cell(row, FpsCell) + QStringLiteral(" | ") +
                     cell(row, CodecCell) + QStringLiteral(" ]");
    }
    return lines;
}

} // namespace korvane::exporter
