#include "export/JsonExport.h"

#include "music/MusicList.h"
#include "music/MusicRowFormat.h"

#include <cmath>
#include <optional>

namespace korvane::exporter {
namespace {

QString jsonArray(const QStringList& texts) {
    QString array = QStringLiteral("[");
    for (qsizetype i = 0; i < texts.size(); ++i)
        array += (i > 0 ? QStringLiteral(", ") : QString()) + jsonString(texts[i]);
    return array + u']';
}

// Every row has as many cells as the list has columns after the caption; album totals' two come
// from the row's values.
QStringList rowCells(const CatalogueRow& row, qsizetype count, bool empty, bool totals = false) {
    QStringList cells;
    for (qsizetype i = 0; i < count; ++i)
        cells << (empty ? QString() : row.cells.value(i));
    if (totals)
        cells << albumTracksText(row.values) << albumTimeText(row.values);
    return cells;
}

// The object around the row lines; `rows` holds one object per line, without commas.
QString document(const char* kind, const QStringList& captions, const QDateTime& generated,
                 const QStringList& rows) {
    // The local time with its offset from UTC, so that a reader knows the moment.
    const QString time = generated.toOffsetFromUtc(generated.offsetFromUtc()).toString(Qt::ISODate);
    QString text = QStringLiteral("{\n  \"kind\": \"") + QLatin1String(kind) +
                   QStringLiteral("\",\n  \"generated\": ") + jsonString(time) +
                   QStringLiteral(",\n  \"columns\": ") + jsonArray(captions) +
                   QStringLiteral(",\n  \"rows\": [");
    for (qsizetype i = 0; i < rows.size(); ++i)
        text += (i > 0 ? QStringLiteral(",\n    ") : QStringLiteral("\n    ")) + rows[i];
    return text + (rows.isEmpty() ? QStringLiteral("]\n}\n") : QStringLiteral("\n  ]\n}\n"));
}

QString jsonNumber(qint64 number) {
    return QString::number(number);
}

QString jsonBool(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

const QString kNull = QStringLiteral("null");

// The typed members of a scanned row beside its texts; none for a row of texts alone (a header
// row, a row stored by an older Korvane), null for what an album without an audio file lacks.
QString musicValues(const CatalogueRow& row, bool totals) {
    const RowValues& v = row.values;
    if (v.kind != RowValues::Kind::Album)
        return {};
    const bool counted = hasAlbumTotals(v);
    // Seconds to the millisecond: the headers give no finer length.
    const QString albumTotals =
        !totals
            ? QString()
            : QStringLiteral(", \"tracks\": ") + (counted ? jsonNumber(v.tracks) : kNull) +
                  QStringLiteral(", \"seconds\": ") +
                  (counted ? QString::number(std::round(v.seconds * 1000) / 1000, 'g', 15) : kNull);
    const bool file = !v.format.isEmpty();
    const auto text = [file](QStringView value) {
        return file ? jsonString(value.toString()) : kNull;
    };
    return QStringLiteral(", \"size_bytes\": ") + (v.bytes >= 0 ? jsonNumber(v.bytes) : kNull) +
           QStringLiteral(", \"artist\": ") + text(v.artist()) + QStringLiteral(", \"album\": ") +
           text(v.album()) + QStringLiteral(", \"year\": ") + text(v.year()) +
           QStringLiteral(", \"bitrate_kind\": ") + text(v.format) +
           QStringLiteral(", \"bitrate_kbps\": ") + (file ? jsonNumber(v.bitrate) : kNull) +
           QStringLiteral(", \"vbr\": ") + (file ? jsonBool(v.vbr) : kNull) + albumTotals;
}

QString videoValues(const CatalogueRow& row) {
    const RowValues& v = row.values;
    if (v.kind != RowValues::Kind::Video)
        return {};
    return QStringLiteral(", \"size_bytes\": ") + jsonNumber(v.bytes) +
           QStringLiteral(", \"width\": ") + jsonNumber(v.width) +
           QStringLiteral(", \"height\": ") + jsonNumber(v.height) +
           QStringLiteral(", \"frame_rate\": ") +
           (std::isfinite(v.frameRate) ? QString::number(v.frameRate, 'g', 15) : kNull);
}

} // namespace

QString jsonString(const QString& text) {
    QString quoted = QStringLiteral("\"");
    quoted.reserve(text.size() + 2);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            quoted += QStringLiteral("\\\"");
            break;
        case u'\\':
            quoted += QStringLiteral("\\\\");
            break;
        case u'\n':
            quoted += QStringLiteral("\\n");
            break;
        case u'\r':
            quoted += QStringLiteral("\\r");
            break;
        case u'\t':
            quoted += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                quoted += c;
        }
    }
    return quoted + u'"';
}

QString musicJson(const QStringList& captions, const std::vector<CatalogueRow>& rows,
                  bool categories, const QDateTime& generated, bool totals) {
    const qsizetype cellCount = captions.size() - 1 - (totals ? kAlbumTotalsCaptions.size() : 0);
    QStringList lines;
    // A row that holds only its texts takes the category of the header row above it.
    std::optional<QString> above;
    for (const CatalogueRow& row : rows) {
        const bool header = MusicList::isCategoryHeader(row);
        if (header && categories)
            above = row.caption;
        std::optional<QString> category;
        if (header || row.values.kind == RowValues::Kind::Texts)
            category = header ? std::optional(row.caption) : above;
        if (!row.values.category.isEmpty() && !header)
            category = row.values.category;
        lines << QStringLiteral("{\"caption\": ") + jsonString(row.caption) +
                     QStringLiteral(", \"cells\": ") +
                     jsonArray(rowCells(row, cellCount, header, totals)) +
                     QStringLiteral(", \"category\": ") +
                     (categories && category ? jsonString(*category) : kNull) +
                     QStringLiteral(", \"header\": ") + jsonBool(header) +
                     musicValues(row, totals) + u'}';
    }
    return document("music", captions, generated, lines);
}

QString videoJson(const QStringList& captions, const std::vector<CatalogueRow>& rows,
                  const QDateTime& generated) {
    const qsizetype cellCount = captions.size() - 1;
    QStringList lines;
    for (const CatalogueRow& row : rows) {
        lines << QStringLiteral("{\"caption\": ") + jsonString(row.caption) +
                     QStringLiteral(", \"cells\": ") + jsonArray(rowCells(row, cellCount, false)) +
                     videoValues(row) + u'}';
    }
    return document("video", captions, generated, lines);
}

} // namespace korvane::exporter
