// Microseconds per mp3 load on a warm file: MpegAudioReader (which runs both tag readers) against
// TagLib reading the same file's audio properties and tag in this process.
//
//   build-bench/bin/MpegAudioBench                      makes its files with ffmpeg
//   KORVANE_BENCH_MP3=/path/a.mp3 build-bench/bin/MpegAudioBench

#include "tags/Id3v2FrameReader.h"
#include "tags/MpegAudioReader.h"

#include "SampleFiles.h"

#include <benchmark/benchmark.h>

#ifdef KORVANE_HAVE_TAGLIB
#include <mpegfile.h>
#include <tag.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Sample {
    std::string name;
    std::filesystem::path path;
};

std::vector<Sample>& samples() {
    static std::vector<Sample> list;
    return list;
}

// Three minutes of noise, as a typical track: ID3v2.3 tag with a 60 KB picture-sized frame,
// ID3v1 tag; one constant and one variable bitrate file.
void makeSamples() {
    if (const char* given = std::getenv("KORVANE_BENCH_MP3")) {
        samples().push_back({"given", given});
        return;
    }
    const auto dir = korvane::bench::scratchFolder("bench");
    std::filesystem::create_directories(dir);
    const std::string wav = (dir / "source.wav").string();
    const std::string common = " -id3v2_version 3 -write_id3v1 1 -metadata artist='Кино' "
                               "-metadata album='Группа крови' -metadata genre=Rock "
                               "-metadata date=1988 -metadata comment=\"$(head -c 60000 "
                               "/dev/zero | tr '\\0' x)\" ";
    if (!korvane::bench::makeNoiseWav(wav))
        return;
    const std::pair<const char*, const char*> kinds[] = {{"cbr192", "-b:a 192k"},
                                                         {"vbr", "-q:a 2"}};
    for (const auto& [name, options] : kinds) {
        const auto path = dir / (std::string(name) + ".mp3");
        if (korvane::bench::shell("ffmpeg -v error -y -i '" + wav + "' -c:a libmp3lame " + options +
                                  common + "'" + path.string() + "'"))
            samples().push_back({name, path});
    }
    std::filesystem::remove(wav);
}

void mpegAudioLoad(benchmark::State& state, const std::filesystem::path& path) {
    for (auto _ : state) {
        korvane::tags::MpegAudioReader mpeg;
        mpeg.load(path);
        benchmark::DoNotOptimize(mpeg.bitRate());
        benchmark::DoNotOptimize(mpeg.id3v2.artist.data());
    }
}

void id3v2FramesRead(benchmark::State& state, const std::filesystem::path& path) {
    for (auto _ : state) {
        korvane::tags::Id3v2FrameReader tag;
        tag.load(path);
        benchmark::DoNotOptimize(tag.texts.leadArtist.size());
    }
}

#ifdef KORVANE_HAVE_TAGLIB
void tagLibRead(benchmark::State& state, const std::filesystem::path& path) {
    for (auto _ : state) {
        TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
        benchmark::DoNotOptimize(file.audioProperties()->bitrate());
        benchmark::DoNotOptimize(file.tag()->artist().size());
    }
}
#endif

} // namespace

int main(int argc, char** argv) {
    makeSamples();
    for (const Sample& sample : samples()) {
        benchmark::RegisterBenchmark(("MpegAudioReader_load/" + sample.name).c_str(), mpegAudioLoad,
                                     sample.path)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("Id3v2FrameReader_read/" + sample.name).c_str(),
                                     id3v2FramesRead, sample.path)
            ->Unit(benchmark::kMicrosecond);
#ifdef KORVANE_HAVE_TAGLIB
        benchmark::RegisterBenchmark(("TagLib_PropertiesAndTag/" + sample.name).c_str(), tagLibRead,
                                     sample.path)
            ->Unit(benchmark::kMicrosecond);
#endif
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!std::getenv("KORVANE_BENCH_MP3"))
        std::filesystem::remove_all(korvane::bench::scratchFolder("bench"));
    return samples().empty() ? 1 : 0;
}
