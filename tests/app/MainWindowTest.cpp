#include "app/MainWindow.h"

#include "app/SettingsDialog.h"
#include "app/TestersDialog.h"

#include "FakeDesktop.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

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
    EXPECT_TRUE(w.musicRoot.isEmpty());
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
    QStringList menus;
    for (QAction* action : f.window->menuBar()->actions())
        menus << action->text();
    EXPECT_EQ(menus, (QStringList{"Файл", "Настройки", "База данных"}));
    EXPECT_EQ(ui.settingsAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_EQ(ui.musicEditAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    EXPECT_EQ(ui.musicDeleteAction->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(ui.musicView->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Размер (mb)"));
    EXPECT_EQ(ui.musicView->columnWidth(0), 360);
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
        w.setToggles(t);
        w.musicRoot = QStringLiteral("/музыка/");
        w.videoFolder = QStringLiteral("/video");
        w.close();
    }
    const QByteArray ini = f.dir.read("set.ini");
    EXPECT_TRUE(ini.contains("albumboldfont=0\r\n"));
    EXPECT_TRUE(ini.contains("otherFormats=0\r\n"));
    EXPECT_TRUE(ini.contains("Maximized=0\r\n"));
    MainWindow& again = f.open();
    EXPECT_TRUE(again.toggles().artistFromID3);
    EXPECT_FALSE(again.toggles().albumBoldFont);
    EXPECT_TRUE(again.toggles().showGroupNotAlbum);
    EXPECT_FALSE(again.toggles().otherFormats);
    EXPECT_EQ(again.musicRoot, QStringLiteral("/музыка/"));
    EXPECT_EQ(again.videoFolder, QStringLiteral("/video"));
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

TEST(MainWindow, AltOpensTheFileMenuButShiftAltDoesNot) {
    Fixture f;
    MainWindow& w = f.open();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyPress(&w, Qt::Key_Alt, Qt::ShiftModifier);
    EXPECT_EQ(w.menuBar()->activeAction(), nullptr);
    QTest::keyPress(&w, Qt::Key_Alt);
    EXPECT_EQ(w.menuBar()->activeAction(), w.ui().fileMenu->menuAction());
}

TEST(MainWindow, DoubleClickOnStatusOpensTheCreatedFile) {
    Fixture f;
    MainWindow& w = f.open();
    QTest::mouseDClick(w.ui().statusText, Qt::LeftButton);
    EXPECT_TRUE(f.desktop.opened.isEmpty());
    w.lastWrittenFile = {true, QStringLiteral("/tmp/mp3list.txt")};
    QTest::mouseDClick(w.ui().statusText, Qt::LeftButton);
    EXPECT_EQ(f.desktop.opened, QStringList{QStringLiteral("/tmp/mp3list.txt")});
}

TEST(MainWindow, RefusedSaveOnCloseIsReportedAndTheWindowCloses) {
    Fixture f;
    MainWindow& w = f.open();
    QDir(f.dir.path()).mkdir(QStringLiteral("set.ini")); // a folder where the file should be
    w.show();
    EXPECT_TRUE(w.close());
    ASSERT_EQ(f.desktop.errors.size(), 1);
    EXPECT_TRUE(f.desktop.errors[0].startsWith(QStringLiteral("Unable to write to ")));
}
