#include "app/MainWindow.h"

#include "cli/Cli.h"

#include "music/MusicList.h"
#include "music/MusicRowEditor.h"
#include "video/VideoList.h"

#include "../tags/TagBytes.h"
#include "FakeDesktop.h"
#include "JobWait.h"
#include "MusicTree.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using namespace korvane;
using test::kMiB;

namespace {

const QString kSep = kDefaultGroupAlbumSeparator;
const QString kCreate = QStringLiteral("Создать лист с music коллекцией");
const QString kFinished =
    QStringLiteral(" Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)");
const QString kQuestion =
    QStringLiteral("Внимание!|Включена опция \"Музыка разделена на категории\", при сортировке "
                   "все категории смешаются, отсорировать?\"");

QString count(int n) {
    return QStringLiteral("В music коллекции: %1 позиций").arg(n);
}

bool enabled(QMenu* menu) {
    return menu->menuAction()->isEnabled();
}

struct Fixture {
    test::TempDir programDir;
    test::FakeDesktop desktop;
    test::MusicTree tree;
    std::unique_ptr<MainWindow> window;

    Fixture() {
        window = std::make_unique<MainWindow>(ProgramFolder(programDir.path()), desktop);
        window->mainLoad();
    }
    MainWindow& w() { return *window; }
    const MainWindow::Ui& ui() { return window->ui(); }
    MusicList& list() { return window->musicList(); }
    MusicRowEditor& editor() { return *window->findChild<MusicRowEditor*>(); }

    void scan(const QString& root) {
        desktop.folderAnswers.push_back(root);
        ui().musicScanButton->click();
        EXPECT_TRUE(test::waitForJob(window->musicJob()));
    }
    // An album whose audio file is a gigabyte without frames: its read lasts long enough for a
    // press of "Остановить" to arrive while it runs, and a stop ends it at once.
    void slowAlbum(const QString& name) {
        tree.album(name, 10 * kMiB);
        tree.file(name + QStringLiteral("/01.mp3"), 1024 * kMiB);
    }
    void setCategories(bool on) {
        Toggles t = window->toggles();
        t.musicInCat = on;
        window->setToggles(t);
    }
    void addRows(const QStringList& captions, const QStringList& sizes) {
        for (int i = 0; i < captions.size(); ++i)
            list().appendRow({captions[i], {sizes.value(i, "5"), "-", "-", "-"}});
    }
    QStringList column(int c) {
        QStringList out;
        for (int i = 0; i < list().count(); ++i)
            out << list().text(i, c);
        return out;
    }
    int selected() {
        const QModelIndexList rows = ui().musicView->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }
    // Shows the window with the list focused, as the delete command needs.
    void focusList() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ui().musicView->setFocus();
        ASSERT_TRUE(ui().musicView->hasFocus());
    }
    void pressDelete() { ui().musicDeleteAction->trigger(); }
    // Runs the edit command; answer works the dialog while it is shown modally.
    void edit(const std::function<void(MusicRowEditor&)>& answer) {
        QTimer::singleShot(0, [this, answer] {
            ASSERT_TRUE(editor().isVisible());
            answer(editor());
        });
        ui().musicEditAction->trigger();
    }
};

} // namespace

TEST(MusicPage, ScanFillsTheListAndFinishes) {
    Fixture f;
    f.tree.album("Group/Album", 50 * kMiB);
    f.scan(f.tree.root());
    EXPECT_EQ(f.desktop.folderCaptions, QStringList{"Выберите папку с mp3 коллекцией"});
    ASSERT_EQ(f.list().count(), 1);
    EXPECT_EQ(f.list().row(0), (MusicRow{"Group" + kSep + "Album", {"50", "-", "-", "-"}}));
    EXPECT_EQ(f.w().windowTitle(), count(1));
    EXPECT_EQ(f.w().statusText(), kFinished);
    EXPECT_EQ(f.ui().musicScanButton->text(), QStringLiteral("Добавить в коллекцию"));
    EXPECT_TRUE(f.ui().musicScanButton->isEnabled());
    EXPECT_EQ(f.ui().musicScanAction->text(), QStringLiteral("Добавить в music коллекцию"));
    EXPECT_TRUE(f.ui().musicScanAction->isEnabled());
    EXPECT_TRUE(f.ui().musicClearButton->isEnabled());
    EXPECT_TRUE(f.ui().musicExportButton->isEnabled());
    EXPECT_TRUE(enabled(f.ui().musicExportMenu));
    EXPECT_TRUE(enabled(f.ui().exportMenu));
    EXPECT_EQ(f.ui().progressBar->value(), 0);
    EXPECT_TRUE(f.ui().musicView->updatesEnabled());
    EXPECT_EQ(f.desktop.beeps, 1);
    EXPECT_EQ(f.w().musicPage().root(), f.tree.root() + u'/');
}

TEST(MusicPage, CancelledPickerChangesNothing) {
    Fixture f;
    f.ui().musicScanButton->click();
    EXPECT_EQ(f.desktop.folderCaptions.size(), 1);
    EXPECT_EQ(f.w().windowTitle(), titleCaption());
    EXPECT_EQ(f.ui().musicScanButton->text(), kCreate);
    EXPECT_FALSE(f.ui().musicClearButton->isEnabled());
    EXPECT_EQ(f.desktop.beeps, 0);
}

TEST(MusicPage, VanishedMusicRootIsForgottenAndAnExistingOnePreselected) {
    Fixture f;
    f.w().musicPage().setRoot(f.tree.path("gone"));
    f.ui().musicScanButton->click();
    EXPECT_EQ(f.desktop.folderPreselections, QStringList{QString()});
    EXPECT_TRUE(f.w().musicPage().root().isEmpty());
    f.w().musicPage().setRoot(f.tree.root());
    f.ui().musicScanButton->click();
    EXPECT_EQ(f.desktop.folderPreselections.last(), f.tree.root());
}

TEST(MusicPage, StatesWhileFoldersAreListedAndAlbumsMeasured) {
    Fixture f;
    f.tree.album("Group/Album", 50 * kMiB);
    struct Seen {
        bool buttonEnabled = false;
        bool actionEnabled = false;
        QString caption, title, status;
    } listing;
    QString albumCaption;
    bool albumEnabled = false, clearEnabled = true;
    QObject::connect(&f.list(), &QAbstractItemModel::rowsInserted, [&] {
        albumCaption = f.ui().musicScanButton->text();
        albumEnabled = f.ui().musicScanButton->isEnabled() && f.ui().musicScanAction->isEnabled();
        clearEnabled = f.ui().musicClearButton->isEnabled() || enabled(f.ui().exportMenu);
    });
    // The folders are listed on the job's thread: the window shows the listing state from the
    // click until the job reports the album phase.
    f.desktop.folderAnswers.push_back(f.tree.root());
    f.ui().musicScanButton->click();
    listing = {f.ui().musicScanButton->isEnabled(), f.ui().musicScanAction->isEnabled(),
               f.ui().musicScanButton->text(), f.w().windowTitle(), f.w().statusText()};
    ASSERT_TRUE(test::waitForJob(f.w().musicJob()));
    // The listing stops on the button and the menu command as the album phase does: no second
    // scan can start during the listing, its press is a stop request.
    EXPECT_TRUE(listing.buttonEnabled);
    EXPECT_TRUE(listing.actionEnabled);
    EXPECT_EQ(listing.caption, QStringLiteral("Остановить"));
    EXPECT_EQ(listing.title, QStringLiteral("Подождите, идёт поиск файлов..."));
    EXPECT_EQ(listing.status, QStringLiteral(" Подождите, идёт поиск файлов..."));
    EXPECT_EQ(albumCaption, QStringLiteral("Остановить"));
    EXPECT_TRUE(albumEnabled);
    EXPECT_FALSE(clearEnabled);
}

TEST(MusicPage, StopDuringTheFolderWalkEndsTheScanBeforeAnyAlbum) {
    Fixture f;
    for (int i = 0; i < 3; ++i)
        f.tree.album(QStringLiteral("G%1/Album").arg(i), 10 * kMiB);
    // A large tree: its walk lasts well beyond the press that follows the click.
    for (int group = 0; group < 40; ++group) {
        for (int folder = 0; folder < 100; ++folder)
            f.tree.folder(QStringLiteral("Empty%1/F%2").arg(group).arg(folder));
    }
    const int barMaximum = f.ui().progressBar->maximum();
    f.desktop.folderAnswers.push_back(f.tree.root());
    f.ui().musicScanButton->click();
    ASSERT_TRUE(f.w().musicJob().isRunning());
    ASSERT_EQ(f.ui().musicScanButton->text(), QStringLiteral("Остановить"));
    f.ui().musicScanButton->click();
    EXPECT_TRUE(f.w().musicJob().stopRequested());
    ASSERT_TRUE(test::waitForJob(f.w().musicJob()));
    // Ended for the stop: the list is marked partial and no album was measured or read (the
    // album phase sets the bar's range first); nothing was asked or reported besides.
    EXPECT_EQ(f.list().count(), 0);
    EXPECT_EQ(f.w().windowTitle(), count(0) + partialListNote());
    EXPECT_EQ(f.ui().progressBar->maximum(), barMaximum) << "the album phase never began";
    EXPECT_EQ(f.desktop.folderCaptions.size(), 1);
    EXPECT_TRUE(f.desktop.messages.isEmpty());
    EXPECT_EQ(f.w().statusText(), kFinished);
    // The same tree scanned to its end gives its albums.
    f.scan(f.tree.root());
    EXPECT_EQ(f.list().count(), 3);
    EXPECT_EQ(f.w().windowTitle(), count(3));
}

TEST(MusicPage, StopByButtonOrMenuAfterTheNextRowThenTheNextScanRunsToTheEnd) {
    for (const bool byMenu : {false, true}) {
        Fixture f;
        f.tree.album("G/A1", 10 * kMiB);
        f.slowAlbum("G/A2");
        f.tree.album("G/A3", 10 * kMiB);
        bool pressed = false;
        const auto connection = QObject::connect(&f.list(), &QAbstractItemModel::rowsInserted, [&] {
            if (pressed)
                return;
            pressed = true;
            byMenu ? f.ui().musicScanAction->trigger() : f.ui().musicScanButton->click();
        });
        f.scan(f.tree.root());
        QObject::disconnect(connection);
        // Pressed when the first row arrived: the album being read then is the last one.
        EXPECT_EQ(f.list().count(), 2) << byMenu;
        EXPECT_EQ(f.desktop.folderCaptions.size(), 1) << "the press stopped, it asked nothing";
        EXPECT_EQ(f.ui().musicScanButton->text(), QStringLiteral("Добавить в коллекцию"));
        // The usual status text stays; the caption tells that the list is partial, also
        // after the page is shown again.
        EXPECT_EQ(f.w().statusText(), kFinished);
        EXPECT_EQ(f.w().windowTitle(), count(2) + partialListNote());
        f.ui().pages->setCurrentIndex(1);
        f.ui().pages->setCurrentIndex(0);
        EXPECT_EQ(f.w().windowTitle(), count(2) + partialListNote());
        EXPECT_EQ(f.desktop.beeps, 1);

        // The same root again: its rows are refreshed in place, now all of them.
        f.scan(f.tree.root());
        EXPECT_EQ(f.list().count(), 3) << "the stop request was cleared";
        EXPECT_EQ(f.w().windowTitle(), count(3)) << "a scan run to its end is whole";
        EXPECT_EQ(f.w().statusText(), QStringLiteral(" Новых: 1, изменённых: 0, удалённых: 0"));
    }
}

TEST(MusicPage, ClearingAStoppedListForgetsThatItWasPartial) {
    Fixture f;
    f.tree.album("G/A1", 10 * kMiB);
    f.slowAlbum("G/A2");
    const auto connection = QObject::connect(&f.list(), &QAbstractItemModel::rowsInserted, [&] {
        if (f.ui().musicScanButton->text() == QStringLiteral("Остановить"))
            f.ui().musicScanButton->click();
    });
    f.scan(f.tree.root());
    QObject::disconnect(connection);
    ASSERT_TRUE(f.w().windowTitle().endsWith(partialListNote()));
    f.ui().musicClearButton->click();
    f.addRows({"H" + kSep + "B"}, {"5"});
    f.ui().pages->setCurrentIndex(1);
    f.ui().pages->setCurrentIndex(0);
    EXPECT_EQ(f.w().windowTitle(), count(1));
}

TEST(MusicPage, SecondScanAppendsAndTheCaptionCountsBoth) {
    Fixture f;
    f.tree.album("one/G/A", 10 * kMiB);
    f.tree.album("two/H/B", 10 * kMiB);
    f.scan(f.tree.path("one"));
    f.scan(f.tree.path("two"));
    EXPECT_EQ(f.column(0), (QStringList{"G" + kSep + "A", "H" + kSep + "B"}));
    EXPECT_EQ(f.w().windowTitle(), count(2));
}

TEST(MusicPage, CategoriesCaptionLeavesOutHeaderRows) {
    Fixture f;
    f.setCategories(true);
    f.tree.album("Punk/GroupA/Album1", 10 * kMiB);
    f.tree.album("Ska/GroupC/Album3", 10 * kMiB);
    f.tree.folder("Empty");
    f.scan(f.tree.root());
    EXPECT_EQ(f.column(0),
              (QStringList{"Punk", "GroupA" + kSep + "Album1", "Ska", "GroupC" + kSep + "Album3"}));
    EXPECT_EQ(f.w().windowTitle(), count(2));
    // Showing the music page again, and deleting a row, count the same album rows.
    f.ui().pages->setCurrentIndex(1);
    f.ui().pages->setCurrentIndex(0);
    EXPECT_EQ(f.w().windowTitle(), count(2));
    f.setCategories(false);
    f.focusList();
    f.ui().musicView->selectRow(1);
    f.pressDelete();
    EXPECT_EQ(f.w().windowTitle(), count(1)) << "header rows are not albums, toggle or not";
}

TEST(MusicPage, AFolderDroppedFromAFileManagerIsScannedAsIfChosen) {
    Fixture f;
    f.tree.album("one/G/A", 10 * kMiB);
    f.tree.album("two/H/B", 10 * kMiB);
    f.scan(f.tree.path("one"));
    f.focusList();
    const auto drop = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&f.w(), &enter);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        if (enter.isAccepted())
            QApplication::sendEvent(&f.w(), &dropped);
        QCoreApplication::processEvents(); // the scan runs once the drop has ended
        EXPECT_TRUE(test::waitForJob(f.w().musicJob()));
        return enter.isAccepted();
    };
    EXPECT_FALSE(drop({QUrl::fromLocalFile(f.tree.file("notes.txt", 1))})) << "a file is no folder";
    EXPECT_FALSE(drop({QUrl(QStringLiteral("https://example.org/music/"))}));
    EXPECT_EQ(f.list().count(), 1);

    EXPECT_TRUE(drop({QUrl::fromLocalFile(f.tree.path("two"))}));
    EXPECT_EQ(f.column(0), (QStringList{"G" + kSep + "A", "H" + kSep + "B"}))
        << "added to the list";
    EXPECT_EQ(f.desktop.folderCaptions.size(), 1) << "no picker for a dropped folder";
    EXPECT_EQ(f.w().musicPage().root(), f.tree.path("two") + u'/');
    EXPECT_EQ(f.w().windowTitle(), count(2));
    EXPECT_EQ(f.w().statusText(), kFinished);
}

TEST(MusicPage, TestersModeRemovesSmallUnsortedAlbums) {
    Fixture f;
    f.w().testersMode = QStringLiteral("1");
    f.tree.album("G/xxxx - Unsorted", 12 * kMiB);
    f.tree.album("G/2001 - Album [--]", 25 * kMiB);
    f.tree.album("G/Whole", 5 * kMiB);
    f.scan(f.tree.root());
    EXPECT_EQ(f.column(0), (QStringList{"G" + kSep + "2001 - Album [--]", "G" + kSep + "Whole"}));
    EXPECT_EQ(f.w().windowTitle(), count(2));
}

TEST(MusicPage, SortOnWindows1251Bytes) {
    Fixture f;
    f.addRows({"b", "Б", "a", "B", "A"}, {"3", "23,4", "123,4", "-", "3"});
    f.ui().musicView->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(f.column(1), (QStringList{"-", "123,4", "23,4", "3", "3"}));
    EXPECT_EQ(f.w().musicPage().sortColumn(), 1);
    f.ui().musicView->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(f.column(0), (QStringList{"A", "B", "a", "b", "Б"}));
    EXPECT_EQ(f.w().musicPage().sortColumn(), 0);
    f.ui().musicView->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(f.column(0), (QStringList{"A", "B", "a", "b", "Б"})) << "every click ascends";
    EXPECT_TRUE(f.desktop.questions.isEmpty());
}

TEST(MusicPage, SortInCategoriesModeAsksFirst) {
    Fixture f;
    f.setCategories(true);
    f.list().appendCategoryHeader("Punk");
    f.addRows({"Z" + kSep + "A", "B" + kSep + "A"}, {});
    const QStringList before = f.column(0);
    f.desktop.yesNoAnswers = {false, true};
    f.ui().musicView->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(f.column(0), before);
    EXPECT_EQ(f.w().musicPage().sortColumn(), 0);
    f.ui().musicView->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(f.column(0), (QStringList{"B" + kSep + "A", "Punk", "Z" + kSep + "A"}))
        << "header rows are sorted with the albums";
    EXPECT_EQ(f.desktop.questions, (QStringList{kQuestion, kQuestion}));
}

TEST(MusicPage, EditWritesOnlyTheFieldsThatAreNotEmpty) {
    Fixture f;
    f.addRows({"G" + kSep + "A"}, {"50"});
    f.list().setCell(0, StyleCell, "Punk");
    f.ui().musicView->selectRow(0);
    f.edit([](MusicRowEditor& editor) {
        EXPECT_EQ(editor.windowTitle(), QStringLiteral("Редактирование"));
        EXPECT_EQ(editor.folderField()->text(), "G" + kSep + "A");
        EXPECT_EQ(editor.sizeField()->text(), QStringLiteral("50"));
        EXPECT_EQ(editor.styleField()->text(), QStringLiteral("Punk"));
        EXPECT_FALSE(editor.saveButton()->isEnabled());
        EXPECT_EQ(editor.focusWidget(), editor.folderField()) << "opens in its first field";
        editor.styleField()->clear();
        editor.countryField()->setText(QStringLiteral("Россия"));
        editor.sizeField()->setText(QStringLiteral("not a number"));
        EXPECT_TRUE(editor.saveButton()->isEnabled());
        editor.saveButton()->click();
    });
    EXPECT_EQ(f.list().row(0),
              (MusicRow{"G" + kSep + "A", {"not a number", "-", "Punk", "Россия"}}));
}

TEST(MusicPage, EditCancelledByButtonEscOrCloseBoxChangesNothing) {
    Fixture f;
    f.addRows({"G" + kSep + "A"}, {"50"});
    f.ui().musicView->selectRow(0);
    f.edit([](MusicRowEditor& editor) {
        editor.folderField()->setText("saved");
        editor.saveButton()->click();
    });
    const MusicRow saved = f.list().row(0);
    EXPECT_EQ(saved.caption, QStringLiteral("saved"));
    const std::function<void(MusicRowEditor&)> cancels[] = {
        [](MusicRowEditor& e) { e.cancelButton()->click(); },
        [](MusicRowEditor& e) { QTest::keyClick(&e, Qt::Key_Escape); },
        [](MusicRowEditor& e) { e.close(); },
    };
    for (const auto& cancel : cancels) {
        f.edit([&cancel](MusicRowEditor& editor) {
            EXPECT_FALSE(editor.saved()) << "the saved mark is cleared on showing";
            editor.folderField()->setText("changed");
            cancel(editor);
        });
        EXPECT_EQ(f.list().row(0), saved);
        EXPECT_FALSE(f.editor().saved());
    }
}

TEST(MusicPage, NoEditWithoutSelectionOrOnAHeaderRow) {
    Fixture f;
    f.list().appendCategoryHeader("Punk");
    f.addRows({"G" + kSep + "A"}, {});
    QSignalSpy shown(&f.editor(), &QDialog::finished);
    f.ui().musicEditAction->trigger();
    f.ui().musicView->selectRow(0);
    f.ui().musicEditAction->trigger();
    f.ui().musicView->doubleClicked(f.list().index(0, 0));
    EXPECT_EQ(shown.count(), 0);
    // A double click on an album row opens the editor.
    f.ui().musicView->selectRow(1);
    QTimer::singleShot(0, [&f] { f.editor().cancelButton()->click(); });
    f.ui().musicView->doubleClicked(f.list().index(1, 0));
    EXPECT_EQ(shown.count(), 1);
}

TEST(MusicPage, DeleteSelectsTheRowThatMovedUpOrTheNewLast) {
    Fixture f;
    f.addRows({"A", "B", "C", "D"}, {});
    f.focusList();
    f.ui().musicView->selectRow(1);
    f.pressDelete();
    EXPECT_EQ(f.column(0), (QStringList{"A", "C", "D"}));
    EXPECT_EQ(f.selected(), 1);
    EXPECT_EQ(f.w().windowTitle(), count(3));
    f.ui().musicView->selectRow(2);
    f.pressDelete();
    EXPECT_EQ(f.column(0), (QStringList{"A", "C"}));
    EXPECT_EQ(f.selected(), 1);
    f.ui().musicView->clearSelection();
    f.pressDelete();
    EXPECT_EQ(f.column(0), (QStringList{"A", "C"})) << "nothing selected, nothing deleted";
}

TEST(MusicPage, DeleteNeedsTheListFocused) {
    Fixture f;
    f.addRows({"A", "B"}, {});
    f.focusList();
    f.ui().musicView->selectRow(0);
    f.ui().musicScanButton->setFocus();
    f.pressDelete();
    EXPECT_EQ(f.list().count(), 2);
}

TEST(MusicPage, DeleteCountsAlbumRowsOnly) {
    Fixture f;
    f.setCategories(true);
    f.list().appendCategoryHeader("Punk");
    f.addRows({"A", "B"}, {});
    f.focusList();
    f.ui().musicView->selectRow(1);
    f.pressDelete();
    EXPECT_EQ(f.w().windowTitle(), count(1));
    f.setCategories(false);
    f.ui().musicView->selectRow(1);
    f.pressDelete();
    EXPECT_EQ(f.w().windowTitle(), count(0)) << "a header row is no album, toggle or not";
}

TEST(MusicPage, DeletingTheOnlyRowClearsTheList) {
    Fixture f;
    f.tree.album("G/A", 10 * kMiB);
    f.scan(f.tree.root());
    f.focusList();
    f.ui().musicView->selectRow(0);
    f.pressDelete();
    EXPECT_TRUE(f.list().isEmpty());
    EXPECT_EQ(f.w().windowTitle(), titleCaption());
    EXPECT_EQ(f.ui().musicScanButton->text(), kCreate);
    EXPECT_EQ(f.ui().musicScanAction->text(), kCreate);
    EXPECT_FALSE(f.ui().musicClearButton->isEnabled());
    EXPECT_FALSE(enabled(f.ui().exportMenu));
}

TEST(MusicPage, ClearEmptiesTheListAndResetsTheCommands) {
    for (const bool videoRows : {false, true}) {
        Fixture f;
        f.tree.album("G/A", 10 * kMiB);
        f.scan(f.tree.root());
        if (videoRows)
            f.w().videoList().appendRow({"clip.avi", {"1", "-", "-", "-", "-"}});
        f.ui().musicClearButton->click();
        EXPECT_TRUE(f.list().isEmpty());
        EXPECT_EQ(f.w().windowTitle(), titleCaption());
        EXPECT_EQ(f.ui().musicScanButton->text(), kCreate);
        EXPECT_EQ(f.ui().musicScanAction->text(), kCreate);
        EXPECT_FALSE(f.ui().musicClearButton->isEnabled());
        EXPECT_FALSE(f.ui().musicExportButton->isEnabled());
        EXPECT_FALSE(enabled(f.ui().musicExportMenu));
        EXPECT_EQ(enabled(f.ui().exportMenu), videoRows);
    }
}

TEST(MusicPage, ContextMenuEnablesEditAndDeleteForASelectedRow) {
    Fixture f;
    const auto open = [&f] {
        f.ui().musicView->customContextMenuRequested(QPoint(2, 2));
        const bool both =
            f.ui().musicEditAction->isEnabled() && f.ui().musicDeleteAction->isEnabled();
        const bool either =
            f.ui().musicEditAction->isEnabled() || f.ui().musicDeleteAction->isEnabled();
        f.ui().musicContextMenu->hide();
        EXPECT_EQ(both, either);
        return both;
    };
    EXPECT_FALSE(open());
    f.addRows({"A"}, {});
    EXPECT_FALSE(open());
    f.ui().musicView->selectRow(0);
    EXPECT_TRUE(open());
}

TEST(MusicPage, RowEditorLayout) {
    Fixture f;
    MusicRowEditor& editor = f.editor();
    QStringList labels;
    for (const QLabel* label : editor.findChildren<QLabel*>())
        labels << label->text();
    labels.sort();
    QStringList expected{"Папка:", "Размер:", "mb", "Битрейт:", "kbps", "Стиль:", "Страна:"};
    expected.sort();
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(editor.saveButton()->text(), QStringLiteral("Сохранить"));
    EXPECT_TRUE(editor.saveButton()->isDefault());
    EXPECT_EQ(editor.cancelButton()->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(f.w().findChildren<MusicRowEditor*>().size(), 1) << "created once with the window";
}

// Closed while the scan reads an album: the read stops, and the rows done are kept (and stored
// with the lists, see KeptLists).
TEST(MusicPage, ClosingTheWindowEndsTheScan) {
    Fixture f;
    f.tree.album("G/A1", 10 * kMiB);
    f.slowAlbum("G/A2");
    f.tree.album("G/A3", 10 * kMiB);
    const auto connection =
        QObject::connect(&f.list(), &QAbstractItemModel::rowsInserted, [&f] { f.w().close(); });
    f.scan(f.tree.root());
    QObject::disconnect(connection);
    EXPECT_FALSE(f.w().musicJob().isRunning());
    EXPECT_EQ(f.list().count(), 2);
    EXPECT_EQ(f.desktop.beeps, 0);
    EXPECT_TRUE(f.ui().musicView->updatesEnabled());
}

// A press of "Остановить" whose click arrives after the scan ended stops nothing and starts
// nothing: no folder picker opens.
TEST(MusicPage, AStopClickAfterTheScanEndedDoesNothing) {
    Fixture f;
    f.slowAlbum("G/A1");
    f.desktop.folderAnswers.push_back(f.tree.root());
    f.ui().musicScanButton->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&f] { return f.ui().musicScanButton->text() == QStringLiteral("Остановить"); }));
    QTest::mousePress(f.ui().musicScanButton, Qt::LeftButton);
    ASSERT_TRUE(test::waitForJob(f.w().musicJob()));
    ASSERT_EQ(f.list().count(), 1);
    QTest::mouseRelease(f.ui().musicScanButton, Qt::LeftButton);
    EXPECT_EQ(f.desktop.folderCaptions.size(), 1);
    EXPECT_FALSE(f.w().musicJob().isRunning());
    EXPECT_EQ(f.w().statusText(), kFinished);
    // The next click is an ordinary one again.
    f.ui().musicScanButton->click();
    EXPECT_EQ(f.desktop.folderCaptions.size(), 2);
}

// One long command per list: an update asked for while the scan runs is refused with a status
// text, and the scan goes on to its end.
TEST(MusicPage, ASecondJobIsRefusedWhileOneRuns) {
    Fixture f;
    f.tree.album("G/A1", 10 * kMiB);
    f.slowAlbum("G/A2");
    QString refused;
    const auto connection = QObject::connect(&f.list(), &QAbstractItemModel::rowsInserted, [&] {
        if (!refused.isEmpty())
            return;
        f.ui().musicUpdateAction->trigger();
        refused = f.w().statusText();
    });
    f.scan(f.tree.root());
    QObject::disconnect(connection);
    EXPECT_EQ(refused, QStringLiteral(" Подождите: работа со списком ещё не закончена"));
    EXPECT_EQ(f.list().count(), 2);
    EXPECT_EQ(f.w().statusText(), kFinished);
    EXPECT_EQ(f.desktop.beeps, 1);
}

// Rows reach the list while the scan runs, several at a time.
TEST(MusicPage, RowsArriveInBatchesWhileTheScanRuns) {
    Fixture f;
    constexpr int kAlbums = 300;
    for (int i = 0; i < kAlbums; ++i)
        f.tree.album(QStringLiteral("G/A%1").arg(i, 3, 10, QLatin1Char('0')), 4 * kMiB);
    int inserts = 0;
    int whileRunning = 0;
    const auto connection = QObject::connect(&f.list(), &QAbstractItemModel::rowsInserted, [&] {
        ++inserts;
        whileRunning += f.w().musicJob().isRunning() ? 1 : 0;
    });
    f.scan(f.tree.root());
    QObject::disconnect(connection);
    ASSERT_EQ(f.list().count(), kAlbums);
    EXPECT_EQ(whileRunning, inserts);
    EXPECT_LT(inserts, kAlbums / 2);
}

TEST(MusicPage, CommandLinePrintsTheRowsTheWindowHolds) {
    Fixture f;
    QFile ini(f.programDir.file("set.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[options]\r\nmusicInCat=1\r\nmin_limit=2\r\n");
    ini.close();
    f.w().mainLoad();
    ASSERT_TRUE(f.w().toggles().musicInCat);
    f.tree.album(QStringLiteral("Punk/Группа & Co/2001 - Альбом [live] #1"), 10 * kMiB);
    f.tree.album("Punk/Group/Album/CD1", 3 * kMiB);
    f.tree.album("Punk/Group/Small", 2 * kMiB);
    f.tree.album("Ska/ska/Rude", 7 * kMiB + 5);
    f.scan(f.tree.root());
    ASSERT_EQ(f.list().count(), 5);

    std::string expected;
    for (const MusicRow& row : f.list().rows())
        expected += (QStringList{row.caption} + row.cells).join(u'\t').toStdString() + '\n';
    std::ostringstream out, err;
    const int status = cli::run({"--dir", f.programDir.path(), "music", f.tree.root(), "--print"},
                                QString(), out, err);
    EXPECT_EQ(status, cli::kExitOk) << err.str();
    EXPECT_EQ(out.str(), expected);
}

// Folders of min_limit MiB or less are left out as designed, but the status text and the
// command line say how many; with none left out the texts stay as they were (the tests above).
TEST(MusicPage, FoldersLeftOutAsTooSmallAreCounted) {
    Fixture f;
    f.tree.album("Group/Big", 10 * kMiB);
    f.tree.album("Group/Small", 2 * kMiB);
    f.tree.album("Group/AtTheLimit", 3 * kMiB);
    f.scan(f.tree.root());
    ASSERT_EQ(f.list().count(), 1);
    EXPECT_EQ(f.w().statusText(), kFinished + "; пропущено маленьких папок: 2");

    f.ui().musicUpdateAction->trigger();
    ASSERT_TRUE(test::waitForJob(f.w().musicJob()));
    EXPECT_EQ(f.w().statusText(),
              " Новых: 0, изменённых: 0, удалённых: 0; пропущено маленьких папок: 2");

    std::ostringstream out, err;
    const int status =
        cli::run({"--dir", f.programDir.path(), "music", f.tree.root()}, QString(), out, err);
    EXPECT_EQ(status, cli::kExitOk) << err.str();
    EXPECT_EQ(err.str(), "пропущено маленьких папок: 2\n");
}

// "ДДТ" written by a KOI8-R tagger reads as well as Windows-1251 "ддф": the row gets the mark
// and a tooltip, the status text counts it, and the editor offers every reading; the one
// picked is saved as a hand edit and the mark goes.
TEST(MusicPage, CloseCodePageCallsAreMarkedCountedAndPickedInTheEditor) {
    Fixture f;
    Toggles t = f.w().toggles();
    t.artistFromID3 = true;
    f.w().setToggles(t);
    f.tree.album("Group/Album", 50 * kMiB);
    namespace b = tags::test;
    const std::filesystem::path mp3 =
        (f.tree.root() + QStringLiteral("/Group/Album/01.mp3")).toStdString();
    std::ofstream(mp3, std::ios::binary)
        << b::mpegFrames(12)
        << b::id3v1Tag("Song", b::inCodePage("ДДТ", codepage::Encoding::Koi8R), "Album", "", "",
                       17);
    f.scan(f.tree.root());
    ASSERT_EQ(f.list().count(), 1);
    EXPECT_EQ(f.list().row(0).caption, "ддф" + kSep + "Album");
    const QModelIndex caption = f.list().index(0, 0);
    EXPECT_TRUE(caption.data(MusicList::CloseCodePageRole).toBool());
    EXPECT_TRUE(caption.data(Qt::ToolTipRole).toString().contains(QStringLiteral("ддф")));
    EXPECT_FALSE(f.list().index(0, 1).data(Qt::ToolTipRole).isValid());
    EXPECT_EQ(f.w().statusText(), kFinished + "; строк с сомнительной кодировкой тегов: 1");

    f.ui().musicView->selectRow(0);
    f.edit([](MusicRowEditor& editor) {
        QComboBox* pages = editor.codePageField();
        ASSERT_NE(pages, nullptr);
        ASSERT_TRUE(pages->isVisible());
        ASSERT_EQ(pages->count(), 5);
        EXPECT_EQ(pages->itemText(0), QStringLiteral("как прочитано"));
        EXPECT_EQ(pages->itemText(2), "koi8-r: ДДТ" + kSep + "Album");
        pages->setCurrentIndex(2);
        emit pages->activated(2);
        EXPECT_EQ(editor.folderField()->text(), "ДДТ" + kSep + "Album");
        editor.saveButton()->click();
    });
    EXPECT_EQ(f.list().row(0).caption, "ДДТ" + kSep + "Album");
    EXPECT_EQ(f.list().row(0).editedColumns & 1u, 1u) << "kept as a hand edit";
    EXPECT_FALSE(caption.data(MusicList::CloseCodePageRole).toBool());

    // A row without close calls shows no choice.
    f.list().appendRow({QStringLiteral("G") + kSep + "A", {"5", "-", "-", "-"}});
    f.ui().musicView->selectRow(1);
    f.edit([](MusicRowEditor& editor) {
        EXPECT_FALSE(editor.codePageField()->isVisible());
        editor.cancelButton()->click();
    });
}

// Without close calls the status text is the usual one, byte for byte.
TEST(MusicPage, StatusTextWithoutCloseCallsIsUnchanged) {
    Fixture f;
    f.tree.album("Group/Album", 50 * kMiB);
    const std::filesystem::path mp3 =
        (f.tree.root() + QStringLiteral("/Group/Album/01.mp3")).toStdString();
    std::ofstream(mp3, std::ios::binary)
        << tags::test::mpegFrames(12)
        << tags::test::id3v1Tag("Song", tags::test::win1251("Кино"), "Album", "", "", 17);
    f.scan(f.tree.root());
    EXPECT_EQ(f.w().statusText(), kFinished);
    EXPECT_FALSE(f.list().index(0, 0).data(MusicList::CloseCodePageRole).toBool());
}

// The filter field: hidden until Ctrl+F; every word must occur in some column, case and "ё"
// aside; a category header stays above its shown albums; edit and delete act on the rows shown;
// Esc clears it and puts back the status text.
TEST(MusicPage, FilterShowsTheRowsWithEveryWordAndCommandsActOnThem) {
    Fixture f;
    f.setCategories(true);
    const QString header = QStringLiteral(" ");
    f.list().appendRow({"Rock", {header, header, header, header}});
    f.list().appendRow({"Кино" + kSep + "Группа крови", {"70", "320", "Rock", "Россия"}});
    f.list().appendRow({"Кино" + kSep + "Звезда по имени Солнце", {"60", "256", "Rock", "-"}});
    f.list().appendRow({"Pop", {header, header, header, header}});
    f.list().appendRow({"Ёлка" + kSep + "Город обмана", {"50", "192", "Pop", "Россия"}});
    f.focusList();
    f.w().setStatusText(QStringLiteral(" before"));
    EXPECT_FALSE(f.ui().musicFilterField->isVisible()) << "the designed window until asked";

    QTest::keyClick(f.ui().musicView, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(f.ui().musicFilterField->isVisible());
    EXPECT_TRUE(f.ui().musicFilterField->hasFocus());
    QAbstractItemModel* shown = f.ui().musicView->model();
    const auto captions = [shown] {
        QStringList out;
        for (int row = 0; row < shown->rowCount(); ++row)
            out << shown->index(row, 0).data().toString();
        return out;
    };
    const struct {
        const char* text;
        QStringList rows;
        const char* status;
    } cases[] = {
        {"кино",
         {"Rock", "Кино" + kSep + "Группа крови", "Кино" + kSep + "Звезда по имени Солнце"},
         " Фильтр: показано 2 из 3"},
        {"КИНО  россия", {"Rock", "Кино" + kSep + "Группа крови"}, " Фильтр: показано 1 из 3"},
        {"елка", {"Pop", "Ёлка" + kSep + "Город обмана"}, " Фильтр: показано 1 из 3"},
        {"Россия",
         {"Rock", "Кино" + kSep + "Группа крови", "Pop", "Ёлка" + kSep + "Город обмана"},
         " Фильтр: показано 2 из 3"},
        {"nothing", {}, " Фильтр: показано 0 из 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        f.ui().musicFilterField->setText(QString::fromUtf8(c.text));
        EXPECT_EQ(captions(), c.rows);
        EXPECT_EQ(f.w().statusText(), QString::fromUtf8(c.status));
    }

    // Delete and edit take the row shown, not the list's row of that number.
    f.ui().musicFilterField->setText(QStringLiteral("звезда"));
    f.ui().musicView->setFocus();
    ASSERT_TRUE(f.ui().musicView->hasFocus());
    f.ui().musicView->selectRow(1);
    f.pressDelete();
    EXPECT_EQ(f.column(0), (QStringList{"Rock", "Кино" + kSep + "Группа крови", "Pop",
                                        "Ёлка" + kSep + "Город обмана"}));
    f.ui().musicFilterField->setFocus();
    ASSERT_TRUE(f.ui().musicFilterField->hasFocus());
    QTest::keyClick(f.ui().musicFilterField, Qt::Key_Escape);
    EXPECT_FALSE(f.ui().musicFilterField->isVisible());
    EXPECT_EQ(shown->rowCount(), 4);
    EXPECT_EQ(f.w().statusText(), QStringLiteral(" before"));

    f.ui().musicFilterField->setText(QStringLiteral("город"));
    f.ui().musicView->selectRow(1);
    f.edit([](MusicRowEditor& editor) {
        EXPECT_EQ(editor.folderField()->text(), "Ёлка" + kSep + "Город обмана");
        editor.countryField()->setText(QStringLiteral("Украина"));
        editor.saveButton()->click();
    });
    EXPECT_EQ(f.list().text(3, 4), QStringLiteral("Украина"));
}

// Albums that a scan adds while the filter is on are filtered as they come, and an album that
// matches brings back its category's header.
TEST(MusicPage, FilterFollowsRowsAddedWhileItIsOn) {
    Fixture f;
    const QString header = QStringLiteral(" ");
    f.list().appendRow({"Rock", {header, header, header, header}});
    f.list().appendRow({"Кино" + kSep + "Группа крови", {"70", "320", "Rock", "-"}});
    f.ui().musicFilterField->setText(QStringLiteral("аквариум"));
    QAbstractItemModel* shown = f.ui().musicView->model();
    EXPECT_EQ(shown->rowCount(), 0);
    f.list().appendRow({"Аквариум" + kSep + "Равноденствие", {"80", "320", "Rock", "-"}});
    f.list().appendRow({"ДДТ" + kSep + "Актриса весна", {"90", "320", "Rock", "-"}});
    QCoreApplication::processEvents();
    ASSERT_EQ(shown->rowCount(), 2);
    EXPECT_EQ(shown->index(0, 0).data().toString(), QStringLiteral("Rock"));
    EXPECT_EQ(shown->index(1, 0).data().toString(), "Аквариум" + kSep + "Равноденствие");
}

TEST(MusicPage, RecentFoldersUnderFileScanAsTheFolderDialogWould) {
    Fixture f;
    f.tree.album("one/G/A", 10 * kMiB);
    f.tree.album("two/H/B", 10 * kMiB);
    const auto captions = [&f] {
        QStringList out;
        for (QAction* action : f.ui().recentMenu->actions())
            out << action->text();
        return out;
    };
    EXPECT_FALSE(f.ui().recentMenu->menuAction()->isEnabled()) << "nothing scanned yet";
    f.scan(f.tree.path("one"));
    f.scan(f.tree.path("two"));
    QCoreApplication::processEvents(); // the menu is rebuilt once the command is over
    const QString one = "music: " + QDir::toNativeSeparators(f.tree.path("one") + u'/');
    const QString two = "music: " + QDir::toNativeSeparators(f.tree.path("two") + u'/');
    EXPECT_TRUE(f.ui().recentMenu->menuAction()->isEnabled());
    EXPECT_EQ(captions(), (QStringList{two, one}));

    // Kept in set.ini: the next window offers them.
    f.window->close();
    f.window = std::make_unique<MainWindow>(ProgramFolder(f.programDir.path()), f.desktop);
    f.window->mainLoad();
    ASSERT_EQ(captions(), (QStringList{two, one}));
    const qsizetype asked = f.desktop.folderCaptions.size();
    f.ui().recentMenu->actions().at(1)->trigger();
    ASSERT_TRUE(test::waitForJob(f.window->musicJob()));
    EXPECT_EQ(f.desktop.folderCaptions.size(), asked) << "no folder dialog";
    EXPECT_EQ(f.w().musicPage().root(), f.tree.path("one") + u'/');
    EXPECT_TRUE(f.column(0).contains("G" + kSep + "A"));
    QCoreApplication::processEvents();
    EXPECT_EQ(captions(), (QStringList{one, two})) << "the chosen root comes first";
}

// Ctrl+Z takes back each command by hand in turn (sort, delete, edit, clear), Ctrl+Shift+Z does
// it again, the page's commands follow, and the catalogue stored at close holds what was undone
// to.
TEST(MusicPage, CtrlZUndoesEachCommandAndTheStoredListFollows) {
    Fixture f;
    f.tree.album(QStringLiteral("A/A"), 30 * kMiB);
    f.tree.album(QStringLiteral("B/A"), 10 * kMiB);
    f.tree.album(QStringLiteral("C/A"), 20 * kMiB);
    f.scan(f.tree.root());
    f.focusList();
    // The keys go to the list with the focus, the window active again after the row editor.
    const auto keys = [&f](Qt::KeyboardModifiers modifiers) {
        // The offscreen platform leaves a closed dialog the active window.
        QApplication::setActiveWindow(f.window.get());
        f.focusList();
        QTest::keyClick(f.ui().musicView, Qt::Key_Z, modifiers);
    };
    const auto undo = [&] { keys(Qt::ControlModifier); };
    const auto redo = [&] { keys(Qt::ControlModifier | Qt::ShiftModifier); };
    const QStringList scanned = f.column(0);
    ASSERT_EQ(scanned.size(), 3);
    undo();
    EXPECT_EQ(f.column(0), scanned) << "a scan is nothing to undo";

    f.ui().musicView->horizontalHeader()->sectionClicked(1);
    const QStringList sorted = f.column(0);
    ASSERT_NE(sorted, scanned);
    f.ui().musicView->selectRow(0);
    f.pressDelete();
    f.ui().musicView->selectRow(0);
    f.edit([](MusicRowEditor& editor) {
        editor.styleField()->setText(QStringLiteral("Punk"));
        editor.saveButton()->click();
    });
    ASSERT_EQ(f.list().text(0, 1 + StyleCell), QStringLiteral("Punk"));
    f.ui().musicClearButton->click();
    ASSERT_TRUE(f.list().isEmpty());

    undo(); // the clear
    EXPECT_EQ(f.list().count(), 2);
    EXPECT_EQ(f.w().windowTitle(), count(2));
    EXPECT_TRUE(f.ui().musicClearButton->isEnabled());
    EXPECT_TRUE(enabled(f.ui().exportMenu));
    EXPECT_EQ(f.list().text(0, 1 + StyleCell), QStringLiteral("Punk"));
    undo(); // the edit
    EXPECT_EQ(f.list().text(0, 1 + StyleCell), QStringLiteral("-"));
    undo(); // the delete
    EXPECT_EQ(f.column(0), sorted);
    EXPECT_TRUE(f.list().leftOut().empty()) << "an album brought back is no longer left out";
    undo(); // the sort
    EXPECT_EQ(f.column(0), scanned);
    undo();
    EXPECT_EQ(f.column(0), scanned) << "nothing before the scan";

    redo();
    redo();
    EXPECT_EQ(f.column(0), sorted.mid(1));
    EXPECT_EQ(f.list().leftOut().size(), 1u);
    EXPECT_EQ(f.w().windowTitle(), count(2));

    f.window->close();
    f.window.reset();
    f.window = std::make_unique<MainWindow>(ProgramFolder(f.programDir.path()), f.desktop);
    f.window->mainLoad();
    f.window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.column(0), sorted.mid(1));
    f.focusList();
    undo();
    EXPECT_EQ(f.column(0), sorted.mid(1)) << "the history ends with the session";
}
