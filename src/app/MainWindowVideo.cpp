#include "app/MainWindow.h"

#include "desktop/Desktop.h"
#include "jobs/Job.h"
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

#include <memory>
#include <utility>

// Handlers of the "video" page.
namespace korvane {
namespace {

const QString kFirstStartCaption = QStringLiteral("Добавить Клипы");
const QString kStartCaption = QStringLiteral("Добавить клипы");
const QString kStopCaption = QStringLiteral("Остановить");
const QString kSearchingText = QStringLiteral("Подождите, идёт поиск файлов...");

} // namespace

// The scan's view of the window, on the scan's thread, as the music scan's: rows in batches,
// the progress at most every few dozen milliseconds, all of it through the job.
class VideoScanWindowHost final : public VideoScanHost {
public:
    VideoScanWindowHost(MainWindow& window, Job& job)
        : m_window(window), m_job(job), m_rows(job, [&window](std::vector<VideoRow> rows) {
              window.m_videoList->appendRows(std::move(rows));
              // Keep the newest rows in view.
              window.m_ui.videoView->scrollToBottom();
          }) {}

    void addRow(VideoRow row) override { m_rows.add(std::move(row)); }
    void setStatusText(const QString& text) override {
        if (!m_progress.due())
            return;
        m_job.post([&window = m_window, text, position = m_position] {
            window.m_ui.progressBar->setValue(position);
            window.setStatusText(text);
        });
    }
    void setProgressMaximum(int maximum) override {
        m_job.post([&window = m_window, maximum] {
            window.setProgressMaximum(maximum);
            window.m_videoList->reserveRows(maximum + 1);
        });
    }
    void setProgressPosition(int position) override { m_position = position; }
    void filePhaseBegan() override {
        m_job.post([&window = m_window] {
            window.setWindowTitle(kSearchingText);
            window.m_ui.videoScanButton->setText(kStopCaption);
            window.m_ui.videoScanButton->setEnabled(true);
            window.m_ui.videoScanAction->setEnabled(true);
        });
    }
    void flush() { m_rows.flush(); }

private:
    MainWindow& m_window;
    Job& m_job;
    Batches<VideoRow> m_rows;
    Throttle m_progress;
    int m_position = 0;
};

void MainWindow::videoScanClicked() {
    // As on the music page: a press begun during a scan is its stop command, however late.
    const bool meantAsStop = std::exchange(m_videoStopArmed, false);
    if (m_videoJob->isRunning()) {
        m_videoJob->requestStop();
        return;
    }
    if (meantAsStop)
        return;
    if (pickFolder(m_desktop, QStringLiteral("Выберите папку с клипами"), videoFolder))
        scanVideoFolder();
    else
        finishVideoScan();
}

void MainWindow::scanVideoFolder() {
    if (refuseWhileRunning(*m_videoJob))
        return;
    Ui& ui = m_ui;
    // No second scan can start while the folder tree is walked: the button turns into the stop
    // button only when the files are probed.
    ui.videoScanButton->setEnabled(false);
    ui.videoScanAction->setEnabled(false);
    runVideo(VideoRun(ListRunPlan::addRoot(*m_videoList, videoFolder)));
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
    if (refuseWhileRunning(*m_videoJob))
        return;
    if (m_videoList->isEmpty()) {
        setStatusText(QStringLiteral(" Нечего обновлять: video лист пуст"));
        return;
    }
    Ui& ui = m_ui;
    ui.videoScanButton->setEnabled(false);
    ui.videoScanAction->setEnabled(false);
    ui.videoUpdateAction->setEnabled(false);
    runVideo(VideoRun(ListRunPlan::update(*m_videoList, {})));
}

void MainWindow::runVideo(VideoRun run) {
    const QString separator = Settings(m_settings).groupAlbumSeparator();
    const VideoFiles files = toggles().allVideoFiles ? VideoFiles::All : VideoFiles::WithVideo;
    const codepage::Choice names = Settings(m_settings).tagEncoding();
    const bool update = !run.appendsRows() && !run.refreshes();
    auto shared = std::make_shared<VideoRun>(std::move(run));
    auto result = std::make_shared<VideoUpdateResult>();
    auto host = std::make_shared<VideoScanWindowHost>(*this, *m_videoJob);
    m_videoJob->start(
        [this, shared, result, host, separator, files, names](const std::stop_token& stop) {
            video::VideoInfo probe;
            *result = shared->run(
                separator, probe, *host, files, stop,
                [this, &stop](const QString& root) {
                    return m_videoJob->ask(stop, [this, root] { return confirmEmptyRoot(root); });
                },
                names);
            host->flush();
        },
        [this, shared, result, update] {
            shared->apply(*m_videoList, *result);
            videoRunEnded(*result, update);
        });
}

void MainWindow::videoRunEnded(const VideoUpdateResult& added, bool update) {
    Ui& ui = m_ui;
    const VideoScanResult& result = added.scan;
    ui.videoUpdateAction->setEnabled(true);
    if (!update) {
        if (!result.firstFileFolder.isEmpty())
            videoFolder = result.firstFileFolder;
        // A refresh that was stopped left the list as it was.
        m_videoListPartial = result.stopped && !added.refreshed;
        m_ui.videoColumns->fitToValues();
    }
    showVideoCount();
    if (!update && !added.refreshed)
        setStatusText(QStringLiteral(
            " Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)"));
    else
        setStatusText(result.stopped ? QStringLiteral(" Обновление остановлено, список прежний")
                                     : u' ' + updateSummary(added.counts));
    ui.progressBar->setValue(0);
    finishVideoScan();
}

bool MainWindow::videoScanCanStart() const {
    return m_ui.videoScanButton->isEnabled() && !m_videoJob->isRunning();
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
