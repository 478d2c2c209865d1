#include "app/MainWindow.h"

#include "app/AltMenuKey.h"
#include "app/ListPageKinds.h"
#include "app/SettingsDialog.h"
#include "app/TestersDialog.h"
#include "bases/BaseFillDialog.h"
#include "catalogue/CatalogueStore.h"
#include "desktop/Desktop.h"
#include "jobs/Job.h"
#include "music/MusicList.h"
#include "music/MusicListView.h"
#include "music/MusicRowEditor.h"
#include "video/VideoList.h"
#include "video/VideoRowEditor.h"
#include "widgets/ListColumns.h"
#include "widgets/NewRowDelegate.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUrl>

namespace korvane {
namespace {

constexpr QSize kClientSize(661, 417);
constexpr QSize kMinimumSize(359, 230);
// A page's margins and the tab widget's frame around a list.
constexpr int kPageFrameWidth = 2 * 2 + 8;

// The first local folder among the dropped items, or nothing.
QString droppedFolder(const QMimeData* data) {
    if (!data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && QFileInfo(path).isDir())
            return QDir::toNativeSeparators(path);
    }
    return {};
}

} // namespace

MainWindow::MainWindow(const ProgramFolder& programFolder, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), m_desktop(desktop), m_session(programFolder, this),
      m_settings(m_session.settingsFile()), m_musicList(&m_session.musicList()),
      m_videoList(&m_session.videoList()) {
    setWindowTitle(titleCaption());
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    // The dialogs live as long as the window, in the order the program creates them at start.
    m_settingsDialog =
        std::make_unique<SettingsDialog>(m_desktop, m_settings, this->programFolder(), this);
    m_testersDialog = std::make_unique<TestersDialog>(m_desktop, m_settings.path(), this);
    m_baseFillDialog = new BaseFillDialog(m_desktop, m_settings, this);
    auto* musicEditor = new MusicRowEditor(this);
    auto* videoEditor = new VideoRowEditor(this);
    m_musicPage =
        new ListPage(musicPageKind(*m_musicList, *musicEditor), *m_musicList, *this, this);
    m_videoPage = new ListPage(videoPageKind(*videoEditor), *m_videoList, *this, this);
    connect(m_baseFillDialog, &BaseFillDialog::listAboutToChange, m_musicPage,
            &ListPage::recordHistory);
    buildMenus();
    buildPages();
    buildStatusBar();
    connectCommands();
    new AltMenuKey(this, menuBar(), m_ui.fileMenu);

    // Folders dropped from a file manager anywhere on a page are scanned by that page.
    setAcceptDrops(true);
    setMinimumSize(kMinimumSize);
    // The design's size, wider where the font needs it to show every column of both lists (the
    // page's margins and the tab frame besides the view).
    const int columnsWidth =
        std::max(m_ui.musicColumns->neededViewWidth(), m_ui.videoColumns->neededViewWidth()) +
        kPageFrameWidth;
    resize(std::max(kClientSize.width(), columnsWidth), kClientSize.height() +
                                                            menuBar()->sizeHint().height() +
                                                            statusBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    watchLists();
}

MainWindow::~MainWindow() {
    // A job still running reports to this window: it ends before the window goes.
    musicJob().abandon();
    videoJob().abandon();
}

void MainWindow::buildPages() {
    Ui& ui = m_ui;
    ui.pages = new QTabWidget(this);
    setCentralWidget(ui.pages);
    for (ListPage* page : {m_musicPage, m_videoPage})
        ui.pages->addTab(page, page->kind().name);
    m_musicPage->view()->setItemDelegate(new MusicListDelegate(m_musicPage->view()));
    m_videoPage->view()->setItemDelegate(new NewRowDelegate(m_videoPage->view()));
    m_musicPage->setMenuCommands(
        {ui.musicScanAction, ui.musicUpdateAction, ui.musicClearAction, ui.musicExportMenu});
    m_videoPage->setMenuCommands(
        {ui.videoScanAction, ui.videoUpdateAction, ui.videoClearAction, ui.videoExportMenu});
    for (ListPage* page : {m_musicPage, m_videoPage}) {
        auto* popup = new QMenu(this);
        addMusicOrVideoExports(popup, page == m_musicPage, true);
        page->setExportPopup(popup);
    }

    ui.takePages(*m_musicPage, *m_videoPage);
}

void MainWindow::buildStatusBar() {
    m_ui.progressBar = new QProgressBar(this);
    m_ui.progressBar->setFixedWidth(170);
    m_ui.progressBar->setTextVisible(false);
    m_ui.progressBar->setRange(0, 100);
    m_ui.progressBar->setValue(0);
    m_ui.statusText = new QLabel(this);
    m_ui.statusText->installEventFilter(this);
    statusBar()->addWidget(m_ui.progressBar);
    statusBar()->addWidget(m_ui.statusText, 1);
}

ListPage& MainWindow::currentPage() {
    return m_ui.pages->currentWidget() == m_musicPage ? *m_musicPage : *m_videoPage;
}

bool MainWindow::dropWanted(const QMimeData* data) {
    return !droppedFolder(data).isEmpty() && currentPage().scanCanStart();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (dropWanted(event->mimeData()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (!dropWanted(event->mimeData()))
        return;
    event->acceptProposedAction();
    // The file manager waits for the drop to end: the scan runs after it.
    QTimer::singleShot(
        0, this, [this, folder = droppedFolder(event->mimeData())] { folderDropped(folder); });
}

void MainWindow::folderDropped(const QString& folder) {
    ListPage& page = currentPage();
    if (!page.scanCanStart())
        return;
    page.setRoot(folder);
    page.scanRoot();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_closing = true;
    // A refused write is reported, and the window closes all the same: keeping the user in a
    // program that cannot save its settings helps nobody.
    try {
        mainSave();
    } catch (const ReportedError& error) {
        // A file that could not be read was reported at start and is left alone on purpose.
        if (!m_unreadableSettingsReported)
            m_desktop.showError(error.userMessage());
    }
    // A job still running stops at its next check; what it did is put into its list and stored.
    musicJob().stopAndFinish();
    videoJob().stopAndFinish();
    storeLists();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui.statusText && event->type() == QEvent::MouseButtonDblClick) {
        if (lastWrittenFile.created)
            openWrittenFile(lastWrittenFile.path);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::setStatusText(const QString& text) {
    m_ui.statusText->setText(text);
}

QString MainWindow::statusText() const {
    return m_ui.statusText->text();
}

void MainWindow::setProgressMaximum(int maximum) {
    m_ui.progressBar->setRange(0, std::max(maximum, 1));
}

void MainWindow::setProgressValue(int value) {
    m_ui.progressBar->setValue(value);
}

void MainWindow::setExportMenuEnabled(bool enabled) {
    m_ui.exportMenu->menuAction()->setEnabled(enabled);
}

void MainWindow::listEmptied() {
    if (m_musicList->isEmpty() && m_videoList->isEmpty())
        setExportMenuEnabled(false);
}

} // namespace korvane
