// The window's menus: made once, each action kept in a field and connected there.
#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/SettingsDialog.h"
#include "app/TestersDialog.h"
#include "desktop/Desktop.h"
#include "export/ExportFormats.h"
#include "music/MusicList.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include <functional>
#include <optional>

namespace korvane {
namespace {

QAction* addToggle(QMenu* menu, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setCheckable(true);
    return action;
}

// One item per format of the table, with a line between its sections. Each action is connected
// as it is made.
void addFormatItems(QMenu* menu, bool buttonCaptions,
                    const std::function<void(const exporter::ExportFormatRow&)>& run) {
    std::optional<exporter::MenuSection> section;
    for (const exporter::ExportFormatRow& row : exporter::exportFormats()) {
        if (section && *section != row.section)
            menu->addSeparator();
        section = row.section;
        QAction* action = menu->addAction(buttonCaptions ? row.buttonCaption : row.menuCaption);
        QObject::connect(action, &QAction::triggered, menu, [run, &row] { run(row); });
    }
}

// An export menu: the formats, "Копировать для форума" closing the forum's section, then a line
// before the publishing choices.
QMenu* addExportItems(QMenu* menu, bool buttonCaptions,
                      const std::function<void(const exporter::ExportFormatRow&)>& run,
                      const std::function<void()>& copyPost) {
    addFormatItems(menu, buttonCaptions, run);
    QObject::connect(menu->addAction(QStringLiteral("Копировать для форума")), &QAction::triggered,
                     menu, copyPost);
    menu->addSeparator();
    return menu;
}

} // namespace

QMenu* MainWindow::addMusicOrVideoExports(QMenu* menu, bool music, bool buttonCaptions) {
    addExportItems(
        menu, buttonCaptions,
        [this, music](const exporter::ExportFormatRow& format) { exportList(format, music); },
        [this, music] { copyForumPost(music); });
    // Shared by the four export menus, so that each shows the same choice.
    menu->addActions({m_ui.sincePublished, m_ui.markPublished});
    menu->addSeparator();
    QMenu* saveAs = menu->addMenu(QStringLiteral("Сохранить как..."));
    addFormatItems(saveAs, false, [this, music](const exporter::ExportFormatRow& format) {
        saveListAs(format, music);
    });
    return saveAs;
}

void MainWindow::buildMenus() {
    Ui& ui = m_ui;
    // Alt+letter opens each menu; the underlined letter is the caption's first.
    ui.fileMenu = menuBar()->addMenu(QStringLiteral("&Файл"));
    QMenu* create = ui.fileMenu->addMenu(QStringLiteral("Создать лист"));
    ui.musicScanAction = create->addAction(QStringLiteral("с music коллекцией"));
    ui.videoScanAction = create->addAction(QStringLiteral("с video коллекцией"));
    connect(create, &QMenu::aboutToShow, this, [this] {
        m_musicPage->armStop();
        m_videoPage->armStop();
    });
    ui.recentMenu = ui.fileMenu->addMenu(QStringLiteral("Недавние папки"));
    ui.recentMenu->menuAction()->setEnabled(false);
    ui.musicUpdateAction = ui.fileMenu->addAction(QStringLiteral("Обновить коллекцию"));
    ui.videoUpdateAction = ui.fileMenu->addAction(QStringLiteral("Обновить клипы"));
    ui.musicClearAction = ui.fileMenu->addAction(QStringLiteral("Очистить music лист"));
    ui.videoClearAction = ui.fileMenu->addAction(QStringLiteral("Очистить video лист"));
    ui.exportMenu = ui.fileMenu->addMenu(QStringLiteral("Экспорт"));
    ui.sincePublished = new QAction(QStringLiteral("Новое с последней публикации"), this);
    ui.markPublished = new QAction(QStringLiteral("Отметить как опубликованный"), this);
    ui.sincePublished->setCheckable(true);
    ui.markPublished->setCheckable(true);
    ui.musicExportMenu = ui.exportMenu->addMenu(QStringLiteral("music листа"));
    ui.musicSaveAsMenu = addMusicOrVideoExports(ui.musicExportMenu, true, false);
    ui.videoExportMenu = ui.exportMenu->addMenu(QStringLiteral("video листа"));
    ui.videoSaveAsMenu = addMusicOrVideoExports(ui.videoExportMenu, false, false);
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
    ui.albumTotals =
        addToggle(ui.settingsMenu, QStringLiteral("Число треков и время звучания альбома"));
    ui.txtUtf8 = addToggle(ui.settingsMenu, QStringLiteral("Списки TXT в кодировке UTF-8"));
    ui.allVideoFiles = addToggle(ui.settingsMenu, QStringLiteral("Все файлы в списке клипов"));
    ui.bbcodeSpoilers =
        addToggle(ui.settingsMenu, QStringLiteral("Категории для форума под спойлерами"));
    ui.keepLists = addToggle(ui.settingsMenu, QStringLiteral("Помнить списки между запусками"));
    ui.keepLists->setChecked(true);
    ui.desktopFont = addToggle(ui.settingsMenu, QStringLiteral("Шрифт рабочего стола в списках"));
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
    const auto addBaseCommand = [&ui](const QString& caption, const std::function<void()>& run) {
        QAction* action = ui.basesMenu->addAction(caption);
        connect(action, &QAction::triggered, ui.basesMenu, run);
        return action;
    };
    using bases::BaseKind;
    using bases::FillMode;
    ui.fillMissingGenres = addBaseCommand(
        QStringLiteral("Заполнить Жанр из базы (только где он не прописан)"), [this] {
            fillFromBase(BaseKind::GenreBase, FillMode::OnlyMissing,
                         QStringLiteral("Заполнить строчки где не прописан жанр?"));
        });
    ui.fillAllGenres =
        addBaseCommand(QStringLiteral("Заполнить Жанр из базы (даже если он прописан)"), [this] {
            fillFromBase(BaseKind::GenreBase, FillMode::All,
                         QStringLiteral("Заполнить все жанры?"));
        });
    ui.fillMissingCountries = addBaseCommand(
        QStringLiteral("Заполнить Страну из базы (только где она не прописана)"), [this] {
            fillFromBase(BaseKind::CountryBase, FillMode::OnlyMissing,
                         QStringLiteral("Заполнить строчки где не прописана страна?"));
        });
    ui.fillAllCountries = addBaseCommand(
        QStringLiteral("Заполнить Страну из базы (даже если она прописана)"), [this] {
            fillFromBase(BaseKind::CountryBase, FillMode::All,
                         QStringLiteral("Заполнить все страны?"));
        });
    ui.saveGenreBase = addBaseCommand(QStringLiteral("Сохранить в базу Группы\\Жанры"),
                                      [this] { saveBaseFromList(BaseKind::GenreBase); });
    ui.saveCountryBase = addBaseCommand(QStringLiteral("Сохранить в базу Группы\\Страны"),
                                        [this] { saveBaseFromList(BaseKind::CountryBase); });

    buildCollectionMenu();
    ui.helpMenu = menuBar()->addMenu(QStringLiteral("&Справка"));
    ui.manualAction = ui.helpMenu->addAction(QStringLiteral("Руководство"));
    ui.manualAction->setShortcut(QKeySequence(Qt::Key_F1));
    ui.manualAction->setShortcutContext(Qt::ApplicationShortcut);
    ui.aboutAction = ui.helpMenu->addAction(QStringLiteral("О программе"));

    ui.filterAction = new QAction(this);
    ui.filterAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(ui.filterAction);

    setToggles(Toggles{});
    setExportMenuEnabled(false);
}

void MainWindow::connectCommands() {
    const Ui& ui = m_ui;
    connect(ui.albumTotals, &QAction::toggled, m_musicList, &MusicList::setTotalsShown);
    connect(ui.exitAction, &QAction::triggered, this, &QWidget::close);
    connect(ui.settingsAction, &QAction::triggered, this, [this] { execModal(*m_settingsDialog); });
    connect(ui.testersAction, &QAction::triggered, this, [this] { execModal(*m_testersDialog); });
    connect(ui.manualAction, &QAction::triggered, this, &MainWindow::manualClicked);
    connect(ui.aboutAction, &QAction::triggered, this, [this] { showAboutBox(this); });
    connect(ui.filterAction, &QAction::triggered, this, [this] { currentPage().showFilter(); });
    connect(ui.desktopFont, &QAction::toggled, this, [this](bool on) {
        m_musicPage->setDesktopFont(on);
        m_videoPage->setDesktopFont(on);
    });
    connect(ui.desktopFont, &QAction::triggered, this, [this](bool on) {
        try {
            Settings(m_settings).setDesktopFont(on);
        } catch (const ReportedError& error) {
            m_desktop.showError(error.message());
        }
    });

    connect(ui.pages, &QTabWidget::currentChanged, this, [this] { currentPage().shown(); });
    // A list's command in the "Файл" menu brings its page to the front first.
    for (ListPage* page : {m_musicPage, m_videoPage}) {
        const auto onPage = [this, page](void (ListPage::*command)()) {
            return [this, page, command] {
                m_ui.pages->setCurrentWidget(page);
                (page->*command)();
            };
        };
        const bool music = page == m_musicPage;
        connect(music ? ui.musicScanAction : ui.videoScanAction, &QAction::triggered, this,
                onPage(&ListPage::scanClicked));
        connect(music ? ui.musicUpdateAction : ui.videoUpdateAction, &QAction::triggered, this,
                onPage(&ListPage::updateClicked));
        // Rebuilt after the command that chose one of its items is over.
        connect(page, &ListPage::recentRootsChanged, this, &MainWindow::fillRecentMenu,
                Qt::QueuedConnection);
        connect(music ? ui.musicClearAction : ui.videoClearAction, &QAction::triggered, this,
                onPage(&ListPage::clearClicked));
    }
}

void MainWindow::manualClicked() {
    // The English manual for a desktop that is not Russian, when it is there.
    const QString english = m_programFolder.shippedFile(QStringLiteral("manual/en.html"));
    const bool russianDesktop = QLocale::system().language() == QLocale::Russian;
    openWrittenFile(!russianDesktop && QFileInfo::exists(english)
                        ? english
                        : m_programFolder.shippedFile(QStringLiteral("manual/ru.html")));
}

// Each list's recent roots, the music list's first; choosing one scans it on its page as if the
// folder dialog had chosen it.
void MainWindow::fillRecentMenu() {
    QMenu* menu = m_ui.recentMenu;
    menu->clear();
    for (ListPage* page : {m_musicPage, m_videoPage}) {
        if (!menu->isEmpty() && !page->recentRoots().isEmpty())
            menu->addSeparator();
        for (const QString& root : page->recentRoots()) {
            const QString shown =
                QDir::toNativeSeparators(root).replace(u'&', QStringLiteral("&&"));
            QAction* action = menu->addAction(page->kind().name + QStringLiteral(": ") + shown);
            connect(action, &QAction::triggered, this, [this, page, root] {
                m_ui.pages->setCurrentWidget(page);
                if (page->refuseWhileRunning())
                    return;
                if (!QFileInfo(root).isDir()) {
                    setStatusText(QStringLiteral(" Папка \"%1\" не найдена")
                                      .arg(QDir::toNativeSeparators(root)));
                    return;
                }
                page->setRoot(root);
                page->scanRoot();
            });
        }
    }
    menu->menuAction()->setEnabled(!menu->isEmpty());
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
    t.albumTotals = m_ui.albumTotals->isChecked();
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
    m_ui.albumTotals->setChecked(t.albumTotals);
    m_ui.txtUtf8->setChecked(t.txtUtf8);
    m_ui.allVideoFiles->setChecked(t.allVideoFiles);
    m_ui.bbcodeSpoilers->setChecked(t.bbcodeSpoilers);
}

} // namespace korvane
