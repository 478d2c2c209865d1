#include "export/TxtExport.h"

#include "export/RowCells.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "text/OutputText.h"

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

// Texts from names and tags stay on their line and in their column.
QString lineCell(const CatalogueRow& row, int index) {
    return text::singleLine(cell(row, index));
}

QString lineCaption(const CatalogueRow& row) {
    return text::singleLine(row.caption);
}

void headerLines(const QString& title, const QString& date, const LineSink& sink) {
    sink(title);
    sink(QStringLiteral("Создан: ") + date);
    sink(QString());
}

} // namespace

void musicTxtLines(const std::vector<CatalogueRow>& rows, const QString& separator,
                   bool yearInColumn, const QString& date, const LineSink& sink, bool totals) {
    headerLines(QStringLiteral("~~~ mp3 collection ~~~"), date, sink);
    const qsizetype width =
        std::min(longestCaption(rows) + (yearInColumn ? kYearWidening : 0), kMaxNameWidth);
    for (const CatalogueRow& row : rows) {
        if (MusicList::isCategoryHeader(row)) {
            sink(QString());
            sink(QStringLiteral(">> КАТЕГОРИЯ: ") + lineCaption(row) + QStringLiteral(" <<"));
            continue;
        }
        QString name = lineCaption(row).leftJustified(width);
        if (name.size() > kMaxNameWidth)
            name = name.left(kCutNameLength) + QStringLiteral("...");
        QString details = lineCell(row, BitrateCell) + QStringLiteral(" kbps") + separator +
                          lineCell(row, SizeCell) + QStringLiteral(" mb") + separator +
                          lineCell(row, StyleCell);
        if (totals && hasAlbumTotals(row.values))
            details += separator + albumTracksText(row.values) + QStringLiteral(" tracks") +
                       separator + albumTimeText(row.values);
        sink(name + u'\t' + QStringLiteral("[ ") + details + QStringLiteral(" ]"));
    }
}

QStringList musicTxtLines(const std::vector<CatalogueRow>& rows, const QString& separator,
                          bool yearInColumn, const QString& date, bool totals) {
    return collectLines([&](const LineSink& sink) {
        musicTxtLines(rows, separator, yearInColumn, date, sink, totals);
    });
}

void videoTxtLines(const std::vector<CatalogueRow>& rows, const QString& date,
                   const LineSink& sink) {
    headerLines(QStringLiteral("~~~ Video collection ~~~"), date, sink);
    sink(QStringLiteral("Файл   [Размер | Разрешение | Время | Кадров | Кодек]"));
    const qsizetype width = longestCaption(rows);
    for (const CatalogueRow& row : rows) {
        sink(lineCaption(row).leftJustified(width) + u'\t' + QStringLiteral("[ ") +
             lineCell(row, VideoSizeCell) + QStringLiteral(" mb | ") +
             lineCell(row, ResolutionCell) + QStringLiteral(" | ") + lineCell(row, DurationCell) +
             QStringLiteral(" min | ") + lineCell(row, FpsCell) + QStringLiteral(" | ") +
             lineCell(row, CodecCell) + QStringLiteral(" ]"));
    }
}

QStringList videoTxtLines(const std::vector<CatalogueRow>& rows, const QString& date) {
    return collectLines([&](const LineSink& sink) { videoTxtLines(rows, date, sink); });
}

} // namespace korvane::exporter
