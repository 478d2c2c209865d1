#include "export/BbcodeExport.h"

#include "export/RowCells.h"
#include "music/MusicList.h"
#include "text/OutputText.h"

#include <algorithm>

namespace korvane::exporter {
namespace {

// An empty line before a heading, none after the title's own.
void separateBlock(QStringList& lines) {
    if (!lines.isEmpty() && !lines.last().isEmpty())
        lines << QString();
}

// A caption or a cell: a line break inside it would break the row's line, and the markup around it,
// so every control character becomes a space, as in the TXT list.
QString fieldText(const QString& text) {
    return bbcodeEscape(text::singleLine(text));
}

QString folderText(const QString& caption, const MusicBbcodeStyle& style) {
    const QString folder = text::singleLine(caption);
    const qsizetype at = style.groupSeparator.isEmpty() ? -1 : folder.indexOf(style.groupSeparator);
    // Without a group there is nothing to set in bold: an empty [b][/b] would only clutter the
    // post.
    if (!style.bold || at <= 0)
        return bbcodeEscape(folder);
    return QStringLiteral("[b]") + bbcodeEscape(folder.left(at)) + QStringLiteral("[/b]") +
           bbcodeEscape(folder.mid(at));
}

} // namespace

QString bbcodeEscape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        escaped += c;
        if (c == u'[')
            escaped += QStringLiteral("[b][/b]");
    }
    return escaped;
}

QStringList musicBbcodeLines(const std::vector<CatalogueRow>& rows, const MusicBbcodeStyle& style) {
    const auto albums = std::count_if(rows.begin(), rows.end(), [](const CatalogueRow& row) {
        return !MusicList::isCategoryHeader(row);
    });
    QStringList lines{QStringLiteral("[b]mp3 collection — альбомов: %1[/b]").arg(albums),
                      QString()};
    const QString separator = bbcodeEscape(style.fieldSeparator);
    for (const CatalogueRow& row : rows) {
        if (MusicList::isCategoryHeader(row)) {
            separateBlock(lines);
            lines << (style.categories
                          ? QStringLiteral("[size=4][color=red]") + fieldText(row.caption) +
                                QStringLiteral("[/color][/size]")
                          : fieldText(row.caption));
            continue;
        }
        lines << folderText(row.caption, style) + separator + fieldText(cell(row, SizeCell)) +
                     QStringLiteral(" mb") + separator + fieldText(cell(row, BitrateCell)) +
                     QStringLiteral(" kbps") + separator + fieldText(cell(row, StyleCell)) +
                     separator + fieldText(cell(row, CountryCell));
    }
    return lines;
}

QStringList videoBbcodeLines(const std::vector<CatalogueRow>& rows) {
    QStringList lines{QStringLiteral("[b]Video collection — файлов: %1[/b]").arg(rows.size()),
                      QString()};
    for (const CatalogueRow& row : rows) {
        lines << fieldText(row.caption) + QStringLiteral(" | ") +
                     fieldText(cell(row, VideoSizeCell)) + QStringLiteral(" mb | ") +
                     fieldText(cell(row, ResolutionCell)) + QStringLiteral(" | ") +
                     fieldText(cell(row, DurationCell)) + QStringLiteral(" min | ") +
                     fieldText(cell(row, FpsCell)) + QStringLiteral(" | ") +
                     fieldText(cell(row, CodecCell));
    }
    return lines;
}

} // namespace korvane::exporter
