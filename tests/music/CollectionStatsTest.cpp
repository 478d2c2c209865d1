#include "music/CollectionStats.h"

#include "MusicTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace korvane {
void PrintTo(const StatsLine& line, std::ostream* out) {
    *out << '{' << line.name.toStdString() << ", " << line.albums << ", " << line.sizeMiB << '}';
}
} // namespace korvane

using namespace korvane;

namespace {

const QString kSep = QStringLiteral("  \\  ");
const QString kUnknown = QString::fromUtf16(kUnknownStat);

MusicRow albumRow(const QString& caption, const QString& size, const QString& bitrate,
                  const QString& style = QStringLiteral("-"),
                  const QString& country = QStringLiteral("-")) {
    return {caption, {size, bitrate, style, country}};
}

const StatsTable& table(const CollectionStats& stats, const char* key) {
    for (const StatsTable& t : stats.tables) {
        if (t.key == QLatin1String(key))
            return t;
    }
    throw std::runtime_error(key);
}

} // namespace

TEST(CollectionStats, FormatAndBitrateBandOfABitrateCell) {
    struct Case {
        const char* cell;
        const char* format;
        const char* band;
    };
    const Case cases[] = {
        {"128", "mp3", "до 128"},          {"32", "mp3", "до 128"},
        {"160", "mp3", "160-192"},         {"192", "mp3", "160-192"},
        {"224", "mp3", "224-256"},         {"320", "mp3", "320"},
        {"VBR 245", "mp3", "VBR"},         {"wma 128", "wma", "до 128"},
        {"ogg 192", "ogg", "160-192"},     {"opus 96", "opus", "до 128"},
        {"m4a 256", "m4a", "224-256"},     {"m4a 850", "m4a", "lossless"}, // ALAC
        {"flac 912", "flac", "lossless"},  {"ape 700", "ape", "lossless"},
        {"wv 600", "wv", "lossless"},      {"0", "mp3", "нет данных"}, // an mp3 without frames
        {"-", "нет данных", "нет данных"}, {"", "нет данных", "нет данных"},
    };
    for (const Case& c : cases) {
        const QString cell = QString::fromUtf8(c.cell);
        EXPECT_EQ(formatOfCell(cell), QString::fromUtf8(c.format)) << c.cell;
        EXPECT_EQ(bitrateBand(cell), QString::fromUtf8(c.band)) << c.cell;
    }
}

TEST(CollectionStats, TotalsAndTables) {
    MusicList list;
    list.appendCategoryHeader(QStringLiteral("Rock"));
    std::vector<MusicRow> rows = list.rows();
    rows.push_back(albumRow("Кино" + kSep + "1988 - Группа крови", "100,5", "320", "Рок", "СССР"));
    rows.push_back(albumRow("КИНО" + kSep + "Звезда по имени Солнце (1989)", "300", "flac 900",
                            "Рок", "СССР"));
    rows.push_back(albumRow("Ramones" + kSep + "1976 - Ramones", "50", "VBR 190", "Punk", "США"));
    rows.push_back(albumRow("Madness" + kSep + "One Step Beyond", "abc", "-"));
    const CollectionStats stats = collectionStats(rows, kSep);
    EXPECT_EQ(stats.albums, 4);
    EXPECT_EQ(stats.groups, 3) << "Кино and КИНО are one group";
    EXPECT_DOUBLE_EQ(stats.sizeMiB, 450.5);
    EXPECT_EQ(table(stats, "formats").lines,
              (std::vector<StatsLine>{{"mp3", 2, 150.5}, {"flac", 1, 300}, {kUnknown, 1, 0}}));
    EXPECT_EQ(table(stats, "bitrates").lines,
              (std::vector<StatsLine>{
                  {"320", 1, 100.5}, {"VBR", 1, 50}, {"lossless", 1, 300}, {kUnknown, 1, 0}}));
    EXPECT_EQ(table(stats, "genres").lines,
              (std::vector<StatsLine>{{"Рок", 2, 400.5}, {"Punk", 1, 50}, {kUnknown, 1, 0}}));
    EXPECT_EQ(table(stats, "decades").lines,
              (std::vector<StatsLine>{{"1970-е", 1, 50}, {"1980-е", 2, 400.5}, {kUnknown, 1, 0}}));
    EXPECT_EQ(table(stats, "countries").lines,
              (std::vector<StatsLine>{{"СССР", 2, 400.5}, {"США", 1, 50}, {kUnknown, 1, 0}}));
}

TEST(CollectionStats, TwentyGenresAndTheRest) {
    std::vector<MusicRow> rows;
    for (int genre = 0; genre < 25; ++genre) {
        for (int album = 0; album <= 25 - genre; ++album)
            rows.push_back(albumRow("G" + kSep + "A", "1", "128", QString::number(100 + genre)));
    }
    const CollectionStats stats = collectionStats(rows, kSep);
    const std::vector<StatsLine>& genres = table(stats, "genres").lines;
    ASSERT_EQ(genres.size(), 21u);
    EXPECT_EQ(genres.front(), (StatsLine{"100", 26, 26}));
    EXPECT_EQ(genres[19], (StatsLine{"119", 7, 7}));
    EXPECT_EQ(genres.back(), (StatsLine{"остальные", 6 + 5 + 4 + 3 + 2, 20}));
}

TEST(CollectionStats, JsonAndBbcode) {
    const std::vector<MusicRow> rows{
        albumRow("Кино" + kSep + "1988 - Группа крови", "1024", "320", "Рок", "СССР"),
        albumRow("Ramones" + kSep + "1976 - Ramones", "1024", "VBR 190", "Punk", "США")};
    const CollectionStats stats = collectionStats(rows, kSep);
    const QJsonObject json = QJsonDocument::fromJson(statsJson(stats)).object();
    EXPECT_EQ(json.value("albums").toInt(), 2);
    EXPECT_EQ(json.value("groups").toInt(), 2);
    EXPECT_EQ(json.value("sizeMiB").toDouble(), 2048);
    for (const char* key : {"formats", "bitrates", "genres", "decades", "countries"})
        EXPECT_TRUE(json.value(key).isArray()) << key;
    EXPECT_EQ(json.value("decades").toArray().at(0).toObject(),
              (QJsonObject{{"name", "1970-е"}, {"albums", 1}, {"sizeMiB", 1024}}));

    const QString bbcode = statsBbcode(stats);
    EXPECT_TRUE(bbcode.startsWith(QStringLiteral("[b]Статистика коллекции[/b]\n"
                                                 "Альбомов: 2, групп: 2, объём: 2,0 ГБ\n")))
        << bbcode.toStdString();
    EXPECT_TRUE(bbcode.contains(QStringLiteral("\n[b]Форматы[/b]\nmp3: 2 (100,0%)\n")))
        << bbcode.toStdString();
    EXPECT_TRUE(bbcode.contains(QStringLiteral("[b]Битрейт[/b]\n320: 1 (50,0%)\nVBR: 1 (50,0%)\n")))
        << bbcode.toStdString();
}

// With album totals on, the tracks and hours of the albums whose totals were read; off, not a
// word of them.
TEST(CollectionStats, TracksAndHoursWithAlbumTotals) {
    std::vector<MusicRow> rows{MusicList::categoryHeaderRow(QStringLiteral("Рок")),
                               albumRow(QStringLiteral("A  \\  One"), "100", "320"),
                               albumRow(QStringLiteral("B  \\  Two"), "50", "mp3 128-320"),
                               albumRow(QStringLiteral("C  \\  Old"), "10", "192")};
    for (const auto& [index, tracks, seconds] :
         {std::tuple{1, 12, 3000.0}, std::tuple{2, 9, 6000.0}}) {
        RowValues& v = rows[static_cast<size_t>(index)].values;
        v.kind = RowValues::Kind::Album;
        v.tracks = tracks;
        v.seconds = seconds;
    }
    const CollectionStats on = collectionStats(rows, kSep, true);
    EXPECT_EQ(on.albums, 3);
    EXPECT_EQ(on.tracks, 21);
    EXPECT_DOUBLE_EQ(on.hours, 2.5);
    EXPECT_EQ(statsSummary(on),
              QStringLiteral("Альбомов: 3, групп: 3, объём: 0,2 ГБ, треков: 21, время: 2,5 ч"));
    const QJsonObject json = QJsonDocument::fromJson(statsJson(on)).object();
    EXPECT_EQ(json.value(QStringLiteral("tracks")).toInt(), 21);
    EXPECT_DOUBLE_EQ(json.value(QStringLiteral("hours")).toDouble(), 2.5);
    EXPECT_TRUE(statsBbcode(on).contains(QStringLiteral("треков: 21, время: 2,5 ч\n")));

    const CollectionStats off = collectionStats(rows, kSep);
    EXPECT_EQ(off.tracks, 0);
    EXPECT_EQ(statsSummary(off), QStringLiteral("Альбомов: 3, групп: 3, объём: 0,2 ГБ"));
    EXPECT_FALSE(
        QJsonDocument::fromJson(statsJson(off)).object().contains(QStringLiteral("tracks")));
    EXPECT_FALSE(statsBbcode(off).contains(QStringLiteral("треков")));
}
