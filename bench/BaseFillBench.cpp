// Filling a 20,000-row music list from a 50,000-line base: the whole run (read the file, build the
// table, walk the rows), as the fill dialog's job runs it.
#include "bases/BaseFill.h"

#include "music/MusicList.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace korvane;
using namespace korvane::bases;

constexpr int kBaseLines = 50'000;
constexpr int kRows = 20'000;
const QString kSeparator = QStringLiteral("  \\  ");

// Base keys "group 0" .. "group 49999"; rows name every other group of the first 40,000 in
// capitals, so half the lookups of a 40,000-group range hit and the rest miss.
struct Fixture {
    QTemporaryDir dir;
    QString basePath;
    MusicList list;

    Fixture() {
        basePath = dir.filePath(QStringLiteral("genrebd.txt"));
        QByteArray bytes;
        for (int i = 0; i < kBaseLines; ++i)
            bytes +=
                "group " + QByteArray::number(i) + "=Genre " + QByteArray::number(i % 97) + "\r\n";
        QFile file(basePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
        for (int i = 0; i < kRows; ++i)
            list.appendRow({QStringLiteral("GROUP %1").arg(i * 2) + kSeparator +
                                QStringLiteral("Album %1").arg(i),
                            {QStringLiteral("100,0"), QStringLiteral("192"), QStringLiteral("-"),
                             QStringLiteral("-")}});
    }
    void resetCells() {
        for (int i = 0; i < list.count(); ++i)
            list.setCell(i, StyleCell, QStringLiteral("-"));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void runFill(benchmark::State& state, FillMode mode) {
    Fixture& f = fixture();
    const FillRequest request{BaseKind::GenreBase, mode, f.basePath, kSeparator};
    for (auto _ : state) {
        state.PauseTiming();
        f.resetCells();
        state.ResumeTiming();
        BaseFill fill;
        fill.run(request, f.list);
        if (fill.state() != FillState::Done)
            state.SkipWithError("fill did not finish");
    }
    state.counters["rows"] = kRows;
    state.counters["lines"] = kBaseLines;
}

void BM_FillOnlyMissing(benchmark::State& state) {
    runFill(state, FillMode::OnlyMissing);
}
BENCHMARK(BM_FillOnlyMissing)->Unit(benchmark::kMillisecond);

void BM_FillAll(benchmark::State& state) {
    runFill(state, FillMode::All);
}
BENCHMARK(BM_FillAll)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
