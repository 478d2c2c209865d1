// korvane-cli music --totals over files real encoders made: the columns in CSV, JSON and the
// printed rows, the statistics' tracks and hours, --sort by them; nothing of them without.
#include "cli/Cli.h"
#include "music/AlbumTotals.h"

#include "../music/EncodedAlbums.h"
#include "CliRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>

using namespace korvane;
using namespace korvane::cli;

namespace {

class TotalsCommand : public test::EncodedAlbumsTest {
protected:
    CliOutcome music(const QStringList& args) {
        return runCli(QStringList{"--dir", m_program.path(), "music", m_root} + args);
    }

    test::TempDir m_program;
};

QString csvLineOf(const std::string& out, const QString& caption) {
    for (const QString& line : QString::fromStdString(out).split(QStringLiteral("\r\n")))
        if (line.startsWith(caption + u','))
            return line;
    return {};
}

TEST_F(TotalsCommand, CsvJsonAndPrintCarryTracksAndTime) {
    const CliOutcome csv = music({"--totals", "--csv", "-"});
    ASSERT_EQ(csv.status, kExitOk) << csv.err;
    EXPECT_NE(csv.out.find("Папка,Размер (mb),Битрейт,Стиль,Страна,Треков,Время\r\n"),
              std::string::npos)
        << csv.out;
    const CliOutcome json = music({"--totals", "--json", "-"});
    ASSERT_EQ(json.status, kExitOk) << json.err;
    const QJsonArray rows = QJsonDocument::fromJson(QByteArray::fromStdString(json.out))
                                .object()
                                .value(QStringLiteral("rows"))
                                .toArray();
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(m_albums.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const test::EncodedAlbum& album = m_albums[static_cast<size_t>(i)];
        SCOPED_TRACE(album.caption.toStdString());
        const QJsonObject row = rows[i].toObject();
        EXPECT_EQ(row.value(QStringLiteral("caption")).toString(), album.caption);
        EXPECT_EQ(row.value(QStringLiteral("tracks")).toInt(), album.tracks);
        const double seconds = row.value(QStringLiteral("seconds")).toDouble();
        EXPECT_NEAR(seconds, album.seconds, 0.1 * album.tracks);
        const QString time = playTimeText(seconds);
        const QJsonArray cells = row.value(QStringLiteral("cells")).toArray();
        ASSERT_EQ(cells.size(), 6);
        EXPECT_EQ(cells[4].toString(), QString::number(album.tracks));
        EXPECT_EQ(cells[5].toString(), time);
        EXPECT_TRUE(csvLineOf(csv.out, album.caption)
                        .endsWith(u',' + QString::number(album.tracks) + u',' + time))
            << csv.out;
        if (album.mixed) {
            EXPECT_EQ(cells[1].toString(), QStringLiteral("mp3 128-320"));
        }
    }
    const CliOutcome printed = music({"--totals", "--print"});
    ASSERT_EQ(printed.status, kExitOk) << printed.err;
    EXPECT_NE(printed.out.find("G  \\  Image\t"), std::string::npos);
    EXPECT_NE(printed.out.find("\t3\t0:06\n"), std::string::npos) << printed.out;
}

TEST_F(TotalsCommand, OffByDefaultAndWithNoTotals) {
    const CliOutcome plain = music({"--csv", "-"});
    const CliOutcome off = music({"--totals", "--no-totals", "--csv", "-"});
    ASSERT_EQ(plain.status, kExitOk) << plain.err;
    EXPECT_EQ(off.out, plain.out);
    EXPECT_NE(plain.out.find("Папка,Размер (mb),Битрейт,Стиль,Страна\r\n"), std::string::npos);
    EXPECT_EQ(plain.out.find("Треков"), std::string::npos);
    EXPECT_EQ(plain.out.find("128-320"), std::string::npos);
    const CliOutcome printed = music({"--print"});
    EXPECT_EQ(printed.out.find("0:06"), std::string::npos) << printed.out;
}

TEST_F(TotalsCommand, StatisticsCountTracksAndHours) {
    const CliOutcome on = music({"--totals", "--stats", "-"});
    ASSERT_EQ(on.status, kExitOk) << on.err;
    const QJsonObject stats = QJsonDocument::fromJson(QByteArray::fromStdString(on.out)).object();
    int tracks = 0;
    double seconds = 0;
    for (const test::EncodedAlbum& album : m_albums) {
        tracks += album.tracks;
        seconds += album.seconds;
    }
    EXPECT_EQ(stats.value(QStringLiteral("tracks")).toInt(), tracks);
    EXPECT_NEAR(stats.value(QStringLiteral("hours")).toDouble(), seconds / 3600, 0.01);
    const CliOutcome off = music({"--stats", "-"});
    ASSERT_EQ(off.status, kExitOk) << off.err;
    EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(off.out))
                     .object()
                     .contains(QStringLiteral("tracks")));
}

TEST_F(TotalsCommand, SortByTheTotalsColumns) {
    const CliOutcome sorted = music({"--totals", "--sort", "5", "--print"});
    ASSERT_EQ(sorted.status, kExitOk) << sorted.err;
    // By the tracks' texts: the two-track albums first.
    EXPECT_EQ(QString::fromStdString(sorted.out).split(u'\n').first().section(u'\t', 0, 0),
              QStringLiteral("G  \\  Mixed"));
    const CliOutcome refused = music({"--sort", "5", "--print"});
    EXPECT_EQ(refused.status, kExitUsage);
    EXPECT_NE(refused.err.find("from 0 to 4"), std::string::npos) << refused.err;
}

} // namespace
