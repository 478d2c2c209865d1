// The music scan with album totals on, over files real encoders made: tracks and playing time
// per album, the cell of an album of mixed rates, the update when the toggle changed since the
// store, and the store itself.
#include "catalogue/CatalogueStore.h"
#include "music/AlbumTotals.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "music/MusicScan.h"

#include "EncodedAlbums.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class AlbumTotalsScan : public test::EncodedAlbumsTest {
protected:
    MusicScanOptions options(bool totals) const {
        MusicScanOptions o;
        o.toggles.albumTotals = totals;
        return o;
    }
    void scan(MusicList& list, bool totals) const {
        MusicScanHost host;
        scanMusic(m_root, options(totals), list, host);
    }
};

TEST_F(AlbumTotalsScan, EveryAlbumHasItsTracksAndPlayingTime) {
    MusicList list;
    list.setTotalsShown(true);
    scan(list, true);
    ASSERT_EQ(list.count(), static_cast<int>(m_albums.size()));
    ASSERT_EQ(list.columnCount(), 7);
    EXPECT_EQ(list.headerData(5, Qt::Horizontal).toString(), QStringLiteral("Треков"));
    EXPECT_EQ(list.headerData(6, Qt::Horizontal).toString(), QStringLiteral("Время"));
    for (int i = 0; i < list.count(); ++i) {
        const test::EncodedAlbum& album = m_albums[static_cast<size_t>(i)];
        SCOPED_TRACE(album.caption.toStdString());
        const RowValues& v = list.row(i).values;
        EXPECT_EQ(list.row(i).caption, album.caption);
        EXPECT_EQ(v.tracks, album.tracks);
        // Every file within a tenth of a second of ffprobe.
        EXPECT_NEAR(v.seconds, album.seconds, 0.1 * album.tracks);
        EXPECT_EQ(list.text(i, 5), QString::number(album.tracks));
        EXPECT_EQ(list.text(i, 6), playTimeText(v.seconds));
        EXPECT_EQ(list.data(list.index(i, 6)).toString(), playTimeText(v.seconds));
        if (album.mixed)
            EXPECT_EQ(list.row(i).cells.at(BitrateCell), QStringLiteral("mp3 128-320"));
        else
            EXPECT_FALSE(list.row(i).cells.at(BitrateCell).contains(u'-'));
    }
    // The plain album of 2 + 3 + 4.5 seconds.
    EXPECT_EQ(list.text(3, 6), QStringLiteral("0:10"));
}

TEST_F(AlbumTotalsScan, OffReadsNoTotalsAndShowsTheCellsOfToday) {
    MusicList off, on;
    scan(off, false);
    scan(on, true);
    ASSERT_EQ(off.count(), on.count());
    EXPECT_EQ(off.columnCount(), 5);
    for (int i = 0; i < off.count(); ++i) {
        EXPECT_EQ(off.row(i).values.tracks, -1);
        EXPECT_EQ(off.row(i).values.mixedRates, QString());
        if (!m_albums[static_cast<size_t>(i)].mixed) {
            EXPECT_EQ(off.row(i), on.row(i)) << "only the totals' values differ";
        }
    }
    // The mixed album shows the rate of the one file the details read.
    const QString rate = off.row(2).cells.at(BitrateCell);
    EXPECT_TRUE(rate == QStringLiteral("128") || rate == QStringLiteral("320"))
        << rate.toStdString();
}

TEST_F(AlbumTotalsScan, AnUpdateFollowsTheToggleAndReadsOnlyTheTotalsOfUnchangedAlbums) {
    MusicList list;
    scan(list, false);
    // A hand edit of the Style of the plain album.
    MusicRow typed;
    typed.cells = QStringList{QString(), QString(), QStringLiteral("Ска")};
    list.applyEdit(3, typed);
    const std::vector<MusicRow> before = list.rows();

    MusicScanHost host;
    MusicUpdateResult result = updateMusic(list, {}, options(true), host);
    EXPECT_EQ(result.counts, UpdateCounts{}) << "the albums did not change";
    ASSERT_EQ(list.count(), static_cast<int>(m_albums.size()));
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.row(i).values.tracks, m_albums[static_cast<size_t>(i)].tracks);
        EXPECT_EQ(list.row(i).caption, before[static_cast<size_t>(i)].caption);
    }
    EXPECT_EQ(list.row(3).cells.at(StyleCell), QStringLiteral("Ска"));
    EXPECT_EQ(list.row(3).editedColumns, before[3].editedColumns);
    EXPECT_EQ(list.row(2).cells.at(BitrateCell), QStringLiteral("mp3 128-320"));

    // Off again: the cells are today's, and the totals stay among the values for the next time.
    result = updateMusic(list, {}, options(false), host);
    EXPECT_EQ(result.counts, UpdateCounts{});
    EXPECT_EQ(list.row(2).cells.at(BitrateCell), before[2].cells.at(BitrateCell));
    EXPECT_EQ(list.row(2).values.tracks, 2);
}

TEST_F(AlbumTotalsScan, TotalsSurviveTheStoreAndAnUpdateReadsThemOnlyOnce) {
    MusicList list;
    scan(list, true);
    test::TempDir dir;
    {
        CatalogueStore store(dir.file("korvane.db"));
        ASSERT_TRUE(store.save(StoredListName::Music, {list.rows(), list.count(), {}}));
    }
    CatalogueStore store(dir.file("korvane.db"));
    const std::optional<StoredList> stored = store.load(StoredListName::Music);
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->rows.size(), list.rows().size());
    for (size_t i = 0; i < stored->rows.size(); ++i)
        EXPECT_EQ(stored->rows[i].values, list.rows()[i].values);

    // A file of the plain album removed: that album alone is read again.
    std::filesystem::remove(m_dir / "G/Plain/03.mp3");
    MusicList restored;
    restored.resetRows(stored->rows);
    MusicScanHost host;
    const MusicUpdateResult result = updateMusic(restored, {}, options(true), host);
    EXPECT_EQ(result.counts.changed, 1);
    EXPECT_EQ(restored.row(3).values.tracks, 2);
    EXPECT_EQ(restored.row(0).values, list.row(0).values);
}

// A stop in the album phase: the album handed out holds no totals cut short, so that the next
// update reads them whole.
TEST_F(AlbumTotalsScan, AStopLeavesTheAlbumWithoutTotals) {
    struct StoppingHost : MusicScanHost {
        std::stop_source stop;
        void albumPhaseBegan() override { stop.request_stop(); }
    } host;
    MusicList list;
    const MusicScanResult result =
        scanMusic(m_root, options(true), list, host, host.stop.get_token());
    EXPECT_TRUE(result.stopped);
    ASSERT_LE(list.count(), 1);
    for (const MusicRow& row : list.rows())
        EXPECT_EQ(row.values.tracks, -1);
}

} // namespace
