#include "cli/Cli.h"

#include "../tags/ApeFixtures.h"
#include "../tags/FlacOpusFixtures.h"
#include "../tags/Mp4Fixtures.h"
#include "../tags/WmaOggFixtures.h"

#include "text/Cp1251.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
    QJsonObject json() const {
        return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
    }
};

Result runTags(const QStringList& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = korvane::cli::run(QStringList{"tags"} + args, QString(), out, err);
    return {status, out.str(), err.str()};
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

class TempFile {
public:
    explicit TempFile(const std::string& contents, const std::string& suffix = ".mp3")
        : m_path(std::filesystem::temp_directory_path() /
                 ("korvane_tagscmd_" + std::to_string(::getpid()) + suffix)) {
        std::ofstream(m_path, std::ios::binary) << contents;
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    QString name() const { return QString::fromStdString(m_path.string()); }

private:
    std::filesystem::path m_path;
};

// An ID3v2.3 tag with TPE1 in Windows-1251, ten 128 kbit/s frames and an ID3v1 tag.
std::string sampleFile() {
    const std::string artist = bytes({0}) + korvane::cp1251::fromUtf8("Кино");
    const std::string frame = "TPE1" + bytes({0, 0, 0, int(artist.size()), 0, 0}) + artist;
    std::string file = "ID3" + bytes({3, 0, 0, 0, 0, 0, int(frame.size())}) + frame;
    for (int i = 0; i < 10; ++i) {
        std::string mpeg = bytes({0xFF, 0xFB, 0x90, 0x64});
        mpeg.resize(417, '\0');
        file += mpeg;
    }
    std::string v1 = "TAG" + std::string("Title");
    v1.resize(33, '\0');
    v1 += "Artist";
    v1.resize(127, '\0');
    return file + v1 + bytes({17});
}

} // namespace

TEST(TagsCommand, PrintsEveryReader) {
    TempFile file(sampleFile());
    const Result result = runTags({file.name()});
    ASSERT_EQ(result.status, 0) << result.err;
    const QJsonObject json = result.json();
    for (const char* key : {"mpeg", "id3v1", "id3v2", "id3v2_frames"})
        EXPECT_TRUE(json[key].toObject()["loaded"].toBool()) << key;

    const QJsonObject mpeg = json["mpeg"].toObject();
    EXPECT_EQ(mpeg["bitrate"].toInt(), 128);
    EXPECT_FALSE(mpeg["vbr"].toObject()["found"].toBool());
    EXPECT_EQ(mpeg["audio_start"].toInt(), 10 + 10 + 5); // tag header, TPE1 header, TPE1 data
    EXPECT_EQ(mpeg["frame"].toObject()["header"].toString(), "FFFB9064");
    EXPECT_EQ(mpeg["frame"].toObject()["size"].toInt(), 417);

    const QJsonObject id3v1 = json["id3v1"].toObject();
    EXPECT_TRUE(id3v1["exists"].toBool());
    EXPECT_EQ(id3v1["artist"].toString(), "Artist");
    EXPECT_EQ(id3v1["genre_name"].toString(), "Rock");

    const QJsonObject id3v2 = json["id3v2"].toObject();
    EXPECT_EQ(id3v2["version"].toInt(), 3);
    EXPECT_EQ(id3v2["artist"].toString(), QString::fromUtf8("Кино"));

    const QJsonObject frames = json["id3v2_frames"].toObject();
    EXPECT_EQ(frames["lead_artist"].toArray(), QJsonArray{QString::fromUtf8("Кино")});
    EXPECT_EQ(frames["content_type"].toArray(), QJsonArray{});
}

// A tag of many empty frames lists the first 1,024 ids and says how many more there are.
TEST(TagsCommand, FrameIdsUpToACap) {
    std::string frames;
    for (int i = 0; i < 1100; ++i)
        frames += "TXXX" + bytes({0, 0, 0, 0, 0, 0});
    const int size = static_cast<int>(frames.size());
    TempFile file("ID3" +
                  bytes({3, 0, 0, (size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F,
                         size & 0x7F}) +
                  frames + std::string(32, '\0'));
    const Result result = runTags({file.name()});
    ASSERT_EQ(result.status, 0) << result.err;
    const QJsonObject ids = result.json()["id3v2_frames"].toObject();
    EXPECT_EQ(ids["frame_ids"].toArray().size(), 1024);
    EXPECT_EQ(ids["frame_ids_left_out"].toInt(), 76);
    EXPECT_FALSE(result.json()["id3v2"].toObject().contains("frame_ids_left_out"));
}

TEST(TagsCommand, ReaderErrorsBecomeErrorMembers) {
    // A tag that claims more bytes than the file holds: the second ID3v2 reader raises.
    TempFile file("ID3" + bytes({4, 0, 0, 0, 0, 0x10, 0}) + std::string(100, 'x'));
    const Result result = runTags({file.name()});
    ASSERT_EQ(result.status, 0) << result.err;
    const QJsonObject frames = result.json()["id3v2_frames"].toObject();
    EXPECT_FALSE(frames["loaded"].toBool());
    EXPECT_EQ(frames["error"].toString(), "Stream read error");
    EXPECT_TRUE(result.json()["id3v2"].toObject()["exists"].toBool());
}

TEST(TagsCommand, MissingFileAndUsage) {
    const Result missing = runTags({"/nonexistent/korvane.mp3"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no such file: /nonexistent/korvane.mp3"), std::string::npos);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_EQ(runTags({}).status, 2);
    EXPECT_EQ(runTags({"a", "b"}).status, 2);
}

TEST(TagsCommand, PrintsWmaAndOgg) {
    namespace fx = korvane::tags::fixtures;
    {
        TempFile file(fx::plausible({fx::contentDescription(u"Song", u"Кино"),
                                     fx::extendedDescription({fx::text(u"WM/Genre", u"Rock"),
                                                              fx::text(u"WM/Year", u"2001")})}));
        const Result result = runTags({file.name()});
        ASSERT_EQ(result.status, 0) << result.err;
        const QJsonObject wma = result.json()["wma"].toObject();
        EXPECT_TRUE(wma["loaded"].toBool());
        EXPECT_TRUE(wma["valid"].toBool());
        EXPECT_EQ(wma["bitrate"].toInt(), 128);
        EXPECT_EQ(wma["sample_rate"].toInt(), 44100);
        EXPECT_EQ(wma["title"].toString(), "Song");
        EXPECT_EQ(wma["artist"].toString(), QString::fromUtf8("Кино"));
        EXPECT_EQ(wma["genre"].toString(), "Rock");
        EXPECT_EQ(wma["year"].toString(), "2001");
        EXPECT_FALSE(result.json()["ogg"].toObject()["loaded"].toBool());
    }
    {
        fx::Ogg ogg;
        ogg.comments = {"ARTIST=Кино", "GENRE=Rock", "DATE=2001", "TRACKNUMBER=3/12"};
        ogg.size = 4'000'000;
        ogg.lastGranule = 8'820'000;
        TempFile file(ogg.bytes());
        const Result result = runTags({file.name()});
        ASSERT_EQ(result.status, 0) << result.err;
        const QJsonObject json = result.json()["ogg"].toObject();
        EXPECT_TRUE(json["loaded"].toBool());
        EXPECT_EQ(json["bitrate"].toInt(), 160);
        EXPECT_EQ(json["duration"].toDouble(), 200.0);
        EXPECT_EQ(json["samples"].toInt(), 8'820'000);
        EXPECT_EQ(json["artist"].toString(), QString::fromUtf8("Кино"));
        EXPECT_EQ(json["genre"].toString(), "Rock");
        EXPECT_EQ(json["date"].toString(), "2001");
        EXPECT_EQ(json["track"].toInt(), 3);
        const QJsonObject wma = result.json()["wma"].toObject();
        EXPECT_TRUE(wma["loaded"].toBool());
        EXPECT_FALSE(wma["valid"].toBool());
    }
}

// One file per newer reader: the member that applies is loaded with its names, the others not.
// A cue sheet is told by its name alone.
TEST(TagsCommand, PrintsTheNewerFormats) {
    using namespace korvane::tags::fixtures;
    const std::string apeTagged =
        apeTag({{"Artist", "Кино"}, {"Album", "Группа крови"}, {"Year", "1988"}});
    const std::string mp4 = m4a(soundTrack(mdhd(44100, 441000), sampleEntry("mp4a", 2, 44100)) +
                                    itunesMeta(ilstItem("\xA9"
                                                        "ART",
                                                        "Кино") +
                                               ilstItem("\xA9"
                                                        "alb",
                                                        "Группа крови")),
                                160000);
    struct Case {
        const char* name;
        std::string file;
        const char* suffix;
        std::vector<const char*> loaded;
        const char* member; // whose names are checked
        int bitrate;
    };
    const Case cases[] = {
        {"m4a", mp4, ".m4a", {"mp4"}, "mp4", 128},
        {"wv",
         wavPackBlock(kWavPackCdFlags, 441000, {}, 160000) + apeTagged,
         ".wv",
         {"wavpack", "apev2"},
         "wavpack",
         128},
        {"ape",
         monkeysAudio(2, 44100, 44100, 10, 44100, 160000) + apeTagged,
         ".ape",
         {"ape", "apev2"},
         "ape",
         128},
        {"cue",
         "PERFORMER \"Кино\"\nTITLE \"Группа крови\"\nFILE \"a.flac\" WAVE\n",
         ".CUE",
         {"cue"},
         nullptr,
         0},
        {"a sheet by another name",
         "PERFORMER \"Кино\"\nTITLE \"Группа крови\"\nFILE \"a.flac\" WAVE\n",
         ".txt",
         {},
         nullptr,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.file, c.suffix);
        const Result result = runTags({file.name()});
        ASSERT_EQ(result.status, 0) << result.err;
        const QJsonObject json = result.json();
        for (const char* key : {"flac", "opus", "mp4", "wavpack", "ape", "apev2", "cue"}) {
            const bool expected =
                std::find_if(c.loaded.begin(), c.loaded.end(), [key](const char* k) {
                    return std::string_view(k) == key;
                }) != c.loaded.end();
            EXPECT_EQ(json[key].toObject()["loaded"].toBool(), expected) << key;
        }
        if (c.member != nullptr) {
            const QJsonObject member = json[c.member].toObject();
            EXPECT_EQ(member["artist"].toString(), QString::fromUtf8("Кино"));
            EXPECT_EQ(member["album"].toString(), QString::fromUtf8("Группа крови"));
            EXPECT_EQ(member["bitrate"].toInt(), c.bitrate);
        } else if (!c.loaded.empty()) {
            const QJsonObject cue = json["cue"].toObject();
            EXPECT_EQ(cue["performer"].toString(), QString::fromUtf8("Кино"));
            EXPECT_EQ(cue["files"].toArray(), QJsonArray{"a.flac"});
        }
    }
}

// A file another reader knows by its signature is not searched for MPEG frames: on a FLAC of
// gigabytes the search took minutes. The file here is sparse, so it costs no disk.
TEST(TagsCommand, SkipsTheMpegSearchInAFileAnotherReaderKnows) {
    using namespace korvane::tags::fixtures;
    TempFile file(flacFile({{FlacStreamInfo, streamInfo(44100, 2, 16, 441000)}}), ".flac");
    std::filesystem::resize_file(file.name().toStdString(), std::uintmax_t{1} << 30);
    const Result result = runTags({file.name()});
    ASSERT_EQ(result.status, 0) << result.err;
    const QJsonObject json = result.json();
    EXPECT_TRUE(json["flac"].toObject()["loaded"].toBool());
    EXPECT_EQ(json["mpeg"].toObject(),
              (QJsonObject{{"loaded", false}, {"skipped", "the file is flac"}}));
}
