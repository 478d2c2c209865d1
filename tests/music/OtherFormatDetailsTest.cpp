// Album rows of the formats after mp3, wma and ogg, from files that the real encoders make at
// test time (Monkey's Audio built byte by byte: Debian has no encoder for it). Skipped when a
// tool is missing.
#include "../tags/ApeFixtures.h"
#include "../tags/EncodedFiles.h"
#include "../tags/TagBytes.h"
#include "music/AlbumDetails.h"
#include "music/MusicList.h"
#include "tags/ByteSource.h"
#include "text/Cp1251.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

using namespace korvane;
namespace encoded = korvane::tags::encoded;
namespace fs = std::filesystem;

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString kSep = QStringLiteral("  \\  ");
const QString kCaption = QStringLiteral("Band") + kSep + QStringLiteral("Album");
// The group part in capitals, as for an mp3 whose names are not taken.
const QString kUpperCaption = QStringLiteral("BAND") + kSep + QStringLiteral("Album");
// Debian's python3, the one python3-mutagen installs into.
const std::string kPython = "/usr/bin/python3";

Toggles allToggles(bool otherFormats = true) {
    Toggles t;
    t.artistFromID3 = true;
    t.albumUppercase = true;
    t.yearInColumn = true;
    t.otherFormats = otherFormats;
    return t;
}

QStringList details(const fs::path& folder, const Toggles& options) {
    MusicRow row{kCaption, {QStringLiteral("5")}};
    readAlbumDetails(QString::fromStdString(folder.string()), row, kSep, options);
    return QStringList{row.caption} + row.cells;
}

class OtherFormatRows : public encoded::EncodedFiles {
protected:
    fs::path album(const std::string& name) {
        const fs::path folder = m_dir / name;
        fs::create_directories(folder);
        return folder;
    }
    // Ten seconds of noise: the coded size is the audio's, not the headers'.
    std::string wav(int channels = 2, int rate = 44100) {
        const std::string path = (m_dir / "source.wav").string();
        encoded::run("ffmpeg -v error -y -f lavfi -i anoisesrc=d=10:a=0.1:s=1 -ac " +
                     std::to_string(channels) + " -ar " + std::to_string(rate) + " '" + path + "'");
        return path;
    }
    bool have(const std::vector<const char*>& tools) {
        for (const char* tool : tools) {
            if (!encoded::haveTool(tool))
                return false;
        }
        return true;
    }
};

// The bitrate cell's number against the audio's size over ffprobe's duration.
void expectBitrate(const QString& cell, const std::string& name, const fs::path& file,
                   double headerBytes) {
    const QStringList parts = cell.split(u' ');
    ASSERT_EQ(parts.size(), 2) << cell.toStdString();
    EXPECT_EQ(parts[0].toStdString(), name);
    const double duration = std::stod(encoded::probe(file).at("format.duration"));
    const double expected =
        (static_cast<double>(fs::file_size(file)) - headerBytes) * 8 / duration / 1000;
    EXPECT_NEAR(parts[1].toDouble(), expected, expected * 0.03) << cell.toStdString();
}

const QString kTaggedCaption =
    QStringLiteral("КИНО") + kSep + QStringLiteral("Группа крови (1988)");

struct EncodedCase {
    const char* name;
    const char* file;
    std::vector<const char*> tools;
    std::string make; // a shell command; $IN is the wav, $OUT the file
    const char* ending;
};

TEST_F(OtherFormatRows, EncodedAndTagged) {
    const std::string vorbisTags = " -T 'ARTIST=Кино' -T 'ALBUM=Группа крови' -T 'DATE=1988-05-01' "
                                   "-T 'GENRE=Рок' -T 'COMMENT=Country: СССР'";
    const std::string mutagen =
        kPython + " -c \"import sys; from mutagen.mp4 import MP4; m = MP4(sys.argv[1]); "
                  "m['\\xa9ART'] = ['Кино']; m['\\xa9alb'] = ['Группа крови']; "
                  "m['\\xa9day'] = ['1988-05-01T00:00:00Z']; m['\\xa9gen'] = ['Рок']; "
                  "m['\\xa9cmt'] = ['Country: СССР']; m.save()\" \"$OUT\"";
    const std::string apeTags = " -w 'Artist=Кино' -w 'Album=Группа крови' -w 'Year=1988' "
                                "-w 'Genre=Рок' -w 'Comment=Country: СССР'";
    const EncodedCase cases[] = {
        // Ogg Vorbis and WMA give their names and country note as every other format does.
        {"ogg vorbis by oggenc",
         "01.ogg",
         {"oggenc"},
         "oggenc -Q \"$IN\" -o \"$OUT\"" + korvane::tags::replaceAll(vorbisTags, "-T ", "-c "),
         "ogg"},
        {"wma by ffmpeg",
         "01.wma",
         {"ffmpeg"},
         "ffmpeg -v error -y -i \"$IN\" -c:a wmav2 -b:a 128k -metadata artist=Кино "
         "-metadata album='Группа крови' -metadata WM/Year=1988 -metadata genre=Рок "
         "-metadata 'WM/Description=Country: СССР' \"$OUT\"",
         "wma"},
        {"flac -5", "01.flac", {"flac"}, "flac -s -5 \"$IN\" -o \"$OUT\"" + vorbisTags, "flac"},
        {"flac -8 by ffmpeg, then metaflac",
         "01.FLAC",
         {"metaflac"},
         "ffmpeg -v error -y -i \"$IN\" -c:a flac -compression_level 8 \"$OUT\" && metaflac" +
             korvane::tags::replaceAll(vorbisTags, "-T ", "--set-tag=") + " \"$OUT\"",
         "flac"},
        {"m4a AAC 128 kbit/s",
         "01.m4a",
         {"python3"},
         "ffmpeg -v error -y -i \"$IN\" -c:a aac -b:a 128k \"$OUT\" && " + mutagen,
         "m4a"},
        {"m4a ALAC",
         "01.m4a",
         {"python3"},
         "ffmpeg -v error -y -i \"$IN\" -c:a alac \"$OUT\" && " + mutagen,
         "m4a"},
        {"opus 96 kbit/s",
         "01.opus",
         {"opusenc"},
         "opusenc --quiet --bitrate 96 --artist 'Кино' --album 'Группа крови' --date 1988 "
         "--genre 'Рок' --comment 'COMMENT=Country: СССР' \"$IN\" \"$OUT\"",
         "opus"},
        {"wv default", "01.wv", {"wavpack"}, "wavpack -q -y \"$IN\" -o \"$OUT\"" + apeTags, "wv"},
        {"wv hybrid lossy",
         "01.wv",
         {"wavpack"},
         "wavpack -q -y -b192 \"$IN\" -o \"$OUT\"" + apeTags,
         "wv"},
    };
    for (const EncodedCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (!have(c.tools) ||
            std::system((kPython + " -c 'import mutagen' >/dev/null 2>&1").c_str()) != 0)
            continue;
        const fs::path folder = album(c.name);
        const fs::path file = folder / c.file;
        encoded::run("IN='" + wav() + "' OUT='" + file.string() + "'; " + c.make);
        const QStringList row = details(folder, allToggles());
        ASSERT_EQ(row.size(), 5);
        EXPECT_EQ(row[0], kTaggedCaption);
        // wma states its nominal rate and ogg counts only its audio pages.
        const bool classic =
            c.ending == std::string_view("ogg") || c.ending == std::string_view("wma");
        if (classic)
            EXPECT_TRUE(row[2].startsWith(QString::fromLatin1(c.ending) + u' '))
                << row[2].toStdString();
        else
            expectBitrate(row[2], c.ending, file, 0);
        EXPECT_EQ(row[3], QStringLiteral("Рок"));
        EXPECT_EQ(row[4], QStringLiteral("СССР"));

        // Names from mp3 files only: the folder's name with the year, no country note.
        Toggles mp3Only = allToggles();
        mp3Only.mp3NamesOnly = true;
        // (ogg rows show DATE as written there).
        const QString year = c.ending == std::string_view("ogg") ? "1988-05-01" : "1988";
        EXPECT_EQ(details(folder, mp3Only).at(0), kCaption + " (" + year + ")");
        EXPECT_EQ(details(folder, mp3Only).at(4), QStringLiteral("-"));

        // With the toggle off the folder has no audio file, as before; wma and ogg are read all
        // the same.
        if (classic)
            continue;
        EXPECT_EQ(details(folder, allToggles(false)), (QStringList{kCaption, "5", "-", "-", "-"}));
    }
}

// Monkey's Audio: 3 s of 44.1 kHz in 132300 bytes of frames is 352.8 kbit/s; an APEv2 tag in
// Windows-1251 (as old taggers wrote it) and an ID3v1 tag after it.
TEST_F(OtherFormatRows, MonkeysAudio) {
    using namespace korvane::tags::fixtures;
    const fs::path folder = album("ape");
    const std::string tag = apeTag({{"Artist", cp1251::fromUtf8("Кино")},
                                    {"Album", cp1251::fromUtf8("Группа крови")},
                                    {"Year", "1988"},
                                    {"Genre", "Rock"}});
    std::ofstream(folder / "CD.ape", std::ios::binary)
        << monkeysAudio(2, 44100, 44100, 3, 44100, 132300) + tag + std::string("TAG") +
               std::string(125, '\0');
    EXPECT_EQ(details(folder, allToggles()),
              (QStringList{kTaggedCaption, "5", "ape 353", "Rock", "-"}));
}

// A FLAC image with a Windows-1251 cue beside it: the sheet's names, the image's genre.
TEST_F(OtherFormatRows, FlacImageWithCue) {
    if (!have({"flac"}))
        GTEST_SKIP() << "flac is not installed";
    const fs::path folder = album("image");
    encoded::run("flac -s -5 '" + wav() + "' -o '" + (folder / "CD.flac").string() +
                 "' -T 'ARTIST=Wrong' -T 'ALBUM=Wrong' -T 'GENRE=Рок'");
    std::ofstream(folder / "CD.cue", std::ios::binary)
        << cp1251::fromUtf8("REM DATE 1988\r\nREM COMMENT \"Country: СССР\"\r\nPERFORMER "
                            "\"Кино\"\r\nTITLE \"Группа крови\"\r\nFILE \"CD.flac\" WAVE\r\n  "
                            "TRACK 01 AUDIO\r\n    TITLE \"Звезда\"\r\n");
    const QStringList row = details(folder, allToggles());
    ASSERT_EQ(row.size(), 5);
    EXPECT_EQ(row[0], kTaggedCaption);
    EXPECT_EQ(row[3], QStringLiteral("Рок"));
    EXPECT_EQ(row[4], QStringLiteral("СССР"));

    // Two FLAC files are tracks, not an image: the cue is not read.
    std::filesystem::copy_file(folder / "CD.flac", folder / "CD2.flac");
    EXPECT_EQ(details(folder, allToggles())[0],
              QStringLiteral("WRONG") + kSep + QStringLiteral("Wrong"));
}

// Cue sheets of DOS and Unix rippers: the sheet read in its own code page, or in the one the
// user fixed; a sheet too short to tell marks the row as a close call.
TEST_F(OtherFormatRows, CueSheetInEveryCodePage) {
    if (!have({"flac"}))
        GTEST_SKIP() << "flac is not installed";
    const fs::path folder = album("image");
    encoded::run("flac -s -5 '" + wav() + "' -o '" + (folder / "CD.flac").string() + "'");
    const auto sheet = [](const char* performer, const char* title) {
        return std::string("PERFORMER \"") + performer + "\"\r\nTITLE \"" + title +
               "\"\r\nFILE \"CD.flac\" WAVE\r\n  TRACK 01 AUDIO\r\n";
    };
    using codepage::Choice;
    using codepage::Encoding;
    struct Case {
        const char* name;
        Encoding stored;
        Choice choice;
        QString caption;
        bool close;
    };
    const QString kino = QStringLiteral("Кино") + kSep + QStringLiteral("Группа крови");
    const Case cases[] = {
        {"Windows-1251", Encoding::Windows1251, Choice::Auto, kino, false},
        {"KOI8-R", Encoding::Koi8R, Choice::Auto, kino, false},
        {"CP866", Encoding::Cp866, Choice::Auto, kino, false},
        {"CP866, KOI8-R fixed", Encoding::Cp866, Choice::Koi8R,
         QString::fromStdString(
             codepage::toUtf8(tags::test::inCodePage("Кино", Encoding::Cp866), Encoding::Koi8R)) +
             kSep +
             QString::fromStdString(codepage::toUtf8(
                 tags::test::inCodePage("Группа крови", Encoding::Cp866), Encoding::Koi8R)),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(folder / "CD.cue", std::ios::binary)
            << tags::test::inCodePage(sheet("Кино", "Группа крови"), c.stored);
        Toggles options = allToggles();
        options.albumUppercase = false;
        options.tagEncoding = c.choice;
        MusicRow row{kCaption, {QStringLiteral("5")}};
        readAlbumDetails(QString::fromStdString(folder.string()), row, kSep, options);
        EXPECT_EQ(row.caption, c.caption);
        EXPECT_EQ(row.closeTexts.isEmpty(), !c.close);
    }
    // "ДДТ" alone in KOI8-R reads as well as Windows-1251 "ддф": the row is marked.
    std::ofstream(folder / "CD.cue", std::ios::binary)
        << tags::test::inCodePage(sheet("ДДТ", "Live"), Encoding::Koi8R);
    MusicRow row{kCaption, {QStringLiteral("5")}};
    readAlbumDetails(QString::fromStdString(folder.string()), row, kSep, allToggles());
    ASSERT_EQ(row.closeTexts.size(), 1) << row.caption.toStdString();
    EXPECT_EQ(row.closeTexts[0].text, QStringLiteral("ддф"));
    EXPECT_EQ(row.closeTexts[0].bytes, QByteArray("\xE4\xE4\xF4"));
}

struct ChoiceCase {
    const char* name;
    QString caption;
    std::vector<std::pair<std::string, std::string>> files;
    QString bitrate;
};

TEST_F(OtherFormatRows, ChoiceAndUnreadableFiles) {
    const std::string junk(100, 'x');
    const ChoiceCase cases[] = {
        {"ogg before flac", kUpperCaption, {{"b.flac", junk}, {"a.ogg", junk}}, "ogg 0"},
        {"flac before m4a, opus, wv, ape",
         kUpperCaption,
         {{"e.ape", junk}, {"d.wv", junk}, {"c.opus", junk}, {"b.m4a", junk}, {"a.flac", junk}},
         "flac 0"},
        {"m4a before opus", kUpperCaption, {{"c.opus", junk}, {"b.m4a", junk}}, "m4a 0"},
        {"opus before wv", kUpperCaption, {{"d.wv", junk}, {"c.opus", junk}}, "opus 0"},
        {"wv before ape", kUpperCaption, {{"e.ape", junk}, {"d.wv", junk}}, "wv 0"},
        {"empty ape", kUpperCaption, {{"e.APE", ""}}, "ape 0"},
        {"a cue alone is no audio", kCaption, {{"a.cue", "FILE \"a.flac\" WAVE\n"}}, "-"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = album(c.name);
        for (const auto& [name, contents] : c.files)
            std::ofstream(folder / name, std::ios::binary) << contents;
        EXPECT_EQ(details(folder, allToggles()),
                  (QStringList{c.caption, "5", c.bitrate, "-", "-"}));
    }
}

} // namespace
