#include "app/MainWindow.h"

#include "desktop/Desktop.h"
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

// The scan's view of the window: status bar, scan button, the event loop.
class MusicScanWindowHost final : public MusicScanHost {
public:
    explicit MusicScanWindowHost(MainWindow& window) : m_window(window) {}

    bool pump() override { return m_window.pumpEvents(); }
    bool stopRequested() override { return m_window.m_musicStopRequest; }
    void setStatusText(const QString& text) override { m_window.setStatusText(text); }
    void setProgressMaximum(int maximum) override { m_window.setProgressMaximum(maximum); }
    void setProgressPosition(int position) override {
        m_window.m_ui.progressBar->setValue(position);
    }
    void albumPhaseBegan() override {
        m_window.m_ui.musicScanButton->setEnabled(true);
        m_window.m_ui.musicScanAction->setEnabled(true);
        m_window.m_ui.musicScanButton->setText(kStopCaption);
    }
    void stopHonoured() override { m_window.m_ui.musicScanButton->setText(kAddCaption); }

private:
    MainWindow& m_window;
};

void MainWindow::musicScanClicked() {
    Ui& ui = m_ui;
    if (ui.musicScanButton->text() == kStopCaption) {
        m_musicStopRequest = true;
        return;
    }
    if (!pickFolder(m_desktop, QStringLiteral("Выберите папку с mp3 коллекцией"), musicRoot))
        return;
    scanMusicRoot();
}

bool MainWindow::musicScanCanStart() const {
    return m_ui.musicScanButton->isEnabled() && !m_musicScanRunning;
}

void MainWindow::scanMusicRoot() {
    Ui& ui = m_ui;
    setMusicListCommandsEnabled(false);
    setExportMenuEnabled(false);
    // The menu command follows the button: no second scan can start while folders are listed.
    ui.musicScanButton->setEnabled(false);
    ui.musicScanAction->setEnabled(false);
    const MusicScanOptions options = readMusicScanOptions(m_settings, toggles(), testersMode);
    setWindowTitle(kSearchingText);
    setStatusText(u' ' + kSearchingText);
    musicRoot = withTrailingSeparator(musicRoot);

    m_musicScanRunning = true;
    ui.musicView->setUpdatesEnabled(false);
    MusicScanWindowHost host(*this);
    const MusicUpdateResult added =
        addMusicRoot(*m_musicList, musicRoot, options, host,
                     [this](const QString& root) { return confirmEmptyRoot(root); });
    const MusicScanResult& result = added.scan;
    ui.musicView->setUpdatesEnabled(true);
    m_musicScanRunning = false;
    if (result.abandoned)
        return; // the window is closing

    // A refresh that was stopped left the list as it was.
    m_musicListPartial = result.stopped && !added.refreshed;
    musicListFilled();
    QString status =
        !added.refreshed
            ? QStringLiteral(
                  " Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)")
        : result.stopped ? QStringLiteral(" Обновление остановлено, список прежний")
                         : u' ' + updateSummary(added.counts);
    if (const int close = m_musicList->closeCodePageCount(); close > 0)
        status += QStringLiteral("; строк с сомнительной кодировкой тегов: %1").arg(close);
    setStatusText(status);
    ui.progressBar->setValue(0);
    m_musicStopRequest = false;
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

void MainWindow::musicUpdateClicked() {
    if (m_musicScanRunning)
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
    m_musicScanRunning = true;
    MusicScanWindowHost host(*this);
    const MusicUpdateResult result =
        updateMusic(*m_musicList, {}, readMusicScanOptions(m_settings, toggles(), testersMode),
                    host, [this](const QString& root) { return confirmEmptyRoot(root); });
    m_musicScanRunning = false;
    ui.musicUpdateAction->setEnabled(true);
    if (result.scan.abandoned)
        return; // the window is closing
    m_musicStopRequest = false;
    ui.progressBar->setValue(0);
    musicListFilled();
    setStatusText(result.scan.stopped ? QStringLiteral(" Обновление остановлено, список прежний")
                                      : u' ' + updateSummary(result.counts));
    m_desktop.beep();
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
    if (m_musicScanRunning)
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
