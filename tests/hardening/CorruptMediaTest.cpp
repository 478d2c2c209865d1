// Every audio reader and the video probe on damaged copies of real files, and on directory
// entries that are no readable file. A load must end with the reader's own failure result or a
// consistent success, never hang, never read outside its buffers (the sanitizer build runs this).
#include "music/MusicList.h"
#include "music/MusicScan.h"
#include "tags/ByteSource.h"
#include "tags/ID3v1.h"
#include "tags/ID3v2.h"
#include "tags/JvID3v2.h"
#include "tags/MPEGaudio.h"
#include "tags/OggVorbis.h"
#include "tags/WMAfile.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"
#include "video/VideoScan.h"

#include "DamagedMedia.h"

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

bool haveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

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
        if (haveTool("oggenc"))
            add(audio, "oggenc.ogg",
                "oggenc -Q -q 0 -t Title -a Artist -l Album -d 1999 -G Rock -N 3 '" + wav + "' -o");
        add(audio, "ffmpeg.ogg", audioIn + "-c:a libvorbis -metadata artist=A -metadata album=B");
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
        TMPEGaudio mpeg;
        EXPECT_TRUE(mpeg.Load(source)) << "a read from memory cannot fail";
        if (mpeg.Frame.found) {
            EXPECT_GE(mpeg.AudioStart, 0);
            EXPECT_LT(mpeg.AudioStart, size);
            EXPECT_LE(mpeg.AudioEnd, size);
            EXPECT_LE(mpeg.ID3v2.Size, size);
        } else {
            // Without a frame nothing of the file is taken.
            EXPECT_EQ(mpeg.FileLength, 0);
            EXPECT_FALSE(mpeg.ID3v1.Exists);
            EXPECT_FALSE(mpeg.ID3v2.Exists);
            EXPECT_FALSE(mpeg.VBR.found);
            EXPECT_EQ(mpeg.BitRate(), 0);
        }
    }
    {
        MemorySource source(bytes);
        TID3v1 tag;
        EXPECT_TRUE(tag.Load(source));
        EXPECT_LE(tag.TailSize(), size);
        // Lyrics3 fields may fill the texts without a tag behind them.
        if (!tag.Exists && !tag.LyricsFound) {
            EXPECT_TRUE(tag.Title.empty() && tag.Artist.empty() && tag.Album.empty());
        }
    }
    {
        MemorySource source(bytes);
        TID3v2 tag;
        EXPECT_EQ(tag.Load(source), size >= 10);
        EXPECT_GE(tag.Size, 0);
        EXPECT_LE(tag.Size, size);
        if (tag.Size == 0) {
            EXPECT_TRUE(tag.Title.empty() && tag.Artist.empty() && tag.Album.empty());
        }
    }
    {
        MemorySource source(bytes);
        TJvID3v2 tag;
        try {
            tag.Load(source);
            EXPECT_TRUE(tag.Active());
            EXPECT_LE(tag.Header().size, static_cast<std::uint64_t>(size));
        } catch (const JvID3Error&) {
            EXPECT_FALSE(tag.Active()) << "a failed read leaves the reader closed";
        }
    }
    {
        MemorySource source(bytes);
        TWMAfile wma;
        const bool loaded = wma.Load(source);
        if (!loaded || !wma.Valid) {
            EXPECT_EQ(wma.BitRate, 0);
            EXPECT_EQ(wma.Duration, 0.0);
            EXPECT_TRUE(wma.Title.empty() && wma.Artist.empty() && wma.Genre.empty());
        } else {
            EXPECT_GT(wma.BitRate, 0);
            EXPECT_TRUE(std::isfinite(wma.Duration));
        }
    }
    {
        MemorySource source(bytes);
        TOggVorbis ogg;
        const bool loaded = ogg.Load(source);
        const double duration = ogg.Duration();
        EXPECT_TRUE(std::isfinite(duration));
        EXPECT_GE(ogg.BitRate(), 0);
        if (!loaded) {
            EXPECT_EQ(duration, 0.0);
            EXPECT_TRUE(ogg.Vendor.empty() && ogg.Title.empty());
        }
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
            TMPEGaudio mpeg;
            EXPECT_TRUE(mpeg.Load(path));
            MemorySource memory(damaged.bytes);
            TMPEGaudio expected;
            expected.Load(memory);
            EXPECT_EQ(mpeg.BitRate(), expected.BitRate());
            EXPECT_EQ(mpeg.AudioStart, expected.AudioStart);
            EXPECT_EQ(mpeg.ID3v2.Title, expected.ID3v2.Title);
            EXPECT_EQ(mpeg.ID3v1.Lyrics, expected.ID3v1.Lyrics);
            TWMAfile wma;
            wma.Load(path);
            TOggVorbis ogg;
            EXPECT_NO_THROW(ogg.Load(path));
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
            info.FileName = path.string();
            const Clock::time_point begin = Clock::now();
            info.Probe();
            slowest.note(begin, seed.name + ": " + damaged.what);
            ++probes;
            EXPECT_TRUE(std::isfinite(info.Video.FrameRate));
            EXPECT_GE(info.Video.FrameRate, 0.0);
            if (info.Video.Codec.empty()) {
                EXPECT_EQ(info.Video.Width, 0);
            }
        }
        // The clip itself still probes: the damage, not the probe, emptied the cells.
        writeFile(path, seed.bytes);
        video::VideoInfo good;
        good.FileName = path.string();
        good.Probe();
        EXPECT_EQ(good.Video.Width, 96) << seed.name;
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

// What every reader and the probe give for an entry that cannot be opened as a file.
bool everyReaderFailsToOpen(const fs::path& path) {
    bool ok = true;
    TMPEGaudio mpeg;
    ok = ok && !mpeg.Load(path) && mpeg.FileLength == 0;
    TID3v1 v1;
    ok = ok && !v1.Load(path);
    TID3v2 v2;
    ok = ok && !v2.Load(path);
    TWMAfile wma;
    ok = ok && !wma.Load(path);
    bool raised = false;
    try {
        TOggVorbis ogg;
        ogg.Load(path);
    } catch (const fs::filesystem_error&) {
        raised = true;
    }
    ok = ok && raised;
    raised = false;
    try {
        TJvID3v2 jv;
        jv.setFileName(path);
        jv.setActive(true);
    } catch (const JvID3Error& error) {
        raised = std::string(error.what()).starts_with("Cannot open file \"" + path.string());
    }
    ok = ok && raised;
    video::VideoInfo info;
    info.FileName = path.string();
    info.Probe();
    return ok && info.Video == video::TVFVideoStreamInfo();
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
    class Host : public MusicScanHost {
    public:
        bool pump() override { return true; }
        bool stopRequested() override { return false; }
    } host;
    MusicList list;
    const MusicScanResult result =
        MusicScan(QString::fromStdString(root.string()), MusicScanOptions(), list, host);
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
        bool pump() override { return true; }
        bool stopRequested() override { return false; }
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
        VideoScan(QString::fromStdString(dir.string()), QStringLiteral("/"), list, probe, host);
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
    TMPEGaudio mpeg;
    EXPECT_TRUE(mpeg.Load(path));
    EXPECT_EQ(mpeg.BitRate(), 0);
    EXPECT_FALSE(mpeg.Frame.found);
    TID3v1 v1;
    EXPECT_TRUE(v1.Load(path));
    EXPECT_FALSE(v1.Exists);
    TID3v2 v2;
    EXPECT_FALSE(v2.Load(path)) << "shorter than 10 bytes";
    TWMAfile wma;
    EXPECT_FALSE(wma.Load(path)) << "the header ends early";
    TOggVorbis ogg;
    EXPECT_FALSE(ogg.Load(path));
    TJvID3v2 jv;
    jv.setFileName(path);
    EXPECT_NO_THROW(jv.setActive(true));
    EXPECT_TRUE(jv.Texts.LeadArtist().empty());
    video::VideoInfo info;
    info.FileName = path.string();
    info.Probe();
    EXPECT_EQ(info.Video, video::TVFVideoStreamInfo());
}

} // namespace
} // namespace korvane::test
