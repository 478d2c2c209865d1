#include "video/VideoCells.h"
#include "video/VideoInfo.h"

#include "PrintVideo.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

// The probe on clips made by a real encoder, checked against what ffprobe says about them.
namespace korvane::video {
namespace {

struct Clip {
    const char* file;
    QStringList ffmpegArgs;   // inputs and encoding; the output name is appended
    const char* ffprobeCodec; // the codec ffprobe must see, so that the clip is what we think
    const char* codec;        // our codec text
    const char* codecCell;    // as the video list shows it
    int videoStream = 0;      // the stream whose values win
    bool needsX264 = false;
};

void PrintTo(const Clip& clip, std::ostream* out) {
    *out << clip.file;
}

QStringList testSource(const char* size, const char* rate, const char* seconds) {
    return {"-f", "lavfi", "-i",
            QStringLiteral("testsrc=size=%1:rate=%2:duration=%3").arg(size, rate, seconds)};
}

QStringList sine(const char* seconds) {
    return {"-f", "lavfi", "-i", QStringLiteral("sine=duration=%1").arg(seconds)};
}

std::vector<Clip> videoClips() {
    return {
        {"xvid.avi",
         testSource("320x240", "25", "2.5") + QStringList{"-c:v", "mpeg4", "-vtag", "XVID"},
         "mpeg4", "XVID MPEG-4", "XVID MPEG-4"},
        // FFmpeg's own AVI code FMP4 is unknown to the table: the codec's code names it
        {"fmp4.avi", testSource("328x200", "25", "1.5") + QStringList{"-c:v", "mpeg4"}, "mpeg4",
         "MPEG4 Video", "MPEG4 Video"},
        {"mjpeg.avi", testSource("176x144", "15", "3") + QStringList{"-c:v", "mjpeg"}, "mjpeg",
         "Motion JPEG", "Motion JPEG"},
        {"h264.mp4",
         testSource("256x144", "30000/1001", "2.2") +
             QStringList{"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"},
         "h264", "Intel ITU H.264", "Intel ITU H.264", 0, true},
        {"h264.mkv",
         testSource("200x112", "24", "3.5") + sine("3.5") +
             QStringList{"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"},
         "h264", "Intel ITU H.264", "Intel ITU H.264", 0, true},
        {"mpeg1.mpg",
         testSource("352x288", "25", "2.5") + sine("2.5") +
             QStringList{"-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg"},
         "mpeg1video", "YUV 4:1:1 Raw", "MPEG-1"},
        {"mpeg2.mpg",
         testSource("720x576", "25", "2") + sine("2") +
             QStringList{"-c:v", "mpeg2video", "-c:a", "mp2", "-f", "vob"},
         "mpeg2video", "MPEG2 Video", "MPEG2 Video"},
        {"clip.wmv",
         testSource("320x240", "25", "2.5") + sine("2.5") +
             QStringList{"-c:v", "wmv2", "-c:a", "wmav2"},
         "wmv2", "Windows Media Video 8", "Windows Media Video 8"},
        {"wmv1.wmv", testSource("160x128", "30", "1") + QStringList{"-c:v", "wmv1"}, "wmv1",
         "Windows Media Video 7", "Windows Media Video 7"},
        // Codecs the table has no name for: FFmpeg's name for them.
        {"vp9.webm", testSource("160x120", "25", "2") + QStringList{"-c:v", "libvpx-vp9"}, "vp9",
         "vp9", "vp9"},
        {"theora.ogv", testSource("160x120", "25", "2") + QStringList{"-c:v", "libtheora"},
         "theora", "theora", "theora"},
        {"sorenson.flv", testSource("160x120", "25", "2") + QStringList{"-c:v", "flv"}, "flv1",
         "flv1", "flv1"},
        {"av1.mkv",
         testSource("64x48", "10", "1") + QStringList{"-c:v", "libaom-av1", "-cpu-used", "8"},
         "av1", "av1", "av1"},
        // two video streams: the second one's values are reported
        {"two.mkv",
         testSource("160x120", "25", "2") + testSource("96x64", "10", "2") +
             QStringList{"-map", "0", "-map", "1", "-c:v", "mjpeg"},
         "mjpeg", "Motion JPEG", "Motion JPEG", 1},
    };
}

class FfmpegProbe : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_ffmpeg = QStandardPaths::findExecutable("ffmpeg");
        s_ffprobe = QStandardPaths::findExecutable("ffprobe");
        if (s_ffmpeg.isEmpty() || s_ffprobe.isEmpty())
            return;
        s_dir = std::make_unique<QTemporaryDir>();
        QProcess encoders;
        encoders.start(s_ffmpeg, {"-hide_banner", "-encoders"});
        encoders.waitForFinished();
        s_haveX264 = encoders.readAllStandardOutput().contains("libx264");
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override {
        if (s_ffmpeg.isEmpty() || s_ffprobe.isEmpty())
            GTEST_SKIP() << "ffmpeg or ffprobe is not installed";
        ASSERT_TRUE(s_dir->isValid());
    }

    static QString path(const char* file) { return s_dir->filePath(QString::fromUtf8(file)); }

    // Makes a file once per run; false when the encoder failed.
    static bool make(const char* file, const QStringList& args) {
        if (QFile::exists(path(file)))
            return true;
        QProcess ffmpeg;
        ffmpeg.start(s_ffmpeg, QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y"} +
                                   args + QStringList{path(file)});
        return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
    }

    static QJsonObject ffprobe(const char* file) {
        QProcess process;
        process.start(s_ffprobe,
                      {"-v", "error", "-of", "json", "-show_streams", "-show_format", path(file)});
        process.waitForFinished(60000);
        return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    }

    static VideoStreamInfo probe(VideoInfo& info, const char* file) {
        info.fileName = QFile::encodeName(path(file)).toStdString();
        info.probe();
        return info.video;
    }

    static double rational(const QString& text) {
        const QStringList parts = text.split(u'/');
        if (parts.size() != 2 || parts[1].toDouble() == 0)
            return 0;
        return parts[0].toDouble() / parts[1].toDouble();
    }

    static inline QString s_ffmpeg;
    static inline QString s_ffprobe;
    static inline bool s_haveX264 = false;
    static inline std::unique_ptr<QTemporaryDir> s_dir;
};

class FfmpegClip : public FfmpegProbe, public ::testing::WithParamInterface<Clip> {};

TEST_P(FfmpegClip, GivesWhatFfprobeStates) {
    const Clip& clip = GetParam();
    if (clip.needsX264 && !s_haveX264)
        GTEST_SKIP() << "ffmpeg has no libx264";
    ASSERT_TRUE(make(clip.file, clip.ffmpegArgs));
    const QJsonObject facts = ffprobe(clip.file);
    QJsonObject stream;
    for (const QJsonValue value : facts["streams"].toArray()) {
        if (value["index"].toInt() == clip.videoStream)
            stream = value.toObject();
    }
    ASSERT_EQ(stream["codec_type"].toString(), "video");
    ASSERT_EQ(stream["codec_name"].toString(), clip.ffprobeCodec);
    // ffprobe gives the stream's length where the container has one, else the file's
    const QString length = stream.contains("duration") ? stream["duration"].toString()
                                                       : facts["format"]["duration"].toString();
    const double averageRate = rational(stream["avg_frame_rate"].toString());
    const double rate = averageRate > 0 ? averageRate : rational(stream["r_frame_rate"].toString());

    VideoInfo info;
    const VideoStreamInfo video = probe(info, clip.file);
    EXPECT_EQ(video.width, stream["width"].toInt());
    EXPECT_EQ(video.height, stream["height"].toInt());
    EXPECT_EQ(video.duration, durationText(length.toDouble()));
    EXPECT_FALSE(video.duration.empty());
    EXPECT_DOUBLE_EQ(video.frameRate, rate);
    EXPECT_GT(video.frameRate, 0.0);
    EXPECT_EQ(video.codec, clip.codec);
    EXPECT_EQ(codecCell(video.codec), clip.codecCell);
}

INSTANTIATE_TEST_SUITE_P(Clips, FfmpegClip, ::testing::ValuesIn(videoClips()),
                         [](const ::testing::TestParamInfo<Clip>& info) {
                             std::string name = info.param.file;
                             for (char& c : name) {
                                 if (c == '.')
                                     c = '_';
                             }
                             return name;
                         });

TEST_F(FfmpegProbe, FilesWithoutVideoGiveEmptyValuesEvenAfterAVideo) {
    ASSERT_TRUE(
        make("before.avi", testSource("320x240", "25", "1") + QStringList{"-c:v", "mjpeg"}));
    ASSERT_TRUE(make("audio.wav", sine("2")));
    ASSERT_TRUE(make("audio.mp2", sine("2")));
    ASSERT_TRUE(make("picture.png", testSource("64x48", "1", "1") + QStringList{"-frames:v", "1"}));
    ASSERT_TRUE(make("picture.jpg", testSource("64x48", "1", "1") + QStringList{"-frames:v", "1"}));
    // an audio file with cover art: the picture is no video stream
    ASSERT_TRUE(make("cover.m4a",
                     sine("2") + QStringList{"-i", path("picture.png"), "-map", "0", "-map", "1",
                                             "-c:v", "png", "-disposition:v", "attached_pic"}));
    {
        QFile text(path("notes.txt"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        for (int line = 0; line < 200; ++line)
            text.write("Just some notes about the clips in this folder, line after line.\r\n");
    }
    QFile::copy(path("notes.txt"), path("readme.nfo"));
    {
        QFile empty(path("empty.avi"));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    {
        // the first 600 bytes of a clip: a header without the pictures
        QFile whole(path("before.avi"));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        QFile cut(path("cut.avi"));
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(600));
    }

    VideoInfo info;
    for (const char* file : {"audio.wav", "audio.mp2", "picture.png", "picture.jpg", "cover.m4a",
                             "notes.txt", "readme.nfo", "empty.avi", "missing.avi"}) {
        SCOPED_TRACE(file);
        ASSERT_EQ(probe(info, "before.avi").width, 320);
        EXPECT_EQ(probe(info, file), VideoStreamInfo());
    }
    // a cut file must not hang or crash; whatever the header says is fine
    probe(info, "cut.avi");
}

TEST_F(FfmpegProbe, NamesThatLookLikeProtocolsAreFiles) {
    ASSERT_TRUE(make("plain.avi", testSource("96x64", "25", "1") + QStringList{"-c:v", "mjpeg"}));
    VideoInfo info;
    for (const char* name : {"http:clip.avi", "file:clip.avi", "pipe:0", "a?b#c%20.avi"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(QFile::copy(path("plain.avi"), path(name)));
        EXPECT_EQ(probe(info, name).width, 96);
    }
}

// A playlist or list naming a FIFO: the probe reads only the file it was given, so nothing waits
// for a writer that never comes.
TEST_F(FfmpegProbe, PlaylistsNamingAFifoNeverHang) {
    const QByteArray fifo = QFile::encodeName(path("segment.ts"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const std::vector<std::pair<const char*, QByteArray>> lists{
        {"playlist.m3u8",
         "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nsegment.ts\n#EXT-X-ENDLIST\n"},
        {"list.ffconcat", "ffconcat version 1.0\nfile segment.ts\n"},
    };
    for (const auto& [name, text] : lists) {
        SCOPED_TRACE(name);
        QFile list(path(name));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(text);
        list.close();
        VideoInfo info;
        auto done = std::async(std::launch::async, [&info, name = name] { probe(info, name); });
        if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the probe waits on the FIFO";
            // Opening the other end lets the stuck open return, so that the test can end.
            const int fd = ::open(fifo.constData(), O_RDWR);
            ::close(fd);
        }
        done.wait();
        EXPECT_EQ(info.video, VideoStreamInfo());
    }
}

} // namespace
} // namespace korvane::video
