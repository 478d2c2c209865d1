// The catalogue's save and load of a list of 100,000 album rows: the restore at start-up and the
// store after each command.
#include "catalogue/CatalogueStore.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

StoredList albums(int count) {
    StoredList list;
    list.count = count;
    for (int i = 0; i < count; ++i) {
        CatalogueRow row{
            QStringLiteral("Группа %1  \\  %2 - Альбом").arg(i / 10).arg(1990 + i % 10),
            {QStringLiteral("85,3"), QStringLiteral("320"), QStringLiteral("Rock"),
             QStringLiteral("Россия")}};
        row.origin = {QStringLiteral("/home/user/Музыка"),
                      QStringLiteral("Группа %1/%2 - Альбом").arg(i / 10).arg(1990 + i % 10),
                      QByteArray(20, static_cast<char>(i))};
        list.rows.push_back(std::move(row));
    }
    return list;
}

void saveRows(benchmark::State& state) {
    QTemporaryDir dir;
    CatalogueStore store(dir.filePath("korvane.db"));
    const StoredList list = albums(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.save(StoredListName::Music, list));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(saveRows)->Arg(100000)->Unit(benchmark::kMillisecond);

void loadRows(benchmark::State& state) {
    QTemporaryDir dir;
    CatalogueStore store(dir.filePath("korvane.db"));
    store.save(StoredListName::Music, albums(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.load(StoredListName::Music));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(loadRows)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
