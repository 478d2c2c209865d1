// Every audio reader and the video probe on damaged copies of real files, and on directory
// entries that are no readable file. A load must end with the reader's own failure result or a
// consistent success, never hang, never read outside its buffers (the sanitizer build runs this).
#include "../tags/ApeFixtures.h"
#include "../tags/Mp4Fixtures.h"
#include "music/AlbumDetails.h"
#include "music/MusicList.h"
#include "music/MusicScan.h"
#include "tags/ApeTagReader.h"
#include "tags/ByteSource.h"
#include "tags/CueSheetReader.h"
#include "tags/FlacReader.h"
#include "tags/Id3v1Reader.h"
#include "tags/Id3v2FrameReader.h"
#include "tags/Id3v2Reader.h"
#include "tags/MonkeysAudioReader.h"
#include "tags/Mp4Reader.h"
#include "tags/MpegAudioReader.h"
#include "tags/OggVorbisReader.h"
#include "tags/OpusReader.h"
#include "tags/WavPackReader.h"
#include "tags/WmaReader.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"
#include "video/VideoScan.h"

#include "DamagedMedia.h"

#include "../tags/TagBytes.h"

#include "ToolRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::test {
namespace {

namespace fs = std::filesystem;
using namespace tags;
using Clock = std::chrono::steady_clock;

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct Seed {
    std::string name;
    std::string bytes;
};

// The good files the damage starts from: the committed mp3 seeds, and files that lame, oggenc
// and ffmpeg make now (left out when the tool is missing).
class Seeds {
public:
    Seeds() {
        m_dir = fs::temp_directory_path() / ("korvane-corrupt-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        for (const auto& entry : fs::directory_iterator(KORVANE_FUZZ_SEEDS "/mp3"))
            audio.push_back({entry.path().filename().string(), readFile(entry.path())});
        addBuiltTags();
        if (haveTool("ffmpeg"))
            makeEncoded();
    }
    ~Seeds() {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    const fs::path& dir() const { return m_dir; }

    std::vector<Seed> audio;
    std::vector<Seed> video;

private:
    void add(std::vector<Seed>& to, const std::string& name, const std::string& command) {
        const fs::path path = m_dir / name;
        if (run(command + " '" + path.string() + "'") && fs::file_size(path) > 0)
            to.push_back({name, readFile(path)});
    }

    // Tag layouts that no tool at hand writes: unsynchronisation of a whole 2.3 tag, and 2.4
    // frames with their own unsynchronisation, data length indicators and grouping.
    void addBuiltTags() {
        namespace b = tags::test;
        const std::string v23 = b::id3v2Tag(
            3,
            b::be32(6) + b::bytes({0, 0, 0, 0, 0, 0}) + "TPE1" + b::be32(3) + b::bytes({0, 0}) +
                b::bytes({0, 0xFF, 0x00, 0xE0}) + b::frameV3("TCON", b::bytes({0}) + "(17)") +
                b::frameV3("COMM", b::bytes({1}) + "eng" + b::bytes({0xFF, 0xFE, 0, 0}) +
                                       b::bytes({0xFF, 0xFE}) + b::utf16le("Country: UK")),
            0x80 | 0x40);
        const std::string v24 = b::id3v2Tag(
            4,
            b::syncsafe(6) + b::bytes({1, 0}) +
                b::frameV4("TPE1", b::bytes({9}) + b::syncsafe(3) + b::bytes({3, 0xFF, 0x00, 0xE0}),
                           0x40 | 0x03) +
                b::frameV4("TALB", b::bytes({7}) + b::bytes({2}) + b::utf16be("Альбом"), 0x40) +
                b::frameV4("TCON", b::bytes({3}) + "17" + b::bytes({0}) + "(RX)"),
            0x40);
        audio.push_back({"unsynchronised-v23.mp3", v23 + b::mpegFrames(12)});
        audio.push_back({"frame-flags-v24.mp3", v24 + b::mpegFrames(12)});
    }

    void makeEncoded() {
        const std::string wav = (m_dir / "tone.wav").string();
        if (!run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=1:sample_rate=22050 "
                 "-ac 1 '" +
                 wav + "'"))
            return;
        const std::string audioIn = "ffmpeg -v error -y -i '" + wav + "' ";
        if (haveTool("lame")) {
            add(audio, "lame-tags.mp3",
                "lame --quiet -b 32 --add-id3v2 --tt Title --ta Artist --tl Album --ty 1999 "
                "--tg Rock '" +
                    wav + "'");
            add(audio, "lame-vbr.mp3", "lame --quiet -V 6 '" + wav + "'");
        }
        // ID3v2.4 in UTF-8 and an Info frame ahead of a constant-bitrate stream.
        add(audio, "ffmpeg-v24.mp3",
            audioIn + "-c:a libmp3lame -b:a 32k -metadata artist=Земляне -metadata date=1984 "
                      "-metadata 'comment=Country: СССР' -metadata genre=17");
        if (haveTool("oggenc"))
            add(audio, "oggenc.ogg",
                "oggenc -Q -q 0 -t Title -a Artist -l Album -d 1999 -G Rock -N 3 '" + wav + "' -o");
        add(audio, "ffmpeg.ogg", audioIn + "-c:a libvorbis -metadata artist=A -metadata album=B");
        if (haveTool("flac"))
            add(audio, "flac.flac",
                "flac -s -f --tag=ARTIST=Artist --tag=GENRE=Rock '" + wav + "' --no-padding -o");
        add(audio, "ffmpeg.flac", audioIn + "-c:a flac -metadata artist=A -metadata date=1999");
        add(audio, "ffmpeg.opus", audioIn + "-c:a libopus -b:a 16k -metadata genre=Rock");
        add(audio, "aac.m4a", audioIn + "-c:a aac -b:a 32k -metadata artist=A -metadata album=B");
        add(audio, "alac.m4a", audioIn + "-c:a alac -metadata genre=Rock");
        if (haveTool("wavpack"))
            add(audio, "wavpack.wv", "wavpack -q -y -w Artist=A -w Genre=Rock '" + wav + "' -o");
        // Debian has no Monkey's Audio encoder: a header of the current layout and a tag.
        audio.push_back({"built.ape", fixtures::monkeysAudio(1, 22050, 73728, 1, 22050, 2000) +
                                          fixtures::apeTag({{"Artist", "A"}, {"Year", "1999"}})});
        add(audio, "ffmpeg.wma",
            audioIn + "-c:a wmav2 -b:a 32k -metadata title=T -metadata artist=A -metadata "
                      "album=B -metadata genre=Rock -metadata date=1999 -metadata track=3");

        const std::string picture =
            "ffmpeg -v error -y -f lavfi -i testsrc=size=96x64:rate=10:duration=1 ";
        add(video, "mpeg4.avi", picture + "-c:v mpeg4");
        add(video, "mpeg4.mp4", picture + "-c:v mpeg4");
        add(video, "mjpeg.mkv", picture + "-c:v mjpeg");
        add(video, "mpeg1.mpg", picture + "-c:v mpeg1video -f mpeg");
        add(video, "wmv2.wmv", picture + "-c:v wmv2");
    }

    fs::path m_dir;
};

Seeds& seeds() {
    static Seeds instance;
    return instance;
}

// The slowest single load, reported at the end: a hang shows as a test that never ends.
struct Slowest {
    double seconds = 0;
    std::string what;
    void note(Clock::time_point begin, const std::string& name) {
        const double took = std::chrono::duration<double>(Clock::now() - begin).count();
        if (took > seconds) {
            seconds = took;
            what = name;
        }
    }
    void print(const char* title) const {
        std::cout << title << ": slowest load " << seconds * 1000 << " ms (" << what << ")\n";
    }
};

// Every reader on the bytes, checking the result each one promises.
void loadEveryReader(std::string_view bytes, const std::string& what, Slowest& slowest) {
    SCOPED_TRACE(what);
    const auto size = static_cast<std::int64_t>(bytes.size());
    const Clock::time_point begin = Clock::now();
    {
        MemorySource source(bytes);
        MpegAudioReader mpeg;
        const ReadResult result = mpeg.load(source);
        EXPECT_FALSE(result.isUnreadable()) << "a read from memory cannot fail";
        EXPECT_EQ(result.isRead(), mpeg.frame.found);
        if (mpeg.frame.found) {
            EXPECT_GE(mpeg.audioStart, 0);
            EXPECT_LT(mpeg.audioStart, size);
            EXPECT_LE(mpeg.audioEnd, size);
            EXPECT_LE(mpeg.id3v2.size, size);
        } else {
            // Without a frame nothing of the file is taken.
            EXPECT_EQ(mpeg.fileLength, 0);
            EXPECT_FALSE(mpeg.id3v1.exists);
            EXPECT_FALSE(mpeg.id3v2.exists);
            EXPECT_FALSE(mpeg.vbr.found);
            EXPECT_EQ(mpeg.bitRate(), 0);
        }
    }
    {
        MemorySource source(bytes);
        Id3v1Reader tag;
        EXPECT_FALSE(tag.load(source).isDamaged());
        EXPECT_LE(tag.tailSize(), size);
        // Lyrics3 fields may fill the texts without a tag behind them.
        if (!tag.exists && !tag.lyricsFound) {
            EXPECT_TRUE(tag.title.empty() && tag.artist.empty() && tag.album.empty());
        }
    }
    {
        MemorySource source(bytes);
        Id3v2Reader tag;
        EXPECT_FALSE(tag.load(source).isUnreadable());
        EXPECT_GE(tag.size, 0);
        EXPECT_LE(tag.size, size);
        if (tag.size == 0) {
            EXPECT_TRUE(tag.title.empty() && tag.artist.empty() && tag.album.empty());
        }
    }
    {
        MemorySource source(bytes);
        Id3v2FrameReader tag;
        if (tag.load(source).isDamaged()) {
            EXPECT_FALSE(tag.header().hasTag) << "a damaged tag leaves the reader reset";
            EXPECT_TRUE(tag.frameIds().empty());
        } else {
            EXPECT_LE(tag.header().size, static_cast<std::uint64_t>(size));
        }
    }
    {
        MemorySource source(bytes);
        WmaReader wma;
        const bool loaded = wma.load(source).isRead();
        if (!loaded || !wma.valid) {
            EXPECT_EQ(wma.bitRate, 0);
            EXPECT_EQ(wma.duration, 0.0);
            EXPECT_TRUE(wma.title.empty() && wma.artist.empty() && wma.genre.empty());
        } else {
            EXPECT_GT(wma.bitRate, 0);
            EXPECT_TRUE(std::isfinite(wma.duration));
        }
    }
    {
        MemorySource source(bytes);
        OggVorbisReader ogg;
        const bool loaded = ogg.load(source).isRead();
        const double duration = ogg.duration();
        EXPECT_TRUE(std::isfinite(duration));
        EXPECT_GE(ogg.bitRate(), 0);
        if (!loaded) {
            EXPECT_EQ(duration, 0.0);
            EXPECT_TRUE(ogg.vendor.empty() && ogg.title.empty());
        }
    }
    // The newer formats' readers: a failed load leaves nothing, a good one stays inside the file.
    const auto checkProperties = [size](bool loaded, const AudioProperties& p) {
        if (!loaded) {
            EXPECT_EQ(p.audioBytes, 0);
            EXPECT_TRUE(p.artist.empty() && p.genre.empty() && p.year.empty());
        }
        EXPECT_GE(p.audioBytes, 0);
        EXPECT_LE(p.audioBytes, size);
        EXPECT_TRUE(std::isfinite(p.durationSeconds));
        EXPECT_GE(p.bitRate(), 0);
    };
    {
        MemorySource source(bytes);
        FlacReader flac;
        const bool loaded = flac.load(source).isRead();
        checkProperties(loaded, flac.properties);
    }
    {
        MemorySource source(bytes);
        OpusReader opus;
        const bool loaded = opus.load(source).isRead();
        checkProperties(loaded, opus.properties);
    }
    {
        MemorySource source(bytes);
        Mp4Reader mp4;
        const bool loaded = mp4.load(source).isRead();
        checkProperties(loaded, mp4.properties);
        EXPECT_LE(mp4.mediaDataBytes, size);
    }
    {
        MemorySource source(bytes);
        WavPackReader wv;
        const bool loaded = wv.load(source).isRead();
        checkProperties(loaded, wv.properties);
    }
    {
        MemorySource source(bytes);
        MonkeysAudioReader ape;
        const bool loaded = ape.load(source).isRead();
        checkProperties(loaded, ape.properties);
    }
    {
        MemorySource source(bytes);
        ApeTagReader tag;
        if (tag.load(source)) {
            EXPECT_GE(tag.start, 0);
            EXPECT_LE(tag.start + tag.size + tag.id3v1Size, size);
        } else {
            EXPECT_TRUE(tag.artist.empty() && tag.album.empty());
        }
    }
    {
        MemorySource source(bytes);
        CueSheetReader cue;
        if (!cue.load(source)) {
            EXPECT_TRUE(cue.files.empty() && cue.performer.empty());
        }
        EXPECT_LE(cue.files.size(), 64u);
    }
    slowest.note(begin, what);
}

TEST(CorruptMedia, EveryReaderOnDamagedAudio) {
    Slowest slowest;
    std::size_t loads = 0;
    for (const Seed& seed : seeds().audio) {
        for (const Damaged& damaged : allDamage(seed.bytes, 4096)) {
            loadEveryReader(damaged.bytes, seed.name + ": " + damaged.what, slowest);
            ++loads;
        }
    }
    std::cout << loads << " damaged audio files\n";
    slowest.print("audio readers");
}

// The hostile shapes of the newer formats, each in an album folder of its own: every one gives
// its row with the bitrate of nothing read and "-" cells, at once.
TEST(CorruptMedia, HostileFilesOfTheNewerFormats) {
    using namespace fixtures;
    const std::string ftyp = box("ftyp", "M4A " + be(0, 4));
    std::string deep = box("free", "");
    for (int i = 0; i < 5000; ++i)
        deep = box("moov", deep);
    std::string deepUdta = box("free", "");
    for (int i = 0; i < 5000; ++i)
        deepUdta = box("udta", deepUdta);
    std::string tinyBoxes;
    for (int i = 0; i < 200000; ++i)
        tinyBoxes += box("free", "");
    const std::string lyingItem = box("\xA9"
                                      "ART",
                                      be(0xFFFFFFF0, 4) + "data" + be(1, 4) + be(0, 4) + "A");
    const std::string lyingIlst =
        box("moov", box("udta", fullBox("meta", box("ilst", lyingItem + be(0x7FFFFFFF, 4) +
                                                                "\xA9"
                                                                "alb"))));
    // A movie with a video whose sound fragments claim 2^32 - 1 samples of 2^32 - 1 bytes.
    const std::string video = box(
        "trak", tkhd(1) + box("mdia", fullBox("hdlr", be(0, 4) + "vide" + std::string(13, '\0'))));
    const std::string lyingFragments =
        box("moov", mvhd(1000, 0) + video +
                        soundTrack(mdhd(1000, 0), sampleEntry("mp4a", 2, 44100), {},
                                   stsz(0xFFFFFFFF, 0xFFFFFFFF), tkhd(2)) +
                        mvex(2, 0xFFFFFFFF, 0xFFFFFFFF)) +
        moof(2, 0, 0, {}, 0xFFFFFFFF) + moof(2, 0, 0, be(0xFFFFFFFF, 8), 0xFFFFFFFF) +
        box("mdat", std::string(100, 'x'));
    // A stream of unknown length: thousands of empty blocks and junk after them, so that the
    // last block is not where the sound ends and the walk meets its bound.
    std::string emptyBlocks;
    for (int i = 0; i < 20000; ++i)
        emptyBlocks += wavPackBlock(kWavPackCdFlags, 0xFFFFFFFF, {}, 0, i, 1);
    // Blocks per frame and total frames of 2^32 - 1: a count past 63 bits.
    std::string overflowing = monkeysAudio(2, 44100, 73728, 1, 1);
    overflowing.replace(56, 4, le(0xFFFFFFFF, 4)).replace(64, 4, le(0xFFFFFFFF, 4));
    std::string cueJunk = "FILE \"x.flac\" WAVE\n";
    for (int i = 0; cueJunk.size() < (3 << 20); ++i)
        cueJunk += std::string(1, static_cast<char>(i * 37)) + "\0REM GENRE \xFF\xFE";
    struct Case {
        const char* name;
        std::string file;
        std::string bitrate;
        std::string extra = {}; // a second file beside it
        std::string extraName = {};
    };
    const Case cases[] = {
        {"box size 0 for moov", ftyp + be(0, 4) + "moov", "m4a 0"},
        {"box size 1 without its 64 bits", ftyp + be(1, 4) + "moov" + be(0, 4), "m4a 0"},
        {"64-bit size past the end", ftyp + be(1, 4) + "moov" + be(~0ull, 8) + "x", "m4a 0"},
        {"moov size past the end", ftyp + be(0x7FFFFFFF, 4) + "moov", "m4a 0"},
        {"moov nested thousands deep", ftyp + deep, "m4a 0"},
        {"udta nested thousands deep", ftyp + box("moov", deepUdta), "m4a 0"},
        {"hundreds of thousands of tiny boxes", ftyp + tinyBoxes, "m4a 0"},
        {"ilst items with lying lengths", ftyp + lyingIlst, "m4a 0"},
        {"APEv2 item count that lies",
         wavPackBlock(kWavPackCdFlags, 0xFFFFFFFF, {}, 100) +
             apeHeaderOrFooter(2000, 32, 0xFFFFFFFF, 0),
         "wv 0"},
        {"APEv2 sizes that lie",
         wavPackBlock(kWavPackCdFlags, 0xFFFFFFFF, {}, 100) +
             apeHeaderOrFooter(2000, 0xFFFFFFFF, 3, 0x80000000u),
         "wv 0"},
        {"fragments and sample sizes that lie", ftyp + lyingFragments, "m4a 0"},
        {"WavPack of unknown length, thousands of blocks", emptyBlocks + "junk", "wv 0"},
        {"WavPack of unknown length, the last block's index past 2^40",
         wavPackBlock(kWavPackCdFlags, 0xFFFFFFFF, {}, 100, 0xFFFFFFFFFFull, 0xFFFFFFFF), "wv 0"},
        {"APE header of a zero rate", monkeysAudio(2, 0, 73728, 5, 10), "ape 0"},
        {"APE with counts that overflow", overflowing, "ape 0"},
        {"cue of megabytes of binary junk", std::string(8, '\0'), "flac 0", cueJunk, "x.cue"},
    };
    const fs::path root = seeds().dir() / "hostile";
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string ending = std::string(c.bitrate.substr(0, c.bitrate.find(' ')));
        const fs::path album = root / std::to_string(index++);
        fs::create_directories(album);
        writeFile(album / ("01." + ending), c.file);
        if (!c.extraName.empty())
            writeFile(album / c.extraName, c.extra);
        MusicRow row{QStringLiteral("Band  \\  Album"), {QStringLiteral("5")}};
        Toggles options;
        options.artistFromID3 = true;
        options.yearInColumn = true;
        const Clock::time_point begin = Clock::now();
        readAlbumDetails(QString::fromStdString(album.string()), row, QStringLiteral("  \\  "),
                         options);
        std::cout << c.name << ": "
                  << std::chrono::duration<double>(Clock::now() - begin).count() * 1000 << " ms\n";
        const QStringList cells = row.cells;
        ASSERT_EQ(cells.size(), 4);
        EXPECT_EQ(row.caption, QStringLiteral("Band  \\  Album"));
        EXPECT_EQ(cells[1].toStdString(), c.bitrate);
        EXPECT_EQ(cells[2], QStringLiteral("-"));
        EXPECT_EQ(cells[3], QStringLiteral("-"));
    }
    fs::remove_all(root);
}

// Video files are media files too: the audio readers meet them in folders named like albums.
TEST(CorruptMedia, EveryReaderOnDamagedVideo) {
    if (seeds().video.empty())
        GTEST_SKIP() << "ffmpeg is not installed";
    Slowest slowest;
    for (const Seed& seed : seeds().video) {
        for (const Damaged& damaged : allDamage(seed.bytes, 512))
            loadEveryReader(damaged.bytes, seed.name + ": " + damaged.what, slowest);
    }
    slowest.print("audio readers on video");
}

// The same through the files themselves: the read-ahead windows over a real file.
TEST(CorruptMedia, ReadersThroughFiles) {
    const fs::path path = seeds().dir() / "damaged.bin";
    for (const Seed& seed : seeds().audio) {
        for (const Damaged& damaged : allDamage(seed.bytes, 64)) {
            SCOPED_TRACE(seed.name + ": " + damaged.what);
            writeFile(path, damaged.bytes);
            MpegAudioReader mpeg;
            const ReadResult fromFile = mpeg.load(path);
            EXPECT_FALSE(fromFile.isUnreadable());
            MemorySource memory(damaged.bytes);
            MpegAudioReader expected;
            EXPECT_EQ(fromFile.status(), expected.load(memory).status());
            EXPECT_EQ(mpeg.bitRate(), expected.bitRate());
            EXPECT_EQ(mpeg.audioStart, expected.audioStart);
            EXPECT_EQ(mpeg.id3v2.title, expected.id3v2.title);
            EXPECT_EQ(mpeg.id3v1.lyrics, expected.id3v1.lyrics);
            WmaReader wma;
            wma.load(path);
            OggVorbisReader ogg;
            EXPECT_FALSE(ogg.load(path).isUnreadable());
        }
    }
}

TEST(CorruptMedia, ProbeOnDamagedVideo) {
    if (seeds().video.empty())
        GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path dir = seeds().dir();
    Slowest slowest;
    std::size_t probes = 0;
    for (const Seed& seed : seeds().video) {
        // A few dozen cuts per clip: each probe opens a file and runs the demuxer.
        std::vector<Damaged> damage = truncations(seed.bytes, 16);
        std::vector<Damaged> cuts;
        for (std::size_t i = 0; i < damage.size();
             i += std::max<std::size_t>(damage.size() / 40, 1))
            cuts.push_back(std::move(damage[i]));
        std::vector<Damaged> sizes = brokenSizes(seed.bytes);
        std::vector<Damaged> tails = garbageAfterHeader(seed.bytes);
        cuts.insert(cuts.end(), sizes.begin(), sizes.end());
        cuts.insert(cuts.end(), tails.begin(), tails.end());
        const fs::path path = dir / seed.name; // the extension stays: FFmpeg looks at it
        for (const Damaged& damaged : cuts) {
            SCOPED_TRACE(seed.name + ": " + damaged.what);
            writeFile(path, damaged.bytes);
            video::VideoInfo info;
            info.fileName = path.string();
            const Clock::time_point begin = Clock::now();
            info.probe();
            slowest.note(begin, seed.name + ": " + damaged.what);
            ++probes;
            EXPECT_TRUE(std::isfinite(info.video.frameRate));
            EXPECT_GE(info.video.frameRate, 0.0);
            if (info.video.codec.empty()) {
                EXPECT_EQ(info.video.width, 0);
            }
        }
        // The clip itself still probes: the damage, not the probe, emptied the cells.
        writeFile(path, seed.bytes);
        video::VideoInfo good;
        good.fileName = path.string();
        good.probe();
        EXPECT_EQ(good.video.width, 96) << seed.name;
    }
    std::cout << probes << " damaged clips\n";
    slowest.print("probe");
}

// ---- Entries that are no readable file ----

// Runs `body` in a child process and tells whether it ended by itself with status 0. A child
// still running after 20 seconds is blocked for good and is killed.
bool endsInChild(const std::function<bool()>& body) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body() ? 0 : 1);
    for (int tenths = 0; tenths < 200; ++tenths) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        ::usleep(100000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return false;
}

// What every reader and the probe give for an entry that cannot be opened as a file: the one
// answer of a file that cannot be read, which names the file.
bool everyReaderFailsToOpen(const fs::path& path) {
    const auto unreadable = [&path](const ReadResult& result) {
        return result.isUnreadable() &&
               result.reason().starts_with("Cannot open file \"" + path.string());
    };
    bool ok = true;
    MpegAudioReader mpeg;
    ok = ok && unreadable(mpeg.load(path)) && mpeg.fileLength == 0;
    Id3v1Reader v1;
    ok = ok && unreadable(v1.load(path));
    Id3v2Reader v2;
    ok = ok && unreadable(v2.load(path));
    WmaReader wma;
    ok = ok && unreadable(wma.load(path));
    OggVorbisReader ogg;
    ok = ok && unreadable(ogg.load(path));
    Id3v2FrameReader jv;
    ok = ok && unreadable(jv.load(path));
    video::VideoInfo info;
    info.fileName = path.string();
    info.probe();
    return ok && info.video == video::VideoStreamInfo();
}

TEST(CorruptMedia, EntriesThatAreNoReadableFile) {
    const fs::path dir = seeds().dir() / "entries";
    fs::create_directories(dir);
    struct Case {
        const char* what;
        std::function<fs::path()> make;
    };
    const std::vector<Case> cases = {
        {"a folder named like a file",
         [&] {
             fs::create_directories(dir / "folder.mp3");
             return dir / "folder.mp3";
         }},
        {"a file that vanished after the listing",
         [&] {
             writeFile(dir / "gone.mp3", seeds().audio.front().bytes);
             fs::remove(dir / "gone.mp3");
             return dir / "gone.mp3";
         }},
        {"a dangling link",
         [&] {
             fs::create_symlink(dir / "nowhere.mp3", dir / "dangling.mp3");
             return dir / "dangling.mp3";
         }},
        {"a link loop",
         [&] {
             fs::create_symlink(dir / "loop-b.mp3", dir / "loop-a.mp3");
             fs::create_symlink(dir / "loop-a.mp3", dir / "loop-b.mp3");
             return dir / "loop-a.mp3";
         }},
        {"a pipe nobody writes to",
         [&] {
             ::mkfifo((dir / "pipe.mp3").c_str(), 0600);
             return dir / "pipe.mp3";
         }},
        {"a link to a pipe",
         [&] {
             ::mkfifo((dir / "pipe2").c_str(), 0600);
             fs::create_symlink(dir / "pipe2", dir / "pipe-link.ogg");
             return dir / "pipe-link.ogg";
         }},
        {"a character device", [] { return fs::path("/dev/zero"); }},
    };
    for (const Case& c : cases) {
        const fs::path path = c.make();
        // A reader that blocks (a pipe without a writer) keeps the child from ending.
        EXPECT_TRUE(endsInChild([&] { return everyReaderFailsToOpen(path); })) << c.what;
    }
}

// The music scan over albums whose audio file is damaged: one row per album, each with its four
// cells, whatever the readers made of the file.
TEST(CorruptMedia, MusicScanOfDamagedAlbums) {
    const fs::path root = seeds().dir() / "collection";
    std::size_t albums = 0;
    for (const Seed& seed : seeds().audio) {
        const std::vector<Damaged> damage = allDamage(seed.bytes, 4096);
        const std::string ending = fs::path(seed.name).extension().string();
        for (std::size_t i = 0; i < damage.size();
             i += std::max<std::size_t>(damage.size() / 25, 1)) {
            const fs::path album = root / ("Group " + seed.name) / ("Album " + std::to_string(i));
            fs::create_directories(album);
            writeFile(album / ("01" + ending), damage[i].bytes);
            // The album's size, so that it is above the scan's limit.
            writeFile(album / "cover.bin", "");
            fs::resize_file(album / "cover.bin", 4 << 20);
            ++albums;
        }
    }
    class Host : public MusicScanHost{public : } host;
    MusicList list;
    const MusicScanResult result =
        scanMusic(QString::fromStdString(root.string()), MusicScanOptions(), list, host);
    EXPECT_EQ(result.count, static_cast<int>(albums));
    ASSERT_EQ(list.count(), static_cast<int>(albums));
    for (const MusicRow& row : list.rows())
        EXPECT_EQ(row.cells.size(), 4) << row.caption.toStdString();
    fs::remove_all(root);
}

// Files that change between the video scan's listing and their probe: each listed file still
// gets its row, with empty cells where nothing could be read.
TEST(CorruptMedia, VideoScanMeetsFilesThatChangedAfterTheListing) {
    if (seeds().video.empty())
        GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path dir = seeds().dir() / "clips";
    fs::create_directories(dir);
    const std::string& clip = seeds().video.front().bytes; // mpeg4.avi
    for (const char* name : {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"})
        writeFile(dir / name, clip);

    class Host : public VideoScanHost {
    public:
        explicit Host(fs::path dir) : m_dir(std::move(dir)) {}
        void filePhaseBegan() override {
            fs::remove(m_dir / "b.avi");
            fs::remove(m_dir / "c.avi");
            ::mkfifo((m_dir / "c.avi").c_str(), 0600);
            fs::remove(m_dir / "d.avi");
            fs::create_directory(m_dir / "d.avi");
            fs::resize_file(m_dir / "e.avi", 100);
        }

    private:
        fs::path m_dir;
    } host(dir);
    VideoList list;
    video::VideoInfo probe;
    const VideoScanResult result =
        scanVideos(QString::fromStdString(dir.string()), QStringLiteral("/"), list, probe, host,
                   VideoFiles::All);
    EXPECT_EQ(result.added, 5);
    ASSERT_EQ(list.count(), 5);
    EXPECT_EQ(list.row(0).caption, QStringLiteral("a.avi"));
    EXPECT_EQ(list.row(0).cells.value(VideoResolutionCell), QStringLiteral("96 x 64"));
    const QStringList nothing = {QStringLiteral("1"), QStringLiteral("0 x 0"), QString(),
                                 QStringLiteral("0"), QString()};
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(list.row(row).cells, nothing) << list.row(row).caption.toStdString();
    EXPECT_EQ(list.row(4).cells.value(VideoSizeCell), QStringLiteral("1"));
}

TEST(CorruptMedia, UnreadableFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const fs::path path = seeds().dir() / "locked.mp3";
    writeFile(path, seeds().audio.front().bytes);
    fs::permissions(path, fs::perms::none);
    EXPECT_TRUE(everyReaderFailsToOpen(path));
}

TEST(CorruptMedia, ZeroLengthFile) {
    const fs::path path = seeds().dir() / "empty.mp3";
    writeFile(path, "");
    const auto notThisFormat = [](const ReadResult& result) {
        return result.status() == ReadResult::Status::NotThisFormat;
    };
    MpegAudioReader mpeg;
    EXPECT_TRUE(notThisFormat(mpeg.load(path)));
    EXPECT_EQ(mpeg.bitRate(), 0);
    EXPECT_FALSE(mpeg.frame.found);
    Id3v1Reader v1;
    EXPECT_TRUE(notThisFormat(v1.load(path)));
    EXPECT_FALSE(v1.exists);
    Id3v2Reader v2;
    EXPECT_TRUE(notThisFormat(v2.load(path)));
    WmaReader wma;
    EXPECT_TRUE(notThisFormat(wma.load(path)));
    OggVorbisReader ogg;
    EXPECT_TRUE(notThisFormat(ogg.load(path)));
    FlacReader flac;
    EXPECT_TRUE(notThisFormat(flac.load(path)));
    OpusReader opus;
    EXPECT_TRUE(notThisFormat(opus.load(path)));
    Id3v2FrameReader jv;
    EXPECT_TRUE(notThisFormat(jv.load(path)));
    EXPECT_TRUE(jv.texts.leadArtist.empty());
    video::VideoInfo info;
    info.fileName = path.string();
    info.probe();
    EXPECT_EQ(info.video, video::VideoStreamInfo());
}

} // namespace
} // namespace korvane::test
