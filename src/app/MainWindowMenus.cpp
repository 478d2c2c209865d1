// The window's menus: made once, each action kept in a field and connected there.
#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/SettingsDialog.h"
#include "app/TestersDialog.h"
#include "desktop/Desktop.h"
#include "export/ExportFormats.h"
#include "music/MusicList.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
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
        QAction* action = menu->addAction(
            exporter::shownText(buttonCaptions ? row.buttonCaption : row.menuCaption));
        QObject::connect(action, &QAction::triggered, menu, [run, &row] { run(row); });
    }
}

// An export menu: the formats, "Копировать для форума" closing the forum's section, then a line
// before the publishing choices.
QMenu* addExportItems(QMenu* menu, bool buttonCaptions,
                      const std::function<void(const exporter::ExportFormatRow&)>& run,
                      const std::function<void()>& copyPost) {
    addFormatItems(menu, buttonCaptions, run);
    QObject::connect(menu->addAction(QCoreApplication::translate("korvane::MainWindow",
                                                                 "Копировать для форума")),
                     &QAction::triggered, menu, copyPost);
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
    QMenu* saveAs = menu->addMenu(tr("Сохранить как..."));
    addFormatItems(saveAs, false, [this, music](const exporter::ExportFormatRow& format) {
        saveListAs(format, music);
    });
    return saveAs;
}

void MainWindow::buildMenus() {
    Ui& ui = m_ui;
    // Alt+letter opens each menu; the underlined letter is the caption's first.
    ui.fileMenu = menuBar()->addMenu(tr("&Файл"));
    QMenu* create = ui.fileMenu->addMenu(tr("Создать лист"));
    ui.musicScanAction = create->addAction(tr("с music коллекцией"));
    ui.videoScanAction = create->addAction(tr("с video коллекцией"));
    connect(create, &QMenu::aboutToShow, this, [this] {
        m_musicPage->armStop();
        m_videoPage->armStop();
    });
    ui.recentMenu = ui.fileMenu->addMenu(tr("Недавние папки"));
    ui.recentMenu->menuAction()->setEnabled(false);
    ui.musicUpdateAction = ui.fileMenu->addAction(tr("Обновить коллекцию"));
    ui.videoUpdateAction = ui.fileMenu->addAction(tr("Обновить клипы"));
    ui.musicClearAction = ui.fileMenu->addAction(tr("Очистить music лист"));
    ui.videoClearAction = ui.fileMenu->addAction(tr("Очистить video лист"));
    ui.exportMenu = ui.fileMenu->addMenu(tr("Экспорт"));
    ui.sincePublished = new QAction(tr("Новое с последней публикации"), this);
    ui.markPublished = new QAction(tr("Отметить как опубликованный"), this);
    ui.sincePublished->setCheckable(true);
    ui.markPublished->setCheckable(true);
    ui.musicExportMenu = ui.exportMenu->addMenu(tr("music листа"));
    ui.musicSaveAsMenu = addMusicOrVideoExports(ui.musicExportMenu, true, false);
    ui.videoExportMenu = ui.exportMenu->addMenu(tr("video листа"));
    ui.videoSaveAsMenu = addMusicOrVideoExports(ui.videoExportMenu, false, false);
    ui.fileMenu->addSeparator();
    ui.exitAction = ui.fileMenu->addAction(tr("Выход"));
    ui.exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui.exitAction->setShortcutContext(Qt::ApplicationShortcut);

    ui.settingsMenu = menuBar()->addMenu(tr("&Настройки"));
    ui.artistFromID3 = addToggle(ui.settingsMenu, tr("Брать Артист / Альбом из тегов"));
    ui.yearInColumn = addToggle(ui.settingsMenu, tr("Брать ГОД из тегов"));
    ui.albumUppercase = addToggle(ui.settingsMenu, tr("Названия групп БОЛЬШИМИ буквами"));
    ui.albumBoldFont =
        addToggle(ui.settingsMenu, tr("Названия групп ЖИРНЫМ шрифтом (только для html и Excel)"));
    ui.musicInCat =
        addToggle(ui.settingsMenu, tr("Музыка разделена на категории (панк, ска, рок, попс...)"));
    ui.showVBR = addToggle(ui.settingsMenu, tr("Помечать VBR битрейт"));
    ui.showGroupNotAlbum = addToggle(ui.settingsMenu, tr("Показывать группы без альбомов"));
    ui.otherFormats = addToggle(ui.settingsMenu, tr("Читать FLAC, APE, WavPack, M4A, Opus"));
    ui.mp3NamesOnly =
        addToggle(ui.settingsMenu, tr("Артист / Альбом и страну брать из тегов только mp3"));
    ui.foldDiscs = addToggle(ui.settingsMenu, tr("Диски альбома (CD1, CD2...) одной строкой"));
    ui.albumTotals = addToggle(ui.settingsMenu, tr("Число треков и время звучания альбома"));
    ui.txtUtf8 = addToggle(ui.settingsMenu, tr("Списки TXT в кодировке UTF-8"));
    ui.allVideoFiles = addToggle(ui.settingsMenu, tr("Все файлы в списке клипов"));
    ui.bbcodeSpoilers = addToggle(ui.settingsMenu, tr("Категории для форума под спойлерами"));
    ui.keepLists = addToggle(ui.settingsMenu, tr("Помнить списки между запусками"));
    ui.keepLists->setChecked(true);
    ui.desktopFont = addToggle(ui.settingsMenu, tr("Шрифт рабочего стола в списках"));
    buildLanguageMenu();
    ui.settingsMenu->addSeparator();
    ui.settingsAction = ui.settingsMenu->addAction(tr("Настройки"));
    ui.settingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    ui.settingsAction->setShortcutContext(Qt::ApplicationShortcut);
    // The testers command sits under the settings it belongs to, shown only once testers mode
    // has enabled it.
    ui.testersAction = ui.settingsMenu->addAction(tr("Для тестеров"));
    ui.testersAction->setEnabled(false);
    ui.testersAction->setVisible(false);

    ui.basesMenu = menuBar()->addMenu(tr("&База данных"));
    const auto addBaseCommand = [&ui](const QString& caption, const std::function<void()>& run) {
        QAction* action = ui.basesMenu->addAction(caption);
        connect(action, &QAction::triggered, ui.basesMenu, run);
        return action;
    };
    using bases::BaseKind;
    using bases::FillMode;
    ui.fillMissingGenres =
        addBaseCommand(tr("Заполнить Жанр из базы (только где он не прописан)"), [this] {
            fillFromBase(BaseKind::GenreBase, FillMode::OnlyMissing,
                         tr("Заполнить строчки где не прописан жанр?"));
        });
    ui.fillAllGenres = addBaseCommand(tr("Заполнить Жанр из базы (даже если он прописан)"), [this] {
        fillFromBase(BaseKind::GenreBase, FillMode::All, tr("Заполнить все жанры?"));
    });
    ui.fillMissingCountries =
        addBaseCommand(tr("Заполнить Страну из базы (только где она не прописана)"), [this] {
            fillFromBase(BaseKind::CountryBase, FillMode::OnlyMissing,
                         tr("Заполнить строчки где не прописана страна?"));
        });
    ui.fillAllCountries =
        addBaseCommand(tr("Заполнить Страну из базы (даже если она прописана)"), [this] {
            fillFromBase(BaseKind::CountryBase, FillMode::All, tr("Заполнить все страны?"));
        });
    ui.saveGenreBase = addBaseCommand(tr("Сохранить в базу Группы\\Жанры"),
                                      [this] { saveBaseFromList(BaseKind::GenreBase); });
    ui.saveCountryBase = addBaseCommand(tr("Сохранить в базу Группы\\Страны"),
                                        [this] { saveBaseFromList(BaseKind::CountryBase); });

    buildCollectionMenu();
    ui.helpMenu = menuBar()->addMenu(tr("&Справка"));
    ui.manualAction = ui.helpMenu->addAction(tr("Руководство"));
    ui.manualAction->setShortcut(QKeySequence(Qt::Key_F1));
    ui.manualAction->setShortcutContext(Qt::ApplicationShortcut);
    ui.aboutAction = ui.helpMenu->addAction(tr("О программе"));

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
            m_desktop.showError(error.userMessage());
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

// The language is read once at start, before any text is made: a choice here says so and waits.
void MainWindow::buildLanguageMenu() {
    Ui& ui = m_ui;
    ui.languageMenu = ui.settingsMenu->addMenu(tr("Язык интерфейса"));
    auto* group = new QActionGroup(ui.languageMenu);
    const auto addLanguage = [&](const QString& caption, Settings::Language language) {
        QAction* action = ui.languageMenu->addAction(caption);
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, language] {
            try {
                Settings(m_settings).setLanguage(language);
                setStatusText(tr(" Язык интерфейса сменится при следующем запуске"));
            } catch (const ReportedError& error) {
                m_desktop.showError(error.userMessage());
            }
        });
        return action;
    };
    ui.languageAutomatic = addLanguage(tr("Автоматически"), Settings::Language::Automatic);
    // Each language by its own name, so that a user who cannot read the other finds it.
    ui.languageRussian = addLanguage(tr("Русский"), Settings::Language::Russian);
    ui.languageEnglish = addLanguage(QStringLiteral("English"), Settings::Language::English);
    ui.languageMenu->addSeparator();
    ui.languageMenu->addAction(tr("Применяется при следующем запуске"))->setEnabled(false);
}

InterfaceLanguage MainWindow::interfaceLanguage() {
    return chooseInterfaceLanguage(Settings(m_settings).language(),
                                   QLocale::system().uiLanguages());
}

void MainWindow::manualClicked() {
    // The English manual for a desktop that is not Russian, when it is there.
    const QString english = programFolder().shippedFile(QStringLiteral("manual/en.html"));
    const bool russian = interfaceLanguage() == InterfaceLanguage::Russian;
    openWrittenFile(!russian && QFileInfo::exists(english)
                        ? english
                        : programFolder().shippedFile(QStringLiteral("manual/ru.html")));
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
                    setStatusText(
                        tr(" Папка \"%1\" не найдена").arg(QDir::toNativeSeparators(root)));
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
