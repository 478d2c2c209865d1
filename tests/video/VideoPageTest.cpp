#include "app/MainWindow.h"
#include "music/MusicList.h"
#include "video/VideoList.h"
#include "video/VideoRowEditor.h"

#include "FakeDesktop.h"
#include "JobWait.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace korvane {
namespace {

const QString kFinished =
    QStringLiteral(" Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)");

struct Fixture {
    test::TempDir programDir;
    test::TempDir clips;
    test::FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;
    bool allFiles = true;

    MainWindow& open() {
        window = std::make_unique<MainWindow>(ProgramFolder(programDir.path()), desktop);
        window->mainLoad();
        // The files these tests scan are no clips: listed all the same, as with
        // "Все файлы в списке клипов".
        window->ui().allVideoFiles->setChecked(allFiles);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }
    const MainWindow::Ui& ui() const { return window->ui(); }
    // Scans the clips folder (or `folder`) by the start button.
    void scan(std::optional<QString> folder) {
        desktop.folderAnswers.push_back(folder);
        ui().videoScanButton->click();
        EXPECT_TRUE(test::waitForJob(window->videoJob()));
    }
    void scanClips() { scan(clips.path()); }
    void selectRow(int row) {
        ui().videoView->setFocus();
        ui().videoView->selectRow(row);
    }
};

bool enabled(QMenu* menu) {
    return menu->menuAction()->isEnabled();
}

TEST(VideoPage, CancelledPickerAddsNothingButEnablesTheListCommands) {
    Fixture f;
    MainWindow& w = f.open();
    f.scan(std::nullopt);
    EXPECT_EQ(f.desktop.folderCaptions, QStringList{"Выберите папку с клипами"});
    EXPECT_TRUE(w.videoList().isEmpty());
    EXPECT_TRUE(f.ui().videoClearButton->isEnabled());
    EXPECT_TRUE(f.ui().videoExportButton->isEnabled());
    EXPECT_TRUE(enabled(f.ui().exportMenu));
    EXPECT_TRUE(enabled(f.ui().videoExportMenu));
    EXPECT_EQ(f.ui().videoScanButton->text(), QStringLiteral("Добавить клипы"));
    EXPECT_EQ(w.windowTitle(), titleCaption());
}

TEST(VideoPage, VanishedFolderIsNotPreselected) {
    Fixture f;
    MainWindow& w = f.open();
    w.videoPage().setRoot(f.clips.file(QStringLiteral("gone")));
    f.scan(std::nullopt);
    EXPECT_EQ(f.desktop.folderPreselections, QStringList{QString()});
}

TEST(VideoPage, ScanFillsTheListAndRemembersTheFirstFilesFolder) {
    Fixture f;
    f.clips.write(QStringLiteral("Live/Show.avi"), "not really a clip");
    f.clips.write(QStringLiteral("Live/Thumbs.db"), "");
    f.clips.write(QStringLiteral("notes.txt"), "text");
    MainWindow& w = f.open();
    f.scanClips();
    ASSERT_EQ(w.videoList().count(), 2);
    EXPECT_EQ(w.videoList().row(0).caption, QStringLiteral("Live  \\  Show.avi"));
    EXPECT_EQ(w.videoList().row(0).cells, (QStringList{"1", "0 x 0", "", "0", ""}));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("В video коллекции: 2 позиций"));
    EXPECT_EQ(w.statusText(), kFinished);
    EXPECT_EQ(f.ui().progressBar->value(), 0);
    EXPECT_EQ(w.videoPage().root(), QDir::toNativeSeparators(f.clips.file(QStringLiteral("Live"))));
    EXPECT_EQ(f.ui().videoScanButton->text(), QStringLiteral("Добавить клипы"));
    EXPECT_TRUE(f.ui().videoScanButton->isEnabled());
    EXPECT_TRUE(f.ui().videoScanAction->isEnabled());

    // the menu command shows the page and scans again; the same folder is refreshed in place
    f.ui().pages->setCurrentIndex(0);
    f.desktop.folderAnswers.push_back(f.clips.path());
    f.ui().videoScanAction->trigger();
    ASSERT_TRUE(test::waitForJob(w.videoJob()));
    EXPECT_EQ(f.ui().pages->currentIndex(), 1);
    EXPECT_EQ(w.videoList().count(), 2);
    EXPECT_EQ(w.statusText(), QStringLiteral(" Новых: 0, изменённых: 0, удалённых: 0"));
    EXPECT_EQ(f.desktop.folderPreselections.last(),
              QDir::toNativeSeparators(f.clips.file(QStringLiteral("Live"))));
}

TEST(VideoPage, SecondPressStopsTheScanAndTheWalkCannotBeRestarted) {
    Fixture f;
    for (int i = 0; i < 300; ++i)
        f.clips.write(QStringLiteral("clip%1.avi").arg(i, 3, 10, QLatin1Char('0')), "x");
    MainWindow& w = f.open();
    int stopPresses = 0;
    int rowsAtPress = -1;
    bool startableDuringWalk = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QPushButton* button = f.ui().videoScanButton;
        if (button->text() == QStringLiteral("Добавить Клипы") &&
            (button->isEnabled() || f.ui().videoScanAction->isEnabled()))
            startableDuringWalk = true;
        if (button->text() == QStringLiteral("Остановить") && stopPresses == 0) {
            ++stopPresses;
            rowsAtPress = w.videoList().count();
            button->click();
        }
    });
    watcher.start(0);
    f.scanClips();
    watcher.stop();
    if (stopPresses == 0)
        GTEST_SKIP() << "the scan ended before the event loop ran once";
    EXPECT_FALSE(startableDuringWalk);
    EXPECT_EQ(stopPresses, 1);
    // the press is honoured before the file the scan's thread comes to next: the rows it had
    // handed over by then still arrive, the rest of the clips do not
    EXPECT_GE(w.videoList().count(), rowsAtPress);
    EXPECT_LT(w.videoList().count(), 300);
    EXPECT_EQ(w.windowTitle(),
              QStringLiteral("В video коллекции: %1 позиций").arg(w.videoList().count()) +
                  partialListNote());
    EXPECT_EQ(w.statusText(), kFinished);
    EXPECT_EQ(f.ui().videoScanButton->text(), QStringLiteral("Добавить клипы"));
}

// By default a file without a video stream (a poster, notes, subtitles) gets no row.
TEST(VideoPage, FilesWithoutVideoAreLeftOutUnlessEveryFileIsAsked) {
    for (const bool allFiles : {false, true}) {
        Fixture f;
        f.allFiles = allFiles;
        f.clips.write(QStringLiteral("poster.jpg"), "\xFF\xD8\xFF\xE0 not much of a picture");
        f.clips.write(QStringLiteral("clip.nfo"), "Release notes");
        f.clips.write(QStringLiteral("clip.srt"), "1\n00:00:01,000 --> 00:00:02,000\nHello\n");
        MainWindow& w = f.open();
        EXPECT_EQ(f.ui().allVideoFiles->text(), QStringLiteral("Все файлы в списке клипов"));
        f.scanClips();
        EXPECT_EQ(w.videoList().count(), allFiles ? 3 : 0) << allFiles;
        EXPECT_EQ(w.statusText(), kFinished);
    }
}

TEST(VideoPage, ScansOfNoneOrOneFileNeverGiveTheBarAnEmptyRange) {
    for (const int files : {0, 1, 2}) {
        Fixture f;
        for (int i = 0; i < files; ++i)
            f.clips.write(QStringLiteral("clip%1.avi").arg(i), "x");
        MainWindow& w = f.open();
        int emptyRanges = 0;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            emptyRanges += f.ui().progressBar->minimum() == f.ui().progressBar->maximum();
        });
        watcher.start(0);
        f.scanClips();
        watcher.stop();
        EXPECT_EQ(emptyRanges, 0) << files;
        // The range the scan left: an empty one is Qt's endless "busy" animation.
        EXPECT_LT(f.ui().progressBar->minimum(), f.ui().progressBar->maximum()) << files;
        EXPECT_EQ(w.videoList().count(), files);
    }
}

TEST(VideoPage, AFolderDroppedOnThePageAddsItsClips) {
    Fixture f;
    f.clips.write(QStringLiteral("Live/a.avi"), "x");
    f.clips.write(QStringLiteral("Live/b.avi"), "x");
    MainWindow& w = f.open();
    f.ui().pages->setCurrentIndex(1);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(f.clips.file(QStringLiteral("Live")))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    EXPECT_TRUE(w.videoList().isEmpty()) << "the scan waits for the drop to end";
    QCoreApplication::processEvents();
    ASSERT_TRUE(test::waitForJob(w.videoJob()));
    EXPECT_EQ(w.videoList().count(), 2);
    EXPECT_TRUE(w.musicList().isEmpty());
    EXPECT_TRUE(f.desktop.folderCaptions.isEmpty());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("В video коллекции: 2 позиций"));
    EXPECT_EQ(f.ui().videoScanButton->text(), QStringLiteral("Добавить клипы"));
    EXPECT_TRUE(f.ui().videoExportButton->isEnabled());
}

TEST(VideoPage, HeaderClickSortsAndSetsTheSortColumn) {
    Fixture f;
    MainWindow& w = f.open();
    w.videoList().appendRow({"b", {"9", "", "", "", ""}});
    w.videoList().appendRow({"a", {"10", "", "", "", ""}});
    emit f.ui().videoView->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(w.videoPage().sortColumn(), 1);
    EXPECT_EQ(w.videoList().row(0).caption, QStringLiteral("a"));
}

TEST(VideoPage, DeleteNeedsTheListsFocusAndSelectsTheNextRow) {
    Fixture f;
    MainWindow& w = f.open();
    f.ui().pages->setCurrentIndex(1);
    for (const char* name : {"a", "b", "c"})
        w.videoList().appendRow({QString::fromLatin1(name), {"1", "0 x 0", "", "0", ""}});
    f.scan(std::nullopt); // enables the list commands

    f.selectRow(2);
    f.ui().videoClearButton->setFocus();
    f.ui().videoDeleteAction->trigger();
    EXPECT_EQ(w.videoList().count(), 3) << "another control has the focus";

    f.selectRow(2);
    QTest::keyClick(f.ui().videoView, Qt::Key_Delete);
    ASSERT_EQ(w.videoList().count(), 2);
    EXPECT_EQ(f.ui().videoView->selectionModel()->selectedRows().value(0).row(), 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("В video коллекции: 2 позиций"));

    f.selectRow(0);
    QTest::keyClick(f.ui().videoView, Qt::Key_Delete);
    QTest::keyClick(f.ui().videoView, Qt::Key_Delete);
    EXPECT_TRUE(w.videoList().isEmpty());
    EXPECT_EQ(w.windowTitle(), titleCaption());
    EXPECT_FALSE(f.ui().videoClearButton->isEnabled());
    EXPECT_FALSE(f.ui().videoExportButton->isEnabled());
    EXPECT_FALSE(enabled(f.ui().exportMenu));
}

TEST(VideoPage, ClearKeepsTheExportMenuWhileTheMusicListHasRows) {
    Fixture f;
    MainWindow& w = f.open();
    w.musicList().appendRow({"Group  \\  Album", {"1", "128", "-", "-"}});
    f.scan(std::nullopt);
    w.videoList().appendRow({"a", {"1", "0 x 0", "", "0", ""}});
    f.ui().videoClearButton->click();
    EXPECT_TRUE(w.videoList().isEmpty());
    EXPECT_FALSE(f.ui().videoClearButton->isEnabled());
    EXPECT_FALSE(enabled(f.ui().videoExportMenu));
    EXPECT_TRUE(enabled(f.ui().exportMenu));
    EXPECT_EQ(w.windowTitle(), titleCaption());
}

TEST(VideoPage, EditAppliesTheFilledFields) {
    Fixture f;
    MainWindow& w = f.open();
    w.videoList().appendRow({"a.avi", {"1", "0 x 0", "", "0", "XVID MPEG-4"}});
    f.selectRow(0);
    QTimer::singleShot(0, [] {
        auto* editor = qobject_cast<VideoRowEditor*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        editor->field(0)->setText(QStringLiteral("b.avi"));
        editor->field(5)->clear();
        editor->saveButton()->click();
    });
    f.ui().videoEditAction->trigger();
    EXPECT_EQ(w.videoList().row(0).caption, QStringLiteral("b.avi"));
    EXPECT_EQ(w.videoList().row(0).cells[4], QStringLiteral("XVID MPEG-4"));
}

TEST(VideoPage, ContextMenuItemsNeedASelectedRow) {
    Fixture f;
    MainWindow& w = f.open();
    emit f.ui().videoView->customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(f.ui().videoEditAction->isEnabled());
    EXPECT_FALSE(f.ui().videoDeleteAction->isEnabled());
    f.ui().videoContextMenu->hide();
    w.videoList().appendRow({"a", {"1", "0 x 0", "", "0", ""}});
    f.selectRow(0);
    emit f.ui().videoView->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(f.ui().videoEditAction->isEnabled());
    EXPECT_TRUE(f.ui().videoDeleteAction->isEnabled());
    f.ui().videoContextMenu->hide();
}

TEST(VideoPage, ShowingThePageShowsTheCount) {
    Fixture f;
    MainWindow& w = f.open();
    f.ui().pages->setCurrentIndex(1);
    EXPECT_EQ(w.windowTitle(), titleCaption()) << "an empty list leaves the caption";
    f.ui().pages->setCurrentIndex(0);
    w.videoList().appendRow({"a", {"1", "0 x 0", "", "0", ""}});
    f.ui().pages->setCurrentIndex(1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("В video коллекции: 1 позиций"));
}

} // namespace
} // namespace korvane
