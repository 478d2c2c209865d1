// "Статистика" and "Найти дубликаты" opened over 100,000 rows (offscreen): the time until the
// window shows its figures, and "longest_gap_ms", the longest stretch in which no event ran (a
// 5 ms timer records the largest interval between two of its ticks): how long a click would wait.
#include "CollectionRows.h"
#include "music/DuplicatesWindow.h"
#include "music/StatsWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>

namespace {

using namespace korvane;

const QString kSeparator = QStringLiteral("  \\  ");

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
    double longestMs() { return double(std::max(m_longest, m_clock.elapsed())); }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_longest = 0;
};

// Runs the event loop until done() holds.
void runUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start();
    loop.exec();
}

MusicList& list() {
    static MusicList* made = [] {
        auto* rows = new MusicList;
        rows->resetRows(makeCollectionRows(100'000, kSeparator));
        return rows;
    }();
    return *made;
}

template <typename Window> void openOver100000Rows(benchmark::State& state) {
    double longest = 0;
    MusicList& rows = list(); // made before the clock runs
    for (auto _ : state) {
        GapWatch gaps;
        Window window(rows, kSeparator);
        window.show();
        runUntil([&window] { return !window.summary()->text().isEmpty(); });
        longest = std::max(longest, gaps.longestMs());
    }
    state.counters["longest_gap_ms"] = longest;
}

void Statistics(benchmark::State& state) {
    openOver100000Rows<StatsWindow>(state);
}
BENCHMARK(Statistics)->Unit(benchmark::kMillisecond)->UseRealTime();

void Duplicates(benchmark::State& state) {
    openOver100000Rows<DuplicatesWindow>(state);
}
BENCHMARK(Duplicates)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
