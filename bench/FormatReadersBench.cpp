// Microseconds per load on a warm file: the readers of the newer formats (Ogg Vorbis, FLAC, Opus,
// MP4, WavPack, Monkey's Audio) against TagLib reading the same file's audio properties and tag
// in this process. Three-minute tracks, each with the tags the album details show and a 300 KB
// cover, as taggers leave them: a PICTURE block in FLAC, the METADATA_BLOCK_PICTURE comment in
// Ogg, covr in MP4, a binary APEv2 item in WavPack and APE. The APE file is a header and a tag
// around frames of noise: Debian has no Monkey's Audio encoder, and neither reader decodes the
// frames.
//
//   build-bench/bin/FormatReadersBench    makes its files with ffmpeg, wavpack and python3-mutagen

#include "tags/FlacReader.h"
#include "tags/MonkeysAudioReader.h"
#include "tags/Mp4Reader.h"
#include "tags/OggVorbisReader.h"
#include "tags/OpusReader.h"
#include "tags/WavPackReader.h"

#include "SampleFiles.h"

#include <benchmark/benchmark.h>

#ifdef KORVANE_HAVE_TAGLIB
#include <apefile.h>
#include <flacfile.h>
#include <mp4file.h>
#include <opusfile.h>
#include <tag.h>
#include <vorbisfile.h>
#include <wavpackfile.h>
#endif

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
namespace bench = korvane::bench;
using bench::shell;

namespace {

enum class Kind { Vorbis, Flac, Opus, Mp4, WavPack, MonkeysAudio };

struct Sample {
    std::string name;
    Kind kind;
    fs::path path;
};

std::vector<Sample>& samples() {
    static std::vector<Sample> list;
    return list;
}

fs::path scratch() {
    return bench::scratchFolder("formats_bench");
}

// The cover for every file, and the tags for the files FFmpeg cannot tag (APEv2 in WavPack and
// APE) or tags otherwise than taggers do (iTunes items in MP4).
constexpr const char* kTagger = R"PY(
import base64, sys, mutagen
from mutagen.flac import FLAC, Picture
from mutagen.mp4 import MP4, MP4Cover
from mutagen.apev2 import APEv2, APEValue, BINARY
name = sys.argv[1]
cover = bytes(range(256)) * 1200
if name.endswith(".m4a"):
    f = MP4(name)
    f["\xa9ART"] = ["Кино"]; f["\xa9alb"] = ["Группа крови"]; f["\xa9day"] = ["1988"]
    f["\xa9gen"] = ["Rock"]; f["covr"] = [MP4Cover(cover, MP4Cover.FORMAT_JPEG)]
    f.save()
elif name.endswith((".wv", ".ape")):
    t = APEv2()
    t["Artist"] = "Кино"; t["Album"] = "Группа крови"; t["Year"] = "1988"; t["Genre"] = "Rock"
    t["Cover Art (Front)"] = APEValue(b"cover.jpg\0" + cover, BINARY)
    t.save(name)
else:
    f = mutagen.File(name)
    p = Picture(); p.type = 3; p.mime = "image/jpeg"; p.data = cover
    if isinstance(f, FLAC):
        f.add_picture(p)
    else:
        f["METADATA_BLOCK_PICTURE"] = [base64.b64encode(p.write()).decode("ascii")]
    f.save()
)PY";

void le(std::ofstream& out, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Three minutes of CD audio at about 900 kbit/s of "frames".
void writeMonkeysAudio(const fs::path& path) {
    constexpr std::uint32_t kBlocksPerFrame = 73728 * 4;
    constexpr std::uint32_t kFrames = 27; // 180 s of 44100 Hz
    constexpr std::uint32_t kFrameBytes = 20250000;
    std::ofstream out(path, std::ios::binary);
    out << "MAC ";
    le(out, 3990, 2), le(out, 0, 2), le(out, 52, 4), le(out, 24, 4), le(out, 4 * kFrames, 4);
    le(out, 0, 4), le(out, kFrameBytes, 4), le(out, 0, 4), le(out, 0, 4);
    out << std::string(16, '\0');
    le(out, 2000, 2), le(out, 0, 2), le(out, kBlocksPerFrame, 4),
        le(out, 44100 * 180 % kBlocksPerFrame, 4);
    le(out, kFrames, 4), le(out, 16, 2), le(out, 2, 2), le(out, 44100, 4);
    for (std::uint32_t i = 0; i < kFrames; ++i)
        le(out, 52 + 24 + 4 * kFrames + i * (kFrameBytes / kFrames), 4);
    std::string noise(kFrameBytes, '\0');
    std::uint32_t seed = 1;
    for (char& c : noise)
        c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    out << noise;
}

void makeSamples() {
    const fs::path dir = scratch();
    fs::create_directories(dir);
    const std::string wav = (dir / "source.wav").string();
    if (!bench::makeNoiseWav(wav))
        return;
    const std::string ffmpeg = "ffmpeg -v error -y -i '" + wav + "' ";
    const std::string tags = " -metadata artist='Кино' -metadata album='Группа крови' "
                             "-metadata genre=Rock -metadata date=1988 ";
    const struct {
        const char* name;
        Kind kind;
        const char* extension;
        std::string make; // ends with the output path; empty: written here
    } kinds[] = {
        {"vorbis_q4", Kind::Vorbis, "ogg", ffmpeg + "-c:a libvorbis -q:a 4" + tags},
        {"flac", Kind::Flac, "flac", ffmpeg + "-c:a flac" + tags},
        {"opus_96k", Kind::Opus, "opus", ffmpeg + "-c:a libopus -b:a 96k" + tags},
        {"m4a_aac_256k", Kind::Mp4, "m4a", ffmpeg + "-c:a aac -b:a 256k"},
        {"m4a_alac", Kind::Mp4, "m4a", ffmpeg + "-c:a alac"},
        {"wavpack", Kind::WavPack, "wv", "wavpack -q -y '" + wav + "' -o"},
        {"ape", Kind::MonkeysAudio, "ape", ""},
    };
    for (const auto& kind : kinds) {
        const fs::path path = dir / (std::string(kind.name) + "." + kind.extension);
        if (kind.make.empty())
            writeMonkeysAudio(path);
        else if (!shell(kind.make + " '" + path.string() + "'"))
            continue;
        if (shell("/usr/bin/python3 -c '" + std::string(kTagger) + "' '" + path.string() + "'"))
            samples().push_back({kind.name, kind.kind, path});
    }
    fs::remove(wav);
}

template <typename Reader> void loadWith(const fs::path& path) {
    Reader reader;
    reader.load(path);
    benchmark::DoNotOptimize(reader.properties.bitRate());
    benchmark::DoNotOptimize(reader.properties.genre.data());
}

void ourLoad(benchmark::State& state, const Sample& sample) {
    using namespace korvane::tags;
    for (auto _ : state) {
        switch (sample.kind) {
        case Kind::Vorbis: {
            OggVorbisReader ogg;
            ogg.load(sample.path);
            benchmark::DoNotOptimize(ogg.bitRate());
            benchmark::DoNotOptimize(ogg.genre.data());
            break;
        }
        case Kind::Flac:
            loadWith<FlacReader>(sample.path);
            break;
        case Kind::Opus:
            loadWith<OpusReader>(sample.path);
            break;
        case Kind::Mp4:
            loadWith<Mp4Reader>(sample.path);
            break;
        case Kind::WavPack:
            loadWith<WavPackReader>(sample.path);
            break;
        case Kind::MonkeysAudio:
            loadWith<MonkeysAudioReader>(sample.path);
            break;
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
        case Kind::Mp4:
            readWithTagLib<TagLib::MP4::File>(sample.path);
            break;
        case Kind::WavPack:
            readWithTagLib<TagLib::WavPack::File>(sample.path);
            break;
        case Kind::MonkeysAudio:
            readWithTagLib<TagLib::APE::File>(sample.path);
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
    fs::remove_all(scratch());
    return samples().empty() ? 1 : 0;
}
