// Files made at test time by ffmpeg and lame and tagged by real taggers (FFmpeg itself, mutagen,
// id3lib's id3v2): what today's tools write must come out as the tools were told.

#include "tags/Id3v2FrameReader.h"
#include "tags/MpegAudioReader.h"
#include "tags/OggVorbisReader.h"
#include "tags/WmaReader.h"

#include "ToolRun.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace korvane::tags;
using korvane::test::haveMutagen;
using korvane::test::haveTool;
using korvane::test::runMutagen;
using korvane::test::runTool;
using korvane::test::shellQuoted;
namespace fs = std::filesystem;

namespace {

class TaggedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveTool("ffmpeg"))
            GTEST_SKIP() << "ffmpeg is not installed";
        m_dir = fs::temp_directory_path() /
                ("korvane_tagged_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        if (!m_dir.empty())
            fs::remove_all(m_dir, ignored);
    }

    fs::path path(const std::string& name) const { return m_dir / name; }
    void run(const std::string& command) {
        ASSERT_EQ(runTool(command + " >/dev/null 2>&1").status, 0) << command;
    }
    // A second of sound as an mp3 with ffmpeg's own tags: `options` go before the output.
    fs::path ffmpegMp3(const std::string& name, const std::string& options) {
        const fs::path file = path(name);
        run("ffmpeg -v error -y -f lavfi -i sine=duration=1:sample_rate=44100 -c:a libmp3lame " +
            options + " " + shellQuoted(file.string()));
        return file;
    }
    // An untagged mp3 for a tagger to tag.
    fs::path bareMp3(const std::string& name) {
        return ffmpegMp3(name, "-b:a 128k -write_xing 0 -id3v2_version 0");
    }
    fs::path mutagenMp3(const std::string& name, const std::string& script) {
        const fs::path file = bareMp3(name);
        EXPECT_TRUE(runMutagen(file, script)) << script;
        return file;
    }

    fs::path m_dir;
};

MpegAudioReader loadMpeg(const fs::path& file) {
    MpegAudioReader mpeg;
    EXPECT_TRUE(mpeg.load(file));
    EXPECT_TRUE(mpeg.frame.found);
    return mpeg;
}

std::vector<std::string> leadArtists(const fs::path& file) {
    Id3v2FrameReader tag;
    EXPECT_TRUE(tag.load(file).isRead());
    return tag.texts.leadArtist;
}

} // namespace

TEST_F(TaggedFiles, FfmpegVersion4InUtf8) {
    // FFmpeg writes ID3v2.4 in UTF-8 by default (a comment goes to a TXXX frame, not COMM).
    const fs::path file = ffmpegMp3("v24.mp3", "-b:a 128k -metadata artist=Земляне -metadata "
                                               "album='Карнавал' -metadata date=1984 -metadata "
                                               "genre=Rock");
    const MpegAudioReader mpeg = loadMpeg(file);
    EXPECT_EQ(mpeg.id3v2.version, 4);
    EXPECT_EQ(mpeg.id3v2.artist, "Земляне");
    EXPECT_EQ(mpeg.id3v2.album, "Карнавал");
    EXPECT_EQ(mpeg.id3v2.year, "1984");
    EXPECT_EQ(mpeg.id3v2.genre, "Rock");
}

TEST_F(TaggedFiles, MutagenEncodings) {
    if (!haveMutagen())
        GTEST_SKIP() << "python3-mutagen is not installed";
    struct Case {
        const char* name;
        int encoding;
        int version;
        std::string artist;
    };
    // mutagen turns every text into UTF-16 with a byte-order mark when it writes version 2.3.
    const Case cases[] = {
        {"2.4 Latin-1", 0, 4, "Bjork"},
        {"2.4 UTF-16", 1, 4, "Земляне"},
        {"2.4 UTF-16 big-endian", 2, 4, "Земляне"},
        {"2.4 UTF-8", 3, 4, "Земляне"},
        {"2.4 UTF-16 past Windows-1251", 1, 4, "Björk · 坂本龍一 🎹"},
        {"2.4 UTF-8 past Windows-1251", 3, 4, "Björk · 坂本龍一 🎹"},
        {"2.3 UTF-16", 1, 3, "Björk · 坂本龍一 🎹"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string e = std::to_string(c.encoding);
        const fs::path file =
            mutagenMp3(std::string("enc") + e + "v" + std::to_string(c.version) + ".mp3",
                       "t = ID3()\n"
                       "t.add(TPE1(encoding=" +
                           e + ", text=['" + c.artist +
                           "']))\n"
                           "t.add(TALB(encoding=" +
                           e +
                           ", text=['Album']))\n"
                           "t.add(TDRC(encoding=" +
                           e +
                           ", text=['1984']))\n"
                           "t.add(COMM(encoding=" +
                           e +
                           ", lang='eng', desc='', text=['Country: UK']))\n"
                           "t.save(path, v2_version=" +
                           std::to_string(c.version) + ")\n");
        const MpegAudioReader mpeg = loadMpeg(file);
        EXPECT_EQ(mpeg.id3v2.version, c.version);
        EXPECT_EQ(mpeg.id3v2.artist, c.artist);
        EXPECT_EQ(mpeg.id3v2.album, "Album");
        EXPECT_EQ(mpeg.id3v2.year, "1984");
        EXPECT_EQ(mpeg.id3v2.comment, "Country: UK");
        EXPECT_EQ(leadArtists(file), std::vector<std::string>{c.artist});
    }
}

TEST_F(TaggedFiles, GenreReferences) {
    if (!haveMutagen())
        GTEST_SKIP() << "python3-mutagen is not installed";
    struct Case {
        const char* stored;
        int version;
        std::string genre;
    };
    const Case cases[] = {
        {"(17)", 3, "Rock"},
        {"(13)", 3, "Pop"},
        {"17", 4, "Rock"},
        {"(9)Metal", 3, "Metal"},
        {"(RX)", 4, "Remix"},
        {"Rock (Classic)", 3, "Rock (Classic)"},
        {"Шансон (русский)", 3, "Шансон (русский)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const fs::path file = mutagenMp3(
            "genre.mp3", std::string("t = ID3()\nt.add(TCON(encoding=1, text=['") + c.stored +
                             "']))\nt.save(path, v2_version=" + std::to_string(c.version) + ")\n");
        EXPECT_EQ(loadMpeg(file).id3v2.genre, c.genre);
        Id3v2FrameReader tag;
        EXPECT_TRUE(tag.load(file).isRead());
        EXPECT_EQ(tag.texts.contentType, std::vector<std::string>{c.genre});
    }
}

TEST_F(TaggedFiles, Id3libGenreNumber) {
    if (!haveTool("id3v2"))
        GTEST_SKIP() << "id3v2 is not installed";
    const fs::path file = bareMp3("id3lib.mp3");
    run("id3v2 --id3v2-only -a Artist -A Album -g 17 " + shellQuoted(file.string()));
    const MpegAudioReader mpeg = loadMpeg(file);
    EXPECT_EQ(mpeg.id3v2.version, 3);
    EXPECT_EQ(mpeg.id3v2.genre, "Rock");
}

TEST_F(TaggedFiles, TheCountryNoteAmongSeveralComments) {
    if (!haveMutagen())
        GTEST_SKIP() << "python3-mutagen is not installed";
    struct Case {
        const char* name;
        std::string comments; // (description, text) pairs in file order
        std::string comment;
    };
    const Case cases[] = {
        {"an iTunNORM after the note", "('', 'Country: UK'), ('iTunNORM', ' 0000021C 000001F4')",
         "Country: UK"},
        {"an ID3v1 comment before the note", "('ID3v1 Comment', 'ripped'), ('', 'Country: UK')",
         "Country: UK"},
        {"no note: the empty description", "('iTunNORM', ' 0000021C'), ('', 'mine')", "mine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = mutagenMp3(
            "comments.mp3", "t = ID3()\nfor d, x in [" + c.comments +
                                "]:\n    t.add(COMM(encoding=3, lang='eng', desc=d, text=[x]))\n"
                                "t.save(path)\n");
        EXPECT_EQ(loadMpeg(file).id3v2.comment, c.comment);
    }
}

TEST_F(TaggedFiles, SlashInVersion4Artists) {
    const fs::path v24 = ffmpegMp3("acdc.mp3", "-b:a 128k -metadata artist=AC/DC");
    EXPECT_EQ(leadArtists(v24), std::vector<std::string>{"AC/DC"});
    EXPECT_EQ(loadMpeg(v24).id3v2.artist, "AC/DC");
    // Version 2.3 has no other separator than the slash.
    const fs::path v23 =
        ffmpegMp3("acdc3.mp3", "-b:a 128k -id3v2_version 3 -metadata artist=AC/DC");
    EXPECT_EQ(leadArtists(v23), (std::vector<std::string>{"AC", "DC"}));
}

TEST_F(TaggedFiles, InfoFrameOfAConstantBitrateStream) {
    // FFmpeg codes the Info frame of a 48 kbit/s stream at 22.05 kHz as a 56 kbit/s frame.
    const fs::path ffmpeg = ffmpegMp3("info.mp3", "-ar 22050 -ac 1 -b:a 48k");
    const MpegAudioReader mpeg = loadMpeg(ffmpeg);
    EXPECT_EQ(mpeg.frame.bitRate(), 56);
    EXPECT_EQ(mpeg.vbr.id, "Info");
    EXPECT_FALSE(mpeg.vbr.found);
    EXPECT_EQ(mpeg.bitRate(), 48);
    if (!haveTool("lame"))
        return;
    const fs::path wav = path("source.wav");
    run("ffmpeg -v error -y -f lavfi -i sine=duration=1:sample_rate=44100 " +
        shellQuoted(wav.string()));
    for (const char* rate : {"128", "192", "320"}) {
        SCOPED_TRACE(rate);
        const fs::path lame = path(std::string("lame") + rate + ".mp3");
        run(std::string("lame --quiet -b ") + rate + " " + shellQuoted(wav.string()) + " " +
            shellQuoted(lame.string()));
        const MpegAudioReader coded = loadMpeg(lame);
        EXPECT_EQ(coded.vbr.id, "Info");
        EXPECT_FALSE(coded.vbr.found);
        EXPECT_EQ(coded.bitRate(), std::stoi(rate));
    }
}

TEST_F(TaggedFiles, WmaAtEveryRateOfTheEncoder) {
    for (const char* rate : {"32", "128", "192", "256", "320"}) {
        SCOPED_TRACE(rate);
        const fs::path file = path(std::string(rate) + ".wma");
        run(std::string("ffmpeg -v error -y -f lavfi -i sine=duration=1:sample_rate=44100 -ac 2 "
                        "-c:a wmav2 -b:a ") +
            rate +
            "k -metadata genre=Rock -metadata WM/Year=2001 -metadata "
            "'artist=坂本龍一 🎹' " +
            shellQuoted(file.string()));
        WmaReader wma;
        ASSERT_TRUE(wma.load(file));
        EXPECT_TRUE(wma.valid);
        EXPECT_EQ(wma.bitRate, std::stoi(rate));
        EXPECT_EQ(wma.genre, "Rock");
        EXPECT_EQ(wma.year, "2001");
        EXPECT_EQ(wma.artist, "坂本龍一 🎹");
    }
}

TEST_F(TaggedFiles, UnicodeVorbisComments) {
    if (!haveTool("oggenc"))
        GTEST_SKIP() << "vorbis-tools is not installed";
    const fs::path wav = path("source.wav");
    const fs::path file = path("unicode.ogg");
    run("ffmpeg -v error -y -f lavfi -i sine=duration=1:sample_rate=44100 " +
        shellQuoted(wav.string()));
    run("oggenc -Q -a 'Björk 🎹 Guðmundsdóttir' -G '坂本龍一' -d 1993 -o " +
        shellQuoted(file.string()) + " " + shellQuoted(wav.string()));
    OggVorbisReader ogg;
    ASSERT_TRUE(ogg.load(file));
    EXPECT_EQ(ogg.artist, "Björk 🎹 Guðmundsdóttir");
    EXPECT_EQ(ogg.genre, "坂本龍一");
    EXPECT_EQ(ogg.date, "1993");
}
