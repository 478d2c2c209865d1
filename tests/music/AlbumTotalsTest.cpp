#include "music/AlbumTotals.h"

#include "../tags/TagBytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace korvane;
namespace bytes = korvane::tags::test;
namespace fs = std::filesystem;

namespace {

// Forty 128 kbit/s frames of 417 bytes: 16,680 bytes, 1.0425 s by size.
std::string cbr128() {
    return bytes::mpegFrames(40);
}
// Forty 320 kbit/s frames of 1044 bytes: 1.044 s by size.
std::string cbr320() {
    return bytes::mpegFrames(40, bytes::bytes({0xFF, 0xFB, 0xE0, 0x64}), 1044);
}
// A Xing header stating `frames` frames of `total` bytes, then a few frames: the header's count
// is what the length comes from (1152 samples at 44.1 kHz per frame).
std::string vbr(std::uint32_t frames, std::uint32_t total) {
    const std::string xing = "Xing" + bytes::be32(3) + bytes::be32(frames) + bytes::be32(total);
    return bytes::mpegFrame(bytes::kFrame128, 417, std::string(32, '\0') + xing) +
           bytes::mpegFrames(3);
}
constexpr double kCbrSeconds = 40 * 417 * 8 / 128000.0;
double frameSeconds(int frames) {
    return frames * 1152 / 44100.0;
}

struct File {
    const char* name;
    std::string bytes;
};

struct TotalsCase {
    const char* name;
    std::vector<File> files;
    int tracks;
    double seconds;
    bool mixed;
    const char* bitRateText;
};

TEST(AlbumTotals, Cases) {
    const std::string sheet12 = [] {
        std::string text = "PERFORMER \"A\"\nFILE \"image.mp3\" MP3\n";
        for (int track = 1; track <= 12; ++track)
            text += "  TRACK " + std::to_string(track) + " AUDIO\n    INDEX 01 00:00:00\n";
        return text;
    }();
    const TotalsCase cases[] = {
        {"three CBR files of one rate",
         {{"01.mp3", cbr128()}, {"02.mp3", cbr128()}, {"03.MP3", cbr128()}},
         3,
         3 * kCbrSeconds,
         false,
         ""},
        {"two constant rates",
         {{"01.mp3", cbr128()}, {"02.mp3", cbr320()}},
         2,
         kCbrSeconds + 40 * 1044 * 8 / 320000.0,
         true,
         "mp3 128-320"},
        {"VBR beside CBR",
         {{"01.mp3", vbr(100, 62700)}, {"02.mp3", cbr128()}},
         2,
         frameSeconds(100) + kCbrSeconds,
         true,
         "mp3 128-192"},
        {"VBR files of different averages are one encoding",
         {{"01.mp3", vbr(100, 62700)}, {"02.mp3", vbr(200, 104500)}},
         2,
         frameSeconds(300),
         false,
         ""},
        {"an image that its cue sheet splits into 12 tracks",
         {{"image.mp3", cbr128()}, {"image.cue", sheet12}},
         12,
         kCbrSeconds,
         false,
         ""},
        {"a sheet naming another file leaves the image one track",
         {{"image2.mp3", cbr128()}, {"image.cue", sheet12}},
         1,
         kCbrSeconds,
         false,
         ""},
        {"an unreadable file counts as a track of unknown length, other files and covers not",
         {{"01.mp3", cbr128()}, {"02.ogg", "not an ogg"}, {"cover.jpg", "x"}, {"notes.txt", "y"}},
         2,
         kCbrSeconds,
         true,
         "mp3/ogg 128"},
    };
    for (const TotalsCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const fs::path folder = dir.path().toStdString();
        std::vector<fs::path> audio, sheets;
        for (const File& file : c.files) {
            std::ofstream(folder / file.name, std::ios::binary) << file.bytes;
            (fs::path(file.name).extension() == ".cue" ? sheets : audio)
                .push_back(folder / file.name);
        }
        const AlbumTotals totals = readAlbumTotals(audio, sheets, codepage::Choice::Auto);
        EXPECT_EQ(totals.tracks, c.tracks);
        EXPECT_NEAR(totals.seconds, c.seconds, 0.001);
        EXPECT_EQ(totals.mixed, c.mixed);
        EXPECT_EQ(mixedBitRateText(totals), QString::fromUtf8(c.bitRateText));
    }
}

TEST(AlbumTotals, StopEndsTheCount) {
    QTemporaryDir dir;
    const fs::path file = fs::path(dir.path().toStdString()) / "01.mp3";
    std::ofstream(file, std::ios::binary) << cbr128();
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(readAlbumTotals({file, file}, {}, codepage::Choice::Auto, stop.get_token()).tracks,
              0);
}

TEST(AlbumTotals, PlayTimeText) {
    const std::pair<double, const char*> cases[] = {
        {0, "0:00"},       {7.4, "0:07"},     {59.5, "1:00"},      {2527, "42:07"},
        {3599.4, "59:59"}, {3753, "1:02:33"}, {36000, "10:00:00"}, {-3, "0:00"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(playTimeText(seconds), QString::fromUtf8(text)) << seconds;
}

} // namespace
