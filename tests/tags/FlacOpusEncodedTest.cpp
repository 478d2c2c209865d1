// FLAC, Opus and Ogg Vorbis files made by the real encoders and tagged by a real tagger
// (mutagen) at test time: the readers must give the tags written and agree with ffprobe on the
// sound. Skipped when a tool is missing.
#include "tags/FlacReader.h"
#include "tags/OggVorbisReader.h"
#include "tags/OpusReader.h"

#include "EncodedFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

using namespace korvane::tags;
using namespace korvane::tags::encoded;

namespace {

// Sets NAME=value tags and, with --cover, adds a picture of about 300 KB: as a PICTURE block
// in FLAC, as the METADATA_BLOCK_PICTURE comment (base64) in Ogg.
constexpr const char* kTagger = R"PY(
import base64, sys, mutagen
from mutagen.flac import FLAC, Picture
f = mutagen.File(sys.argv[1])
for arg in sys.argv[2:]:
    if arg == "--cover":
        p = Picture(); p.type = 3; p.mime = "image/jpeg"; p.data = bytes(range(256)) * 1200
        if isinstance(f, FLAC):
            f.add_picture(p)
        else:
            f["METADATA_BLOCK_PICTURE"] = [base64.b64encode(p.write()).decode("ascii")]
    else:
        name, value = arg.split("=", 1)
        f[name] = value
f.save()
)PY";

bool haveTools(std::initializer_list<const char*> tools) {
    for (const char* tool : tools) {
        if (!haveTool(tool))
            return false;
    }
    return true;
}

bool haveMutagen() {
    // Debian's python3, the one python3-mutagen installs into (another may come first on PATH).
    return std::system("/usr/bin/python3 -c 'import mutagen' >/dev/null 2>&1") == 0;
}

void tag(const fs::path& file, const std::string& arguments) {
    run("LC_ALL=C.UTF-8 /usr/bin/python3 -c '" + std::string(kTagger) + "' '" + file.string() +
        "' " + arguments);
}

// A 44.1 kHz stereo and a 48 kHz mono tone of 3 s.
struct Tones {
    fs::path stereo;
    fs::path mono;
};

Tones makeTones(const fs::path& dir) {
    Tones tones{dir / "stereo.wav", dir / "mono.wav"};
    run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=3:sample_rate=44100 -ac 2 "
        "-fflags +bitexact '" +
        tones.stereo.string() + "'");
    run("ffmpeg -v error -y -f lavfi -i sine=frequency=330:duration=3:sample_rate=48000 -ac 1 "
        "-fflags +bitexact '" +
        tones.mono.string() + "'");
    return tones;
}

struct Expected {
    std::string artist;
    std::string album;
    std::string year;
    std::string genre;
    std::string comment;
};

void expectTags(const AudioProperties& p, const Expected& e) {
    EXPECT_EQ(p.artist, e.artist);
    EXPECT_EQ(p.album, e.album);
    EXPECT_EQ(p.year, e.year);
    EXPECT_EQ(p.genre, e.genre);
    EXPECT_EQ(p.comment, e.comment);
}

// The bytes of a FLAC file's metadata as metaflac lists them: "fLaC" and each block's header
// and length.
std::int64_t flacMetadataSize(const fs::path& file) {
    const std::string listing = run("metaflac --list '" + file.string() + "'");
    const std::regex length(R"(\n  length: (\d+))");
    std::int64_t size = 4;
    for (auto it = std::sregex_iterator(listing.begin(), listing.end(), length);
         it != std::sregex_iterator(); ++it)
        size += 4 + std::stoll((*it)[1]);
    return size;
}

const Expected kCyrillic = {"Кино", "Группа крови", "1988", "Rock", "Live"};
const std::string kCyrillicTags =
    "ARTIST=Кино 'ALBUM=Группа крови' DATE=1988-01-04 GENRE=Rock COMMENT=Live";

} // namespace

TEST_F(EncodedFiles, FlacFiles) {
    if (!haveTools({"flac", "metaflac"}) || !haveMutagen())
        GTEST_SKIP() << "flac, metaflac or python3-mutagen is not installed";
    const Tones tones = makeTones(m_dir);
    struct Case {
        const char* name;
        std::string make; // the command, with OUT for the file
        std::string tags; // mutagen's arguments, if any
        int id3v2Size;    // an ID3v2 tag put in front, if not 0
        Expected expected;
        int bits;
    };
    const Case cases[] = {
        {"flac -5 with --tag",
         "flac -s -5 --tag=ARTIST=Кино '--tag=ALBUM=Группа крови' --tag=DATE=1988-01-04 "
         "--tag=GENRE=Rock --tag=COMMENT=Live -o OUT '" +
             tones.stereo.string() + "'",
         "", 0, kCyrillic, 16},
        {"ffmpeg, mono 24 bits",
         "ffmpeg -v error -y -i '" + tones.mono.string() +
             "' -c:a flac -sample_fmt s32 -bits_per_raw_sample 24 -metadata artist=Band "
             "-metadata date=2001 -metadata genre=Jazz OUT",
         "",
         0,
         {"Band", "", "2001", "Jazz", ""},
         24},
        {"mutagen: cover of 300 KB, ALBUMARTIST and DESCRIPTION",
         "flac -s -8 -o OUT '" + tones.stereo.string() + "'",
         "--cover ALBUMARTIST=Оркестр DESCRIPTION=Studio DATE=1975",
         0,
         {"Оркестр", "", "1975", "", "Studio"},
         16},
        {"ID3v2 tag in front", "flac -s -5 -o OUT '" + tones.stereo.string() + "'", kCyrillicTags,
         4096, kCyrillic, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = m_dir / "out.flac";
        fs::remove(file);
        run("LC_ALL=C.UTF-8 " +
            std::regex_replace(c.make, std::regex("OUT"), "'" + file.string() + "'"));
        // Probed before tagging: the cover's bytes are no image ffprobe could decode.
        auto stated = probe(file);
        if (!c.tags.empty())
            tag(file, c.tags);
        const std::int64_t metadata = flacMetadataSize(file);
        if (c.id3v2Size > 0) {
            // ID3v2.3 header with a syncsafe size, then zero padding.
            std::string id3 = std::string("ID3\x03\x00\x00", 6);
            for (int shift : {21, 14, 7, 0})
                id3 += static_cast<char>((c.id3v2Size - 10) >> shift & 0x7F);
            id3 += std::string(c.id3v2Size - 10, '\0');
            const std::string bytes = id3 + readFile(file);
            std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        }

        FlacReader flac;
        ASSERT_TRUE(flac.load(file));
        expectTags(flac.properties, c.expected);
        EXPECT_EQ(flac.id3v2Size, c.id3v2Size);
        EXPECT_EQ(flac.properties.sampleRate, std::stoi(stated["streams.stream.0.sample_rate"]));
        EXPECT_EQ(flac.properties.channels, std::stoi(stated["streams.stream.0.channels"]));
        EXPECT_EQ(flac.bitsPerSample, c.bits);
        EXPECT_NEAR(flac.properties.durationSeconds, std::stod(stated["format.duration"]), 0.001);
        EXPECT_DOUBLE_EQ(flac.properties.durationSeconds, 3.0);
        EXPECT_EQ(flac.properties.audioBytes,
                  static_cast<std::int64_t>(fs::file_size(file)) - c.id3v2Size - metadata);
        EXPECT_EQ(flac.properties.bitRate(),
                  std::nearbyint(flac.properties.audioBytes / 3.0 / 125));
    }
}

TEST_F(EncodedFiles, OpusFiles) {
    if (!haveTools({"opusenc"}) || !haveMutagen())
        GTEST_SKIP() << "opus-tools or python3-mutagen is not installed";
    const Tones tones = makeTones(m_dir);
    struct Case {
        const char* name;
        std::string make;
        Expected expected;
        int channels;
        int inputRate;
        int bitRate; // about what the encoder was asked for
    };
    const Case cases[] = {
        {"opusenc, 64 kbit/s CBR",
         "opusenc --quiet --hard-cbr --bitrate 64 --artist Кино '--album=Группа крови' --date "
         "1988-01-04 --genre Rock --comment COMMENT=Live '" +
             tones.stereo.string() + "' OUT",
         kCyrillic, 2, 44100, 64},
        {"ffmpeg libopus, mono 32 kbit/s",
         "ffmpeg -v error -y -i '" + tones.mono.string() +
             "' -c:a libopus -b:a 32k -vbr off -metadata artist=Band -metadata date=2001 "
             "-metadata genre=Jazz OUT",
         {"Band", "", "2001", "Jazz", ""},
         1,
         48000,
         32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = m_dir / "out.opus";
        fs::remove(file);
        run("LC_ALL=C.UTF-8 " +
            std::regex_replace(c.make, std::regex("OUT"), "'" + file.string() + "'"));
        auto stated = probe(file);

        OpusReader opus;
        ASSERT_TRUE(opus.load(file));
        const AudioProperties& p = opus.properties;
        expectTags(p, c.expected);
        EXPECT_EQ(p.channels, std::stoi(stated["streams.stream.0.channels"]));
        EXPECT_EQ(p.channels, c.channels);
        EXPECT_EQ(p.sampleRate, 48000);
        EXPECT_EQ(opus.inputSampleRate, c.inputRate);
        EXPECT_GT(opus.preSkip, 0);
        // ffprobe counts the pre-skip in; the sound is 3 s.
        EXPECT_NEAR(p.durationSeconds + opus.preSkip / 48000.0,
                    std::stod(stated["format.duration"]), 0.001);
        EXPECT_NEAR(p.durationSeconds, 3.0, 0.001);
        // Ogg's page headers add a little to the encoder's rate.
        EXPECT_NEAR(p.bitRate(), c.bitRate, c.bitRate * 0.1);

        // A 300 KB cover makes the headers' pages larger, not the audio.
        tag(file, "--cover GENRE=Punk");
        OpusReader covered;
        ASSERT_TRUE(covered.load(file));
        EXPECT_GT(static_cast<std::int64_t>(fs::file_size(file)), 400'000);
        EXPECT_EQ(covered.properties.genre, "Punk");
        EXPECT_EQ(covered.properties.artist, c.expected.artist);
        EXPECT_EQ(covered.properties.audioBytes, p.audioBytes);
        EXPECT_EQ(covered.properties.bitRate(), p.bitRate());
        EXPECT_DOUBLE_EQ(covered.properties.durationSeconds, p.durationSeconds);
    }
}

TEST_F(EncodedFiles, OggVorbisWithCover) {
    if (!haveTools({"oggenc"}) || !haveMutagen())
        GTEST_SKIP() << "oggenc or python3-mutagen is not installed";
    const Tones tones = makeTones(m_dir);
    const fs::path file = m_dir / "cover.ogg";
    run("oggenc -Q -b 112 -G Rock -d 2001 -o '" + file.string() + "' '" + tones.stereo.string() +
        "'");
    OggVorbisReader plain;
    ASSERT_TRUE(plain.load(file));
    // oggenc puts the comment and setup headers on the second page: audio starts with the third.
    const std::string bytes = readFile(file);
    const std::size_t third = bytes.find("OggS", bytes.find("OggS", 1) + 1);
    ASSERT_NE(third, std::string::npos);
    EXPECT_EQ(plain.audioBytes, static_cast<std::int64_t>(bytes.size() - third));

    tag(file, "--cover ARTIST=Кино 'ALBUM=Группа крови' GENRE=Punk");
    EXPECT_GT(static_cast<std::int64_t>(fs::file_size(file)), 400'000);
    OggVorbisReader ogg;
    ASSERT_TRUE(ogg.load(file));
    // Every tag is read past the cover, and the cover does not count as sound.
    EXPECT_EQ(ogg.artist, "Кино");
    EXPECT_EQ(ogg.album, "Группа крови");
    EXPECT_EQ(ogg.genre, "Punk");
    EXPECT_EQ(ogg.date, "2001");
    EXPECT_EQ(ogg.audioBytes, plain.audioBytes);
    EXPECT_EQ(ogg.bitRate(), plain.bitRate());
    EXPECT_DOUBLE_EQ(ogg.duration(), 3.0);
}
