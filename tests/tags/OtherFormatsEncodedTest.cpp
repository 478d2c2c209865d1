// Files made at test time by the real encoders (wavpack, ffmpeg), and Monkey's Audio headers
// built byte by byte (Debian has no encoder for it): the readers must agree with ffprobe.
// Skipped when a tool is missing.
#include "ApeFixtures.h"
#include "EncodedFiles.h"
#include "tags/MonkeysAudioReader.h"
#include "tags/Mp4Reader.h"
#include "tags/WavPackReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace korvane::tags;
using korvane::tags::encoded::haveTool;

namespace fs = std::filesystem;

namespace {

class OtherFormatsEncoded : public encoded::EncodedFiles {
protected:
    // A sine of `seconds` as 16-bit PCM (or the PCM `codec`), `channels` at `rate`.
    std::string wav(double seconds, int channels, int rate,
                    const std::string& codec = "pcm_s16le") {
        const std::string path = (m_dir / "source.wav").string();
        encoded::run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=" +
                     std::to_string(seconds) + " -ac " + std::to_string(channels) + " -ar " +
                     std::to_string(rate) + " -c:a " + codec + " '" + path + "'");
        return path;
    }
};

void expectAgreesWithProbe(const AudioProperties& p, const std::string& file) {
    const auto probed = encoded::probe(file);
    EXPECT_EQ(std::to_string(p.sampleRate), probed.at("streams.stream.0.sample_rate"));
    EXPECT_EQ(std::to_string(p.channels), probed.at("streams.stream.0.channels"));
    EXPECT_NEAR(p.durationSeconds, std::stod(probed.at("format.duration")), 0.001);
}

struct WavPackCase {
    const char* name;
    int channels;
    int rate;
    const char* codec;
    const char* options;
    bool lossless;
    int bits;
};

TEST_F(OtherFormatsEncoded, WavPack) {
    if (!haveTool("wavpack"))
        GTEST_SKIP() << "wavpack is not installed";
    const WavPackCase cases[] = {
        {"CD stereo, default", 2, 44100, "pcm_s16le", "", true, 16},
        {"mono, high", 1, 44100, "pcm_s16le", "-h", true, 16},
        {"24-bit 96 kHz", 2, 96000, "pcm_s24le", "", true, 24},
        {"hybrid lossy 160 kbit/s", 2, 48000, "pcm_s16le", "-b160", false, 16},
        {"six channels fast", 6, 48000, "pcm_s16le", "-f", true, 16},
        {"rate outside the table", 2, 37800, "pcm_s16le", "", true, 16},
    };
    for (const WavPackCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = wav(1.5, c.channels, c.rate, c.codec);
        const std::string file = (m_dir / "a.wv").string();
        encoded::run(std::string("wavpack -q -y ") + c.options + " '" + source + "' -o '" + file +
                     "' -w 'Artist=Кино' -w 'Album=Группа крови' -w 'Year=1988' -w 'Genre=Rock'");
        WavPackReader reader;
        ASSERT_TRUE(reader.load(fs::path(file)));
        expectAgreesWithProbe(reader.properties, file);
        EXPECT_EQ(reader.lossless, c.lossless);
        EXPECT_EQ(reader.bitsPerSample, c.bits);
        EXPECT_EQ(reader.properties.artist, "Кино");
        EXPECT_EQ(reader.properties.album, "Группа крови");
        EXPECT_EQ(reader.properties.year, "1988");
        EXPECT_EQ(reader.properties.genre, "Rock");
        EXPECT_LT(reader.properties.audioBytes, static_cast<std::int64_t>(fs::file_size(file)));
    }
}

// What the readers met in today's files: a stream written to a pipe, which cannot state its
// length up front; a large cover in an ID3v2 tag before the stream; FFmpeg's own APEv2 keys.
TEST_F(OtherFormatsEncoded, WavPackAsWrittenToday) {
    if (!haveTool("wavpack"))
        GTEST_SKIP() << "wavpack is not installed";
    const std::string source = wav(3, 2, 44100);
    const std::string piped = (m_dir / "piped.wv").string();
    encoded::run("cat '" + source + "' | wavpack -q -y -i - -o - 2>/dev/null | cat > '" + piped +
                 "'");
    WavPackReader reader;
    ASSERT_TRUE(reader.load(fs::path(piped)));
    EXPECT_EQ(reader.totalSamples, -1);
    EXPECT_DOUBLE_EQ(reader.properties.durationSeconds, 3.0);
    EXPECT_GT(reader.properties.bitRate(), 0);

    const std::string byFfmpeg = (m_dir / "ffmpeg.wv").string();
    encoded::run("ffmpeg -v error -y -i '" + source +
                 "' -c:a wavpack -metadata date=1988-01-05 -metadata album_artist=Кино "
                 "-metadata album='Группа крови' '" +
                 byFfmpeg + "'");
    ASSERT_TRUE(reader.load(fs::path(byFfmpeg)));
    EXPECT_EQ(reader.properties.year, "1988");
    EXPECT_EQ(reader.properties.artist, "Кино");
    EXPECT_EQ(reader.properties.album, "Группа крови");

    // Debian's python3-mutagen is in the system interpreter, whatever python3 the path finds.
    if (std::system("/usr/bin/python3 -c 'import mutagen' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3-mutagen is not installed";
    encoded::run("/usr/bin/python3 -c \"import sys; from mutagen.id3 import ID3, APIC; t = ID3(); "
                 "t.add(APIC(mime='image/jpeg', type=3, desc='', data=bytes(200000))); "
                 "t.save(sys.argv[1])\" '" +
                 byFfmpeg + "'");
    ASSERT_TRUE(reader.load(fs::path(byFfmpeg)));
    EXPECT_GT(reader.blockStart, 200000);
    expectAgreesWithProbe(reader.properties, byFfmpeg);
    EXPECT_EQ(reader.properties.year, "1988");
}

struct MonkeysCase {
    const char* name;
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint32_t blocksPerFrame;
    std::uint32_t frames;
    std::uint32_t finalBlocks;
};

TEST_F(OtherFormatsEncoded, MonkeysAudioHeaders) {
    const MonkeysCase cases[] = {
        {"CD stereo, three frames", 2, 44100, 73728, 3, 1000},
        {"mono 48 kHz, one frame", 1, 48000, 73728 * 4, 1, 48000},
        {"stereo 96 kHz, many frames", 2, 96000, 73728, 40, 5},
    };
    for (const MonkeysCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = (m_dir / "a.ape").string();
        std::ofstream(file, std::ios::binary) << fixtures::monkeysAudio(
            c.channels, c.rate, c.blocksPerFrame, c.frames, c.finalBlocks);
        MonkeysAudioReader reader;
        ASSERT_TRUE(reader.load(fs::path(file)));
        expectAgreesWithProbe(reader.properties, file);
    }
}

struct Mp4Case {
    const char* name;
    const char* ffmpegOptions;
    int channels;
    int rate;
    const char* codec;
};

// Tagged by mutagen, as a store or a tagger would.
TEST_F(OtherFormatsEncoded, Mp4) {
    // Debian's python3-mutagen is in the system interpreter, whatever python3 the path finds.
    if (std::system("/usr/bin/python3 -c 'import mutagen' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3-mutagen is not installed";
    const Mp4Case cases[] = {
        {"AAC 128 kbit/s", "-c:a aac -b:a 128k", 2, 44100, "mp4a"},
        {"AAC mono 48 kHz", "-c:a aac -b:a 64k", 1, 48000, "mp4a"},
        {"ALAC 16-bit", "-c:a alac -sample_fmt s16p", 2, 44100, "alac"},
        {"ALAC 24-bit 96 kHz", "-c:a alac -sample_fmt s32p", 2, 96000, "alac"},
    };
    for (const Mp4Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = (m_dir / "a.m4a").string();
        encoded::run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=2 -ac " +
                     std::to_string(c.channels) + " -ar " + std::to_string(c.rate) + " " +
                     c.ffmpegOptions + " '" + file + "'");
        encoded::run(
            "/usr/bin/python3 -c \"import sys; from mutagen.mp4 import MP4; m = MP4(sys.argv[1]); "
            "m['\\xa9ART'] = ['Кино']; m['\\xa9alb'] = ['Группа крови']; "
            "m['\\xa9day'] = ['1988-01-05T00:00:00Z']; m['\\xa9gen'] = ['Рок']; "
            "m['\\xa9cmt'] = ['Country: СССР']; m.save()\" '" +
            file + "'");
        Mp4Reader reader;
        ASSERT_TRUE(reader.load(fs::path(file)));
        expectAgreesWithProbe(reader.properties, file);
        EXPECT_EQ(reader.codec, c.codec);
        const AudioProperties& p = reader.properties;
        EXPECT_EQ(p.artist, "Кино");
        EXPECT_EQ(p.album, "Группа крови");
        EXPECT_EQ(p.year, "1988");
        EXPECT_EQ(p.genre, "Рок");
        EXPECT_EQ(p.comment, "Country: СССР");
        EXPECT_GT(p.audioBytes, 0);
        EXPECT_LT(p.audioBytes, static_cast<std::int64_t>(fs::file_size(file)));
    }
}

struct FragmentedCase {
    const char* name;
    const char* command; // after the sine input; the output path follows
};

// ffmpeg's fragmented layouts and a video beside the sound: the length and the bitrate must
// agree with what ffprobe states for the sound stream.
TEST_F(OtherFormatsEncoded, Mp4AsWrittenToday) {
    const std::string sine = "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=5 ";
    const FragmentedCase cases[] = {
        {"fragmented, empty moov", "-c:a aac -b:a 128k -movflags frag_keyframe+empty_moov -f mp4"},
        {"a fragment a second",
         "-c:a aac -b:a 128k -movflags frag_keyframe+empty_moov+default_base_moof "
         "-frag_duration 1000000 -f mp4"},
        {"DASH, as downloads are", "-c:a aac -b:a 128k -f dash -single_file 1 "
                                   "-single_file_name a.m4a"},
        {"with a video track", "-f lavfi -i testsrc=size=320x240:rate=25:duration=5 -c:v mpeg4 "
                               "-b:v 2M -c:a aac -b:a 128k -f mp4"},
    };
    for (const FragmentedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = (m_dir / "a.m4a").string();
        const bool dash = std::string(c.command).find("dash") != std::string::npos;
        encoded::run(sine + c.command + " '" + (dash ? (m_dir / "a.mpd").string() : file) + "'");
        Mp4Reader reader;
        ASSERT_TRUE(reader.load(fs::path(file)));
        const auto probed = encoded::probe(file);
        const std::string sound = probed.count("streams.stream.1.bit_rate") ? "1" : "0";
        EXPECT_NEAR(reader.properties.durationSeconds, std::stod(probed.at("format.duration")),
                    0.001);
        EXPECT_NEAR(reader.properties.bitRate(),
                    std::stod(probed.at("streams.stream." + sound + ".bit_rate")) / 1000, 1.0);
        fs::remove(file);
    }
}

} // namespace
