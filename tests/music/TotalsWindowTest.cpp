// The window with album totals: the check item, the list's two columns after a scan of files
// real encoders made, the statistics' tracks and hours, and the columns gone when it is off.
#include "app/MainWindow.h"

#include "music/AlbumTotals.h"
#include "music/MusicList.h"
#include "music/StatsWindow.h"

#include "EncodedAlbums.h"
#include "FakeDesktop.h"
#include "JobWait.h"
#include "TempDir.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class TotalsWindow : public tags::encoded::EncodedFiles {};

TEST_F(TotalsWindow, TheColumnsFollowTheCheckItemAndTheStatisticsCountTracksAndHours) {
    const std::vector<test::EncodedAlbum> albums = test::makeEncodedAlbums(m_dir);
    test::TempDir programDir;
    test::FakeDesktop desktop;
    MainWindow window(ProgramFolder(programDir.path()), desktop);
    window.mainLoad();
    const MainWindow::Ui& ui = window.ui();
    EXPECT_EQ(ui.albumTotals->text(), QStringLiteral("Число треков и время звучания альбома"));
    EXPECT_FALSE(ui.albumTotals->isChecked());
    QAbstractItemModel* view = ui.musicView->model();
    EXPECT_EQ(view->columnCount(), 5);

    ui.albumTotals->trigger();
    ASSERT_EQ(view->columnCount(), 7);
    EXPECT_EQ(view->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Треков"));
    EXPECT_EQ(view->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Время"));
    EXPECT_GT(ui.musicView->columnWidth(6), 0);

    desktop.folderAnswers.push_back(QString::fromStdString(m_dir.string()));
    ui.musicScanButton->click();
    ASSERT_TRUE(test::waitForJob(window.musicJob()));
    ASSERT_EQ(view->rowCount(), static_cast<int>(albums.size()));
    int tracks = 0;
    for (int i = 0; i < view->rowCount(); ++i) {
        const test::EncodedAlbum& album = albums[static_cast<size_t>(i)];
        SCOPED_TRACE(album.caption.toStdString());
        tracks += album.tracks;
        EXPECT_EQ(view->index(i, 0).data().toString(), album.caption);
        EXPECT_EQ(view->index(i, 5).data().toString(), QString::number(album.tracks));
        EXPECT_EQ(view->index(i, 6).data().toString(),
                  playTimeText(window.musicList().row(i).values.seconds));
        EXPECT_NEAR(window.musicList().row(i).values.seconds, album.seconds, 0.1 * album.tracks);
    }
    EXPECT_EQ(view->index(2, 2).data().toString(), QStringLiteral("mp3 128-320"));

    ui.statsAction->trigger();
    auto* stats = window.findChild<StatsWindow*>();
    ASSERT_NE(stats, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(
        stats->summary()->text().contains(QStringLiteral(", треков: %1, время: 0,0 ч").arg(tracks)),
        5000);

    // Off: the columns go, and the statistics count no tracks.
    ui.albumTotals->trigger();
    EXPECT_EQ(view->columnCount(), 5);
    QTRY_VERIFY_WITH_TIMEOUT(!stats->summary()->text().contains(QStringLiteral("треков")), 5000);
}

} // namespace
