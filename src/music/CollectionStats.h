#pragma once

#include "music/MusicList.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The collection in figures: what "Статистика" shows and `--stats` writes. Only looks at the rows.
namespace korvane {

// One line of a table: a format, a bitrate band, a genre, a decade or a country.
struct StatsLine {
    QString name;
    int albums = 0;
    double sizeMiB = 0;

    bool operator==(const StatsLine&) const = default;
};

struct StatsTable {
    QString title; // "Форматы", "Битрейт", ...
    QString key;   // "formats", "bitrates", ... for JSON
    std::vector<StatsLine> lines;
};

struct CollectionStats {
    int albums = 0;                 // rows that are not category header rows
    int groups = 0;                 // distinct artists, compared as the duplicates compare them
    double sizeMiB = 0;             // the Size cells that are numbers
    std::vector<StatsTable> tables; // formats, bitrates, genres, decades, countries
    // With album totals: the tracks and playing time of the albums whose totals were read.
    bool totals = false;
    int tracks = 0;
    double hours = 0;
};

// The name every table gives a row without the value ("-" in its cell).
inline constexpr char16_t kUnknownStat[] = u"нет данных";
// The genres after the 20 with the most albums, as one line.
inline constexpr char16_t kOtherGenres[] = u"остальные";
inline constexpr int kTopGenres = 20;

// The bitrate band of a Bitrate cell ("128", "VBR 192", "ogg 160", "flac 912"): "до 128",
// "160-192", "224-256", "320", "VBR", "lossless" (FLAC, APE, WavPack, and M4A past 400 kbit/s,
// which is ALAC), or kUnknownStat.
QString bitrateBand(const QString& cell);
// The format of a Bitrate cell: "mp3" for a plain number or "VBR n", else its first word.
QString formatOfCell(const QString& cell);

// The formats and genres by albums, most first (ties by name); the bitrate bands in their order;
// decades ("1980-е") and countries by name, the unknown last.
// With `totals`, the tracks and hours too.
CollectionStats collectionStats(const std::vector<MusicRow>& rows, const QString& separator,
                                bool totals = false);

// {"albums", "groups", "sizeMiB", "formats": [{"name", "albums", "sizeMiB"}], "bitrates", ...};
// with totals, "tracks" and "hours" after "sizeMiB".
QByteArray statsJson(const CollectionStats& stats);
// "Альбомов: 12, групп: 3, объём: 4,5 ГБ", with totals ", треков: 140, время: 9,8 ч".
QString statsSummary(const CollectionStats& stats);
// "12,3": one decimal, with the comma of the Size cells.
QString oneDecimalText(double value);

// A block for a forum post: the totals and each table, with the share of albums in per cent.
QString statsBbcode(const CollectionStats& stats);

} // namespace korvane
