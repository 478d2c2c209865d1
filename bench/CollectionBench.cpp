// "Статистика" and "Найти дубликаты" over 100,000 music rows, as the window and korvane-cli run
// them: the goal is under 0.5 s each.
#include "CollectionRows.h"
#include "music/CollectionStats.h"
#include "music/Duplicates.h"

#include <QStringList>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

constexpr int kRows = 100'000;
const QString kSeparator = QStringLiteral("  \\  ");

const std::vector<MusicRow>& rows() {
    static const std::vector<MusicRow> made = makeCollectionRows(kRows, kSeparator);
    return made;
}

void Statistics(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(collectionStats(rows(), kSeparator));
}
BENCHMARK(Statistics)->Unit(benchmark::kMillisecond);

void Duplicates(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(findDuplicates(rows(), kSeparator));
}
BENCHMARK(Duplicates)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
