// The CSV, JSON and BBCode exports from arbitrary row texts: the first byte picks the options, the
// rest is UTF-16 (lone surrogates and control characters included), rows split at LF, cells at
// TAB. Each output must read back as the rows it was made from: CSV through an RFC 4180 reader,
// JSON through Qt's parser, and BBCode with every line free of breaks and its tags balanced.
#include "export/BbcodeExport.h"
#include "export/CsvExport.h"
#include "export/JsonExport.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using korvane::CatalogueRow;

void check(bool condition) {
    if (!condition)
        std::abort();
}

// RFC 4180 records: fields split at commas, quoted fields with doubled quotes, records ending
// CR LF.
std::vector<QStringList> readCsv(const QString& text) {
    std::vector<QStringList> records;
    QStringList fields;
    QString field;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] == u'"') {
            for (++i;; ++i) {
                check(i < text.size());
                if (text[i] == u'"') {
                    if (i + 1 < text.size() && text[i + 1] == u'"') {
                        field += u'"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
        }
        if (i < text.size() && text[i] == u',') {
            fields << field;
            field.clear();
            ++i;
        } else if (text.mid(i, 2) == QStringLiteral("\r\n")) {
            fields << field;
            field.clear();
            records.push_back(fields);
            fields.clear();
            i += 2;
        } else {
            check(i < text.size() && text[i] != u'"' && text[i] != u'\r' && text[i] != u'\n');
            field += text[i++];
        }
    }
    check(fields.isEmpty() && field.isEmpty());
    return records;
}

// A cell read back from the CSV is the text, or the text behind an apostrophe when it starts
// like a formula.
void checkCsvField(const QString& read, const QString& text) {
    const bool formulaLike =
        !text.isEmpty() && text != u'-' && QStringView(u"=+-@\t\r").contains(text.front());
    check(read == (formulaLike ? u'\'' + text : text));
}

void checkCsv(const QStringList& captions, const std::vector<CatalogueRow>& rows) {
    const std::vector<QStringList> records =
        readCsv(korvane::exporter::csvText(captions, rows, false));
    check(records.size() == rows.size() + 1);
    check(records[0].size() == captions.size());
    for (qsizetype i = 0; i < captions.size(); ++i)
        checkCsvField(records[0][i], captions[i]);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QStringList& record = records[r + 1];
        check(record.size() == captions.size());
        checkCsvField(record[0], rows[r].caption);
        for (qsizetype i = 1; i < captions.size(); ++i)
            checkCsvField(record[i], rows[r].cells.value(i - 1));
    }
}

// What a text is after a trip through UTF-8: lone surrogates become replacement characters.
QString throughUtf8(const QString& text) {
    return QString::fromUtf8(text.toUtf8());
}

void checkJson(const QStringList& captions, const std::vector<CatalogueRow>& rows,
               bool categories) {
    const QDateTime generated(QDate(2026, 12, 11), QTime(1, 2, 3));
    for (const bool music : {true, false}) {
        const QString text =
            music ? korvane::exporter::musicJson(captions, rows, categories, generated)
                  : korvane::exporter::videoJson(captions, rows, generated);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
        check(error.error == QJsonParseError::NoError && document.isObject());
        const QJsonArray columns = document.object()["columns"].toArray();
        check(columns.size() == captions.size());
        for (qsizetype i = 0; i < captions.size(); ++i)
            check(columns[i].toString() == throughUtf8(captions[i]));
        const QJsonArray read = document.object()["rows"].toArray();
        check(read.size() == static_cast<qsizetype>(rows.size()));
        for (std::size_t r = 0; r < rows.size(); ++r)
            check(read[static_cast<qsizetype>(r)].toObject()["caption"].toString() ==
                  throughUtf8(rows[r].caption));
    }
}

// A line whose tags open and close in order, with no line break inside.
void checkBbcodeLine(const QString& line) {
    check(!line.contains(u'\r') && !line.contains(u'\n'));
    static const QRegularExpression tag(QStringLiteral(R"(\G\[(/?)([a-z]+)(=[^\]\[]*)?\])"));
    QStringList open;
    for (qsizetype i = line.indexOf(u'['); i >= 0; i = line.indexOf(u'[', i + 1)) {
        const QRegularExpressionMatch match = tag.match(line, i);
        if (!match.hasMatch())
            continue;
        if (match.captured(1).isEmpty()) {
            open << match.captured(2);
        } else {
            check(!open.isEmpty() && open.takeLast() == match.captured(2));
        }
    }
    check(open.isEmpty());
}

void checkBbcode(const std::vector<CatalogueRow>& rows, std::uint8_t options) {
    korvane::exporter::MusicBbcodeStyle style;
    style.bold = (options & 2) != 0;
    style.categories = (options & 4) != 0;
    style.groupSeparator = QStringLiteral(" - ");
    style.fieldSeparator = QStringLiteral(" | ");
    for (const QString& line : korvane::exporter::musicBbcodeLines(rows, style))
        checkBbcodeLine(line);
    for (const QString& line : korvane::exporter::videoBbcodeLines(rows))
        checkBbcodeLine(line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t options = data[0];
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(data + 1),
                                            static_cast<qsizetype>((size - 1) / 2));
    QStringList lines = text.split(u'\n');
    // The first line holds the column captions.
    const QStringList captions = lines.takeFirst().split(u'\t');
    std::vector<CatalogueRow> rows;
    for (const QString& line : lines) {
        QStringList cells = line.split(u'\t');
        const QString caption = cells.takeFirst();
        rows.push_back({caption, cells});
    }
    checkCsv(captions, rows);
    checkJson(captions, rows, (options & 1) != 0);
    checkBbcode(rows, options);
    return 0;
}
