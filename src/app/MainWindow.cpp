#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/SettingsDialog.h"
#include "app/TestersDialog.h"
#include "bases/BaseFillDialog.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/ListFilter.h"
#include "desktop/Desktop.h"
#include "export/ExportFormats.h"
#include "export/ListExport.h"
#include "jobs/Job.h"
#include "music/MusicList.h"
#include "music/MusicListView.h"
#include "music/MusicRowEditor.h"
#include "music/MusicScan.h"
#include "video/VideoList.h"
#include "video/VideoRowEditor.h"
#include "widgets/ListColumns.h"
#include "widgets/NewRowDelegate.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <functional>
#include <optional>
#include <utility>

namespace korvane {
namespace {

constexpr QSize kClientSize(661, 417);
constexpr QSize kMinimumSize(359, 230);
constexpr int kPageMargin = 2;
// A page's margins and the tab widget's frame around a list.
constexpr int kPageFrameWidth = 2 * kPageMargin + 8;

QAction* addToggle(QMenu* menu, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setCheckable(true);
    return action;
}

// An export menu from the table of formats, with a line between its sections and "Копировать
// для форума" closing the forum's section, then a line before the publishing choices. Each
// action is connected as it is made.
QMenu* addExportItems(QMenu* menu, bool buttonCaptions,
                      const std::function<void(const exporter::ExportFormatRow&)>& run,
                      const std::function<void()>& copyPost) {
    std::optional<exporter::MenuSection> section;
    for (const exporter::ExportFormatRow& row : exporter::exportFormats()) {
        if (section && *section != row.section)
            menu->addSeparator();
        section = row.section;
        QAction* action = menu->addAction(buttonCaptions ? row.buttonCaption : row.menuCaption);
        QObject::connect(action, &QAction::triggered, menu, [run, &row] { run(row); });
    }
    QObject::connect(menu->addAction(QStringLiteral("Копировать для форума")), &QAction::triggered,
                     menu, copyPost);
    menu->addSeparator();
    return menu;
}

QTableView* makeListView(QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setSectionsClickable(true);
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}

std::vector<int> designWidths(const CatalogueList& list) {
    std::vector<int> widths;
    for (const CatalogueList::Column& column : list.columns())
        widths.push_back(column.width);
    return widths;
}

// The "Редактировать" (Ctrl+E) and "Удалить" (Del) pair of a list's context menu; the shortcuts
// work while the list has the focus.
QMenu* makeRowMenu(QTableView* view, QAction*& edit, QAction*& remove) {
    auto* menu = new QMenu(view);
    edit = menu->addAction(QStringLiteral("Редактировать"));
    edit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    remove = menu->addAction(QStringLiteral("Удалить"));
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    for (QAction* action : {edit, remove}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        view->addAction(action);
    }
    return menu;
}

QString countCaption(const QString& collection, int count, bool partial) {
    QString caption = QStringLiteral("В %1 коллекции: %2 позиций").arg(collection).arg(count);
    if (partial)
        caption += partialListNote();
    return caption;
}

} // namespace

QPoint exportPopupPosition(const QPushButton* button) {
    // A click leaves the pointer on the button: the menu opens there. Pressed from the keyboard,
    // the button is wherever the pointer is not, and the menu opens under it.
    const QPoint pointer = QCursor::pos();
    if (button->rect().contains(button->mapFromGlobal(pointer)))
        return pointer;
    return button->mapToGlobal(QPoint(0, button->height()));
}

QString titleCaption() {
    return QStringLiteral("Korvane v.0.984  by Zelmir  (korvane@zelmir.org)");
}

MainWindow::MainWindow(const ProgramFolder& programFolder, Desktop& desktop, QWidget* parent)
    : QMainWindow(parent), m_programFolder(programFolder), m_desktop(desktop),
      m_settings(programFolder.settingsPath()) {
    setWindowTitle(titleCaption());
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    m_musicList = new MusicList(this);
    m_videoList = new VideoList(this);
    buildMenus();
    buildPages();
    buildStatusBar();
    connectCommands();

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

    // The dialogs live as long as the window, in the order the program creates them at start.
    m_settingsDialog =
        std::make_unique<SettingsDialog>(m_desktop, m_settings, m_programFolder, this);
    m_testersDialog = std::make_unique<TestersDialog>(m_desktop, m_settings.path(), this);
    m_baseFillDialog = new BaseFillDialog(m_desktop, m_settings, this);
    m_musicEditor = new MusicRowEditor(this);
    m_musicJob = new Job(this);
    m_videoJob = new Job(this);
    m_videoEditor = new VideoRowEditor(this);

    // Changes are stored once the command that made them is over: a scan, an update or a fill
    // (with its dialog open) is stored whole when it ends.
    m_storeTimer = new QTimer(this);
    m_storeTimer->setSingleShot(true);
    m_storeTimer->setInterval(300);
    connect(m_storeTimer, &QTimer::timeout, this, [this] {
        if (m_musicJob->isRunning() || m_videoJob->isRunning() || QApplication::activeModalWidget())
            m_storeTimer->start();
        else
            storeLists();
    });
    for (CatalogueList* list :
         {static_cast<CatalogueList*>(m_musicList), static_cast<CatalogueList*>(m_videoList)}) {
        connect(list, &QAbstractItemModel::rowsInserted, this, &MainWindow::listChanged);
        connect(list, &QAbstractItemModel::rowsRemoved, this, &MainWindow::listChanged);
        connect(list, &QAbstractItemModel::dataChanged, this, &MainWindow::listChanged);
        connect(list, &QAbstractItemModel::modelReset, this, &MainWindow::listChanged);
        connect(list, &QAbstractItemModel::layoutChanged, this, &MainWindow::listChanged);
    }
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    // A job still running reports to this window: it ends before the window goes.
    m_musicJob->abandon();
    m_videoJob->abandon();
    qApp->removeEventFilter(this);
}

void MainWindow::buildMenus() {
    Ui& ui = m_ui;
    // Alt+letter opens each menu; the underlined letter is the caption's first.
    ui.fileMenu = menuBar()->addMenu(QStringLiteral("&Файл"));
    QMenu* create = ui.fileMenu->addMenu(QStringLiteral("Создать лист"));
    ui.musicScanAction = create->addAction(QStringLiteral("с music коллекцией"));
    ui.videoScanAction = create->addAction(QStringLiteral("с video коллекцией"));
    connect(create, &QMenu::aboutToShow, this, [this] {
        m_musicStopArmed = m_musicJob->isRunning();
        m_videoStopArmed = m_videoJob->isRunning();
    });
    ui.musicUpdateAction = ui.fileMenu->addAction(QStringLiteral("Обновить коллекцию"));
    ui.videoUpdateAction = ui.fileMenu->addAction(QStringLiteral("Обновить клипы"));
    ui.exportMenu = ui.fileMenu->addMenu(QStringLiteral("Экспорт"));
    // Shared by the four export menus, so that each shows the same choice.
    ui.sincePublished = new QAction(QStringLiteral("Новое с последней публикации"), this);
    ui.markPublished = new QAction(QStringLiteral("Отметить как опубликованный"), this);
    ui.sincePublished->setCheckable(true);
    ui.markPublished->setCheckable(true);
    ui.musicExportMenu =
        addMusicOrVideoExports(ui.exportMenu->addMenu(QStringLiteral("music листа")), true, false);
    ui.videoExportMenu =
        addMusicOrVideoExports(ui.exportMenu->addMenu(QStringLiteral("video листа")), false, false);
    for (QMenu* menu : {ui.musicExportMenu, ui.videoExportMenu})
        menu->addActions({ui.sincePublished, ui.markPublished});
    ui.fileMenu->addSeparator();
    ui.exitAction = ui.fileMenu->addAction(QStringLiteral("Выход"));
    ui.exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui.exitAction->setShortcutContext(Qt::ApplicationShortcut);

    ui.settingsMenu = menuBar()->addMenu(QStringLiteral("&Настройки"));
    ui.artistFromID3 = addToggle(ui.settingsMenu, QStringLiteral("Брать Артист / Альбом из тегов"));
    ui.yearInColumn = addToggle(ui.settingsMenu, QStringLiteral("Брать ГОД из тегов"));
    ui.albumUppercase =
        addToggle(ui.settingsMenu, QStringLiteral("Названия групп БОЛЬШИМИ буквами"));
    ui.albumBoldFont = addToggle(
        ui.settingsMenu, QStringLiteral("Названия групп ЖИРНЫМ шрифтом (только для html и Excel)"));
    ui.musicInCat = addToggle(
        ui.settingsMenu, QStringLiteral("Музыка разделена на категории (панк, ска, рок, попс...)"));
    ui.showVBR = addToggle(ui.settingsMenu, QStringLiteral("Помечать VBR битрейт"));
    ui.showGroupNotAlbum =
        addToggle(ui.settingsMenu, QStringLiteral("Показывать группы без альбомов"));
    ui.otherFormats =
        addToggle(ui.settingsMenu, QStringLiteral("Читать FLAC, APE, WavPack, M4A, Opus"));
    ui.mp3NamesOnly = addToggle(
        ui.settingsMenu, QStringLiteral("Артист / Альбом и страну брать из тегов только mp3"));
    ui.foldDiscs =
        addToggle(ui.settingsMenu, QStringLiteral("Диски альбома (CD1, CD2...) одной строкой"));
    ui.txtUtf8 = addToggle(ui.settingsMenu, QStringLiteral("Списки TXT в кодировке UTF-8"));
    ui.allVideoFiles = addToggle(ui.settingsMenu, QStringLiteral("Все файлы в списке клипов"));
    ui.bbcodeSpoilers =
        addToggle(ui.settingsMenu, QStringLiteral("Категории для форума под спойлерами"));
    ui.keepLists = addToggle(ui.settingsMenu, QStringLiteral("Помнить списки между запусками"));
    ui.keepLists->setChecked(true);
    ui.settingsMenu->addSeparator();
    ui.settingsAction = ui.settingsMenu->addAction(QStringLiteral("Настройки"));
    ui.settingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    ui.settingsAction->setShortcutContext(Qt::ApplicationShortcut);
    // The testers command sits under the settings it belongs to, shown only once testers mode
    // has enabled it.
    ui.testersAction = ui.settingsMenu->addAction(QStringLiteral("Для тестеров"));
    ui.testersAction->setEnabled(false);
    ui.testersAction->setVisible(false);

    ui.basesMenu = menuBar()->addMenu(QStringLiteral("&База данных"));
    for (const char* caption :
         {"Заполнить Жанр из базы (только где он не прописан)",
          "Заполнить Жанр из базы (даже если он прописан)",
          "Заполнить Страну из базы (только где она не прописана)",
          "Заполнить Страну из базы (даже если она прописана)", "Сохранить в базу Группы\\Жанры",
          "Сохранить в базу Группы\\Страны"})
        ui.basesMenu->addAction(QString::fromUtf8(caption));

    buildCollectionMenu();
    ui.helpMenu = menuBar()->addMenu(QStringLiteral("&Справка"));
    ui.manualAction = ui.helpMenu->addAction(QStringLiteral("Руководство"));
    ui.manualAction->setShortcut(QKeySequence(Qt::Key_F1));
    ui.manualAction->setShortcutContext(Qt::ApplicationShortcut);
    ui.aboutAction = ui.helpMenu->addAction(QStringLiteral("О программе"));

    setToggles(Toggles{});
    setExportMenuEnabled(false);
}

QMenu* MainWindow::addMusicOrVideoExports(QMenu* menu, bool music, bool buttonCaptions) {
    return addExportItems(
        menu, buttonCaptions,
        [this, music](const exporter::ExportFormatRow& format) { exportList(format, music); },
        [this, music] { copyForumPost(music); });
}

void MainWindow::buildPages() {
    Ui& ui = m_ui;
    ui.pages = new QTabWidget(this);
    setCentralWidget(ui.pages);

    auto addPage = [&](const QString& name, QTableView*& view, CatalogueList& list,
                       QLineEdit*& filterField, ListFilter*& filter, int headerRole,
                       std::initializer_list<QPushButton**> buttons, const QStringList& captions) {
        auto* page = new QWidget(ui.pages);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
        // The window keeps its designed look until the user asks for the filter.
        filterField = new QLineEdit(page);
        filterField->setPlaceholderText(
            QStringLiteral("Фильтр: слова из любого столбца (Esc - сбросить)"));
        filterField->setClearButtonEnabled(true);
        filterField->hide();
        layout->addWidget(filterField);
        view = makeListView(page);
        layout->addWidget(view, 1);
        auto* row = new QHBoxLayout;
        int i = 0;
        for (QPushButton** button : buttons) {
            *button = new QPushButton(captions[i++], page);
            row->addWidget(*button);
        }
        row->addStretch(1);
        layout->addLayout(row);
        ui.pages->addTab(page, name);
        filter = new ListFilter(list, headerRole, this);
        view->setModel(filter);
    };
    addPage(QStringLiteral("music"), ui.musicView, *m_musicList, ui.musicFilterField,
            ui.musicFilter, MusicList::CategoryHeaderRole,
            {&ui.musicScanButton, &ui.musicClearButton, &ui.musicExportButton},
            {QStringLiteral("Создать лист с music коллекцией"),
             QStringLiteral("Очистить music лист"), QStringLiteral("Экспорт в ...")});
    addPage(QStringLiteral("video"), ui.videoView, *m_videoList, ui.videoFilterField,
            ui.videoFilter, 0, {&ui.videoScanButton, &ui.videoClearButton, &ui.videoExportButton},
            {QStringLiteral("Добавить Клипы"), QStringLiteral("Очистить video лист"),
             QStringLiteral("Экспорт в ...")});
    ui.musicView->setItemDelegate(new MusicListDelegate(ui.musicView));
    ui.musicColumns = new ListColumns(ui.musicView, designWidths(*m_musicList));
    ui.videoColumns = new ListColumns(ui.videoView, designWidths(*m_videoList));
    ui.videoView->setItemDelegate(new NewRowDelegate(ui.videoView));

    // 189 pixels fit the caption in Tahoma; where a wider font stands in, the button grows
    // rather than cutting its caption.
    ui.musicScanButton->setMinimumWidth(189);
    ui.musicClearButton->setToolTip(QStringLiteral("Очищает область таблицы"));
    ui.musicExportButton->setToolTip(QStringLiteral("экспорт списка в разные форматы"));
    ui.videoScanButton->setToolTip(
        QStringLiteral("Выводит на экран имена файлов котрые вы выбрали и их размер"));
    ui.videoClearButton->setToolTip(QStringLiteral("Очищает область таблицы"));
    ui.videoExportButton->setToolTip(QStringLiteral("экспорт списка в разные форматы"));
    setMusicListCommandsEnabled(false);
    setVideoListCommandsEnabled(false);

    ui.filterAction = new QAction(this);
    ui.filterAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(ui.filterAction);
    ui.musicContextMenu = makeRowMenu(ui.musicView, ui.musicEditAction, ui.musicDeleteAction);
    ui.videoContextMenu = makeRowMenu(ui.videoView, ui.videoEditAction, ui.videoDeleteAction);
    ui.musicExportPopup = addMusicOrVideoExports(new QMenu(this), true, true);
    ui.videoExportPopup = addMusicOrVideoExports(new QMenu(this), false, true);
    for (QMenu* menu : {ui.musicExportPopup, ui.videoExportPopup})
        menu->addActions({ui.sincePublished, ui.markPublished});
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

void MainWindow::connectCommands() {
    const Ui& ui = m_ui;
    connect(ui.exitAction, &QAction::triggered, this, &QWidget::close);
    connect(ui.settingsAction, &QAction::triggered, this, [this] { execModal(*m_settingsDialog); });
    connect(ui.testersAction, &QAction::triggered, this, [this] { execModal(*m_testersDialog); });
    connect(ui.manualAction, &QAction::triggered, this, &MainWindow::manualClicked);
    connect(ui.aboutAction, &QAction::triggered, this, [this] { showAboutBox(this); });

    connect(ui.pages, &QTabWidget::currentChanged, this,
            [this](int page) { page == 0 ? musicPageShown() : videoPageShown(); });
    connect(ui.musicScanAction, &QAction::triggered, this, [this] {
        m_ui.pages->setCurrentIndex(0);
        musicScanClicked();
    });
    connect(ui.videoScanAction, &QAction::triggered, this, [this] {
        m_ui.pages->setCurrentIndex(1);
        videoScanClicked();
    });

    connect(ui.musicUpdateAction, &QAction::triggered, this, [this] {
        m_ui.pages->setCurrentIndex(0);
        musicUpdateClicked();
    });
    connect(ui.videoUpdateAction, &QAction::triggered, this, [this] {
        m_ui.pages->setCurrentIndex(1);
        videoUpdateClicked();
    });

    connect(ui.filterAction, &QAction::triggered, this, &MainWindow::showFilter);
    for (const bool music : {true, false}) {
        QLineEdit* field = music ? ui.musicFilterField : ui.videoFilterField;
        QTableView* view = music ? ui.musicView : ui.videoView;
        connect(field, &QLineEdit::textChanged, this, [this, music] { filterChanged(music); });
        auto* close = new QAction(field);
        close->setShortcut(QKeySequence(Qt::Key_Escape));
        close->setShortcutContext(Qt::WidgetShortcut);
        field->addAction(close);
        connect(close, &QAction::triggered, this,
                [this, field, view] { closeFilter(field, view); });
    }

    connect(ui.musicScanButton, &QPushButton::pressed, this,
            [this] { m_musicStopArmed = m_musicJob->isRunning(); });
    connect(ui.musicScanButton, &QPushButton::clicked, this, &MainWindow::musicScanClicked);
    connect(ui.musicClearButton, &QPushButton::clicked, this, &MainWindow::musicClearClicked);
    connect(ui.musicView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MainWindow::musicHeaderClicked);
    connect(ui.musicView, &QTableView::doubleClicked, this, &MainWindow::musicEditClicked);
    connect(ui.musicEditAction, &QAction::triggered, this, &MainWindow::musicEditClicked);
    connect(ui.musicDeleteAction, &QAction::triggered, this, &MainWindow::musicDeleteClicked);
    connect(ui.musicView, &QWidget::customContextMenuRequested, this,
            &MainWindow::musicContextMenuRequested);

    connect(ui.videoScanButton, &QPushButton::pressed, this,
            [this] { m_videoStopArmed = m_videoJob->isRunning(); });
    connect(ui.videoScanButton, &QPushButton::clicked, this, &MainWindow::videoScanClicked);
    connect(ui.videoClearButton, &QPushButton::clicked, this, &MainWindow::videoClearClicked);
    connect(ui.videoView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &MainWindow::videoHeaderClicked);
    connect(ui.videoView, &QTableView::doubleClicked, this, &MainWindow::videoEditClicked);
    connect(ui.videoEditAction, &QAction::triggered, this, &MainWindow::videoEditClicked);
    connect(ui.videoDeleteAction, &QAction::triggered, this, &MainWindow::videoDeleteClicked);
    connect(ui.videoView, &QWidget::customContextMenuRequested, this,
            &MainWindow::videoContextMenuRequested);

    connect(ui.musicExportButton, &QPushButton::clicked, this,
            [this] { m_ui.musicExportPopup->popup(exportPopupPosition(m_ui.musicExportButton)); });
    connect(ui.videoExportButton, &QPushButton::clicked, this,
            [this] { m_ui.videoExportPopup->popup(exportPopupPosition(m_ui.videoExportButton)); });
    const QList<QAction*> bases = ui.basesMenu->actions();
    connect(bases[0], &QAction::triggered, this, &MainWindow::fillMissingGenresClicked);
    connect(bases[1], &QAction::triggered, this, &MainWindow::fillAllGenresClicked);
    connect(bases[2], &QAction::triggered, this, &MainWindow::fillMissingCountriesClicked);
    connect(bases[3], &QAction::triggered, this, &MainWindow::fillAllCountriesClicked);
    connect(bases[4], &QAction::triggered, this, &MainWindow::saveGenreBaseClicked);
    connect(bases[5], &QAction::triggered, this, &MainWindow::saveCountryBaseClicked);
}

Toggles MainWindow::toggles() const {
    Toggles t;
    t.artistFromID3 = m_ui.artistFromID3->isChecked();
    t.yearInColumn = m_ui.yearInColumn->isChecked();
    t.albumUppercase = m_ui.albumUppercase->isChecked();
    t.albumBoldFont = m_ui.albumBoldFont->isChecked();
    t.musicInCat = m_ui.musicInCat->isChecked();
    t.showVBR = m_ui.showVBR->isChecked();
    t.showGroupNotAlbum = m_ui.showGroupNotAlbum->isChecked();
    t.otherFormats = m_ui.otherFormats->isChecked();
    t.mp3NamesOnly = m_ui.mp3NamesOnly->isChecked();
    t.foldDiscs = m_ui.foldDiscs->isChecked();
    t.txtUtf8 = m_ui.txtUtf8->isChecked();
    t.allVideoFiles = m_ui.allVideoFiles->isChecked();
    t.bbcodeSpoilers = m_ui.bbcodeSpoilers->isChecked();
    return t;
}

void MainWindow::setToggles(const Toggles& t) {
    m_ui.artistFromID3->setChecked(t.artistFromID3);
    m_ui.yearInColumn->setChecked(t.yearInColumn);
    m_ui.albumUppercase->setChecked(t.albumUppercase);
    m_ui.albumBoldFont->setChecked(t.albumBoldFont);
    m_ui.musicInCat->setChecked(t.musicInCat);
    m_ui.showVBR->setChecked(t.showVBR);
    m_ui.showGroupNotAlbum->setChecked(t.showGroupNotAlbum);
    m_ui.otherFormats->setChecked(t.otherFormats);
    m_ui.mp3NamesOnly->setChecked(t.mp3NamesOnly);
    m_ui.foldDiscs->setChecked(t.foldDiscs);
    m_ui.txtUtf8->setChecked(t.txtUtf8);
    m_ui.allVideoFiles->setChecked(t.allVideoFiles);
    m_ui.bbcodeSpoilers->setChecked(t.bbcodeSpoilers);
}

void MainWindow::mainLoad() {
    if (const QString message = unreadableSettingsMessage(m_settings); !message.isEmpty()) {
        m_desktop.showMessage(message);
        m_unreadableSettingsReported = true;
    }
    const Settings settings(m_settings);
    if (settings.maximized()) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        const Settings::WindowPlace place = settings.windowPlace({y(), x(), height(), width()});
        move(place.left, place.top);
        resize(place.width, place.height);
    }
    musicRoot = settings.musicRoot();
    videoFolder = settings.videoFolder();
    testersMode = settings.testersModeText();
    setToggles(settings.toggles());
    m_ui.musicColumns->restore(settings.columnWidths(true));
    m_ui.videoColumns->restore(settings.columnWidths(false));
    checkSaveDir();
    if (testersMode == QLatin1String("1")) {
        m_ui.testersAction->setEnabled(true);
        m_ui.testersAction->setVisible(true);
    }
    m_ui.pages->setCurrentIndex(0);
    m_ui.keepLists->setChecked(settings.keepLists());
    // Queued: the window is painted first, the rows arrive after.
    if (m_ui.keepLists->isChecked())
        QTimer::singleShot(0, this, &MainWindow::restoreLists);
}

void MainWindow::checkSaveDir() {
    Settings settings(m_settings);
    const QString saveDir = settings.saveDirToCheck(m_programFolder);
    if (QFileInfo(saveDir).isDir())
        return;
    settings.setSaveDir(m_programFolder.dirWithSeparator());
    m_desktop.showMessage(QStringLiteral("Папка для сохранения списокв \"") + saveDir +
                          QStringLiteral("\" не найдена, все списки будут сохранятся в каталоге "
                                         "программы, изменить это можно в настройках"));
}

void MainWindow::refreshAfterDialog() {
    testersMode = Settings(m_settings).testersModeText();
    if (testersMode == QLatin1String("1")) {
        m_ui.testersAction->setEnabled(true);
        m_ui.testersAction->setVisible(true);
    }
    checkSaveDir();
}

int MainWindow::execModal(QDialog& dialog) {
    const int result = dialog.exec();
    try {
        refreshAfterDialog();
    } catch (const ReportedError& error) {
        m_desktop.showError(error.message());
    }
    return result;
}

void MainWindow::mainSave() {
    Settings settings(m_settings);
    settings.setToggles(toggles());
    settings.setMusicRoot(musicRoot);
    settings.setVideoFolder(videoFolder);
    settings.setWindowPlace({y(), x(), height(), width()});
    settings.setMaximized(isMaximized());
    settings.setColumnWidths(true, m_ui.musicColumns->userWidths());
    settings.setColumnWidths(false, m_ui.videoColumns->userWidths());
    settings.setKeepLists(m_ui.keepLists->isChecked());
}

namespace {

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

bool MainWindow::dropWanted(const QMimeData* data) const {
    if (droppedFolder(data).isEmpty())
        return false;
    return m_ui.pages->currentIndex() == 0 ? musicScanCanStart() : videoScanCanStart();
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
    if (m_ui.pages->currentIndex() == 0) {
        if (!musicScanCanStart())
            return;
        musicRoot = folder;
        scanMusicRoot();
    } else {
        if (!videoScanCanStart())
            return;
        videoFolder = folder;
        scanVideoFolder();
    }
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
            m_desktop.showError(error.message());
    }
    // A job still running stops at its next check; what it did is put into its list and stored.
    m_musicJob->stopAndFinish();
    m_videoJob->stopAndFinish();
    storeLists();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui.statusText && event->type() == QEvent::MouseButtonDblClick) {
        openCreatedFile();
        return true;
    }
    // Alt alone opens "Файл" on its release, with no other key pressed in between: Alt+F4,
    // Alt+Tab and the menus' Alt+letter keys reach the window manager and the menu bar.
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // A key taken as a shortcut (the menus' Alt+letter) never arrives as a key press.
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Alt)
            m_altAlone = false;
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            m_altAlone = isActiveWindow() && key->key() == Qt::Key_Alt &&
                         !(key->modifiers() & Qt::ShiftModifier);
        break;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Alt || key->isAutoRepeat())
            break;
        const bool open = m_altAlone && isActiveWindow();
        m_altAlone = false;
        if (open) {
            menuBar()->setFocus(Qt::MenuBarFocusReason);
            menuBar()->setActiveAction(m_ui.fileMenu->menuAction());
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::WindowDeactivate:
        m_altAlone = false;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

int MainWindow::listRow(const QTableView* view, int viewRow) {
    const auto* filter = static_cast<const ListFilter*>(view->model());
    return filter->mapToSource(filter->index(viewRow, 0)).row();
}

int MainWindow::selectedRow(const QTableView* view) {
    // The views select whole rows. The ranges rather than selectedRows(), which checks every row
    // against every range: seconds for a selection of thousands of scattered rows.
    const QItemSelection selection = view->selectionModel()->selection();
    return selection.isEmpty() ? -1 : listRow(view, selection.first().top());
}

void MainWindow::selectRow(QTableView* view, int row) {
    const auto* filter = static_cast<const ListFilter*>(view->model());
    const QModelIndex shown = filter->mapFromSource(filter->sourceModel()->index(row, 0));
    // A row the filter hides is not selected.
    if (!shown.isValid()) {
        view->selectionModel()->clearSelection();
        return;
    }
    view->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
}

void MainWindow::showFilter() {
    const bool music = m_ui.pages->currentIndex() == 0;
    QLineEdit* field = music ? m_ui.musicFilterField : m_ui.videoFilterField;
    field->show();
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

void MainWindow::filterChanged(bool music) {
    ListFilter* filter = music ? m_ui.musicFilter : m_ui.videoFilter;
    const bool wasActive = filter->isActive();
    filter->setText((music ? m_ui.musicFilterField : m_ui.videoFilterField)->text());
    if (!filter->isActive()) {
        if (wasActive)
            setStatusText(m_statusBeforeFilter);
        return;
    }
    if (!wasActive)
        m_statusBeforeFilter = statusText();
    setStatusText(QStringLiteral(" Фильтр: показано %1 из %2")
                      .arg(filter->shownItems())
                      .arg(filter->allItems()));
}

void MainWindow::closeFilter(QLineEdit* field, QTableView* view) {
    field->clear();
    field->hide();
    view->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::popupRowMenu(QMenu* menu, QTableView* view, QAction* edit, QAction* remove,
                              const QPoint& position) {
    const bool rowChosen = view->model()->rowCount() > 0 && selectedRow(view) >= 0;
    edit->setEnabled(rowChosen);
    remove->setEnabled(rowChosen);
    connect(
        menu, &QMenu::aboutToHide, this,
        [edit, remove] {
            edit->setEnabled(true);
            remove->setEnabled(true);
        },
        Qt::SingleShotConnection);
    menu->popup(view->viewport()->mapToGlobal(position));
}

void MainWindow::manualClicked() {
    // The English manual for a desktop that is not Russian, when it is there.
    const QString english = m_programFolder.shippedFile(QStringLiteral("manual/en.html"));
    const bool russianDesktop = QLocale::system().language() == QLocale::Russian;
    openWrittenFile(!russianDesktop && QFileInfo::exists(english)
                        ? english
                        : m_programFolder.shippedFile(QStringLiteral("manual/ru.html")));
}

void MainWindow::openCreatedFile() {
    if (lastWrittenFile.created)
        openWrittenFile(lastWrittenFile.path);
}

QString fileNotOpenedMessage(const QString& path) {
    return QStringLiteral("Файл \"%1\" сохранён, но открыть его не удалось: для файлов этого "
                          "типа не назначена программа.")
        .arg(path);
}

bool MainWindow::openWrittenFile(const QString& path) {
    if (m_desktop.openWithShell(path))
        return true;
    if (QFileInfo(path).isFile())
        m_desktop.showMessageWithFolder(fileNotOpenedMessage(path), path);
    else
        m_desktop.showMessage(QStringLiteral("Файл \"%1\" не найден.").arg(path));
    return false;
}

void MainWindow::setStatusText(const QString& text) {
    m_ui.statusText->setText(text);
}

QString MainWindow::statusText() const {
    return m_ui.statusText->text();
}

QString partialListNote() {
    return QStringLiteral(" (поиск остановлен, список неполный)");
}

void MainWindow::showMusicCount() {
    setWindowTitle(countCaption(QStringLiteral("music"), musicAlbumCount(*m_musicList, true),
                                m_musicListPartial));
}

void MainWindow::showVideoCount() {
    setWindowTitle(countCaption(QStringLiteral("video"), m_videoList->count(), m_videoListPartial));
}

void MainWindow::setProgressMaximum(int maximum) {
    m_ui.progressBar->setRange(0, std::max(maximum, 1));
}

void MainWindow::setMusicListCommandsEnabled(bool enabled) {
    m_ui.musicClearButton->setEnabled(enabled);
    m_ui.musicExportButton->setEnabled(enabled);
    m_ui.musicExportMenu->menuAction()->setEnabled(enabled);
}

void MainWindow::setVideoListCommandsEnabled(bool enabled) {
    m_ui.videoClearButton->setEnabled(enabled);
    m_ui.videoExportButton->setEnabled(enabled);
    m_ui.videoExportMenu->menuAction()->setEnabled(enabled);
}

void MainWindow::setExportMenuEnabled(bool enabled) {
    m_ui.exportMenu->menuAction()->setEnabled(enabled);
}

} // namespace korvane
