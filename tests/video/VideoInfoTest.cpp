#include "video/VideoInfo.h"
#include "video/CodecTable.h"

#include "PrintVideo.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <fstream>
#include <limits>
#include <stdexcept>

namespace korvane::video {
namespace {

TEST(DurationText, Examples) {
    const struct {
        double seconds;
        std::string text;
    } cases[] = {
        {0.0, "00:00"},
        {0.9, "00:00"},
        {59.99, "00:59"},
        {187.5, "03:07"},
        {3599, "59:59"},
        {3599.999, "59:59"},
        {3600, "01:00:00"},
        {3725.99, "01:02:05"},
        {36000, "10:00:00"},
        {360000, "100:00:00"},
        {-5.0, "00:00"},
        {std::nan(""), "00:00"},
        {-std::numeric_limits<double>::infinity(), "00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(durationText(c.seconds), c.text) << c.seconds;
    // absurd lengths from a broken header are capped, not undefined
    EXPECT_FALSE(durationText(1e300).empty());
    EXPECT_FALSE(durationText(std::numeric_limits<double>::infinity()).empty());
}

// One stream as the stand-in detector reports it; nullopt fields are failing queries.
struct FakeStream {
    bool selectable = true;
    std::optional<StreamMediaType> type;
    std::optional<double> length;
    std::optional<double> rate;
};

struct FakeFile {
    bool opens = true;
    std::optional<int> count; // defaults to the number of streams
    std::vector<FakeStream> streams;
};

class FakeDetector : public MediaDetector {
public:
    explicit FakeDetector(const FakeFile& file) : m_file(file) {}
    bool open(const std::string&) override { return m_file.opens; }
    std::optional<int> streamCount() override {
        return m_file.count ? m_file.count : std::optional<int>(int(m_file.streams.size()));
    }
    bool selectStream(int index) override {
        if (index < 0 || std::size_t(index) >= m_file.streams.size())
            return false;
        m_current = &m_file.streams[index];
        return m_current->selectable;
    }
    std::optional<StreamMediaType> mediaType() override { return m_current->type; }
    std::optional<double> streamLength() override { return m_current->length; }
    std::optional<double> frameRate() override { return m_current->rate; }

private:
    const FakeFile& m_file;
    const FakeStream* m_current = nullptr;
};

StreamMediaType video(VideoFormat format, std::int32_t w, std::int32_t h, std::uint32_t code) {
    return {formatTypeOf(format), makeFormatBlock(format, {w, h, code})};
}

const Guid kWaveFormatEx{
    0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};

class VideoInfoWalk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath("clip.avi").toStdString();
        std::ofstream(m_path) << "x";
    }
    VideoStreamInfo probe(const FakeFile& file) {
        VideoInfo info([&file] { return std::make_unique<FakeDetector>(file); });
        info.fileName = m_path;
        info.probe();
        return info.video;
    }

    QTemporaryDir m_dir;
    std::string m_path;
};

TEST_F(VideoInfoWalk, StreamCases) {
    const VideoStreamInfo empty;
    const struct {
        const char* name;
        FakeFile file;
        VideoStreamInfo expected;
    } cases[] = {
        {"one XVID stream",
         {true, {}, {{true, video(VideoFormat::VideoInfo, 640, 480, fourCC("XVID")), 187.5, 25.0}}},
         {"XVID MPEG-4", "03:07", 25.0, 640, 480}},
        {"audio only",
         {true, {}, {{true, StreamMediaType{kWaveFormatEx, {1, 2, 3}}, 200.0, 0.0}}},
         empty},
        {"video then audio: audio contributes nothing",
         {true,
          {},
          {{true, video(VideoFormat::VideoInfo, 320, 240, fourCC("DIVX")), 60.0, 30.0},
           {true, StreamMediaType{kWaveFormatEx, {}}, 99.0, 44100.0}}},
         {"DivX", "01:00", 30.0, 320, 240}},
        {"two video streams: the second wins",
         {true,
          {},
          {{true, video(VideoFormat::VideoInfo, 320, 240, fourCC("DIVX")), 60.0, 30.0},
           {true, video(VideoFormat::VideoInfo2, 1280, 720, fourCC("MP2V")), 90.0, 50.0}}},
         {"MPEG2 Video", "01:30", 50.0, 1280, 720}},
        {"second stream's failing queries keep the first stream's length and rate",
         {true,
          {},
          {{true, video(VideoFormat::VideoInfo, 320, 240, fourCC("DIVX")), 60.0, 30.0},
           {true, video(VideoFormat::VideoInfo, 176, 144, fourCC("MJPG")), {}, {}}}},
         {"Motion JPEG", "01:00", 30.0, 176, 144}},
        {"an empty block still sets the duration",
         {true,
          {},
          {{true, video(VideoFormat::VideoInfo, 320, 240, fourCC("DIVX")), 60.0, 30.0},
           {true, StreamMediaType{FORMAT_VideoInfo, {}}, 3725.99, 12.0}}},
         {"DivX", "01:02:05", 30.0, 320, 240}},
        {"a block too short for its header is skipped after the duration",
         {true,
          {},
          {{true, StreamMediaType{FORMAT_VideoInfo, std::vector<std::uint8_t>(60, 0xFF)}, 10.0,
            12.0}}},
         {"", "00:10", 0.0, 0, 0}},
        {"MPEG-1 video shows the code text",
         {true, {}, {{true, video(VideoFormat::MpegVideo, 352, 288, 0), 5.0, 25.0}}},
         {"RGB", "00:05", 25.0, 352, 288}},
        {"top-down picture keeps a negative height",
         {true, {}, {{true, video(VideoFormat::VideoInfo, 160, -120, 0), 1.0, 15.0}}},
         {"Full Frames (Uncompressed)", "00:01", 15.0, 160, -120}},
        {"unselectable and typeless streams are passed over",
         {true,
          {},
          {{false, video(VideoFormat::VideoInfo, 1, 1, 0), 1.0, 1.0},
           {true, std::nullopt, 2.0, 2.0},
           {true, video(VideoFormat::VideoInfo, 64, 48, fourCC("H264")), 3.0, 23.976}}},
         {"Intel ITU H.264", "00:03", 23.976, 64, 48}},
        {"a NaN length or rate counts as a failed query",
         {true,
          {},
          {{true, video(VideoFormat::VideoInfo, 64, 48, fourCC("H264")), std::nan(""),
            std::nan("")}}},
         {"Intel ITU H.264", "", 0.0, 64, 48}},
        {"the file does not open",
         {false, {}, {{true, video(VideoFormat::VideoInfo, 8, 8, 0), 1.0, 1.0}}},
         empty},
        {"no streams", {true, 0, {}}, empty},
        {"the stream count fails", {true, std::optional<int>(), {}}, empty},
        {"a count beyond the streams only reaches the real ones",
         {true, 5, {{true, video(VideoFormat::VideoInfo, 8, 6, fourCC("WMV3")), 1.0, 5.0}}},
         {"Windows Media Video 9", "00:01", 5.0, 8, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const VideoStreamInfo got = probe(c.file);
        EXPECT_EQ(got.codec, c.expected.codec);
        EXPECT_EQ(got.duration, c.expected.duration);
        EXPECT_EQ(got.frameRate, c.expected.frameRate);
        EXPECT_EQ(got.width, c.expected.width);
        EXPECT_EQ(got.height, c.expected.height);
    }
}

TEST_F(VideoInfoWalk, EachProbeStartsEmpty) {
    FakeFile clip{
        true, {}, {{true, video(VideoFormat::VideoInfo, 640, 480, fourCC("XVID")), 9.0, 25.0}}};
    FakeFile audio{true, {}, {{true, StreamMediaType{kWaveFormatEx, {}}, 9.0, {}}}};
    const FakeFile* current = &clip;
    VideoInfo info([&current] { return std::make_unique<FakeDetector>(*current); });
    info.fileName = m_path;
    info.probe();
    EXPECT_EQ(info.video.width, 640);
    current = &audio;
    info.probe();
    EXPECT_EQ(info.video, VideoStreamInfo());
}

TEST_F(VideoInfoWalk, MissingFileFolderOrDetectorGiveEmptyValues) {
    FakeFile clip{
        true, {}, {{true, video(VideoFormat::VideoInfo, 640, 480, fourCC("XVID")), 9.0, 25.0}}};
    int created = 0;
    VideoInfo info([&] {
        ++created;
        return std::make_unique<FakeDetector>(clip);
    });
    for (const std::string& path :
         {m_dir.filePath("missing.avi").toStdString(), m_dir.path().toStdString(), std::string()}) {
        info.fileName = path;
        info.probe();
        EXPECT_EQ(info.video, VideoStreamInfo()) << path;
    }
    EXPECT_EQ(created, 0); // no detector is made for a file that is not there

    VideoInfo noDetector([] { return std::unique_ptr<MediaDetector>(); });
    noDetector.fileName = m_path;
    noDetector.probe();
    EXPECT_EQ(noDetector.video, VideoStreamInfo());
}

class ThrowingDetector : public FakeDetector {
public:
    using FakeDetector::FakeDetector;
    std::optional<double> frameRate() override { throw std::runtime_error("broken"); }
};

TEST_F(VideoInfoWalk, AnErrorInsideEndsTheProbeQuietlyKeepingWhatWasFilled) {
    FakeFile clip{
        true, {}, {{true, video(VideoFormat::VideoInfo, 640, 480, fourCC("XVID")), 9.0, 25.0}}};
    VideoInfo info([&clip] { return std::make_unique<ThrowingDetector>(clip); });
    info.fileName = m_path;
    EXPECT_NO_THROW(info.probe());
    EXPECT_EQ(info.video.duration, "00:09");
    EXPECT_EQ(info.video.width, 640);
    EXPECT_EQ(info.video.frameRate, 0.0);
    EXPECT_EQ(info.video.codec, "");
}

} // namespace
} // namespace korvane::video
