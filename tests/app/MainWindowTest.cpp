#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/SettingsDialog.h"
#include "app/TestersDialog.h"
#include "catalogue/CatalogueList.h"
#include "export/XlsxWorkbook.h"
#include "music/MusicList.h"
#include "music/MusicRowEditor.h"
#include "video/FfmpegDetector.h"
#include "video/VideoRowEditor.h"
#include "widgets/ListColumns.h"

#include "FakeDesktop.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace korvane;

namespace {

struct Fixture {
    test::TempDir dir;
    test::FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;

    MainWindow& open() {
        window = std::make_unique<MainWindow>(ProgramFolder(dir.path()), desktop);
        window->mainLoad();
        return *window;
    }
};

bool enabled(QMenu* menu) {
    return menu->menuAction()->isEnabled();
}

} // namespace

TEST(MainWindow, FreshStartWithoutSettings) {
    Fixture f;
    MainWindow& w = f.open();
    const auto& ui = w.ui();
    EXPECT_EQ(w.windowTitle(), titleCaption());
    EXPECT_TRUE(titleCaption().startsWith(QStringLiteral("Korvane v.0.984  by Zelmir  (")));
    EXPECT_EQ(ui.pages->currentIndex(), 0);
    EXPECT_EQ(ui.pages->tabText(0), QStringLiteral("music"));
    EXPECT_EQ(ui.pages->tabText(1), QStringLiteral("video"));
    EXPECT_TRUE(ui.musicScanButton->isEnabled());
    EXPECT_FALSE(ui.musicClearButton->isEnabled());
    EXPECT_FALSE(ui.musicExportButton->isEnabled());
    EXPECT_TRUE(ui.videoScanButton->isEnabled());
    EXPECT_FALSE(ui.videoClearButton->isEnabled());
    EXPECT_FALSE(ui.videoExportButton->isEnabled());
    EXPECT_FALSE(enabled(ui.exportMenu));
    EXPECT_FALSE(enabled(ui.musicExportMenu));
    EXPECT_FALSE(enabled(ui.videoExportMenu));
    EXPECT_FALSE(ui.testersAction->isEnabled());
    EXPECT_EQ(w.toggles(), Toggles{}); // all off but the bold group names
    EXPECT_TRUE(w.toggles().albumBoldFont);
    EXPECT_TRUE(w.musicPage().root().isEmpty());
    EXPECT_TRUE(f.desktop.messages.isEmpty());
    EXPECT_FALSE(QFile::exists(f.dir.file("set.ini"))) << "nothing is written before a change";
}

TEST(MainWindow, CaptionsOfButtonsMenusAndColumns) {
    Fixture f;
    const auto& ui = f.open().ui();
    EXPECT_EQ(ui.musicScanButton->text(), QStringLiteral("Создать лист с music коллекцией"));
    EXPECT_GE(ui.musicScanButton->minimumWidth(), 189);
    EXPECT_EQ(ui.musicClearButton->toolTip(), QStringLiteral("Очищает область таблицы"));
    EXPECT_EQ(ui.musicExportButton->toolTip(), QStringLiteral("экспорт списка в разные форматы"));
    EXPECT_EQ(ui.videoScanButton->text(), QStringLiteral("Добавить Клипы"));
    // The captions keep their letters; "&" marks the Alt+letter of each menu.
    QStringList menus;
    QList<QKeySequence> mnemonics;
    for (QAction* action : f.window->menuBar()->actions()) {
        menus << QString(action->text()).remove(u'&');
        mnemonics << QKeySequence::mnemonic(action->text());
    }
    EXPECT_EQ(menus, (QStringList{"Файл", "Настройки", "База данных", "Коллекция", "Справка"}));
    EXPECT_EQ(mnemonics, (QList<QKeySequence>{QKeySequence(Qt::ALT | Qt::Key(u'Ф')),
                                              QKeySequence(Qt::ALT | Qt::Key(u'Н')),
                                              QKeySequence(Qt::ALT | Qt::Key(u'Б')),
                                              QKeySequence(Qt::ALT | Qt::Key(u'К')),
                                              QKeySequence(Qt::ALT | Qt::Key(u'С'))}));
    EXPECT_EQ(ui.exitAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(ui.aboutAction->text(), QStringLiteral("О программе"));
    EXPECT_EQ(ui.settingsAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_EQ(ui.musicEditAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    EXPECT_EQ(ui.musicDeleteAction->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(ui.musicView->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Размер (mb)"));
    EXPECT_EQ(ui.videoView->model()->headerData(5, Qt::Horizontal).toString(),
              QStringLiteral("Кодек"));
    EXPECT_EQ(ui.progressBar->width(), 170);
}

TEST(MainWindow, SaveThenLoadRestoresGeometryTogglesAndFolders) {
    Fixture f;
    {
        MainWindow& w = f.open();
        w.move(40, 50);
        w.resize(700, 500);
        Toggles t;
        t.artistFromID3 = true;
        t.albumBoldFont = false;
        t.showGroupNotAlbum = true;
        // On by default: the menu item starts checked, and its key is written when off.
        EXPECT_TRUE(w.ui().otherFormats->isChecked());
        EXPECT_EQ(w.ui().otherFormats->text(),
                  QStringLiteral("Читать FLAC, APE, WavPack, M4A, Opus"));
        t.otherFormats = false;
        EXPECT_FALSE(w.ui().mp3NamesOnly->isChecked());
        t.mp3NamesOnly = true;
        EXPECT_FALSE(w.ui().txtUtf8->isChecked());
        t.txtUtf8 = true;
        EXPECT_TRUE(w.ui().foldDiscs->isChecked());
        EXPECT_EQ(w.ui().foldDiscs->text(),
                  QStringLiteral("Диски альбома (CD1, CD2...) одной строкой"));
        t.foldDiscs = false;
        w.setToggles(t);
        w.musicPage().setRoot(QStringLiteral("/музыка/"));
        w.videoPage().setRoot(QStringLiteral("/video"));
        w.close();
    }
    const QByteArray ini = f.dir.read("set.ini");
    EXPECT_TRUE(ini.contains("albumboldfont=0\r\n"));
    EXPECT_TRUE(ini.contains("otherFormats=0\r\n"));
    EXPECT_TRUE(ini.contains("mp3NamesOnly=1\r\n"));
    EXPECT_TRUE(ini.contains("txtUtf8=1\r\n"));
    EXPECT_TRUE(ini.contains("foldDiscs=0\r\n"));
    EXPECT_TRUE(ini.contains("Maximized=0\r\n"));
    MainWindow& again = f.open();
    EXPECT_TRUE(again.toggles().artistFromID3);
    EXPECT_FALSE(again.toggles().albumBoldFont);
    EXPECT_TRUE(again.toggles().showGroupNotAlbum);
    EXPECT_FALSE(again.toggles().otherFormats);
    EXPECT_TRUE(again.toggles().mp3NamesOnly);
    EXPECT_TRUE(again.toggles().txtUtf8);
    EXPECT_FALSE(again.toggles().foldDiscs);
    EXPECT_EQ(again.musicPage().root(), QStringLiteral("/музыка/"));
    EXPECT_EQ(again.videoPage().root(), QStringLiteral("/video"));
    EXPECT_EQ(again.size(), QSize(700, 500));
    EXPECT_EQ(again.pos(), QPoint(40, 50));
}

TEST(MainWindow, MissingOutputFolderIsReportedOnceAndReplaced) {
    Fixture f;
    f.dir.write("set.ini", "[options]\r\nsave_dir=/no/such/drive/\r\n");
    f.open();
    ASSERT_EQ(f.desktop.messages.size(), 1);
    EXPECT_EQ(
        f.desktop.messages[0],
        QStringLiteral("Папка для сохранения списокв \"/no/such/drive/\" не найдена, все списки "
                       "будут сохранятся в каталоге программы, изменить это можно в настройках"));
    EXPECT_EQ(f.window->settings().readText(u"save_dir", QString()), f.dir.path() + u'/');
    f.open();
    EXPECT_EQ(f.desktop.messages.size(), 1);
}

// Installed, the program folder is read-only: set.ini lives in the user's config folder and the
// output folder falls back to the user's data folder, which holds the bases and templates.
TEST(MainWindow, InstalledRemembersInTheUsersConfigFolder) {
    test::TempDir user;
    const QString data = user.file(QStringLiteral("data/korvane"));
    const QString config = user.file(QStringLiteral("config/korvane"));
    QDir().mkpath(data);
    user.write(QStringLiteral("config/korvane/set.ini"),
               "[options]\r\nsave_dir=/no/such/drive/\r\n");
    test::FakeDesktop desktop;
    {
        MainWindow w(ProgramFolder(data, config), desktop);
        w.mainLoad();
        EXPECT_EQ(w.settings().readText(u"save_dir", QString()), data + u'/');
        w.musicPage().setRoot(QStringLiteral("/музыка/"));
        w.show();
        EXPECT_TRUE(w.close());
    }
    EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.value(0).toStdString();
    EXPECT_FALSE(QFile::exists(data + QStringLiteral("/set.ini")));
    MainWindow again(ProgramFolder(data, config), desktop);
    again.mainLoad();
    EXPECT_EQ(again.musicPage().root(), QStringLiteral("/музыка/"));
    EXPECT_EQ(desktop.messages.size(), 1) << "the vanished output folder was replaced once";
}

TEST(MainWindow, TestersCommandOnlyForExactlyOne) {
    const std::pair<const char*, bool> cases[] = {
        {"notdead=1", true},    {"notdead=2", false}, {"notdead=\" 1\"", false},
        {"notdead=yes", false}, {"", false},
    };
    for (const auto& [line, expected] : cases) {
        Fixture f;
        f.dir.write("set.ini", std::string("[options]\r\n") + line + "\r\n");
        EXPECT_EQ(f.open().ui().testersAction->isEnabled(), expected) << line;
        EXPECT_EQ(f.window->ui().testersAction->isVisible(), expected) << line;
    }
}

TEST(MainWindow, DialogsNoLongerRevertTogglesButEnableTesters) {
    Fixture f;
    MainWindow& w = f.open();
    w.ui().showVBR->setChecked(true);
    SettingsFile(f.dir.file("set.ini")).writeText(u"notdead", QStringLiteral("1"));
    QDialog dialog;
    QTimer::singleShot(0, &dialog, &QDialog::reject);
    w.execModal(dialog);
    EXPECT_TRUE(w.toggles().showVBR);
    EXPECT_TRUE(w.ui().testersAction->isEnabled());
}

TEST(MainWindow, AltAloneOpensTheFileMenuOnItsRelease) {
    enum Kind { Press, Release };
    struct Key {
        Kind kind;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const struct {
        const char* name;
        std::vector<Key> keys;
        bool opens;
    } cases[] = {
        {"Alt pressed and released", {{Press, Qt::Key_Alt, {}}, {Release, Qt::Key_Alt, {}}}, true},
        {"Alt still held", {{Press, Qt::Key_Alt, {}}}, false},
        {"Shift+Alt",
         {{Press, Qt::Key_Alt, Qt::ShiftModifier}, {Release, Qt::Key_Alt, Qt::ShiftModifier}},
         false},
        {"Alt+F4 for the window manager",
         {{Press, Qt::Key_Alt, {}},
          {Press, Qt::Key_F4, Qt::AltModifier},
          {Release, Qt::Key_F4, Qt::AltModifier},
          {Release, Qt::Key_Alt, {}}},
         false},
        {"Alt+Tab for the window manager",
         {{Press, Qt::Key_Alt, {}},
          {Press, Qt::Key_Tab, Qt::AltModifier},
          {Release, Qt::Key_Tab, Qt::AltModifier},
          {Release, Qt::Key_Alt, {}}},
         false},
        {"Alt again after Alt+F4",
         {{Press, Qt::Key_Alt, {}},
          {Press, Qt::Key_F4, Qt::AltModifier},
          {Release, Qt::Key_Alt, {}},
          {Press, Qt::Key_Alt, {}},
          {Release, Qt::Key_Alt, {}}},
         true},
    };
    for (const auto& c : cases) {
        Fixture f;
        MainWindow& w = f.open();
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        for (const Key& key : c.keys) {
            EXPECT_EQ(w.menuBar()->activeAction(), nullptr)
                << c.name << ": nothing opens before the release";
            if (key.kind == Press)
                QTest::keyPress(&w, key.key, key.modifiers);
            else
                QTest::keyRelease(&w, key.key, key.modifiers);
        }
        EXPECT_EQ(w.menuBar()->activeAction() == w.ui().fileMenu->menuAction(), c.opens) << c.name;
        w.ui().fileMenu->hide();
    }
}

// Alt+letter opens the menu of that letter, and the Alt released after it opens nothing else.
TEST(MainWindow, AltLetterOpensItsOwnMenu) {
    Fixture f;
    MainWindow& w = f.open();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const struct {
        char16_t letter;
        QMenu* menu;
    } cases[] = {
        {u'Ф', w.ui().fileMenu},
        {u'Н', w.ui().settingsMenu},
        {u'Б', w.ui().basesMenu},
        {u'С', w.ui().helpMenu},
    };
    for (const auto& c : cases) {
        const auto letter = static_cast<Qt::Key>(c.letter);
        QTest::keyPress(&w, Qt::Key_Alt);
        // The key as a Russian layout gives it: the Cyrillic letter, its text lower case.
        const QString text = QString(QChar(c.letter)).toLower();
        QTest::sendKeyEvent(QTest::Press, &w, letter, text, Qt::AltModifier);
        QTest::sendKeyEvent(QTest::Release, &w, letter, text, Qt::AltModifier);
        QTest::keyRelease(&w, Qt::Key_Alt);
        EXPECT_EQ(w.menuBar()->activeAction(), c.menu->menuAction())
            << c.menu->title().toStdString();
        EXPECT_TRUE(c.menu->isVisible()) << c.menu->title().toStdString();
        c.menu->hide();
        QTest::keyClick(&w, Qt::Key_Escape);
    }
}

// F1 opens the shipped manual in the desktop's language; a manual that is not there is named.
TEST(MainWindow, F1OpensTheManual) {
    Fixture f;
    f.dir.write(QStringLiteral("manual/ru.html"), "<p>Руководство</p>");
    f.dir.write(QStringLiteral("manual/en.html"), "<p>Manual</p>");
    MainWindow& w = f.open();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.ui().helpMenu->actions().first(), w.ui().manualAction);
    EXPECT_EQ(w.ui().manualAction->text(), QStringLiteral("Руководство"));

    QTest::keyClick(&w, Qt::Key_F1);
    const bool russian = QLocale::system().language() == QLocale::Russian;
    const QString expected =
        f.dir.file(russian ? QStringLiteral("manual/ru.html") : QStringLiteral("manual/en.html"));
    EXPECT_EQ(f.desktop.opened, QStringList{expected});

    QFile::remove(f.dir.file(QStringLiteral("manual/ru.html")));
    QFile::remove(f.dir.file(QStringLiteral("manual/en.html")));
    f.desktop.shellOpens = false;
    QTest::keyClick(&w, Qt::Key_F1);
    EXPECT_EQ(f.desktop.messages,
              QStringList{QStringLiteral("Файл \"%1\" не найден.")
                              .arg(f.dir.file(QStringLiteral("manual/ru.html")))});
}

// The manual beside the executables, in both languages, with every file it refers to.
TEST(MainWindow, ShippedManualHasItsPictures) {
    const QDir manual(QCoreApplication::applicationDirPath() + QStringLiteral("/manual"));
    for (const QString& name : {QStringLiteral("ru.html"), QStringLiteral("en.html")}) {
        QFile page(manual.filePath(name));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << name.toStdString();
        const QString text = QString::fromUtf8(page.readAll());
        // Pictures, the style sheet and the other language's page.
        static const QRegularExpression source(QStringLiteral(R"re((?:src|href)="([^"]+)")re"));
        int pictures = 0;
        for (const QRegularExpressionMatch& match : source.globalMatch(text)) {
            EXPECT_TRUE(QFileInfo::exists(manual.filePath(match.captured(1))))
                << name.toStdString() << ": " << match.captured(1).toStdString();
            ++pictures;
        }
        EXPECT_GT(pictures, 0) << name.toStdString();
    }
}

TEST(MainWindow, CtrlQCloses) {
    Fixture f;
    MainWindow& w = f.open();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(QFile::exists(f.dir.file("set.ini"))) << "closing saved the settings";
}

TEST(MainWindow, AboutBoxNamesTheVersionTheLibrariesAndTheLicense) {
    const QString text = aboutText();
    for (const QString& part :
         {QStringLiteral("Korvane 0.984"), QStringLiteral("Qt ") + QString::fromLatin1(qVersion()),
          QStringLiteral("FFmpeg ") + QString::fromStdString(video::ffmpegVersion()),
          QStringLiteral("libxlsxwriter ") + exporter::xlsxwriterVersion(),
          QStringLiteral("Лицензия: ")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();
    EXPECT_FALSE(video::ffmpegVersion().empty());
    EXPECT_TRUE(exporter::xlsxwriterVersion().startsWith(QStringLiteral("1.")));

    Fixture f;
    MainWindow& w = f.open();
    QString shown;
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            title = box->windowTitle();
            box->accept();
        }
    });
    w.ui().aboutAction->trigger();
    EXPECT_EQ(title, QStringLiteral("О программе"));
    EXPECT_EQ(shown, text);
}

TEST(MainWindow, ExportMenuOpensAtThePointerOrUnderTheButtonFromTheKeyboard) {
    Fixture f;
    MainWindow& w = f.open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QPushButton* button = w.ui().musicExportButton;
    const QPoint under = button->mapToGlobal(QPoint(0, button->height()));
    const QPoint onButton = button->mapToGlobal(button->rect().center());
    QCursor::setPos(onButton);
    if (QCursor::pos() != onButton)
        GTEST_SKIP() << "this platform does not move the pointer";
    EXPECT_EQ(exportPopupPosition(button), onButton) << "a click: at the pointer";
    const QPoint away = w.mapToGlobal(QPoint(w.width() / 2, 5));
    QCursor::setPos(away);
    EXPECT_EQ(exportPopupPosition(button), under) << "the keyboard: under the button";

    w.musicList().appendRow({QStringLiteral("G  \\  A"), {"1", "-", "-", "-"}});
    w.musicPage().setListCommandsEnabled(true);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    ASSERT_TRUE(w.ui().musicExportPopup->isVisible());
    EXPECT_EQ(w.ui().musicExportPopup->pos().x(), under.x());
    w.ui().musicExportPopup->hide();
}
TEST(MainWindow, EachListIsClearedFromTheFileMenuAsByItsButton) {
    for (const bool music : {true, false}) {
        Fixture f;
        MainWindow& w = f.open();
        const MainWindow::Ui& ui = w.ui();
        ListPage& page = music ? w.musicPage() : w.videoPage();
        QAction* clear = music ? ui.musicClearAction : ui.videoClearAction;
        EXPECT_EQ(clear->text(), page.clearButton()->text()) << music;
        EXPECT_TRUE(ui.fileMenu->actions().contains(clear));
        EXPECT_FALSE(clear->isEnabled()) << "nothing to clear";
        page.list().appendRow({QStringLiteral("G  \\  A"), QStringList(music ? 4 : 5, "1")});
        page.listFilled();
        EXPECT_TRUE(clear->isEnabled());
        ui.pages->setCurrentIndex(music ? 1 : 0);
        clear->trigger();
        EXPECT_EQ(ui.pages->currentWidget(), &page) << "its page comes to the front";
        EXPECT_TRUE(page.list().isEmpty());
        EXPECT_EQ(w.windowTitle(), titleCaption());
        EXPECT_FALSE(clear->isEnabled());
        EXPECT_FALSE(page.clearButton()->isEnabled());
    }
}

TEST(MainWindow, TabWalksFromEachListToItsButtons) {
    for (const bool music : {true, false}) {
        Fixture f;
        MainWindow& w = f.open();
        ListPage& page = music ? w.musicPage() : w.videoPage();
        page.list().appendRow({QStringLiteral("G  \\  A"), QStringList(music ? 4 : 5, "1")});
        page.listFilled();
        w.ui().pages->setCurrentWidget(&page);
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        page.view()->setFocus();
        ASSERT_TRUE(page.view()->hasFocus());
        QList<QWidget*> walked;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget();
        }
        EXPECT_EQ(walked,
                  (QList<QWidget*>{page.scanButton(), page.clearButton(), page.exportButton()}))
            << music;
    }
}

TEST(MainWindow, EachRowEditorOpensInItsFirstField) {
    for (const bool music : {true, false}) {
        Fixture f;
        MainWindow& w = f.open();
        ListPage& page = music ? w.musicPage() : w.videoPage();
        RowEditor* editor = music ? static_cast<RowEditor*>(w.findChild<MusicRowEditor*>())
                                  : w.findChild<VideoRowEditor*>();
        ASSERT_NE(editor, nullptr);
        page.list().appendRow({QStringLiteral("G  \\  A"), QStringList(music ? 4 : 5, "1")});
        page.selectRow(0);
        QWidget* focused = nullptr;
        QTimer::singleShot(0, editor, [&] {
            focused = editor->focusWidget();
            // Return with nothing changed saves nothing: "Сохранить" waits for a change.
            if (focused != nullptr)
                QTest::keyClick(focused, Qt::Key_Return);
            editor->reject();
        });
        page.editAction()->trigger();
        EXPECT_EQ(focused, static_cast<QWidget*>(editor->field(0))) << music;
        EXPECT_FALSE(editor->saved());
    }
}

TEST(MainWindow, ListsTakeTheDesktopsFontWhenAskedAndFollowItsChanges) {
    const QFont desktopFont = QApplication::font();
    Fixture f;
    MainWindow& w = f.open();
    QAction* toggle = w.ui().desktopFont;
    EXPECT_EQ(toggle->text(), QStringLiteral("Шрифт рабочего стола в списках"));
    EXPECT_FALSE(toggle->isChecked()) << "the window's 8 pt look by default";
    const auto fonts = [&w] {
        return QList<QFont>{w.ui().musicView->font(), w.ui().videoView->font()};
    };
    EXPECT_EQ(fonts(), (QList<QFont>{w.font(), w.font()}));
    EXPECT_EQ(w.ui().musicView->font().pointSize(), 8);

    toggle->trigger();
    QFont large = desktopFont;
    large.setPointSize(14);
    QApplication::setFont(large);
    EXPECT_EQ(fonts(), (QList<QFont>{large, large}));
    EXPECT_EQ(w.ui().musicView->verticalHeader()->defaultSectionSize(),
              QFontMetrics(large).height() + 4);
    EXPECT_EQ(w.ui().statusText->font(), w.font()) << "only the lists take it";
    for (const QTableView* view : {w.ui().musicView, w.ui().videoView}) {
        const QHeaderView* header = view->horizontalHeader();
        for (int column = 0; column < header->count(); ++column)
            EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column))
                << "a caption cut by the larger font: " << column;
    }
    EXPECT_EQ(w.ui().musicColumns->userWidths(), QList<int>(5, 0))
        << "widths the font asked for are not the user's own";

    // Kept in set.ini: the next window starts with it.
    w.close();
    MainWindow& again = f.open();
    EXPECT_TRUE(again.ui().desktopFont->isChecked());
    EXPECT_EQ(again.ui().videoView->font(), large);
    again.ui().desktopFont->trigger();
    EXPECT_EQ(again.ui().musicView->font(), again.font());
    EXPECT_EQ(again.ui().musicView->verticalHeader()->defaultSectionSize(),
              again.ui().musicView->fontMetrics().height() + 4);
    QApplication::setFont(desktopFont);
}

TEST(MainWindow, DoubleClickOnStatusOpensTheCreatedFile) {
    Fixture f;
    MainWindow& w = f.open();
    QTest::mouseDClick(w.ui().statusText, Qt::LeftButton);
    EXPECT_TRUE(f.desktop.opened.isEmpty());
    const QString path = f.dir.write("mp3list.txt", "x");
    w.lastWrittenFile = {true, path};
    QTest::mouseDClick(w.ui().statusText, Qt::LeftButton);
    EXPECT_EQ(f.desktop.opened, QStringList{path});
    EXPECT_TRUE(f.desktop.folderMessages.isEmpty());
    EXPECT_TRUE(f.desktop.messages.isEmpty());
}

TEST(MainWindow, DoubleClickWhenNoApplicationTakesTheFileShowsWhereItIs) {
    Fixture f;
    MainWindow& w = f.open();
    f.desktop.shellOpens = false;
    const QString path = f.dir.write("mp3list.htm", "x");
    w.lastWrittenFile = {true, path};
    QTest::mouseDClick(w.ui().statusText, Qt::LeftButton);
    EXPECT_EQ(f.desktop.folderMessages, QStringList{fileNotOpenedMessage(path) + u'|' + path});
    EXPECT_TRUE(fileNotOpenedMessage(path).contains(u'"' + path + u'"'));

    QFile::remove(path);
    QTest::mouseDClick(w.ui().statusText, Qt::LeftButton);
    EXPECT_EQ(f.desktop.messages,
              QStringList{QStringLiteral("Файл \"") + path + QStringLiteral("\" не найден.")});
    EXPECT_EQ(f.desktop.folderMessages.size(), 1);
}

namespace {

// The columns of a shown list: each at least its design width and its heading's width, the
// first one taking the width the others leave, all of them inside the view.
void expectColumnsFit(const QTableView* view, const std::vector<int>& designWidths,
                      const char* name) {
    const QHeaderView* header = view->horizontalHeader();
    int others = 0;
    for (int c = 0; c < static_cast<int>(designWidths.size()); ++c) {
        EXPECT_GE(view->columnWidth(c), designWidths[static_cast<size_t>(c)]) << name << c;
        EXPECT_GE(view->columnWidth(c), header->sectionSizeHint(c)) << name << c;
        if (c > 0)
            others += view->columnWidth(c);
    }
    const int last = static_cast<int>(designWidths.size()) - 1;
    EXPECT_LE(view->columnViewportPosition(last) + view->columnWidth(last),
              view->viewport()->width())
        << name << ": every column on screen";
    EXPECT_EQ(view->columnWidth(0), view->viewport()->width() - others)
        << name << ": the first column takes the spare width";
}

} // namespace

TEST(MainWindow, ListColumnsFitTheirHeadingsAndTheFirstTakesTheSpareWidth) {
    Fixture f;
    MainWindow& w = f.open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const std::vector<int> music{360, 0, 60, 140, 100};
    const std::vector<int> video{300, 40, 70, 0, 40, 100};
    expectColumnsFit(w.ui().musicView, music, "music at the default size");
    w.ui().pages->setCurrentIndex(1);
    expectColumnsFit(w.ui().videoView, video, "video at the default size");
    w.ui().pages->setCurrentIndex(0);

    const int folder = w.ui().musicView->columnWidth(0);
    const int country = w.ui().musicView->columnWidth(4);
    w.resize(w.width() + 200, w.height());
    QCoreApplication::processEvents();
    EXPECT_EQ(w.ui().musicView->columnWidth(0), folder + 200);
    EXPECT_EQ(w.ui().musicView->columnWidth(4), country);
    expectColumnsFit(w.ui().musicView, music, "music, wider");

    w.musicList().appendRow(
        {QStringLiteral("G  \\  A"),
         {"1", "-", "-", QStringLiteral("Великобритания и Северная Ирландия")}});
    w.ui().musicColumns->fitToValues();
    const QAbstractItemView* view = w.ui().musicView;
    EXPECT_GE(w.ui().musicView->columnWidth(4), view->sizeHintForColumn(4))
        << "values show whole after a scan";
}

TEST(MainWindow, ColumnWidthsTheUserSetAreRemembered) {
    Fixture f;
    {
        MainWindow& w = f.open();
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.ui().musicView->horizontalHeader()->resizeSection(2, 111);
        w.ui().videoView->horizontalHeader()->resizeSection(5, 222);
        w.close();
    }
    const QByteArray ini = f.dir.read("set.ini");
    EXPECT_TRUE(ini.contains("musicColumnWidths=0,0,111,0,0\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("videoColumnWidths=0,0,0,0,0,222\r\n")) << ini.toStdString();
    MainWindow& again = f.open();
    EXPECT_EQ(again.ui().musicView->columnWidth(2), 111);
    EXPECT_EQ(again.ui().videoView->columnWidth(5), 222);
    EXPECT_EQ(again.ui().musicColumns->userWidths(), (QList<int>{0, 0, 111, 0, 0}));

    // A codec column stored narrower than its heading shows its heading after a restart.
    f.dir.write("set.ini", "[options]\r\nvideoColumnWidths=0,0,0,0,0,10\r\n");
    {
        MainWindow& narrow = f.open();
        const QTableView* view = narrow.ui().videoView;
        EXPECT_GE(view->columnWidth(5), view->horizontalHeader()->sectionSizeHint(5));
        EXPECT_GT(view->columnWidth(5), 10);
    }

    for (const char* stored : {"1,2,3", "0,0,-5,0,0", "x,y"}) {
        f.dir.write("set.ini", std::string("[options]\r\nmusicColumnWidths=") + stored + "\r\n");
        EXPECT_EQ(f.open().ui().musicColumns->userWidths(), (QList<int>{0, 0, 0, 0, 0})) << stored;
    }
}

// A set.ini that cannot be read (a FIFO) is named once at start; the window runs with the
// defaults and leaves the file alone when it closes, without a second message.
TEST(MainWindow, UnreadableSettingsFileIsReportedOnceAndLeftAlone) {
    Fixture f;
    const QByteArray ini = QFile::encodeName(f.dir.file("set.ini"));
    ASSERT_EQ(::mkfifo(ini.constData(), 0600), 0);
    MainWindow& w = f.open();
    ASSERT_EQ(f.desktop.messages.size(), 1);
    EXPECT_TRUE(f.desktop.messages[0].startsWith(QStringLiteral("Файл настроек \"") +
                                                 f.dir.file("set.ini")))
        << f.desktop.messages[0].toStdString();
    EXPECT_TRUE(f.desktop.messages[0].contains(QStringLiteral("Not a regular file")));
    w.show();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(f.desktop.messages.size(), 1);
    EXPECT_EQ(f.desktop.errors, QStringList());
    struct stat after {};
    ASSERT_EQ(::lstat(ini.constData(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode)) << "set.ini is still the FIFO";
}

TEST(MainWindow, RefusedSaveOnCloseIsReportedAndTheWindowCloses) {
    Fixture f;
    MainWindow& w = f.open();
    QDir(f.dir.path()).mkdir(QStringLiteral("set.ini")); // a folder where the file should be
    w.show();
    EXPECT_TRUE(w.close());
    ASSERT_EQ(f.desktop.errors.size(), 1);
    EXPECT_EQ(f.desktop.errors[0],
              QStringLiteral("Не удалось записать файл \"%1/set.ini\".\nПод этим именем уже есть "
                             "папка или устройство. Выберите другое имя.")
                  .arg(f.dir.path()));
}
