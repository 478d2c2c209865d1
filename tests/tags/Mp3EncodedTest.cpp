// Files made at test time by lame and ffmpeg: the readers must state what the tools stated.

#include "tags/Id3v2FrameReader.h"
#include "tags/MpegAudioReader.h"

#include "TagBytes.h"

#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace korvane::tags;
using namespace korvane::tags::test;

using korvane::test::haveTool;

namespace {

std::string output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            out += buffer;
        ::pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

class EncodedMp3 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveTool("ffmpeg") || !haveTool("lame") || !haveTool("ffprobe"))
            GTEST_SKIP() << "ffmpeg, ffprobe and lame are needed";
        m_dir = std::filesystem::temp_directory_path() /
                ("korvane_mp3_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
        // Pink noise keeps a VBR encoder busy, unlike a pure tone.
        run("ffmpeg -v error -y -f lavfi -i anoisesrc=d=4:c=pink:r=44100:a=0.3 -ac 2 " +
            quoted(m_dir / "source.wav"));
    }
    void TearDown() override {
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir);
    }

    static std::string quoted(const std::filesystem::path& path) {
        return "'" + path.string() + "'";
    }
    void run(const std::string& command) {
        ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
    }
    std::filesystem::path path(const char* name) const { return m_dir / name; }
    std::filesystem::path source() const { return path("source.wav"); }

    // What ffprobe states about the audio stream, in kbit/s.
    int statedKbps(const std::filesystem::path& file) {
        const std::string bps = output("ffprobe -v error -select_streams a:0 -show_entries "
                                       "stream=bit_rate -of default=nw=1:nk=1 " +
                                       quoted(file));
        return static_cast<int>(std::lround(std::stod(bps) / 1000));
    }
    std::string statedTag(const std::filesystem::path& file, const char* key) {
        return output("ffprobe -v error -show_entries format_tags=" + std::string(key) +
                      " -of default=nw=1:nk=1 " + quoted(file));
    }

private:
    std::filesystem::path m_dir;
};

} // namespace

TEST_F(EncodedMp3, LameConstantBitrate) {
    const auto file = path("cbr.mp3");
    run("lame --quiet -b 160 " + quoted(source()) + " " + quoted(file));
    MpegAudioReader mpeg;
    ASSERT_TRUE(mpeg.load(file));
    EXPECT_EQ(mpeg.bitRate(), 160);
    EXPECT_EQ(statedKbps(file), 160);
    // lame marks a constant-bitrate stream with an "Info" header: no VBR.
    EXPECT_FALSE(mpeg.vbr.found);
    EXPECT_EQ(mpeg.audioStart, 0);
    EXPECT_EQ(mpeg.encoderMark.substr(0, 4), "LAME");
}

TEST_F(EncodedMp3, LameVariableBitrateWithXingHeader) {
    const auto file = path("vbr.mp3");
    run("lame --quiet -V 2 --ta Artist --tl Album --ty 2001 --tg Rock " + quoted(source()) + " " +
        quoted(file));
    MpegAudioReader mpeg;
    ASSERT_TRUE(mpeg.load(file));
    EXPECT_TRUE(mpeg.vbr.found);
    EXPECT_EQ(mpeg.vbr.id, "Xing");
    EXPECT_GT(mpeg.vbr.frames, 100u);
    EXPECT_EQ(mpeg.vbr.vendor.substr(0, 4), "LAME");
    EXPECT_NEAR(mpeg.bitRate(), statedKbps(file), 1);
    EXPECT_EQ(mpeg.encoderMark.substr(0, 4), "LAME");
    EXPECT_TRUE(mpeg.id3v2.exists);
    EXPECT_EQ(mpeg.audioStart, mpeg.id3v2.size);
    EXPECT_EQ(mpeg.id3v2.artist, statedTag(file, "artist"));
    EXPECT_EQ(mpeg.id3v2.album, "Album");
    EXPECT_EQ(mpeg.id3v2.year, "2001");
    EXPECT_EQ(mpeg.id3v2.genre, "Rock");
    EXPECT_TRUE(mpeg.id3v1.exists);
    EXPECT_EQ(mpeg.id3v1.fullArtist(), "Artist");
    EXPECT_EQ(mpeg.id3v1.genreName(), "Rock");
    EXPECT_EQ(mpeg.audioEnd, mpeg.fileLength - 128);
}

TEST_F(EncodedMp3, FfmpegID3v23WithCyrillic) {
    const auto file = path("v23.mp3");
    run("ffmpeg -v error -y -i " + quoted(source()) +
        " -c:a libmp3lame -b:a 192k -id3v2_version 3 -metadata artist='Кино' -metadata "
        "album='Группа крови' -metadata genre=Rock -metadata date=1988 " +
        quoted(file));
    MpegAudioReader mpeg;
    ASSERT_TRUE(mpeg.load(file));
    EXPECT_EQ(mpeg.bitRate(), statedKbps(file));
    EXPECT_EQ(mpeg.bitRate(), 192);
    EXPECT_FALSE(mpeg.vbr.found);
    EXPECT_EQ(mpeg.id3v2.version, 3);
    EXPECT_EQ(mpeg.id3v2.artist, statedTag(file, "artist"));
    EXPECT_EQ(mpeg.id3v2.artist, "Кино");
    EXPECT_EQ(mpeg.id3v2.album, "Группа крови");
    EXPECT_EQ(mpeg.id3v2.genre, "Rock");
    EXPECT_EQ(mpeg.id3v2.year, "1988");
}

TEST_F(EncodedMp3, FfmpegID3v24WithCyrillic) {
    const auto file = path("v24.mp3");
    run("ffmpeg -v error -y -i " + quoted(source()) +
        " -c:a libmp3lame -q:a 4 -id3v2_version 4 -metadata artist='Кино/Аквариум' -metadata "
        "album='Группа крови' -metadata genre=Rock " +
        quoted(file));
    MpegAudioReader mpeg;
    ASSERT_TRUE(mpeg.load(file));
    EXPECT_TRUE(mpeg.vbr.found);
    EXPECT_NEAR(mpeg.bitRate(), statedKbps(file), 1);
    EXPECT_EQ(mpeg.id3v2.version, 4);
    // Version 2.4 texts are UTF-8: both readers take them; only the second one lists artists.
    EXPECT_EQ(mpeg.id3v2.artist, "Кино/Аквариум");
    EXPECT_EQ(mpeg.id3v2.album, "Группа крови");
    Id3v2FrameReader tag;
    EXPECT_TRUE(tag.load(file).isRead());
    EXPECT_EQ(tag.texts.leadArtist, (std::vector<std::string>{"Кино/Аквариум"}));
    EXPECT_EQ(tag.texts.leadArtist.front(), statedTag(file, "artist"));
    EXPECT_EQ(tag.texts.album, "Группа крови");
    EXPECT_EQ(tag.texts.contentType, std::vector<std::string>{"Rock"});
}
