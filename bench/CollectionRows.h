#pragma once

// Rows as a mixed collection gives them, for the collection benchmarks: Latin and Cyrillic groups,
// years before the album and after it, a few formats, bitrates, genres and countries, and about
// one album in ten held twice (another format, another case, another root).
#include "music/MusicList.h"

#include <QStringList>

#include <vector>

inline std::vector<korvane::MusicRow> makeCollectionRows(int count, const QString& separator) {
    const QStringList groups = {
        QStringLiteral("Кино"),  QStringLiteral("The Clash"),           QStringLiteral("Аквариум"),
        QStringLiteral("ska-p"), QStringLiteral("Гражданская оборона"), QStringLiteral("Ramones")};
    const QStringList bitrates = {QStringLiteral("128"),     QStringLiteral("VBR 245"),
                                  QStringLiteral("320"),     QStringLiteral("flac 912"),
                                  QStringLiteral("ogg 192"), QStringLiteral("m4a 256"),
                                  QStringLiteral("wma 128"), QStringLiteral("-")};
    std::vector<korvane::MusicRow> rows;
    rows.reserve(static_cast<size_t>(count));
    unsigned seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = seed >> 8;
        // One row in ten repeats an album of an earlier row.
        const int album =
            (r % 10 == 0 && i > 0) ? static_cast<int>(r % static_cast<unsigned>(i)) : i;
        const QString group =
            groups[album % groups.size()] + QStringLiteral(" %1").arg(album % 1000);
        const int year = 1960 + album % 60;
        const QString title = (r & 2) ? QStringLiteral("%1 - Альбом %2").arg(year).arg(album)
                                      : QStringLiteral("АЛЬБОМ %2 (%1)").arg(year).arg(album);
        rows.push_back(
            {group + separator + title,
             {QStringLiteral("%1,%2").arg(20 + r % 600).arg(r % 10),
              bitrates[(r >> 4) % bitrates.size()], QStringLiteral("Genre %1").arg((r >> 7) % 40),
              QStringLiteral("Country %1").arg((r >> 9) % 30)}});
    }
    return rows;
}
