// A long session of the window: scans of a large collection during which the user sorts, edits,
// deletes, opens the settings dialog and starts a video scan while the scan runs on its job,
// round after round. Nothing crashes, no row is lost that the user did not delete, and the
// caption counts what the list holds.
//
// KORVANE_SOAK_ALBUMS (default 5000) and KORVANE_SOAK_ROUNDS (default 3) scale the run.
#include "app/MainWindow.h"
#include "music/MusicList.h"
#include "music/MusicRowEditor.h"
#include "music/MusicScan.h"
#include "video/VideoList.h"

#include "FakeDesktop.h"
#include "JobWait.h"
#include "MusicTree.h"
#include "TempDir.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <set>

namespace korvane::test {
namespace {

int fromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// Rows compared whole: the caption and every cell.
using Rows = std::multiset<std::pair<QString, QStringList>>;

Rows rowsOf(const MusicList& list) {
    Rows rows;
    for (const MusicRow& row : list.rows())
        rows.insert({row.caption, row.cells});
    return rows;
}

// The scan of the tree alone, with nothing else going on: what the list must hold when the user
// does not touch it.
class QuietHost : public MusicScanHost {
public:
};

// What the user does while the scan runs, one step per timer shot. Steps do not nest: a step
// that opens a dialog or runs a scan lets the timer fire again, and those shots are skipped.
class User {
public:
    User(MainWindow& window, FakeDesktop& desktop, const QString& videoRoot, Rows& expected)
        : m_window(window), m_desktop(desktop), m_videoRoot(videoRoot), m_expected(expected) {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { step(); });
    }
    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }

    std::map<std::string, int> done;

private:
    MusicList& list() { return m_window.musicList(); }
    const MainWindow::Ui& ui() { return m_window.ui(); }

    int pickRow() {
        const int row = static_cast<int>(m_random() % static_cast<unsigned>(list().count()));
        ui().musicView->selectRow(row);
        return row;
    }

    // A step that could not act (an empty list, a category header row, the video scan still
    // running) is tried again at the next shot, so that every kind of step comes round however
    // fast the scan is.
    void step() {
        if (m_busy)
            return;
        m_busy = true;
        bool acted = false;
        // The edit and the delete the test asks for come first.
        switch (m_next % 6) {
        case 0:
            acted = edit();
            break;
        case 1:
        case 3:
            acted = remove();
            break;
        case 2:
            acted = sort();
            break;
        case 4:
            acted = settings();
            break;
        case 5:
            acted = videoScan();
            break;
        }
        if (acted)
            ++m_next;
        m_busy = false;
    }

    bool sort() {
        const int column = static_cast<int>(m_random() % 5);
        emit ui().musicView->horizontalHeader()->sectionClicked(column);
        ++done["sort"];
        return true;
    }

    bool edit() {
        if (list().count() == 0)
            return false;
        const MusicRow before = list().row(pickRow());
        if (MusicList::isCategoryHeader(before))
            return false;
        auto* editor = m_window.findChild<MusicRowEditor*>();
        QTimer::singleShot(0, editor, [editor] {
            editor->countryField()->setText(QStringLiteral("Edited"));
            editor->saveButton()->click();
        });
        ui().musicEditAction->trigger();
        auto found = m_expected.find({before.caption, before.cells});
        EXPECT_NE(found, m_expected.end()) << "edited a row nobody expected";
        if (found == m_expected.end())
            return true;
        QStringList cells = found->second;
        m_expected.erase(found);
        cells[3] = QStringLiteral("Edited");
        m_expected.insert({before.caption, cells});
        ++done["edit"];
        return true;
    }

    bool remove() {
        if (list().count() < 2)
            return false;
        const MusicRow doomed = list().row(pickRow());
        // A dialog closed a moment ago may have left the window inactive.
        QApplication::setActiveWindow(&m_window);
        ui().musicView->setFocus();
        const int before = list().count();
        ui().musicDeleteAction->trigger();
        if (list().count() != before - 1)
            return false; // the list had no focus: nothing was deleted
        auto found = m_expected.find({doomed.caption, doomed.cells});
        EXPECT_NE(found, m_expected.end()) << "deleted a row nobody expected";
        if (found != m_expected.end())
            m_expected.erase(found);
        ++done["delete"];
        return true;
    }

    bool settings() {
        QTimer::singleShot(0, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        ui().settingsAction->trigger();
        ++done["settings dialog"];
        return true;
    }

    bool videoScan() {
        // The video scan runs on its own job now: a press while it runs would be its stop.
        if (!ui().videoScanButton->isEnabled() || m_window.videoJob().isRunning())
            return false;
        m_desktop.folderAnswers.push_back(m_videoRoot);
        ui().videoScanButton->click();
        ++done["video scan"];
        return true;
    }

    MainWindow& m_window;
    FakeDesktop& m_desktop;
    QString m_videoRoot;
    Rows& m_expected;
    QTimer m_timer;
    std::minstd_rand m_random{20261210};
    int m_next = 0;
    bool m_busy = false;
};

TEST(Soak, ScansWithTheUserBusyAllAlong) {
    const int albums = fromEnvironment("KORVANE_SOAK_ALBUMS", 5000);
    const int rounds = fromEnvironment("KORVANE_SOAK_ROUNDS", 3);
    QElapsedTimer clock;
    clock.start();

    // Ten albums per group, each a sparse 4 MiB file; every hundredth album holds a real mp3,
    // whose tags the details read.
    MusicTree tree;
    QFile seedFile(QStringLiteral(KORVANE_FUZZ_SEEDS "/mp3/lame-cbr-id3v1-id3v2.mp3"));
    ASSERT_TRUE(seedFile.open(QIODevice::ReadOnly));
    const QByteArray mp3 = seedFile.readAll();
    for (int i = 0; i < albums; ++i) {
        const QString album = QStringLiteral("Группа %1/%2 - Альбом %3")
                                  .arg(i / 10, 4, 10, QLatin1Char('0'))
                                  .arg(1970 + i % 50)
                                  .arg(i);
        tree.album(album, 4 * kMiB);
        if (i % 100 == 0) {
            QFile file(tree.path(album + QStringLiteral("/01.mp3")));
            file.open(QIODevice::WriteOnly);
            file.write(mp3);
        }
    }
    TempDir videos;
    for (const char* name : {"a.avi", "b.mkv", "c.mp4"})
        videos.write(QString::fromLatin1(name), "not really a clip");
    const double made = clock.elapsed() / 1000.0;

    TempDir program;
    FakeDesktop desktop;
    MainWindow window(ProgramFolder(program.path()), desktop);
    window.mainLoad();
    // The "clips" are no video: listed all the same, so that every scan lists them.
    window.ui().allVideoFiles->setChecked(true);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    MusicList reference;
    QuietHost quiet;
    scanMusic(tree.root(), readMusicScanOptions(window.settings(), window.toggles(), QString()),
              reference, quiet);
    ASSERT_EQ(reference.count(), albums);

    int videoScans = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round + 1));
        window.ui().musicClearButton->click();
        ASSERT_EQ(window.musicList().count(), 0);
        Rows expected = rowsOf(reference);
        User user(window, desktop, videos.path(), expected);
        desktop.folderAnswers.push_back(tree.root());
        user.start();
        window.ui().musicScanButton->click();
        ASSERT_TRUE(test::waitForJob(window.musicJob(), 600000));
        user.stop();
        ASSERT_TRUE(test::waitForJob(window.videoJob()));
        // A video scan started meanwhile runs beside the music scan now, not inside it, and may
        // end last with its own caption: the music page's count is the one checked.
        window.musicPage().showCount();

        EXPECT_EQ(rowsOf(window.musicList()), expected) << "a row was lost or changed";
        EXPECT_EQ(window.windowTitle(),
                  QStringLiteral("В music коллекции: %1 позиций").arg(window.musicList().count()));
        EXPECT_EQ(window.musicList().count(), albums - user.done["delete"]);
        for (const auto& [what, count] : user.done)
            std::cout << "round " << round + 1 << ": " << what << " " << count << "\n";
        EXPECT_GT(user.done["delete"], 0) << "the scan ran without the user";
        EXPECT_GT(user.done["edit"], 0);
        videoScans += user.done["video scan"];
        EXPECT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join(u'\n').toStdString();
    }
    // The same folder scanned again refreshes its rows in place.
    EXPECT_EQ(window.videoList().count(), videoScans > 0 ? 3 : 0)
        << "every video scan listed the folder's clips once";
    std::cout << albums << " albums, " << rounds << " rounds: tree made in " << made
              << " s, whole run " << clock.elapsed() / 1000.0 << " s\n";
}

} // namespace
} // namespace korvane::test
