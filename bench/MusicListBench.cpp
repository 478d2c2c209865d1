// The music list on 20,000 rows: a click on a column header (the ordinal Windows-1251 sort), and
// the TXT and HTML exports from the rows to the bytes written (the write itself left out). Then
// the three exports of 200,000 rows with bold group names, as the window and korvane-cli run them,
// each to its file: run one at a time under /usr/bin/time for its peak memory, e.g.
// --benchmark_filter='MusicExport/kind:1'.
#include "catalogue/ListFilter.h"
#include "export/HtmlExport.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"
#include "export/TxtExport.h"
#include "export/XlsxWorkbook.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "text/LocaleText.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

constexpr int kRows = 20'000;
constexpr int kExportRows = 200'000;
const QString kSeparator = QStringLiteral("  \\  ");
constexpr qint64 kMiB = 1024 * 1024;

// Rows as a scan of a mixed collection makes them, values first and the texts made from them:
// Latin and Cyrillic group names in no order, sizes and bitrates that sort as text, a few styles
// and countries, some cells still "-".
std::vector<MusicRow> makeRows(int count) {
    const QStringList groups = {
        QStringLiteral("Кино"),  QStringLiteral("The Clash"),           QStringLiteral("Аквариум"),
        QStringLiteral("ska-p"), QStringLiteral("Гражданская оборона"), QStringLiteral("Ramones")};
    const QStringList styles = {QStringLiteral("Панк"), QStringLiteral("Ska"),
                                QStringLiteral("Rock"), QStringLiteral("-")};
    const QStringList countries = {QStringLiteral("Россия"), QStringLiteral("UK"),
                                   QStringLiteral("Spain"), QStringLiteral("-")};
    const QString mp3 = QStringLiteral("mp3");
    Toggles toggles;
    toggles.artistFromID3 = true;
    toggles.showVBR = true;
    std::vector<MusicRow> rows;
    rows.reserve(static_cast<size_t>(count));
    unsigned seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const unsigned r = seed >> 8;
        MusicRow row;
        RowValues& v = row.values;
        v.kind = RowValues::Kind::Album;
        v.setNames(groups[r % groups.size()] + QStringLiteral(" %1").arg(r % 1000),
                   QStringLiteral("%1 - Альбом %2").arg(1970 + r % 50).arg(i),
                   QString::number(1970 + r % 50));
        // "x,y" MiB
        v.bytes = (20 + r % 600) * kMiB + (r % 10) * kMiB / 10 + 1;
        v.format = mp3;
        v.vbr = (r & 1) != 0;
        v.bitrate = static_cast<qint32>(v.vbr ? 128 + r % 192 : 128 + 32 * (r % 6));
        formatMusicRow(row, QString(), toggles, kSeparator);
        row.cells << styles[(r >> 3) % styles.size()] << countries[(r >> 5) % countries.size()];
        rows.push_back(std::move(row));
    }
    return rows;
}

const std::vector<MusicRow>& rows() {
    static const std::vector<MusicRow> made = makeRows(kRows);
    return made;
}

// Each iteration sorts by the column and then by the caption, as two header clicks: every sort
// starts from an order that is not its own.
void BM_SortByColumn(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    MusicList list;
    for (const MusicRow& row : rows())
        list.appendRow(row);
    for (auto _ : state) {
        list.sortByColumn(column);
        list.sortByColumn(column == 0 ? 1 : 0);
    }
    state.SetItemsProcessed(state.iterations() * 2 * kRows);
    state.SetLabel("two sorts of 20,000 rows");
}
BENCHMARK(BM_SortByColumn)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// One keystroke in the filter field over 100,000 rows: the words change and every row is looked
// at again. Warm: the rows' folded texts are made (every keystroke but the first after a sort);
// cold: the list was sorted just before, so every text is made again.
void BM_FilterKeystroke(benchmark::State& state) {
    const bool cold = state.range(0) != 0;
    MusicList list;
    for (const MusicRow& row : makeRows(100'000))
        list.appendRow(row);
    ListFilter filter(list, MusicList::CategoryHeaderRole);
    const QStringList keystrokes = {QStringLiteral("к"), QStringLiteral("ки"),
                                    QStringLiteral("кин"), QStringLiteral("кино 19")};
    filter.setText(QStringLiteral("warm"));
    int i = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            list.sortByColumn(i % 2);
            state.ResumeTiming();
        }
        filter.setText(keystrokes[i++ % keystrokes.size()]);
        benchmark::DoNotOptimize(filter.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * 100'000);
    state.SetLabel(cold ? "after a sort" : "texts folded");
}
BENCHMARK(BM_FilterKeystroke)->ArgName("cold")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MusicTxt(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string out =
            exporter::cp1251Lines(exporter::musicTxtLines(rows(), kSeparator, false, "10.12.2026"));
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_MusicTxt)->Unit(benchmark::kMillisecond);

void BM_MusicHtml(benchmark::State& state) {
    const QString page =
        QStringLiteral("<html><head><meta charset=\"windows-1251\"></head>\r\n<body><table>\r\n"
                       "##ТАБЛИЦА##\r\n</table></body></html>\r\n");
    const bool bold = state.range(0) != 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out;
        exporter::writePage([&out](const QString& text) { out += text::toCp1251(text); },
                            *exporter::splitTemplate(page),
                            [bold](const exporter::LineSink& sink) {
                                exporter::musicHtmlRows(rows(), bold, kSeparator, sink);
                            });
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_MusicHtml)->ArgName("bold")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 0: TXT, 1: HTML, 2: the workbook; 3: nothing, the rows alone (the base of the peak memory).
void BM_MusicExport(benchmark::State& state) {
    const std::vector<MusicRow> many = makeRows(kExportRows);
    QTemporaryDir folder;
    const QString dir = folder.path() + u'/';
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    };
    write(dir + QStringLiteral("set.ini"), "[options]\r\nsave_dir=" + QFile::encodeName(dir));
    write(dir + QStringLiteral("mp3blank.htm"),
          "<html><body><table>\r\n##\xD2\xC0\xC1\xCB\xC8\xD6\xC0##"
          "\r\n</table></body></html>\r\n");
    SettingsFile settings(dir + QStringLiteral("set.ini"));
    const ProgramFolder programFolder(folder.path());
    Toggles toggles;
    toggles.albumBoldFont = true;
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            exporter::writeMusicTxt(many, settings, toggles, QDate(2026, 12, 10));
            break;
        case 1:
            exporter::writeMusicHtml(many, settings, toggles, programFolder);
            break;
        case 2:
            exporter::writeWorkbook(exporter::musicSheet(many, settings, toggles),
                                    dir + QStringLiteral("music.xlsx"));
            break;
        default:
            benchmark::DoNotOptimize(many.data());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kExportRows);
    state.SetLabel("200,000 rows, bold group names, to a file");
}
BENCHMARK(BM_MusicExport)
    ->ArgName("kind")
    ->DenseRange(0, 3)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
