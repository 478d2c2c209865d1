#include "app/MainWindow.h"

#include "app/Desktop.h"
#include "music/MusicList.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"
#include "video/VideoRowEditor.h"
#include "video/VideoScan.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
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

// The scan's running state and stop request, kept on the window as a child object of this page.
class VideoScanState : public QObject {
public:
    using QObject::QObject;
    bool running = false;
    bool stopRequest = false;
};

VideoScanState& scanState(QObject& window) {
    for (QObject* child : window.children()) {
        if (auto* state = dynamic_cast<VideoScanState*>(child))
            return *state;
    }
    return *new VideoScanState(&window);
}

int selectedRow(const QTableView* view) {
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void selectRow(QTableView* view, int row) {
    view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                            QItemSelectionModel::ClearAndSelect |
                                                QItemSelectionModel::Rows);
}

} // namespace

void MainWindow::videoScanClicked() {
    VideoScanState& state = scanState(*this);
    if (state.running) {
        state.stopRequest = true;
        return;
    }

    // The scan's view of the window: status bar, start button, the event loop.
    class WindowHost final : public VideoScanHost {
    public:
        explicit WindowHost(MainWindow& window, VideoScanState& state)
            : m_window(window), m_state(state) {
            m_clock.start();
        }
        // Events run at most every few milliseconds: the walk of a large tree pumps after every
        // entry, which would otherwise cost more than the walk itself.
        bool pump() override {
            if (m_clock.elapsed() >= 10) {
                QCoreApplication::processEvents();
                m_clock.restart();
            }
            return !m_window.isClosing();
        }
        bool stopRequested() override { return m_state.stopRequest; }
        void setStatusText(const QString& text) override { m_window.setStatusText(text); }
        void setProgressMaximum(int maximum) override {
            m_window.m_ui.progressBar->setRange(0, std::max(maximum, 0));
        }
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
        VideoScanState& m_state;
        QElapsedTimer m_clock;
    };

    Ui& ui = m_ui;
    if (PickFolder(m_desktop, QStringLiteral("Выберите папку с клипами"), videoFolder)) {
        const QString root = videoFolder;
        const QString separator = readGroupAlbumSeparator(m_settings);
        // No second scan can start while the folder tree is walked: the button turns into the
        // stop button only when the files are probed.
        ui.videoScanButton->setEnabled(false);
        ui.videoScanAction->setEnabled(false);
        state.running = true;
        state.stopRequest = false;
        video::VideoInfo probe;
        WindowHost host(*this, state);
        const VideoScanResult result = VideoScan(root, separator, *m_videoList, probe, host);
        state.running = false;
        state.stopRequest = false;
        if (result.abandoned)
            return; // the window is closing
        if (!result.firstFileFolder.isEmpty())
            videoFolder = result.firstFileFolder;
        showVideoCount(m_videoList->count());
        setStatusText(QStringLiteral(
            " Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)"));
        ui.progressBar->setValue(0);
    }
    setVideoListCommandsEnabled(true);
    setExportMenuEnabled(true);
    ui.videoScanButton->setText(kStartCaption);
    ui.videoScanButton->setEnabled(true);
    ui.videoScanAction->setEnabled(true);
}

void MainWindow::videoClearClicked() {
    m_videoList->clear();
    setVideoListCommandsEnabled(false);
    if (m_musicList->isEmpty())
        setExportMenuEnabled(false);
    setWindowTitle(TitleCaption());
}

void MainWindow::videoHeaderClicked(int column) {
    SortColumn = column;
    m_videoList->sortByColumn(column);
}

void MainWindow::videoEditClicked() {
    const int index = selectedRow(m_ui.videoView);
    if (index < 0)
        return;
    const VideoRow& row = m_videoList->row(index);
    TfmEditVideoRec editor(this);
    editor.setFields(QStringList{row.caption} + row.cells);
    execModal(editor);
    if (editor.outcome() == TfmEditVideoRec::Outcome::Save)
        m_videoList->applyEdit(index, editor.fields());
}

void MainWindow::videoDeleteClicked() {
    if (m_videoList->isEmpty() || !m_ui.videoView->hasFocus())
        return;
    const int index = selectedRow(m_ui.videoView);
    if (index < 0)
        return;
    const int next = m_videoList->removeRowKeepingSelection(index);
    if (next < 0) {
        videoClearClicked();
        return;
    }
    selectRow(m_ui.videoView, next);
    showVideoCount(m_videoList->count());
}

void MainWindow::videoContextMenuRequested(const QPoint& position) {
    const bool onRow = !m_videoList->isEmpty() && selectedRow(m_ui.videoView) >= 0;
    m_ui.videoEditAction->setEnabled(onRow);
    m_ui.videoDeleteAction->setEnabled(onRow);
    // The shortcuts share these actions: they work again once the menu is gone.
    connect(
        m_ui.videoContextMenu, &QMenu::aboutToHide, this,
        [this] {
            m_ui.videoEditAction->setEnabled(true);
            m_ui.videoDeleteAction->setEnabled(true);
        },
        Qt::SingleShotConnection);
    m_ui.videoContextMenu->popup(m_ui.videoView->viewport()->mapToGlobal(position));
}

void MainWindow::videoPageShown() {
    if (!m_videoList->isEmpty())
        showVideoCount(m_videoList->count());
}

} // namespace korvane
