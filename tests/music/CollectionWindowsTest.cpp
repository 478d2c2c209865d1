#include "app/MainWindow.h"

#include "music/CollectionStats.h"
#include "music/DuplicatesWindow.h"
#include "music/MusicList.h"
#include "music/StatsWindow.h"

#include "FakeDesktop.h"
#include "MusicTree.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace korvane;

namespace {

const QString kSep = kDefaultGroupAlbumSeparator;

void fill(MusicList& list) {
    list.appendRow({"Кино" + kSep + "1988 - Группа крови", {"100", "320", "Рок", "СССР"}});
    list.appendRow({"Ramones" + kSep + "Ramones", {"50", "VBR 190", "Punk", "США"}});
    list.appendRow({"КИНО" + kSep + "Группа крови", {"300", "flac 900", "Рок", "СССР"}});
}

} // namespace

TEST(DuplicatesWindow, ListsTheGroupsAndReportsTheChosenRow) {
    MusicList list;
    fill(list);
    DuplicatesWindow window(list, kSep);
    window.show();
    QTreeWidget* tree = window.tree();
    // The search runs on another thread.
    QTRY_COMPARE_WITH_TIMEOUT(tree->topLevelItemCount(), 1, 5000);
    QTreeWidgetItem* group = tree->topLevelItem(0);
    EXPECT_EQ(group->text(0), "Кино" + kSep + "Группа крови (2)");
    ASSERT_EQ(group->childCount(), 2);
    EXPECT_EQ(group->child(1)->text(0), "КИНО" + kSep + "Группа крови");
    EXPECT_EQ(group->child(1)->text(2), QStringLiteral("flac 900"));
    EXPECT_EQ(window.summary()->text(),
              QStringLiteral("Групп: 1, строк в них: 2. Файлы коллекции не удаляются и не "
                             "перемещаются."));

    QSignalSpy chosen(&window, &DuplicatesWindow::rowActivated);
    emit tree->itemDoubleClicked(group->child(1), 0);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 2);
    emit tree->itemDoubleClicked(group, 0);
    EXPECT_EQ(chosen.count(), 1) << "a group's line is no row";

    // A row that changed since is not chosen; the groups are found again.
    list.setCaption(2, QStringLiteral("Other") + kSep + QStringLiteral("Album"));
    emit tree->itemDoubleClicked(tree->topLevelItem(0)->child(1), 0);
    EXPECT_EQ(chosen.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(tree->topLevelItemCount(), 0, 5000);
    EXPECT_EQ(window.summary()->text(), QStringLiteral("Дубликатов не найдено."));

    // Rows added later show once the burst of changes is over.
    list.appendRow({"Ramones" + kSep + "1976 - Ramones", {"60", "192", "Punk", "США"}});
    QTRY_COMPARE_WITH_TIMEOUT(tree->topLevelItemCount(), 1, 5000);
}

TEST(StatsWindow, TablesSummaryAndTheBbcodeCopy) {
    MusicList list;
    fill(list);
    StatsWindow window(list, kSep);
    window.show();
    // The count runs on another thread.
    QTRY_COMPARE_WITH_TIMEOUT(window.summary()->text(),
                              QStringLiteral("Альбомов: 3, групп: 2, объём: 0,4 ГБ"), 5000);
    QTabWidget* tables = window.tables();
    ASSERT_EQ(tables->count(), 5);
    QStringList titles;
    for (int i = 0; i < tables->count(); ++i)
        titles << tables->tabText(i);
    EXPECT_EQ(titles, (QStringList{"Форматы", "Битрейт", "Жанры", "Десятилетия", "Страны"}));
    const auto* formats = tables->widget(0)->findChild<QTableWidget*>();
    ASSERT_NE(formats, nullptr);
    EXPECT_NE(tables->widget(0)->findChild<QChartView*>(), nullptr);
    ASSERT_EQ(formats->rowCount(), 2);
    EXPECT_EQ(formats->item(0, 0)->text(), QStringLiteral("mp3"));
    EXPECT_EQ(formats->item(0, 1)->text(), QStringLiteral("2"));
    EXPECT_EQ(formats->item(0, 2)->text(), QStringLiteral("66,7"));

    window.copyButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              statsBbcode(collectionStats(list.rows(), kSep)));
}

TEST(MainWindowCollection, TheMenuOpensBothWindowsAndADoubleClickSelectsTheRow) {
    test::TempDir programDir;
    test::FakeDesktop desktop;
    MainWindow window(ProgramFolder(programDir.path()), desktop);
    window.mainLoad();
    fill(window.musicList());
    const MainWindow::Ui& ui = window.ui();
    EXPECT_EQ(ui.statsAction->text(), QStringLiteral("Статистика"));
    EXPECT_EQ(ui.duplicatesAction->text(), QStringLiteral("Найти дубликаты"));

    ui.statsAction->trigger();
    auto* stats = window.findChild<StatsWindow*>();
    ASSERT_NE(stats, nullptr);
    EXPECT_TRUE(stats->isVisible());

    ui.pages->setCurrentIndex(1);
    ui.duplicatesAction->trigger();
    auto* duplicates = window.findChild<DuplicatesWindow*>();
    ASSERT_NE(duplicates, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(duplicates->tree()->topLevelItemCount(), 1, 5000);
    emit duplicates->tree()->itemDoubleClicked(duplicates->tree()->topLevelItem(0)->child(1), 0);
    EXPECT_EQ(ui.pages->currentIndex(), 0);
    EXPECT_EQ(ui.musicView->currentIndex().row(), 2);
    EXPECT_EQ(window.musicList().count(), 3) << "nothing is removed";
}
