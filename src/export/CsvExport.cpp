#include "export/CsvExport.h"

#include "music/MusicList.h"
#include "music/MusicRowFormat.h"

#include <algorithm>

namespace korvane::exporter {
namespace {

QString record(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        line += csvField(fields[i]);
    }
    return line + QStringLiteral("\r\n");
}

} // namespace

QString csvField(const QString& text) {
    // A spreadsheet takes a cell that starts like a formula for one (a tag such as
    // =HYPERLINK(...) would turn live): the apostrophe keeps it text. The lone "-" is the list's
    // no-value mark, never a formula.
    const bool formulaLike =
        !text.isEmpty() && text != u'-' && QStringView(u"=+-@\t\r").contains(text.front());
    QString field = formulaLike ? u'\'' + text : text;
    const bool quoted = std::any_of(field.begin(), field.end(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\r' || c == u'\n';
    });
    if (!quoted)
        return field;
    field.replace(u'"', QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QString csvText(const QStringList& captions, const std::vector<CatalogueRow>& rows, bool musicRows,
                bool totals) {
    const qsizetype cells = captions.size() - 1 - (totals ? kAlbumTotalsCaptions.size() : 0);
    QString text = record(captions);
    for (const CatalogueRow& row : rows) {
        // Every record has as many fields as there are columns, also for a row a scan has not
        // completed yet.
        QStringList fields{row.caption};
        const bool header = musicRows && MusicList::isCategoryHeader(row);
        for (qsizetype i = 0; i < cells; ++i)
            fields << (header ? QString() : row.cells.value(i));
        if (totals)
            fields << albumTracksText(row.values) << albumTimeText(row.values);
        text += record(fields);
    }
    return text;
}

} // namespace korvane::exporter
