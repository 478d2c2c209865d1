#include "app/MainWindow.h"

#include "desktop/Desktop.h"
#include "jobs/Job.h"
#include "music/MusicList.h"
#include "music/MusicRowEditor.h"
#include "music/MusicScan.h"
#include "video/VideoList.h"
#include "widgets/ListColumns.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include <memory>
#include <utility>
#include <vector>

// Handlers of the "music" page.
namespace korvane {
namespace {

const QString kCreateCaption = QStringLiteral("Создать лист с music коллекцией");
const QString kStopCaption = QStringLiteral("Остановить");
const QString kAddCaption = QStringLiteral("Добавить в коллекцию");
const QString kAddMenuCaption = QStringLiteral("Добавить в music коллекцию");
const QString kSearchingText = QStringLiteral("Подождите, идёт поиск файлов...");

} // namespace

// The scan's view of the window, on the scan's thread: rows go to the list in batches, the
// progress at most every few dozen milliseconds, the rest as it comes; all of it through the job
// to the window's thread, in order.
class MusicScanWindowHost final : public MusicScanHost {
public:
    MusicScanWindowHost(MainWindow& window, Job& job)
        : m_window(window), m_job(job), m_rows(job, [&window](std::vector<MusicRow> rows) {
              window.m_musicList->appendRows(std::move(rows));
          }) {}

    void addRow(MusicRow row) override { m_rows.add(std::move(row)); }
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
            window.m_musicList->reserveRows(maximum + 1);
        });
    }
    void setProgressPosition(int position) override { m_position = position; }
    void albumPhaseBegan() override {
        m_job.post([&ui = m_window.m_ui] {
            ui.musicScanButton->setEnabled(true);
            ui.musicScanAction->setEnabled(true);
            ui.musicScanButton->setText(kStopCaption);
        });
    }
    void stopHonoured() override {
        m_rows.flush();
        m_job.post([&ui = m_window.m_ui] { ui.musicScanButton->setText(kAddCaption); });
    }
    // The rows still held back, at the end of the run.
    void flush() { m_rows.flush(); }

private:
    MainWindow& m_window;
    Job& m_job;
    Batches<MusicRow> m_rows;
    Throttle m_progress;
    int m_position = 0;
};

void MainWindow::musicScanClicked() {
    // A press that began while a scan ran was meant for its stop command: when the click arrives
    // after the scan ended, it does nothing rather than open the folder picker.
    const bool meantAsStop = std::exchange(m_musicStopArmed, false);
    if (m_musicJob->isRunning()) {
        m_musicJob->requestStop();
        return;
    }
    if (meantAsStop)
        return;
    if (!pickFolder(m_desktop, QStringLiteral("Выберите папку с mp3 коллекцией"), musicRoot))
        return;
    scanMusicRoot();
}

bool MainWindow::musicScanCanStart() const {
    return m_ui.musicScanButton->isEnabled() && !m_musicJob->isRunning();
}

void MainWindow::scanMusicRoot() {
    if (refuseWhileRunning(*m_musicJob))
        return;
    Ui& ui = m_ui;
    setMusicListCommandsEnabled(false);
    setExportMenuEnabled(false);
    // The menu command follows the button: no second scan can start while folders are listed.
    ui.musicScanButton->setEnabled(false);
    ui.musicScanAction->setEnabled(false);
    setWindowTitle(kSearchingText);
    setStatusText(u' ' + kSearchingText);
    musicRoot = withTrailingSeparator(musicRoot);
    runMusic(MusicRun(ListRunPlan::addRoot(*m_musicList, musicRoot)));
}

void MainWindow::musicUpdateClicked() {
    if (refuseWhileRunning(*m_musicJob))
        return;
    if (m_musicList->isEmpty()) {
        setStatusText(QStringLiteral(" Нечего обновлять: music лист пуст"));
        return;
    }
    Ui& ui = m_ui;
    ui.musicScanButton->setEnabled(false);
    ui.musicScanAction->setEnabled(false);
    ui.musicUpdateAction->setEnabled(false);
    setStatusText(u' ' + kSearchingText);
    runMusic(MusicRun(ListRunPlan::update(*m_musicList, {})));
}

bool MainWindow::refuseWhileRunning(const Job& job) {
    if (!job.isRunning())
        return false;
    setStatusText(QStringLiteral(" Подождите: работа со списком ещё не закончена"));
    return true;
}

void MainWindow::runMusic(MusicRun run) {
    const MusicScanOptions options = readMusicScanOptions(m_settings, toggles(), testersMode);
    const bool update = !run.appendsRows() && !run.refreshes();
    auto shared = std::make_shared<MusicRun>(std::move(run));
    auto result = std::make_shared<MusicUpdateResult>();
    auto host = std::make_shared<MusicScanWindowHost>(*this, *m_musicJob);
    m_musicJob->start(
        [this, shared, result, host, options](const std::stop_token& stop) {
            *result = shared->run(options, *host, stop, [this, &stop](const QString& root) {
                return m_musicJob->ask(stop, [this, root] { return confirmEmptyRoot(root); });
            });
            host->flush();
        },
        [this, shared, result, options, update] {
            shared->apply(*m_musicList, options, *result);
            musicRunEnded(*result, update);
        });
}

void MainWindow::musicRunEnded(const MusicUpdateResult& result, bool update) {
    Ui& ui = m_ui;
    ui.musicUpdateAction->setEnabled(true);
    const bool stopped = result.scan.stopped;
    // A stopped update or refresh left the list as it was.
    if (!update)
        m_musicListPartial = stopped && !result.refreshed;
    musicListFilled();
    QString status = !update && !result.refreshed
                         ? QStringLiteral(" Генерация листа закончена, выберите способ "
                                          "сохранения (HTML, TXT, EXCEL)")
                     : stopped ? QStringLiteral(" Обновление остановлено, список прежний")
                               : u' ' + updateSummary(result.counts);
    if (const int close = m_musicList->closeCodePageCount(); close > 0 && !update)
        status += QStringLiteral("; строк с сомнительной кодировкой тегов: %1").arg(close);
    setStatusText(status);
    ui.progressBar->setValue(0);
    if (!m_closing)
        m_desktop.beep();
}

void MainWindow::musicListFilled() {
    showMusicCount();
    m_ui.musicColumns->fitToValues();
    m_ui.musicScanButton->setText(kAddCaption);
    m_ui.musicScanButton->setEnabled(true);
    m_ui.musicScanAction->setEnabled(true);
    m_ui.musicScanAction->setText(kAddMenuCaption);
    setMusicListCommandsEnabled(true);
    setExportMenuEnabled(true);
}

bool MainWindow::confirmEmptyRoot(const QString& root) {
    return m_desktop.askYesNo(
        QStringLiteral("Внимание!"),
        QStringLiteral("В папке \"%1\" нет ничего из списка (диск не подключён?). Убрать из "
                       "списка всё, что было найдено в ней?")
            .arg(QDir::toNativeSeparators(root)));
}

void MainWindow::musicClearClicked() {
    m_ui.musicView->setUpdatesEnabled(false);
    m_musicList->clear();
    m_ui.musicView->setUpdatesEnabled(true);
    m_musicListPartial = false;
    setWindowTitle(titleCaption());
    // A delete of the last row in the middle of a scan clears the list too; the scan keeps its
    // stop command and re-enables the list commands when it ends.
    if (m_musicJob->isRunning())
        return;
    m_ui.musicScanButton->setText(kCreateCaption);
    m_ui.musicScanAction->setText(kCreateCaption);
    setMusicListCommandsEnabled(false);
    if (m_videoList->isEmpty())
        setExportMenuEnabled(false);
}

void MainWindow::musicHeaderClicked(int column) {
    if (toggles().musicInCat &&
        !m_desktop.askYesNo(QStringLiteral("Внимание!"),
                            QStringLiteral("Включена опция \"Музыка разделена на категории\", при "
                                           "сортировке все категории смешаются, отсорировать?\"")))
        return;
    sortColumn = column;
    m_musicList->sortByColumn(column);
}

void MainWindow::musicEditClicked() {
    const int index = selectedRow(m_ui.musicView);
    if (index < 0)
        return;
    const MusicRow& row = m_musicList->row(index);
    if (row.cells.contains(QStringLiteral(" ")))
        return; // category header rows are not edited
    m_musicEditor->setRow(row);
    // Rows may move while the dialog is open (a scan goes on behind it): follow this one.
    const QPersistentModelIndex edited = m_musicList->index(index, 0);
    execModal(*m_musicEditor);
    if (m_musicEditor->saved() && edited.isValid()) {
        m_musicList->applyEdit(edited.row(), m_musicEditor->row());
        // The user has chosen the reading: the row is no close call any more.
        if (m_musicEditor->codePagePicked())
            m_musicList->setCloseTexts(edited.row(), {});
    }
}

void MainWindow::musicDeleteClicked() {
    QTableView* view = m_ui.musicView;
    if (m_musicList->isEmpty() || !view->hasFocus())
        return;
    // The selection is taken before the walk: removing the current row makes the view choose
    // another one, which must not be deleted in turn. Rows are counted as the view shows them.
    const QItemSelection selection = view->selectionModel()->selection();
    const int selected = selection.isEmpty() ? -1 : selection.first().top();
    std::vector<bool> doomed(static_cast<size_t>(m_musicList->count()), false);
    std::vector<RowOrigin> deleted;
    for (const QItemSelectionRange& range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            const int doomedRow = listRow(view, row);
            doomed[static_cast<size_t>(doomedRow)] = true;
            deleted.push_back(m_musicList->row(doomedRow).origin);
        }
    }
    m_musicList->removeFlaggedRows(doomed);
    for (const RowOrigin& origin : deleted)
        m_musicList->leaveOut(origin);
    const int count = view->model()->rowCount();
    const int next = selected < count ? selected : selected - 1;
    if (next >= 0 && count > 0)
        view->selectRow(next);
    if (m_musicList->isEmpty()) {
        setWindowTitle(titleCaption());
        musicClearClicked();
        return;
    }
    showMusicCount();
}

void MainWindow::musicContextMenuRequested(const QPoint& position) {
    popupRowMenu(m_ui.musicContextMenu, m_ui.musicView, m_ui.musicEditAction,
                 m_ui.musicDeleteAction, position);
}

void MainWindow::musicPageShown() {
    if (!m_musicList->isEmpty())
        showMusicCount();
}

} // namespace korvane
