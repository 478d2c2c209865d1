#include "app/MainWindow.h"

#include "video/VideoList.h"

// Handlers of the "video" page.
namespace korvane {

void MainWindow::videoScanClicked() {}

void MainWindow::videoClearClicked() {}

void MainWindow::videoHeaderClicked(int) {}

void MainWindow::videoEditClicked() {}

void MainWindow::videoDeleteClicked() {}

void MainWindow::videoContextMenuRequested(const QPoint&) {}

void MainWindow::videoPageShown() {
    if (!m_videoList->isEmpty())
        showVideoCount(m_videoList->count());
}

} // namespace korvane
