// Microseconds of AlbumDetails per album on warm files: the folder listing, one reader (two for
// an ID3v2.4 tag that only the second reader understands) and the three cells, for each kind of
// album; beside it the album totals (every file's headers) and their floor, the listing and the
// first 64 KiB of every file. Each album holds twelve three-minute tracks (hard links of one
// encoded file), as a typical album does, so the listing costs what it costs in a real collection.
//
//   build-bench/bin/AlbumDetailsBench        makes its albums with ffmpeg, lame and oggenc

#include "music/AlbumDetails.h"
#include "music/AlbumTotals.h"
#include "music/MusicList.h"

#include "SampleFiles.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace bench = korvane::bench;
using bench::shell;

namespace {

struct Sample {
    std::string name;
    fs::path folder;
};

std::vector<Sample>& samples() {
    static std::vector<Sample> list;
    return list;
}

// An album folder of twelve tracks made from one encoded file.
void addAlbum(const std::string& name, const std::string& extension, const std::string& encode) {
    const fs::path folder = bench::scratchFolder("details_bench") / name;
    fs::create_directories(folder);
    const fs::path first = folder / ("01 - Track." + extension);
    if (!encode.empty() && !shell(encode + " '" + first.string() + "'"))
        return;
    if (encode.empty())
        shell("head -c 7000000 /dev/zero > '" + first.string() + "'");
    for (int i = 2; i <= 12; ++i) {
        char track[32];
        std::snprintf(track, sizeof track, "%02d - Track.", i);
        fs::create_hard_link(first, folder / (track + extension));
    }
    samples().push_back({name, folder});
}

void makeSamples() {
    const fs::path dir = bench::scratchFolder("details_bench");
    fs::create_directories(dir);
    const std::string wav = (dir / "source.wav").string();
    if (!bench::makeNoiseWav(wav))
        return;
    const std::string tags = " -metadata artist='Кино' -metadata album='Группа крови' "
                             "-metadata genre=Rock -metadata date=1988 "
                             "-metadata comment='Country: СССР' ";
    const std::string ffmpeg = "ffmpeg -v error -y -i '" + wav + "' ";
    addAlbum("mp3_id3v23", "mp3",
             ffmpeg + "-c:a libmp3lame -q:a 2 -id3v2_version 3 -write_id3v1 1" + tags);
    // ffmpeg writes version 4 texts in UTF-8, which only the second reader takes.
    addAlbum("mp3_id3v24", "mp3", ffmpeg + "-c:a libmp3lame -b:a 192k -id3v2_version 4" + tags);
    addAlbum("wma", "wma", ffmpeg + "-c:a wmav2 -b:a 128k" + tags);
    addAlbum("ogg", "ogg", "LC_ALL=C.UTF-8 oggenc -Q -b 160 -G Rock -d 1988 '" + wav + "' -o");
    addAlbum("no_audio", "flac", "");
    fs::remove(wav);
}

void albumDetails(benchmark::State& state, const fs::path& folder, bool allOptions) {
    const QString path = QString::fromStdString(folder.string());
    korvane::Toggles options;
    options.artistFromID3 = options.albumUppercase = options.yearInColumn = options.showVBR =
        allOptions;
    for (auto _ : state) {
        korvane::MusicRow row{QStringLiteral("Group  \\  Album"), {QStringLiteral("120,5")}};
        korvane::readAlbumDetails(path, row, QStringLiteral("  \\  "), options);
        benchmark::DoNotOptimize(row.cells.size());
    }
}

std::vector<fs::path> listing(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

void albumTotals(benchmark::State& state, const fs::path& folder) {
    for (auto _ : state) {
        const korvane::AlbumTotals totals =
            korvane::readAlbumTotals(listing(folder), {}, korvane::codepage::Choice::Auto);
        benchmark::DoNotOptimize(totals.seconds);
    }
}

void headFloor(benchmark::State& state, const fs::path& folder) {
    std::vector<char> head(64 * 1024);
    for (auto _ : state) {
        for (const fs::path& file : listing(folder)) {
            std::ifstream in(file, std::ios::binary);
            in.read(head.data(), static_cast<std::streamsize>(head.size()));
            benchmark::DoNotOptimize(in.gcount());
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    makeSamples();
    for (const Sample& sample : samples()) {
        for (const bool all : {false, true}) {
            const std::string name =
                "AlbumDetails/" + sample.name + (all ? "/all_options" : "/no_option");
            benchmark::RegisterBenchmark(name.c_str(), albumDetails, sample.folder, all)
                ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark(("AlbumTotals/" + sample.name).c_str(), albumTotals,
                                     sample.folder)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("HeadFloor/" + sample.name).c_str(), headFloor, sample.folder)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(bench::scratchFolder("details_bench"));
    return samples().empty() ? 1 : 0;
}
