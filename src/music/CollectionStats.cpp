#include "music/CollectionStats.h"

#include "music/AlbumIdentity.h"
#include "music/MusicRowFormat.h"
#include "text/LocaleText.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>

namespace korvane {
namespace {

const QString kUnknown = QString::fromUtf16(kUnknownStat);

// Bitrates above this in an M4A file are ALAC; AAC stays below.
constexpr int kAlacFloor = 400;

// Counts albums and sizes by name.
class Tally {
public:
    void add(const QString& name, double sizeMiB) {
        auto at = m_lines.find(name);
        if (at == m_lines.end())
            at = m_lines.insert(name, StatsLine{name});
        ++at->albums;
        at->sizeMiB += sizeMiB;
    }
    std::vector<StatsLine> lines() const { return {m_lines.begin(), m_lines.end()}; }

private:
    QHash<QString, StatsLine> m_lines;
};

void byAlbums(std::vector<StatsLine>& lines) {
    std::sort(lines.begin(), lines.end(), [](const StatsLine& a, const StatsLine& b) {
        return a.albums != b.albums ? a.albums > b.albums : a.name < b.name;
    });
}

// By name, the unknown last.
void byName(std::vector<StatsLine>& lines) {
    std::sort(lines.begin(), lines.end(), [](const StatsLine& a, const StatsLine& b) {
        if ((a.name == kUnknown) != (b.name == kUnknown))
            return b.name == kUnknown;
        return a.name < b.name;
    });
}

// The first kTopGenres lines and the rest summed into one.
void keepTop(std::vector<StatsLine>& lines) {
    if (lines.size() <= static_cast<size_t>(kTopGenres))
        return;
    StatsLine rest{QString::fromUtf16(kOtherGenres)};
    for (size_t i = kTopGenres; i < lines.size(); ++i) {
        rest.albums += lines[i].albums;
        rest.sizeMiB += lines[i].sizeMiB;
    }
    lines.resize(kTopGenres);
    lines.push_back(rest);
}

QString knownOr(const QString& cell) {
    const QString text = cell.trimmed();
    return text.isEmpty() || text == u'-' ? kUnknown : text;
}

QString decadeOf(int year) {
    return year == 0 ? kUnknown : QString::number(year / 10 * 10) + QStringLiteral("-е");
}

} // namespace

QString formatOfCell(const QString& cell) {
    const QString text = cell.trimmed();
    if (text.isEmpty() || text == u'-')
        return kUnknown;
    const qsizetype blank = text.indexOf(u' ');
    const QString first = blank < 0 ? text : text.left(blank);
    bool number = false;
    first.toInt(&number);
    return number || first == QLatin1String("VBR") ? QStringLiteral("mp3") : first.toLower();
}

QString bitrateBand(const QString& cell) {
    const QString text = cell.trimmed();
    if (text.startsWith(QLatin1String("VBR ")))
        return QStringLiteral("VBR");
    const QString format = formatOfCell(text);
    if (format == kUnknown)
        return kUnknown;
    bool ok = false;
    const int rate = text.mid(text.lastIndexOf(u' ') + 1).toInt(&ok);
    if (format == QLatin1String("flac") || format == QLatin1String("ape") ||
        format == QLatin1String("wv") || (format == QLatin1String("m4a") && rate > kAlacFloor))
        return QStringLiteral("lossless");
    if (!ok || rate <= 0)
        return kUnknown;
    if (rate <= 128)
        return QStringLiteral("до 128");
    if (rate <= 192)
        return QStringLiteral("160-192");
    if (rate <= 256)
        return QStringLiteral("224-256");
    return QStringLiteral("320");
}

CollectionStats collectionStats(const std::vector<MusicRow>& rows, const QString& separator,
                                bool totals) {
    CollectionStats stats;
    stats.totals = totals;
    double seconds = 0;
    Tally formats, bitrates, genres, decades, countries;
    QSet<QString> groups;
    for (const MusicRow& row : rows) {
        if (MusicList::isCategoryHeader(row))
            continue;
        ++stats.albums;
        const double size = text::parseDecimalComma(row.cells.value(SizeCell)).value_or(0);
        stats.sizeMiB += size;
        const AlbumIdentity identity = albumIdentity(row.caption, separator);
        if (!identity.artist.isEmpty())
            groups.insert(comparableName(identity.artist));
        const QString bitrate = row.cells.value(BitrateCell);
        formats.add(formatOfCell(bitrate), size);
        bitrates.add(bitrateBand(bitrate), size);
        genres.add(knownOr(row.cells.value(StyleCell)), size);
        decades.add(decadeOf(identity.year), size);
        countries.add(knownOr(row.cells.value(CountryCell)), size);
        if (totals && hasAlbumTotals(row.values)) {
            stats.tracks += row.values.tracks;
            seconds += row.values.seconds;
        }
    }
    stats.hours = seconds / 3600;
    stats.groups = static_cast<int>(groups.size());

    std::vector<StatsLine> formatLines = formats.lines();
    byAlbums(formatLines);
    std::vector<StatsLine> bandLines = bitrates.lines();
    static const std::array<QString, 7> kBands = {QStringLiteral("до 128"),
                                                  QStringLiteral("160-192"),
                                                  QStringLiteral("224-256"),
                                                  QStringLiteral("320"),
                                                  QStringLiteral("VBR"),
                                                  QStringLiteral("lossless"),
                                                  kUnknown};
    const auto bandIndex = [](const StatsLine& line) {
        return std::find(kBands.begin(), kBands.end(), line.name) - kBands.begin();
    };
    std::sort(bandLines.begin(), bandLines.end(),
              [&](const StatsLine& a, const StatsLine& b) { return bandIndex(a) < bandIndex(b); });
    std::vector<StatsLine> genreLines = genres.lines();
    byAlbums(genreLines);
    keepTop(genreLines);
    std::vector<StatsLine> decadeLines = decades.lines();
    byName(decadeLines);
    std::vector<StatsLine> countryLines = countries.lines();
    byName(countryLines);

    stats.tables = {
        {QStringLiteral(QT_TRANSLATE_NOOP("CollectionStats", "Форматы")), QStringLiteral("formats"),
         std::move(formatLines)},
        {QStringLiteral(QT_TRANSLATE_NOOP("CollectionStats", "Битрейт")),
         QStringLiteral("bitrates"), std::move(bandLines)},
        {QStringLiteral(QT_TRANSLATE_NOOP("CollectionStats", "Жанры")), QStringLiteral("genres"),
         std::move(genreLines)},
        {QStringLiteral(QT_TRANSLATE_NOOP("CollectionStats", "Десятилетия")),
         QStringLiteral("decades"), std::move(decadeLines)},
        {QStringLiteral(QT_TRANSLATE_NOOP("CollectionStats", "Страны")),
         QStringLiteral("countries"), std::move(countryLines)},
    };
    return stats;
}

QByteArray statsJson(const CollectionStats& stats) {
    QJsonObject out{{QStringLiteral("albums"), stats.albums},
                    {QStringLiteral("groups"), stats.groups},
                    {QStringLiteral("sizeMiB"), stats.sizeMiB}};
    if (stats.totals) {
        out.insert(QStringLiteral("tracks"), stats.tracks);
        out.insert(QStringLiteral("hours"), std::round(stats.hours * 100) / 100);
    }
    for (const StatsTable& table : stats.tables) {
        QJsonArray lines;
        for (const StatsLine& line : table.lines)
            lines.append(QJsonObject{{QStringLiteral("name"), line.name},
                                     {QStringLiteral("albums"), line.albums},
                                     {QStringLiteral("sizeMiB"), line.sizeMiB}});
        out.insert(table.key, lines);
    }
    return QJsonDocument(out).toJson(QJsonDocument::Indented);
}

QString oneDecimalText(double value) {
    return QString::number(value, 'f', 1).replace(u'.', u',');
}

QString statsSummary(const CollectionStats& stats) {
    QString text = QStringLiteral("Альбомов: %1, групп: %2, объём: %3 ГБ")
                       .arg(stats.albums)
                       .arg(stats.groups)
                       .arg(oneDecimalText(stats.sizeMiB / 1024));
    if (stats.totals)
        text += QStringLiteral(", треков: %1, время: %2 ч")
                    .arg(stats.tracks)
                    .arg(oneDecimalText(stats.hours));
    return text;
}

QString statsBbcode(const CollectionStats& stats) {
    QString text = QStringLiteral("[b]Статистика коллекции[/b]\n") + statsSummary(stats) + u'\n';
    for (const StatsTable& table : stats.tables) {
        text += QStringLiteral("\n[b]") + table.title + QStringLiteral("[/b]\n");
        for (const StatsLine& line : table.lines) {
            const double share = stats.albums > 0 ? 100.0 * line.albums / stats.albums : 0;
            text += QStringLiteral("%1: %2 (%3%)\n")
                        .arg(line.name)
                        .arg(line.albums)
                        .arg(oneDecimalText(share));
        }
    }
    return text;
}

} // namespace korvane
