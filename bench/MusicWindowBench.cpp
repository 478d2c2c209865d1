// The music page of the real window (offscreen) with 20,000 and 100,000 rows: appending them as
// the scan's job hands them over (complete rows in batches), a click on a column header, deleting a
// selection of a tenth of the rows (one block, or every tenth row), filling every genre from a
// base, and exporting the whole list. Besides the time, "longest_gap_ms" is the longest stretch in
// which no event ran: a 5 ms timer records the largest interval between two of its ticks, which is
// how long a key press or a click on "Остановить" would have waited.
#include "app/MainWindow.h"
#include "bases/BaseFill.h"
#include "desktop/Desktop.h"
#include "jobs/Job.h"
#include "music/MusicList.h"
#include "settings/ProgramFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using namespace korvane;

class QuietDesktop final : public Desktop {
public:
    void showMessage(const QString&) override {}
    void showError(const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return true; }
    std::optional<QString> chooseFolder(const QString&, const QString&) override {
        if (folder.isEmpty())
            return {};
        return folder;
    }
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QString&) override {
        return {};
    }
    bool openWithShell(const QString& path) override {
        opened = path;
        return opens;
    }
    void showMessageWithFolder(const QString&, const QString&) override {}
    bool confirmReplace(const QString&) override { return true; }
    void setClipboardText(const QString&) override {}
    void beep() override {}

    QString folder;     // what the folder picker answers
    bool opens = false; // whether an application takes the files handed to the shell
    QString opened;     // the last file handed to the shell
};

// The largest interval between two ticks of a 5 ms timer while it lives.
class GapWatch {
public:
    GapWatch() {
        m_clock.start();
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_timer.start();
    }
    // Counts the stretch since the last tick too.
    double longestMs() { return double(std::max(m_longest, m_clock.elapsed())); }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_longest = 0;
};

struct Window {
    QTemporaryDir programDir;
    QuietDesktop desktop;
    std::unique_ptr<MainWindow> window;

    Window() {
        window = std::make_unique<MainWindow>(ProgramFolder(programDir.path()), desktop);
        window->mainLoad();
        window->resize(800, 600);
        window->show();
        QApplication::processEvents();
    }
    MusicList& list() { return window->musicList(); }
    QTableView* view() { return window->ui().musicView; }

    // As the scan's job hands its rows over: complete rows in batches, the window's events
    // handled between two batches; then the list drawn.
    void appendRows(int rows) {
        constexpr int kBatch = 1000;
        std::vector<MusicRow> batch;
        for (int i = 0; i < rows; ++i) {
            const QString group = QStringLiteral("Группа %1").arg((i * 7919) % rows);
            batch.push_back({group + QStringLiteral("  \\  %1 - Album").arg(1970 + i % 50),
                             {QStringLiteral("%1,%2").arg(20 + i % 600).arg(i % 10),
                              QString::number(128 + 32 * (i % 6)), QStringLiteral("Панк"),
                              QStringLiteral("-")}});
            if (batch.size() == kBatch || i + 1 == rows) {
                list().appendRows(std::move(batch));
                batch = {};
                QApplication::processEvents();
            }
        }
    }
};

// Until the window's first paint: the window made, its main load, shown and drawn once (the
// process start before it is bench/startup.sh's part).
class FirstPaint final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

void BM_WindowFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        QTemporaryDir programDir;
        QuietDesktop desktop;
        FirstPaint watch;
        MainWindow window(ProgramFolder(programDir.path()), desktop);
        window.installEventFilter(&watch);
        window.mainLoad();
        window.show();
        for (int i = 0; i < 1000 && !watch.painted; ++i)
            QApplication::processEvents();
        if (!watch.painted)
            state.SkipWithError("the window was not painted");
    }
}
BENCHMARK(BM_WindowFirstPaint)->Unit(benchmark::kMillisecond);

void BM_WindowAppend(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Window w;
    double gap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.list().clear();
        QApplication::processEvents();
        state.ResumeTiming();
        GapWatch watch;
        w.appendRows(rows);
        gap = std::max(gap, watch.longestMs());
    }
    state.counters["longest_gap_ms"] = gap;
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_WindowAppend)
    ->ArgName("rows")
    ->Arg(20'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// A click on the header of column c, then the list redrawn; again with the caption column, so
// that every sort starts from an order not its own.
void BM_WindowSort(benchmark::State& state) {
    Window w;
    w.appendRows(static_cast<int>(state.range(1)));
    const int column = static_cast<int>(state.range(0));
    QHeaderView* header = w.view()->horizontalHeader();
    double gap = 0;
    for (auto _ : state) {
        GapWatch watch;
        emit header->sectionClicked(column);
        QApplication::processEvents();
        emit header->sectionClicked(column == 0 ? 1 : 0);
        QApplication::processEvents();
        gap = std::max(gap, watch.longestMs());
    }
    state.counters["longest_gap_ms"] = gap;
    state.SetLabel("two sorts, each drawn");
}
BENCHMARK(BM_WindowSort)
    ->ArgNames({"column", "rows"})
    ->ArgsProduct({{0, 1}, {20'000, 100'000}})
    ->Unit(benchmark::kMillisecond);

// The "Удалить" command on a selection of a tenth of the rows: one block in the middle (0) or
// every tenth row (1).
void BM_WindowDelete(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(1));
    const bool scattered = state.range(0) != 0;
    Window w;
    double gap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.list().clear();
        w.appendRows(rows);
        QItemSelection selection;
        const auto index = [&w](int row) { return w.list().index(row, 0); };
        const int last = w.list().columnCount() - 1;
        if (scattered) {
            for (int row = 0; row < rows; row += 10)
                selection.select(index(row), w.list().index(row, last));
        } else {
            selection.select(index(rows / 2), w.list().index(rows / 2 + rows / 10 - 1, last));
        }
        w.view()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        w.window->activateWindow();
        w.view()->setFocus();
        QApplication::processEvents();
        state.ResumeTiming();
        GapWatch watch;
        w.window->ui().musicDeleteAction->trigger();
        QApplication::processEvents();
        gap = std::max(gap, watch.longestMs());
        if (w.list().count() != rows - rows / 10)
            state.SkipWithError("the selection was not deleted");
    }
    state.counters["longest_gap_ms"] = gap;
    state.SetLabel("delete a tenth of the rows, then drawn");
}
BENCHMARK(BM_WindowDelete)
    ->ArgNames({"scattered", "rows"})
    ->ArgsProduct({{0, 1}, {20'000, 100'000}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// "Заполнить все жанры" on the list in the window, as the fill dialog runs it: a 50,000-line base
// read and every row filled on the music job, the changed cells applied on the window's thread.
void BM_WindowBaseFill(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    Window w;
    const QString basePath = w.programDir.filePath(QStringLiteral("genrebd.txt"));
    QByteArray base;
    for (int i = 0; i < 50'000; ++i)
        base += "группа " + QByteArray::number(i) + "=Genre " + QByteArray::number(i % 97) + "\r\n";
    QFile file(basePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(base) != base.size())
        std::abort();
    file.close();
    w.appendRows(rows);
    const bases::FillRequest request{bases::BaseKind::GenreBase, bases::FillMode::All, basePath,
                                     QStringLiteral("  \\  ")};
    double gap = 0;
    for (auto _ : state) {
        GapWatch watch;
        bases::BaseFill fill;
        Job& job = w.window->musicJob();
        std::vector<bases::BaseFill::Change> changes;
        job.start([&, rows = w.list().rows()](
                      const std::stop_token& stop) { fill.run(request, rows, changes, stop); },
                  [&] { bases::BaseFill::apply(w.list(), request.kind, changes); });
        while (job.isRunning())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QApplication::processEvents();
        gap = std::max(gap, watch.longestMs());
        if (fill.state() != bases::FillState::Done)
            state.SkipWithError("the fill did not finish");
    }
    state.counters["longest_gap_ms"] = gap;
    state.SetLabel("fill every genre from a 50,000-line base, drawn");
}
BENCHMARK(BM_WindowBaseFill)
    ->ArgName("rows")
    ->Arg(20'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

// A real scan on the music job, in the window: a tree of album folders (Group/Album, each with a
// 4 MiB file, so each becomes a row) scanned with the rows arriving in the list. Besides
// "longest_gap_ms" over the whole scan, "stop_ms" is the time from a click on "Остановить",
// halfway through a second scan, to the scan's end (its rows kept, the button "Добавить в
// коллекцию" again).
void BM_WindowScanJob(benchmark::State& state) {
    const int albums = static_cast<int>(state.range(0));
    QTemporaryDir tree;
    for (int i = 0; i < albums; ++i) {
        const QString album =
            tree.filePath(QStringLiteral("Группа %1/Альбом %2").arg(i / 10).arg(i));
        QDir().mkpath(album);
        QFile file(album + QStringLiteral("/tracks.bin"));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(4 * 1024 * 1024))
            std::abort();
    }
    Window w;
    w.desktop.folder = tree.path();
    Job& job = w.window->musicJob();
    const MainWindow::Ui& ui = w.window->ui();
    // The window's event loop, as the program runs it, until the job ends or `enough` says so.
    const auto runUntil = [&job](const std::function<bool()>& enough) {
        QEventLoop loop;
        QTimer check;
        check.setInterval(5);
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (!job.isRunning() || enough())
                loop.quit();
        });
        check.start();
        loop.exec();
    };
    const auto waitForJob = [&runUntil] { runUntil([] { return false; }); };
    double gap = 0;
    double stopMs = 0;
    for (auto _ : state) {
        ui.musicClearButton->click();
        {
            GapWatch watch;
            ui.musicScanButton->click();
            waitForJob();
            gap = std::max(gap, watch.longestMs());
        }
        if (w.list().count() != albums)
            state.SkipWithError("the scan did not list every album");

        state.PauseTiming();
        ui.musicClearButton->click();
        ui.musicScanButton->click();
        runUntil([&] { return w.list().count() >= albums / 2; });
        QElapsedTimer stopClock;
        stopClock.start();
        ui.musicScanButton->click(); // "Остановить"
        waitForJob();
        stopMs = std::max(stopMs, double(stopClock.nsecsElapsed()) / 1e6);
        if (w.list().count() >= albums)
            state.SkipWithError("the stop came after the scan's end");
        state.ResumeTiming();
    }
    state.counters["longest_gap_ms"] = gap;
    state.counters["stop_ms"] = stopMs;
    state.SetLabel("scan on the music job, rows arriving in the window");
}
BENCHMARK(BM_WindowScanJob)
    ->ArgName("albums")
    ->Arg(20'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// An export of the whole list from the page's export menu, on the list's job, until its status
// text shows: the workbook handed to the spreadsheet application, the TXT list and the JSON list
// written to the output folder.
void BM_WindowExport(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const int item = static_cast<int>(state.range(1)); // 2: workbook, 1: TXT, 6: JSON
    Window w;
    {
        QFile ini(w.programDir.filePath(QStringLiteral("set.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            std::abort();
        ini.write("[options]\r\nsave_dir=" + w.programDir.path().toUtf8() + "/\r\n");
    }
    w.desktop.opens = true;
    w.appendRows(rows);
    Job& job = w.window->musicJob();
    double gap = 0;
    for (auto _ : state) {
        GapWatch watch;
        w.window->ui().musicExportPopup->actions()[item]->trigger();
        QEventLoop loop;
        QTimer check;
        check.setInterval(5);
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (!job.isRunning())
                loop.quit();
        });
        check.start();
        loop.exec();
        gap = std::max(gap, watch.longestMs());
        if (!w.desktop.opened.isEmpty()) {
            QDir(QFileInfo(w.desktop.opened).path()).removeRecursively();
            w.desktop.opened.clear();
        }
    }
    state.counters["longest_gap_ms"] = gap;
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetLabel(item == 2 ? "workbook" : item == 1 ? "TXT" : "JSON");
}
BENCHMARK(BM_WindowExport)
    ->ArgNames({"rows", "item"})
    ->Args({100'000, 2})
    ->Args({100'000, 1})
    ->Args({100'000, 6})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
