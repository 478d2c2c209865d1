#include "app/MainWindow.h"

#include "catalogue/CatalogueStore.h"
#include "music/MusicList.h"
#include "video/VideoList.h"

#include "FakeDesktop.h"
#include "JobWait.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvane;

namespace {

struct Fixture {
    test::TempDir dir;
    test::FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;

    // A start as main() does it: the main load, the window shown, then the event loop.
    MainWindow& start() {
        window = std::make_unique<MainWindow>(ProgramFolder(dir.path()), desktop);
        window->mainLoad();
        window->show();
        QCoreApplication::processEvents();
        return *window;
    }
    void stop() {
        window->close();
        window.reset();
    }
};

CatalogueRow album(const QString& caption, const QString& size) {
    CatalogueRow row{caption, {size, "320", "Rock", "-"}};
    row.origin = {"/music", caption, "sig"};
    return row;
}

} // namespace

TEST(KeptLists, BothListsComeBackAsTheyWereAtExit) {
    Fixture f;
    std::vector<CatalogueRow> music, video;
    {
        MainWindow& w = f.start();
        w.musicList().appendCategoryHeader("Панк");
        w.musicList().appendRow(album("B  \\  Two", "20"));
        w.musicList().appendRow(album("A  \\  One", "10"));
        w.musicList().applyEdit(2, {{}, {{}, {}, "Ска"}}); // a hand edit of the Style
        w.videoList().appendRow({"clip.avi", {"700", "640 x 480", "1:00", "25", "XVID"}});
        music = w.musicList().rows();
        video = w.videoList().rows();
        w.musicPage().showCount();
        f.stop();
    }
    ASSERT_TRUE(QFileInfo::exists(f.dir.file("korvane.db")));
    MainWindow& w = f.start();
    ASSERT_EQ(w.musicList().count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(w.musicList().row(i), music[static_cast<size_t>(i)]);
        EXPECT_EQ(w.musicList().row(i).origin, music[static_cast<size_t>(i)].origin);
        EXPECT_EQ(w.musicList().row(i).editedColumns, music[static_cast<size_t>(i)].editedColumns);
    }
    EXPECT_EQ(w.musicList().row(2).editedColumns, 1u << 3);
    EXPECT_TRUE(w.musicList().isCategoryHeader(0));
    EXPECT_EQ(w.videoList().rows(), video);
    EXPECT_EQ(w.windowTitle(), "В music коллекции: 2 позиций");
    EXPECT_TRUE(w.ui().musicClearButton->isEnabled());
    EXPECT_TRUE(w.ui().videoClearButton->isEnabled());
    EXPECT_EQ(w.ui().musicScanButton->text(), "Добавить в коллекцию");
    EXPECT_TRUE(f.desktop.messages.isEmpty());
}

// A restore makes the rows again with the toggles of this start, as a fresh scan would; a
// caption typed by hand stays.
TEST(KeptLists, RestoredRowsFollowTheTogglesOfTheStart) {
    Fixture f;
    {
        MainWindow& w = f.start();
        ASSERT_FALSE(w.ui().artistFromID3->isChecked());
        for (const QString folder : {"A", "B"}) {
            CatalogueRow row = album("G  \\  " + folder, "10");
            row.origin.relative = "G/" + folder;
            row.values.kind = RowValues::Kind::Album;
            row.values.bytes = 10 * 1024 * 1024;
            row.values.format = "mp3";
            row.values.bitrate = 320;
            row.values.setNames("Artist " + folder, "Album", "1999");
            w.musicList().appendRow(row);
        }
        w.musicList().applyEdit(1, {"Typed", {}});
        w.ui().artistFromID3->trigger();
        w.ui().yearInColumn->trigger();
        f.stop();
    }
    MainWindow& w = f.start();
    ASSERT_EQ(w.musicList().count(), 2);
    const auto texts = [&w](int row) {
        return (QStringList{w.musicList().row(row).caption} + w.musicList().row(row).cells)
            .join(u'|')
            .toStdString();
    };
    EXPECT_EQ(texts(0), "Artist A  \\  Album (1999)|10|320|Rock|-");
    EXPECT_EQ(texts(1), "Typed|10|320|Rock|-");
}

TEST(KeptLists, ChangesAreStoredWhenTheCommandIsOverNotOnlyAtExit) {
    Fixture f;
    MainWindow& w = f.start();
    w.videoList().appendRow({"clip.avi", {"1", "2", "3", "4", "5"}});
    QTest::qWait(600);
    CatalogueStore store(f.dir.file("korvane.db"));
    EXPECT_EQ(store.load(StoredListName::Video).value().rows.size(), 1u)
        << "a crash now would keep the row";
}

TEST(KeptLists, OffMeansEmptyListsAtStartAndNothingStored) {
    Fixture f;
    f.dir.write("set.ini", "[options]\r\nkeepLists=0\r\n");
    {
        MainWindow& w = f.start();
        EXPECT_FALSE(w.ui().keepLists->isChecked());
        w.musicList().appendRow(album("A  \\  One", "10"));
        f.stop();
    }
    EXPECT_FALSE(QFileInfo::exists(f.dir.file("korvane.db")));
    EXPECT_TRUE(f.dir.read("set.ini").contains("keepLists=0\r\n"));

    // A catalogue stored earlier stays unread while the item is off.
    {
        CatalogueStore store(f.dir.file("korvane.db"));
        ASSERT_TRUE(store.save(StoredListName::Music, {{album("X", "1")}, 1, {}}));
    }
    EXPECT_TRUE(f.start().musicList().isEmpty());
}

TEST(KeptLists, ADamagedCatalogueIsReportedSetAsideAndTheListsStartEmpty) {
    Fixture f;
    f.dir.write("korvane.db", std::string(4096, '\x7f'));
    MainWindow& w = f.start();
    EXPECT_TRUE(w.musicList().isEmpty());
    ASSERT_EQ(f.desktop.messages.size(), 1);
    EXPECT_TRUE(f.desktop.messages[0].contains("korvane.db.broken"));
    EXPECT_EQ(f.dir.read("korvane.db.broken"), QByteArray(4096, '\x7f'));
}

// A root that is there but holds none of the list's albums (a disk that is not mounted leaves
// its empty folder) keeps its rows unless the user says to remove them.
TEST(KeptLists, AnUpdateEmptiesARootOnlyWhenTheUserConfirms) {
    Fixture f;
    test::TempDir empty;
    MainWindow& w = f.start();
    for (const bool confirmed : {false, true}) {
        SCOPED_TRACE(confirmed ? "confirmed" : "refused");
        CatalogueRow row = album("Group  \\  Album", "10");
        row.origin = {empty.path(), "Group/Album", "sig"};
        w.musicList().resetRows({row});
        f.desktop.questions.clear();
        f.desktop.yesNoAnswers = {confirmed};
        w.ui().musicUpdateAction->trigger();
        ASSERT_TRUE(test::waitForJob(w.musicJob()));
        ASSERT_EQ(f.desktop.questions.size(), 1);
        EXPECT_TRUE(f.desktop.questions[0].contains(empty.path()))
            << f.desktop.questions[0].toStdString();
        EXPECT_EQ(w.musicList().count(), confirmed ? 0 : 1);
        EXPECT_EQ(w.statusText(),
                  confirmed
                      ? QStringLiteral(" Новых: 0, изменённых: 0, удалённых: 1")
                      : " Новых: 0, изменённых: 0, удалённых: 0; недоступно: " + empty.path());
    }
}

namespace {

// A run of the real korvane-cli on the window's program folder.
int runCli(const QStringList& args) {
    QProcess cli;
    cli.start(QStringLiteral(KORVANE_BIN_DIR "/korvane-cli"), args);
    cli.waitForFinished(60000);
    return cli.exitCode();
}

void makeAlbum(const test::TempDir& collection, const QString& relative) {
    QDir().mkpath(collection.file(relative));
    QFile file(collection.file(relative + QStringLiteral("/tracks.bin")));
    file.open(QIODevice::WriteOnly);
    file.resize(5 << 20);
}

int storedMusicRows(const QString& database) {
    CatalogueStore store(database);
    return static_cast<int>(store.load(StoredListName::Music).value().rows.size());
}

} // namespace

// The window restores one album, the command line's update stores two: the window's next store
// (a command, or Ctrl+Q) asks before it replaces them, and "No" keeps the newer list.
TEST(KeptLists, TheWindowNeverOverwritesAListTheCommandLineStoredAfterItRead) {
    for (const bool closing : {true, false}) {
        SCOPED_TRACE(closing ? "at exit" : "after a command");
        Fixture f;
        test::TempDir collection;
        makeAlbum(collection, "Group/One");
        const QStringList cli = {"--dir", f.dir.path(), "music"};
        ASSERT_EQ(runCli(cli + QStringList{collection.path(), "--store"}), 0);
        MainWindow& w = f.start();
        QCoreApplication::processEvents();
        ASSERT_EQ(w.musicList().count(), 1);
        makeAlbum(collection, "Group/Two");
        ASSERT_EQ(runCli(cli + QStringList{"--update"}), 0);
        ASSERT_EQ(storedMusicRows(f.dir.file("korvane.db")), 2);

        f.desktop.yesNoAnswers = {false};
        if (closing)
            f.stop();
        else
            w.storeLists();
        ASSERT_EQ(f.desktop.questions.size(), 1);
        EXPECT_TRUE(f.desktop.questions[0].contains("сохранены другой программой Korvane"))
            << f.desktop.questions[0].toStdString();
        EXPECT_EQ(storedMusicRows(f.dir.file("korvane.db")), 2);
        if (closing)
            continue;
        // The window now shows the newer list and says so; what it stores next replaces it.
        EXPECT_EQ(w.musicList().count(), 2);
        EXPECT_EQ(w.statusText(), " Показаны списки, сохранённые другой программой Korvane");
        w.musicList().removeRowAt(0);
        w.storeLists();
        EXPECT_EQ(f.desktop.questions.size(), 1);
        EXPECT_EQ(storedMusicRows(f.dir.file("korvane.db")), 1);
        // "Yes" replaces the newer list with the window's.
        ASSERT_EQ(runCli(cli + QStringList{"--update"}), 0);
        f.desktop.yesNoAnswers = {true};
        f.stop();
        EXPECT_EQ(f.desktop.questions.size(), 2);
        EXPECT_EQ(storedMusicRows(f.dir.file("korvane.db")), 1);
    }
}

// An album deleted from the list stays out: neither the window's update nor the command line's
// brings it back while its folder is there, the status text counts it, and "Очистить" forgets.
TEST(KeptLists, ADeletedAlbumIsLeftOutUntilTheListIsCleared) {
    Fixture f;
    test::TempDir collection;
    for (const char* album : {"Group/One", "Group/Two", "Group/Three"})
        makeAlbum(collection, album);
    const QStringList cli = {"--dir", f.dir.path(), "music"};
    ASSERT_EQ(runCli(cli + QStringList{collection.path(), "--store"}), 0);
    MainWindow& w = f.start();
    ASSERT_EQ(w.musicList().count(), 3);
    const QString doomed = w.musicList().row(1).caption;
    QApplication::setActiveWindow(&w);
    w.ui().musicView->setFocus();
    w.ui().musicView->selectRow(1);
    w.ui().musicDeleteAction->trigger();
    ASSERT_EQ(w.musicList().count(), 2);
    const auto captions = [](const CatalogueList& list) {
        QStringList texts;
        for (const CatalogueRow& row : list.rows())
            texts << row.caption;
        return texts;
    };
    const QStringList kept = captions(w.musicList());
    EXPECT_FALSE(kept.contains(doomed));

    w.ui().musicUpdateAction->trigger();
    ASSERT_TRUE(test::waitForJob(w.musicJob()));
    EXPECT_EQ(captions(w.musicList()), kept);
    EXPECT_EQ(w.statusText(), " Новых: 0, изменённых: 0, удалённых: 0; исключённых: 1");
    f.stop();

    // The command line's update reads the same from the catalogue.
    QProcess update;
    update.start(QStringLiteral(KORVANE_BIN_DIR "/korvane-cli"), cli + QStringList{"--update"});
    ASSERT_TRUE(update.waitForFinished(60000));
    EXPECT_EQ(update.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(update.readAllStandardError()),
              "Новых: 0, изменённых: 0, удалённых: 0; исключённых: 1\n");
    EXPECT_EQ(storedMusicRows(f.dir.file("korvane.db")), 2);

    // "Очистить" forgets them (so does deleting the last row, which clears the list).
    MainWindow& again = f.start();
    ASSERT_EQ(captions(again.musicList()), kept);
    EXPECT_EQ(again.musicList().leftOut().size(), 1u);
    again.ui().musicClearButton->click();
    EXPECT_TRUE(again.musicList().leftOut().empty());
    f.stop();
    ASSERT_EQ(runCli(cli + QStringList{"--update", collection.path()}), 0);
    EXPECT_EQ(storedMusicRows(f.dir.file("korvane.db")), 3);
}

// "Добавить в коллекцию" with a root the list already holds (as after switching a toggle)
// refreshes that root's rows where they stand, hand edits kept, instead of listing every album a
// second time; another root still adds its rows.
TEST(KeptLists, ScanningARootAlreadyInTheListRefreshesItsRowsInPlace) {
    Fixture f;
    test::TempDir collection, other;
    makeAlbum(collection, "Group/One");
    makeAlbum(collection, "Group/Two");
    makeAlbum(other, "Other/Three");
    MainWindow& w = f.start();
    const auto scan = [&](const QString& root) {
        f.desktop.folderAnswers = {root};
        w.ui().musicScanButton->click();
        ASSERT_TRUE(test::waitForJob(w.musicJob()));
    };
    scan(collection.path());
    ASSERT_EQ(w.musicList().count(), 2);
    w.musicList().applyEdit(0, {QStringLiteral("Вручную"), {}});
    const RowOrigin edited = w.musicList().row(0).origin;
    scan(other.path());
    ASSERT_EQ(w.musicList().count(), 3);
    EXPECT_EQ(w.statusText(),
              " Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL)");

    makeAlbum(collection, "Group/Four");
    scan(collection.path());
    ASSERT_EQ(w.musicList().count(), 4);
    EXPECT_EQ(w.statusText(), " Новых: 1, изменённых: 0, удалённых: 0");
    const auto found = std::find_if(w.musicList().rows().begin(), w.musicList().rows().end(),
                                    [&](const CatalogueRow& row) { return row.origin == edited; });
    ASSERT_NE(found, w.musicList().rows().end());
    EXPECT_EQ(found->caption, "Вручную");
    EXPECT_TRUE(found->editedColumns & 1u);
    // The refreshed root's rows stand where they stood, before the other root's.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(isSameRoot(w.musicList().row(i).origin.root, collection.path())) << i;
    EXPECT_TRUE(isSameRoot(w.musicList().row(3).origin.root, other.path()));
    EXPECT_EQ(w.windowTitle(), "В music коллекции: 4 позиций");
    // Scanned once more with nothing changed: no row more.
    scan(collection.path() + u'/');
    EXPECT_EQ(w.musicList().count(), 4);
    EXPECT_EQ(w.statusText(), " Новых: 0, изменённых: 0, удалённых: 0");
}

// Closed while the scan reads an album: the scan stops there, and the rows done are stored.
TEST(KeptLists, ClosingDuringAScanStoresTheRowsDone) {
    Fixture f;
    test::TempDir collection;
    makeAlbum(collection, "Group/A1");
    makeAlbum(collection, "Group/A2");
    makeAlbum(collection, "Group/A3");
    // A gigabyte without frames: its read still runs when the window closes.
    QFile slow(collection.file(QStringLiteral("Group/A2/01.mp3")));
    ASSERT_TRUE(slow.open(QIODevice::WriteOnly));
    ASSERT_TRUE(slow.resize(qint64(1) << 30));
    slow.close();
    MainWindow& w = f.start();
    f.desktop.folderAnswers = {collection.path()};
    const auto connection =
        QObject::connect(&w.musicList(), &QAbstractItemModel::rowsInserted, [&w] { w.close(); });
    w.ui().musicScanButton->click();
    ASSERT_TRUE(test::waitForJob(w.musicJob()));
    QObject::disconnect(connection);
    EXPECT_EQ(w.musicList().count(), 2);
    f.window.reset();
    EXPECT_EQ(storedMusicRows(f.dir.file("korvane.db")), 2);
}
