// What deciding the code page of one 8-bit text costs: typical titles, names and file names of
// every code page, 4 to 40 bytes. Figures are per text.
#include "text/CodePageDetector.h"

#include <benchmark/benchmark.h>

#include <string_view>

namespace {

constexpr std::string_view kTexts[] = {
    "\xCA\xE8\xED\xEE",                              // cp1251: Кино
    "\xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8", // cp1251: Группа крови
    "\xC7\xE2\xE5\xE7\xE4\xE0 \xEF\xEE \xE8\xEC\xE5\xED\xE8 \xD1\xEE\xEB\xED\xF6\xE5 (Live "
    "1990)",            // cp1251: Звезда по имени Солнце (Live 1990)
    "\xEB\xC9\xCE\xCF", // koi8_r: Кино
    "\xE7\xD2\xD5\xD0\xD0\xC1 \xCB\xD2\xCF\xD7\xC9", // koi8_r: Группа крови
    "\xFA\xD7\xC5\xDA\xC4\xC1 \xD0\xCF \xC9\xCD\xC5\xCE\xC9 \xF3\xCF\xCC\xCE\xC3\xC5 (Live "
    "1990)", // koi8_r: Звезда по имени Солнце (Live 1990)
    "\x8C\xA0\xAC\xA0_\x80\xAD\xA0\xE0\xE5\xA8\xEF.mp3", // cp866: Мама_Анархия.mp3
    "\x8F\xAE\xE1\xAB\xA5\xA4\xAD\xA8\xA9 \xA3\xA5\xE0\xAE\xA9 - \x8D\xAE\xE7\xEC", // cp866:
                                                                                    // Последний
                                                                                    // герой -
                                                                                    // Ночь
    "Sigur R\xF3s",                                    // cp1252: Sigur Rós
    "Mot\xF6rhead - Ace of Spades",                    // cp1252: Motörhead - Ace of Spades
    "Les Mis\xE9rables: \xC0 la volont\xE9 du peuple", // cp1252: Les Misérables: À la volonté
                                                       // du peuple
    "\xCB\xE8\xF0\xE8\xF7\xE5\xF1\xEA\xE0\xFF",        // cp1251: Лирическая
};

void BM_DetectOneText(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string_view text : kTexts)
            benchmark::DoNotOptimize(korvane::codepage::detect(text));
    }
    state.SetItemsProcessed(state.iterations() * std::size(kTexts));
    state.counters["ns_per_text"] =
        benchmark::Counter(double(state.iterations() * std::size(kTexts)),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DetectOneText);

void BM_DetectAndDecode(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string_view text : kTexts) {
            const auto decision = korvane::codepage::detect(text);
            benchmark::DoNotOptimize(korvane::codepage::toUtf8(text, decision.encoding));
        }
    }
    state.SetItemsProcessed(state.iterations() * std::size(kTexts));
}
BENCHMARK(BM_DetectAndDecode);

} // namespace

BENCHMARK_MAIN();
