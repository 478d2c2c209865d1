// The format table and the one answer of readAudioFile, which the album details and
// korvane-cli tags both go by.
#include "tags/AudioFormats.h"

#include "TagBytes.h"

#include <gtest/gtest.h>

using namespace korvane::tags;
using namespace korvane::tags::test;

TEST(AudioFormats, FormatOfName) {
    struct Case {
        const char* name;
        bool otherFormats;
        std::optional<AudioFormat> format;
    };
    const Case cases[] = {
        {"a.mp3", false, AudioFormat::Mp3},   {"A.MP3", false, AudioFormat::Mp3},
        {".ogg", false, AudioFormat::Ogg},    {"x.Wma", false, AudioFormat::Wma},
        {"x.flac", false, std::nullopt},      {"x.flac", true, AudioFormat::Flac},
        {"x.m4a", true, AudioFormat::M4a},    {"x.opus", true, AudioFormat::Opus},
        {"x.wv", true, AudioFormat::WavPack}, {"x.APE", true, AudioFormat::MonkeysAudio},
        {"mp3", true, std::nullopt},          {"x.mp3.part", true, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formatOfName(c.name, c.otherFormats), c.format);
    }
    // The table is in the order of preference and indexed by the format.
    for (std::size_t i = 0; i < kAudioFormats.size(); ++i)
        EXPECT_EQ(static_cast<std::size_t>(kAudioFormats[i].format), i);
}

TEST(AudioFormats, EveryReaderAnswersAlike) {
    const TempFile mp3(mpegFrames(20));
    const std::filesystem::path missing = mp3.path().string() + ".missing";
    for (const AudioFormatInfo& format : kAudioFormats) {
        SCOPED_TRACE(std::string(format.ending));
        const AudioFileInfo gone =
            readAudioFile(format.format, missing, korvane::codepage::Choice::Auto);
        EXPECT_TRUE(gone.result.isUnreadable());
        EXPECT_EQ(gone.bitRate, 0);
        const AudioFileInfo info =
            readAudioFile(format.format, mp3.path(), korvane::codepage::Choice::Auto);
        if (format.format == AudioFormat::Mp3) {
            EXPECT_TRUE(info.result.isRead());
            EXPECT_EQ(info.bitRate, 128);
            EXPECT_EQ(info.properties.sampleRate, 44100);
        } else {
            EXPECT_EQ(info.result.status(), ReadResult::Status::NotThisFormat);
            EXPECT_EQ(info.bitRate, 0);
            EXPECT_EQ(info.properties.sampleRate, 0);
        }
    }
}

// The names of an mp3 by the rules of its tags: both from ID3v2, else (2.4) from the frames'
// lists alone, else from ID3v1.
TEST(AudioFormats, Mp3NamesByTheRulesOfItsTags) {
    struct Case {
        const char* name;
        std::string file;
        std::string artist;
        std::string album;
        std::string genre;
        std::string year;
    };
    const std::string latin = bytes({0});
    const std::string v1 = id3v1Tag("t", "One", "Two", "1999", "", 17);
    const Case cases[] = {
        {"ID3v2.3 with both names",
         id3v2Tag(3, frameV3("TPE1", latin + "A") + frameV3("TALB", latin + "B") +
                         frameV3("TCON", latin + " Pop ") + frameV3("TYER", latin + "2001")) +
             mpegFrames(20) + v1,
         "A", "B", "Pop", "2001"},
        {"ID3v2.3 without the album: ID3v1's names",
         id3v2Tag(3, frameV3("TPE1", latin + "A")) + mpegFrames(20) + v1, "One", "Two", "Rock",
         "1999"},
        {"ID3v2.4 without the album: the frames decide alone",
         id3v2Tag(4, frameV4("TPE1", latin + "A")) + mpegFrames(20) + v1, "A", "", "", "1999"},
        {"no tags", mpegFrames(20), "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFile file(c.file);
        const AudioFileInfo info = readAudioFile(AudioFormat::Mp3, file.path(), {});
        ASSERT_TRUE(info.result.isRead());
        EXPECT_EQ(info.properties.artist, c.artist);
        EXPECT_EQ(info.properties.album, c.album);
        EXPECT_EQ(info.properties.genre, c.genre);
        EXPECT_EQ(info.properties.year, c.year);
    }
}
