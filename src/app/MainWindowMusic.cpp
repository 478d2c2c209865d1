#include "app/MainWindow.h"

#include "music/MusicList.h"

// Handlers of the "music" page.
namespace korvane {

void MainWindow::musicScanClicked() {}

void MainWindow::musicClearClicked() {}

void MainWindow::musicHeaderClicked(int) {}

void MainWindow::musicEditClicked() {}

void MainWindow::musicDeleteClicked() {}

void MainWindow::musicContextMenuRequested(const QPoint&) {}

void MainWindow::musicPageShown() {
    if (!m_musicList->isEmpty())
        showMusicCount(m_musicList->count());
}

} // namespace korvane
