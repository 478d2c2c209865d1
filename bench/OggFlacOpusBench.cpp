// Microseconds per load on a warm file: the Ogg Vorbis, FLAC and Opus readers against TagLib
// reading the same file's audio properties and tag in this process. Three-minute tracks, each
// with the tags the album details show and a 300 KB cover (a PICTURE block in FLAC, the
// METADATA_BLOCK_PICTURE comment in Ogg), as taggers leave them.
//
//   build-bench/bin/OggFlacOpusBench       makes its files with ffmpeg, oggenc and python3-mutagen

#include "tags/FlacReader.h"
#include "tags/OggVorbisReader.h"
#include "tags/OpusReader.h"

#include "SampleFiles.h"

#include <benchmark/benchmark.h>

#ifdef KORVANE_HAVE_TAGLIB
#include <flacfile.h>
#include <opusfile.h>
#include <tag.h>
#include <vorbisfile.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace bench = korvane::bench;
using bench::shell;

namespace {

enum class Kind { Vorbis, Flac, Opus };

struct Sample {
    std::string name;
    Kind kind;
    fs::path path;
};

std::vector<Sample>& samples() {
    static std::vector<Sample> list;
    return list;
}



constexpr const char* kCover = R"PY(
import base64, sys, mutagen
from mutagen.flac import FLAC, Picture
f = mutagen.File(sys.argv[1])
p = Picture(); p.type = 3; p.mime = "image/jpeg"; p.data = bytes(range(256)) * 1200
if isinstance(f, FLAC):
    f.add_picture(p)
else:
    f["METADATA_BLOCK_PICTURE"] = [base64.b64encode(p.write()).decode("ascii")]
f.save()
)PY";

void makeSamples() {
    const fs::path dir = bench::scratchFolder("ogg_bench");
    fs::create_directories(dir);
    const std::string wav = (dir / "source.wav").string();
    if (!bench::makeNoiseWav(wav))
        return;
    const std::string tags = " -metadata artist='Кино' -metadata album='Группа крови' "
                             "-metadata genre=Rock -metadata date=1988 ";
    const std::string ffmpeg = "ffmpeg -v error -y -i '" + wav + "' ";
    const struct {
        const char* name;
        Kind kind;
        const char* extension;
        std::string options;
    } kinds[] = {
        {"vorbis_q4", Kind::Vorbis, "ogg", "-c:a libvorbis -q:a 4"},
        {"flac", Kind::Flac, "flac", "-c:a flac"},
        {"opus_96k", Kind::Opus, "opus", "-c:a libopus -b:a 96k"},
    };
    for (const auto& kind : kinds) {
        const fs::path path = dir / (std::string(kind.name) + "." + kind.extension);
        if (shell(ffmpeg + kind.options + tags + "'" + path.string() + "'") &&
            shell("/usr/bin/python3 -c '" + std::string(kCover) + "' '" + path.string() + "'"))
            samples().push_back({kind.name, kind.kind, path});
    }
    fs::remove(wav);
}

void ourLoad(benchmark::State& state, const Sample& sample) {
    for (auto _ : state) {
        switch (sample.kind) {
        case Kind::Vorbis: {
            korvane::tags::OggVorbisReader ogg;
            ogg.load(sample.path);
            benchmark::DoNotOptimize(ogg.bitRate());
            benchmark::DoNotOptimize(ogg.genre.data());
            break;
        }
        case Kind::Flac: {
            korvane::tags::FlacReader flac;
            flac.load(sample.path);
            benchmark::DoNotOptimize(flac.properties.bitRate());
            benchmark::DoNotOptimize(flac.properties.genre.data());
            break;
        }
        case Kind::Opus: {
            korvane::tags::OpusReader opus;
            opus.load(sample.path);
            benchmark::DoNotOptimize(opus.properties.bitRate());
            benchmark::DoNotOptimize(opus.properties.genre.data());
            break;
        }
        }
    }
}

#ifdef KORVANE_HAVE_TAGLIB
template <typename File> void readWithTagLib(const fs::path& path) {
    File file(path.c_str(), true, TagLib::AudioProperties::Average);
    benchmark::DoNotOptimize(file.audioProperties()->bitrate());
    benchmark::DoNotOptimize(file.tag()->genre().size());
}

void tagLibLoad(benchmark::State& state, const Sample& sample) {
    for (auto _ : state) {
        switch (sample.kind) {
        case Kind::Vorbis:
            readWithTagLib<TagLib::Ogg::Vorbis::File>(sample.path);
            break;
        case Kind::Flac:
            readWithTagLib<TagLib::FLAC::File>(sample.path);
            break;
        case Kind::Opus:
            readWithTagLib<TagLib::Ogg::Opus::File>(sample.path);
            break;
        }
    }
}
#endif

} // namespace

int main(int argc, char** argv) {
    makeSamples();
    for (const Sample& sample : samples()) {
        benchmark::RegisterBenchmark(("Reader_load/" + sample.name).c_str(), ourLoad, sample)
            ->Unit(benchmark::kMicrosecond);
#ifdef KORVANE_HAVE_TAGLIB
        benchmark::RegisterBenchmark(("TagLib_PropertiesAndTag/" + sample.name).c_str(), tagLibLoad,
                                     sample)
            ->Unit(benchmark::kMicrosecond);
#endif
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(bench::scratchFolder("ogg_bench"));
    return samples().empty() ? 1 : 0;
}
