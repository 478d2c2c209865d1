#include "export/CsvExport.h"

#include "music/MusicList.h"

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
    // A spreadsheet takes a cell that starts like a formula as one (a tag such as
    // =HYPERLINK(...) would become a live link), so such a cell gets a leading apostrophe. The
    // list's own "-" for a missing value is no formula and stays bare.
    const bool formulaLike =
        !text.isEmpty() && text != u"-" && QStringView(u"=+-@\t\r").contains(text.front());
    QString field = formulaLike ? u'\'' + text : text;
    const bool quoted = std::any_of(field.begin(), field.end(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\r' || c == u'\n';
    });
    if (!quoted)
        return field;
    field.replace(u'"', QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QString csvText(const QStringList& captions, const std::vector<CatalogueRow>& rows,
                bool musicRows) {
    QString text = record(captions);
    for (const CatalogueRow& row : rows) {
        // Every record has as many fields as there are columns, also for a row a scan has not
        // completed yet.
        QStringList fields{row.caption};
        const bool header = musicRows && MusicList::isCategoryHeader(row);
        for (qsizetype i = 1; i < captions.size(); ++i)
            fields << (header ? QString() : row.cells.value(i - 1));
        text += record(fields);
    }
    return text;
}

} // namespace korvane::exporter
