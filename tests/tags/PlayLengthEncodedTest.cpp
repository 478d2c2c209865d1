// How long a file plays, read from its headers, against what ffprobe says of files the real
// encoders make: every format the album details read, mp3 with and without a VBR header.
// Skipped when a tool is missing.
#include "EncodedFiles.h"
#include "tags/AudioFormats.h"

#include <gtest/gtest.h>

#include <string>

using namespace korvane::tags;
using korvane::tags::encoded::haveTool;

namespace {

struct PlayLengthCase {
    const char* name;
    AudioFormat format;
    const char* file;
    const char* encoder; // ffmpeg options after the source; empty: another tool below
};

class PlayLengthEncoded : public encoded::EncodedFiles {};

TEST_F(PlayLengthEncoded, AgreesWithProbeWithinATenthOfASecond) {
    const PlayLengthCase cases[] = {
        {"mp3 CBR 128 with an Info header", AudioFormat::Mp3, "cbr.mp3",
         "-c:a libmp3lame -b:a 128k"},
        {"mp3 CBR 320 without a VBR header", AudioFormat::Mp3, "bare.mp3",
         "-c:a libmp3lame -b:a 320k -write_xing 0"},
        {"mp3 VBR with a Xing header", AudioFormat::Mp3, "vbr.mp3", "-c:a libmp3lame -q:a 2"},
        {"MPEG 2 Layer III at 22 kHz, VBR", AudioFormat::Mp3, "mpeg2.mp3",
         "-c:a libmp3lame -ar 22050 -q:a 5"},
        {"MPEG 2 Layer III at 16 kHz, no header", AudioFormat::Mp3, "mpeg2bare.mp3",
         "-c:a libmp3lame -ar 16000 -b:a 64k -write_xing 0"},
        {"Layer II in an .mp3", AudioFormat::Mp3, "layer2.mp3", "-c:a mp2 -b:a 192k -f mp2"},
        {"WMA version 2", AudioFormat::Wma, "a.wma", "-c:a wmav2 -b:a 128k"},
        {"Ogg Vorbis", AudioFormat::Ogg, "a.ogg", "-c:a libvorbis -q:a 4"},
        {"Opus", AudioFormat::Opus, "a.opus", "-c:a libopus -b:a 96k"},
        {"FLAC", AudioFormat::Flac, "a.flac", "-c:a flac"},
        {"AAC in M4A", AudioFormat::M4a, "a.m4a", "-c:a aac -b:a 160k"},
        {"WavPack", AudioFormat::WavPack, "a.wv", ""},
    };
    const std::string source = (m_dir / "source.wav").string();
    encoded::run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=7.3 -ac 2 -ar 44100 "
                 "'" +
                 source + "'");
    for (const PlayLengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = (m_dir / c.file).string();
        if (std::string(c.encoder).empty()) {
            if (!haveTool("wavpack"))
                continue;
            encoded::run("wavpack -q -y '" + source + "' -o '" + file + "'");
        } else {
            encoded::run("ffmpeg -v error -y -i '" + source + "' " + c.encoder + " '" + file + "'");
        }
        const AudioFileInfo info = readAudioFile(c.format, file, korvane::codepage::Choice::Auto);
        ASSERT_TRUE(info.result.isRead()) << info.result.reason();
        const double probed = std::stod(encoded::probe(file).at("format.duration"));
        EXPECT_NEAR(info.playSeconds, probed, 0.1);
        EXPECT_NEAR(info.playSeconds, 7.3, 0.2);
    }
}

} // namespace
