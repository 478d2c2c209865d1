#include "app/MainWindow.h"

#include "desktop/Desktop.h"
#include "music/MusicList.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"
#include "video/VideoRowEditor.h"
#include "video/VideoScan.h"
#include "widgets/ListColumns.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

// Handlers of the "video" page.
namespace korvane {
namespace {

const QString kFirstStartCaption = QStringLiteral("Добавить Клипы");
const QString kStartCaption = QStringLiteral("Добавить клипы");
const QString kStopCaption = QStringLiteral("Остановить");
const QString kSearchingText = QStringLiteral("Подождите, идёт поиск файлов...");

} // namespace

// The scan's view of the window: status bar, start button, the event loop.
class VideoScanWindowHost final : public VideoScanHost {
public:
    explicit VideoScanWindowHost(MainWindow& window) : m_window(window) {}

    bool pump() override { return m_window.pumpEvents(); }
    bool stopRequested() override { return m_window.m_videoStopRequest; }
    void setStatusText(const QString& text) override { m_window.setStatusText(text); }
    void setProgressMaximum(int maximum) override { m_window.setProgressMaximum(maximum); }
    void setProgressPosition(int position) override {
        m_window.m_ui.progressBar->setValue(position);
    }
    void filePhaseBegan() override {
        m_window.setWindowTitle(kSearchingText);
        m_window.m_ui.videoScanButton->setText(kStopCaption);
        m_window.m_ui.videoScanButton->setEnabled(true);
        m_window.m_ui.videoScanAction->setEnabled(true);
    }
    void rowAppended() override { m_window.m_ui.videoView->scrollToBottom(); }

private:
    MainWindow& m_window;
};

void MainWindow::videoScanClicked() {
    if (m_videoScanRunning) {
        m_videoStopRequest = true;
        return;
    }

    if (pickFolder(m_desktop, QStringLiteral("Выберите папку с клипами"), videoFolder) &&
        !scanVideoFolder())
        return;
    finishVideoScan();
}

bool MainWindow::scanVideoFolder() {
    Ui& ui = m_ui;
    const QString root = videoFolder;
    const QString separator = Settings(m_settings).groupAlbumSeparator();
    // No second scan can start while the folder tree is walked: the button turns into the stop
    // button only when the files are probed.
    ui.videoScanButton->setEnabled(false);
    ui.videoScanAction->setEnabled(false);
    m_videoScanRunning = true;
    m_videoStopRequest = false;
    video::VideoInfo probe;
    VideoScanWindowHost host(*this);
    const VideoUpdateResult added = addVideoRoot(
        *m_videoList, root, separator, probe, host,
        toggles().allVideoFiles ? VideoFiles::All : VideoFiles::WithVideo,
        [this](const QString& folder) { return confirmEmptyRoot(folder); },
        Settings(m_settings).tagEncoding());
    const VideoScanResult& result = added.scan;
    m_videoScanRunning = false;
    m_videoStopRequest = false;
    if (result.abandoned)
        return false; // the window is closing
    if (!result.firstFileFolder.isEmpty())
        videoFolder = result.firstFileFolder;
    // A refresh that was stopped left the list as it was.
    m_videoListPartial = result.stopped && !added.refreshed;
    showVideoCount();
    m_ui.videoColumns->fitToValues();
    if (!added.refreshed)
        setStatusText(QStringLiteral(
            " Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)"));
    else
        setStatusText(result.stopped ? QStringLiteral(" Обновление остановлено, список прежний")
                                     : u' ' + updateSummary(added.counts));
    ui.progressBar->setValue(0);
    return true;
}

// After a scan, and after a cancelled picker too: the page's commands are on again.
void MainWindow::finishVideoScan() {
    setVideoListCommandsEnabled(true);
    setExportMenuEnabled(true);
    m_ui.videoScanButton->setText(kStartCaption);
    m_ui.videoScanButton->setEnabled(true);
    m_ui.videoScanAction->setEnabled(true);
}

void MainWindow::videoUpdateClicked() {
    if (m_videoScanRunning)
        return;
    if (m_videoList->isEmpty()) {
        setStatusText(QStringLiteral(" Нечего обновлять: video лист пуст"));
        return;
    }
    Ui& ui = m_ui;
    ui.videoScanButton->setEnabled(false);
    ui.videoScanAction->setEnabled(false);
    ui.videoUpdateAction->setEnabled(false);
    m_videoScanRunning = true;
    m_videoStopRequest = false;
    video::VideoInfo probe;
    VideoScanWindowHost host(*this);
    const VideoUpdateResult result = updateVideos(
        *m_videoList, {}, Settings(m_settings).groupAlbumSeparator(), probe, host,
        toggles().allVideoFiles ? VideoFiles::All : VideoFiles::WithVideo,
        [this](const QString& root) { return confirmEmptyRoot(root); },
        Settings(m_settings).tagEncoding());
    m_videoScanRunning = false;
    m_videoStopRequest = false;
    ui.videoUpdateAction->setEnabled(true);
    if (result.scan.abandoned)
        return; // the window is closing
    ui.progressBar->setValue(0);
    showVideoCount();
    setStatusText(result.scan.stopped ? QStringLiteral(" Обновление остановлено, список прежний")
                                      : u' ' + updateSummary(result.counts));
    finishVideoScan();
}

bool MainWindow::videoScanCanStart() const {
    return m_ui.videoScanButton->isEnabled() && !m_videoScanRunning;
}

void MainWindow::videoClearClicked() {
    m_videoList->clear();
    m_videoListPartial = false;
    setVideoListCommandsEnabled(false);
    if (m_musicList->isEmpty())
        setExportMenuEnabled(false);
    setWindowTitle(titleCaption());
}

void MainWindow::videoHeaderClicked(int column) {
    sortColumn = column;
    m_videoList->sortByColumn(column);
}

void MainWindow::videoEditClicked() {
    const int index = selectedRow(m_ui.videoView);
    if (index < 0)
        return;
    m_videoEditor->setRow(m_videoList->row(index));
    // Rows may move while the dialog is open (a scan goes on behind it): follow this one.
    const QPersistentModelIndex edited = m_videoList->index(index, 0);
    execModal(*m_videoEditor);
    if (m_videoEditor->saved() && edited.isValid())
        m_videoList->applyEdit(edited.row(), m_videoEditor->row());
}

void MainWindow::videoDeleteClicked() {
    if (m_videoList->isEmpty() || !m_ui.videoView->hasFocus())
        return;
    const int index = selectedRow(m_ui.videoView);
    if (index < 0)
        return;
    m_videoList->leaveOut(m_videoList->row(index).origin);
    const int next = m_videoList->removeRowKeepingSelection(index);
    if (next < 0) {
        videoClearClicked();
        return;
    }
    selectRow(m_ui.videoView, next);
    showVideoCount();
}

void MainWindow::videoContextMenuRequested(const QPoint& position) {
    popupRowMenu(m_ui.videoContextMenu, m_ui.videoView, m_ui.videoEditAction,
                 m_ui.videoDeleteAction, position);
}

void MainWindow::videoPageShown() {
    if (!m_videoList->isEmpty())
        showVideoCount();
}

} // namespace korvane
