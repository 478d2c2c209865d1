#include "export/HtmlExport.h"

#include "export/OutputFile.h"
#include "export/RowCells.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "text/Cp1251.h"

namespace korvane::exporter {
namespace {

QString checkBoxLine(const QString& n) {
    return QStringLiteral("\t<td><input type=\"checkbox\" id=\"input") + n +
           QStringLiteral("\" onclick=\"MarkRow(") + n + QStringLiteral(")\" /></td>");
}

QString nameCell(const QString& folder, bool bold, const QString& separator) {
    if (!bold)
        return htmlEscape(folder);
    const qsizetype at = separator.isEmpty() ? -1 : folder.indexOf(separator);
    const QString group = at < 0 ? QString() : folder.left(at);
    const QString rest = at < 0 ? folder : folder.mid(at);
    return QStringLiteral("<b>") + htmlEscape(group) + QStringLiteral("</b>") + htmlEscape(rest);
}

// The page is Windows-1251: what the code page lacks is written as a reference, so that the
// browser shows "Björk" rather than "Bj?rk".
QString characterReference(char32_t codePoint) {
    return QStringLiteral("&#") + QString::number(codePoint) + u';';
}

// Every line break (CR LF, lone CR, lone LF) as CR LF, and one closing the text.
QString crLfBreaks(const QString& text) {
    QString result;
    result.reserve(text.size() + 2);
    for (const QString& line : splitLines(text))
        result += line + QStringLiteral("\r\n");
    return result;
}

} // namespace

QString htmlEscape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'&') {
            escaped += QStringLiteral("&amp;");
        } else if (c == u'<') {
            escaped += QStringLiteral("&lt;");
        } else if (c == u'>') {
            escaped += QStringLiteral("&gt;");
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            escaped += characterReference(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else if (c.isSurrogate()) {
            escaped += characterReference(0xFFFD);
        } else if (cp1251::fromUnicode(c.unicode()) == '?' && c != u'?') {
            escaped += characterReference(c.unicode());
        } else {
            escaped += c;
        }
    }
    return escaped;
}

void musicHtmlRows(const std::vector<CatalogueRow>& rows, bool bold, const QString& separator,
                   const LineSink& sink, bool totals) {
    const QString columns = totals ? QStringLiteral("7") : QStringLiteral("5");
    for (size_t i = 0; i < rows.size(); ++i) {
        const CatalogueRow& row = rows[i];
        if (MusicList::isCategoryHeader(row)) {
            sink(QStringLiteral("<tr><td colspan=\"") + columns +
                 QStringLiteral("\" class=\"cat\">") + htmlEscape(row.caption) +
                 QStringLiteral("</td></tr>"));
            continue;
        }
        const QString n = QString::number(i);
        sink(QStringLiteral("<tr id=\"tr") + n + QStringLiteral("\">"));
        sink(checkBoxLine(n));
        sink(QStringLiteral("\t<td class=\"artist\" id=\"artisttd") + n + QStringLiteral("\">") +
             nameCell(row.caption, bold, separator) + QStringLiteral("</td>"));
        sink(QStringLiteral("\t<td id=\"bitratetd") + n + QStringLiteral("\">") +
             htmlEscape(cell(row, BitrateCell)) + QStringLiteral("</td>"));
        sink(QStringLiteral("\t<td id=\"sizetd") + n + QStringLiteral("\">") +
             htmlEscape(cell(row, SizeCell)) + QStringLiteral("</td>"));
        sink(QStringLiteral("\t<td id=\"genretd") + n + QStringLiteral("\">") +
             htmlEscape(cell(row, StyleCell)) + QStringLiteral("</td>"));
        if (totals) {
            sink(QStringLiteral("\t<td id=\"trackstd") + n + QStringLiteral("\">") +
                 albumTracksText(row.values) + QStringLiteral("</td>"));
            sink(QStringLiteral("\t<td id=\"timetd") + n + QStringLiteral("\">") +
                 albumTimeText(row.values) + QStringLiteral("</td>"));
        }
        sink(QStringLiteral("</tr>"));
    }
}

QStringList musicHtmlRows(const std::vector<CatalogueRow>& rows, bool bold,
                          const QString& separator, bool totals) {
    return collectLines(
        [&](const LineSink& sink) { musicHtmlRows(rows, bold, separator, sink, totals); });
}

QString fillTotalsHeadings(const QString& templateText, bool totals) {
    if (!templateText.contains(kTracksPlaceholder) && !templateText.contains(kTimePlaceholder))
        return templateText;
    QString filled;
    filled.reserve(templateText.size());
    for (qsizetype start = 0; start < templateText.size();) {
        const qsizetype end = templateText.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? templateText.size() : end + 1;
        QString line = templateText.mid(start, next - start);
        start = next;
        const bool tracks = line.contains(kTracksPlaceholder);
        if (!tracks && !line.contains(kTimePlaceholder)) {
            filled += line;
        } else if (totals) {
            filled += line.replace(tracks ? kTracksPlaceholder : kTimePlaceholder,
                                   kAlbumTotalsCaptions.at(tracks ? 0 : 1));
        }
    }
    return filled;
}

void videoHtmlRows(const std::vector<CatalogueRow>& rows, const LineSink& sink) {
    for (size_t i = 0; i < rows.size(); ++i) {
        const CatalogueRow& row = rows[i];
        const QString n = QString::number(i);
        sink(QStringLiteral("<tr id=\"tr") + n + QStringLiteral("\">"));
        sink(checkBoxLine(n));
        sink(QStringLiteral("\t<td class=\"artist\">") + htmlEscape(row.caption) +
             QStringLiteral("</td>"));
        for (int c : {VideoSizeCell, ResolutionCell, DurationCell, FpsCell, CodecCell})
            sink(QStringLiteral("\t<td>") + htmlEscape(cell(row, c)) + QStringLiteral("</td>"));
        sink(QStringLiteral("</tr>"));
    }
}

QStringList videoHtmlRows(const std::vector<CatalogueRow>& rows) {
    return collectLines([&](const LineSink& sink) { videoHtmlRows(rows, sink); });
}

std::optional<TemplateParts> splitTemplate(const QString& templateText) {
    // The template's own line breaks become CR LF first, so that the placeholder's position is
    // counted in the same text the rows are put into.
    const QString page = crLfBreaks(templateText);
    const qsizetype at = page.indexOf(kTablePlaceholder);
    if (at < 0)
        return std::nullopt;
    return TemplateParts{page.left(at), page.mid(at + kTablePlaceholder.size())};
}

void writePage(const TextSink& out, const TemplateParts& parts,
               const std::function<void(const LineSink&)>& writeRows) {
    out(parts.before);
    writeRows([&out](const QString& line) {
        // A row line may carry line breaks of its own (a tag text with a line feed).
        if (line.contains(u'\r') || line.contains(u'\n')) {
            out(crLfBreaks(line + QStringLiteral("\r\n")));
        } else {
            out(line);
            out(QStringLiteral("\r\n"));
        }
    });
    out(parts.after);
}

} // namespace korvane::exporter
