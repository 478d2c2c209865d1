#include "music/AlbumDetails.h"

#include "music/MusicList.h"
#include "settings/Settings.h"

#include "../tags/TagBytes.h"
#include "../tags/WmaOggFixtures.h"
#include "MusicToggles.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace korvane;
using enum test::MusicOption;
using test::toggles;

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
namespace bytes = korvane::tags::test;
namespace asf = korvane::tags::fixtures;

namespace {

const QString kSep = kDefaultGroupAlbumSeparator;

// An album folder root/relative in a temporary folder.
class Album {
public:
    explicit Album(const QString& relative = QStringLiteral("Band/2001 - Best"))
        : m_path(m_root.filePath(relative)) {
        QDir().mkpath(m_path);
    }
    const QString& path() const { return m_path; }
    QString file(const QString& name) const { return m_path + u'/' + name; }
    void add(const QString& name, const std::string& contents) const {
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(contents.data(), static_cast<qint64>(contents.size()));
    }

private:
    QTemporaryDir m_root;
    QString m_path;
};

struct Outcome {
    QString row; // caption|size|bitrate|style|country
};

// Runs AlbumDetails on a fresh row whose caption the scan would have built.
Outcome details(const QString& folder, const QString& caption, int options,
                const QString& separator = kSep) {
    MusicRow row{caption, {QStringLiteral("5")}};
    readAlbumDetails(folder, row, separator, toggles(options));
    return {(QStringList{row.caption} + row.cells).join(u'|')};
}

QString row(const QString& caption, const QString& bitrate, const QString& style,
            const QString& country) {
    return QStringList{caption, QStringLiteral("5"), bitrate, style, country}.join(u'|');
}

const QString kCaption = QStringLiteral("Band") + kSep + QStringLiteral("2001 - Best");

// ID3v2 text frame data: encoding 0 with 8-bit text, 1 with UTF-16 and a byte-order mark,
// 3 with UTF-8.
std::string latin(std::string_view text) {
    return bytes::bytes({0}) + std::string(text);
}
std::string win1251Text(std::string_view utf8) {
    return latin(bytes::win1251(utf8));
}
std::string utf16Bom(std::string_view utf8) {
    return bytes::bytes({1, 0xFF, 0xFE}) + bytes::utf16le(utf8);
}
std::string utf8(std::string_view text) {
    return bytes::bytes({3}) + std::string(text);
}
std::string comment(std::string_view text) {
    return bytes::bytes({0}) + "eng" + bytes::bytes({0}) + std::string(text);
}

// Twelve 128 kbit/s frames.
std::string cbrAudio() {
    return bytes::mpegFrames(12);
}
// A Xing header in the first frame stating 100 frames of 62700 bytes: 192 kbit/s on average.
std::string vbrAudio() {
    const std::string xing = "Xing" + bytes::be32(3) + bytes::be32(100) + bytes::be32(62700);
    return bytes::mpegFrame(bytes::kFrame128, 417, std::string(32, '\0') + xing) +
           bytes::mpegFrames(11);
}

// The example file: ID3v2.3 artist Group, album Album, year 2001, genre Rock and a country
// comment, 192 kbit/s VBR.
std::string exampleMp3(std::string_view commentText = "Country: UK\r\nUSA") {
    const std::string frames =
        bytes::frameV3("TPE1", latin("Group")) + bytes::frameV3("TALB", latin("Album")) +
        bytes::frameV3("TYER", latin("2001")) + bytes::frameV3("TCON", latin("Rock")) +
        bytes::frameV3("COMM", comment(commentText));
    return bytes::id3v2Tag(3, frames) + vbrAudio();
}

std::string id3v1(std::string_view artist, std::string_view album, std::string_view year,
                  int genre) {
    return bytes::id3v1Tag("Title", artist, album, year, "", genre);
}

// The first name in the order the directory listing returns, among names.
QString firstListed(const QString& folder, const QStringList& names) {
    DIR* dir = opendir(QFile::encodeName(folder));
    QString first;
    while (const dirent* entry = dir == nullptr ? nullptr : readdir(dir)) {
        if (names.contains(QFile::decodeName(entry->d_name))) {
            first = QFile::decodeName(entry->d_name);
            break;
        }
    }
    if (dir != nullptr)
        closedir(dir);
    return first;
}

} // namespace

TEST(AlbumDetails, ExampleFileUnderEachOptionSet) {
    const Album album;
    album.add("01.mp3", exampleMp3());
    const QString country = QStringLiteral("UK / USA");
    struct Case {
        const char* name;
        int options;
        QString caption;
        QString bitrate;
    };
    const Case cases[] = {
        {"all four options", AllOptions, "GROUP" + kSep + "Album (2001)", "VBR 192"},
        {"names from the folder", Capitals | Year | Vbr, "BAND" + kSep + "2001 - Best (2001)",
         "VBR 192"},
        {"no VBR mark", Names, "Group" + kSep + "Album", "192"},
        {"no option", 0, kCaption, "192"},
        {"year alone", Year, kCaption + " (2001)", "192"},
        {"capitals alone", Capitals, "BAND" + kSep + "2001 - Best", "192"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(details(album.path(), kCaption, c.options).row,
                  row(c.caption, c.bitrate, "Rock", country));
    }
}

TEST(AlbumDetails, Mp3Tags) {
    struct Case {
        const char* name;
        std::string file;
        int options;
        QString expected; // the whole row
    };
    const std::string v2Names =
        bytes::frameV3("TPE1", latin("Group")) + bytes::frameV3("TALB", latin("Album"));
    const Case cases[] = {
        {"a lower-case country: is no country", exampleMp3("country: UK"), Names,
         row("Group" + kSep + "Album", "192", "Rock", "-")},
        {"no blank after Country:", exampleMp3("Country:UK"), 0, row(kCaption, "192", "Rock", "-")},
        {"a country after a line break is none", exampleMp3("Made in\r\nCountry: UK"), 0,
         row(kCaption, "192", "Rock", "-")},
        {"each CR LF becomes a slash; a lone LF stays", exampleMp3("Country: A\r\nB\r\nC\nD"), 0,
         row(kCaption, "192", "Rock", "A / B / C\nD")},
        {"CBR file: no VBR mark even with the option", bytes::id3v2Tag(3, v2Names) + cbrAudio(),
         Vbr, row(kCaption, "128", "-", "-")},
        {"genre after a number in parentheses is trimmed",
         bytes::id3v2Tag(3, v2Names + bytes::frameV3("TCON", latin("(17) Rock "))) + cbrAudio(), 0,
         row(kCaption, "128", "Rock", "-")},
        {"a genre number alone is the genre's name",
         bytes::id3v2Tag(3, v2Names + bytes::frameV3("TCON", latin("(13)"))) + cbrAudio() +
             id3v1("", "", "", 17),
         0, row(kCaption, "128", "Pop", "-")},
        {"a genre text with parentheses stays as written",
         bytes::id3v2Tag(3, v2Names + bytes::frameV3("TCON", win1251Text("Шансон (русский)"))) +
             cbrAudio(),
         0, row(kCaption, "128", "Шансон (русский)", "-")},
        {"ID3v1 names, genre and year", cbrAudio() + id3v1("V1 Group", "V1 Album", "1999", 8),
         Names | Year, row("V1 Group" + kSep + "V1 Album (1999)", "128", "Jazz", "-")},
        {"an ID3v1 year of other than four digits is none",
         cbrAudio() + id3v1("V1 Group", "V1 Album", "99", 8), Names | Year,
         row("V1 Group" + kSep + "V1 Album", "128", "Jazz", "-")},
        {"ID3v2.3 album blank: ID3v1 names",
         bytes::id3v2Tag(3, bytes::frameV3("TPE1", latin("Group")) +
                                bytes::frameV3("TALB", latin("   "))) +
             cbrAudio() + id3v1("V1 Group", "V1 Album", "", 255),
         Names, row("V1 Group" + kSep + "V1 Album", "128", "-", "-")},
        {"no name rule applies: the folder names stay",
         bytes::id3v2Tag(3, bytes::frameV3("TPE1", latin("Group"))) + cbrAudio() +
             id3v1("", "V1 Album", "", 255),
         Names, row(kCaption, "128", "-", "-")},
        {"ID3v1 names keep their leading blanks", cbrAudio() + id3v1(" V1", " A1", "", 255), Names,
         row(" V1" + kSep + " A1", "128", "-", "-")},
        {"an empty ID3v2 year falls back to the ID3v1 year",
         bytes::id3v2Tag(3, v2Names + bytes::frameV3("TYER", latin("  "))) + cbrAudio() +
             id3v1("", "", "1999", 255),
         Year, row(kCaption + " (1999)", "128", "-", "-")},
        {"an ID3v2 year wins over the ID3v1 year",
         bytes::id3v2Tag(3, v2Names + bytes::frameV3("TYER", latin("2001"))) + cbrAudio() +
             id3v1("", "", "1999", 255),
         Year, row(kCaption + " (2001)", "128", "-", "-")},
        {"the country note wins over a later comment",
         bytes::id3v2Tag(3, v2Names + bytes::frameV3("COMM", comment("Country: UK")) +
                                bytes::frameV3("COMM", bytes::bytes({0}) + "engiTunNORM" +
                                                           bytes::bytes({0}) + " 0000021C")) +
             cbrAudio(),
         0, row(kCaption, "128", "-", "UK")},
        {"ID3v2 year from TDRC",
         bytes::id3v2Tag(4, bytes::frameV4("TDRC", latin("2004-05-06"))) + cbrAudio(), Year,
         row(kCaption + " (2004)", "128", "-", "-")},
        {"no tags at all", cbrAudio(), AllOptions,
         row("BAND" + kSep + "2001 - Best", "128", "-", "-")},
        {"tags but no frame: nothing is taken",
         bytes::id3v2Tag(3, v2Names + bytes::frameV3("TCON", latin("Rock"))) +
             std::string(3000, '\x01'),
         AllOptions, row("BAND" + kSep + "2001 - Best", "0", "-", "-")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Album album;
        album.add("01.mp3", c.file);
        EXPECT_EQ(details(album.path(), kCaption, c.options).row, c.expected);
    }
}

// Version 4 tags: what the first reader leaves empty comes from the second one, which then
// decides alone.
TEST(AlbumDetails, Version4Tags) {
    struct Case {
        const char* name;
        std::string frames;
        QString expected;
    };
    const std::string v1 = id3v1("V1 Group", "V1 Album", "1999", 17);
    const Case cases[] = {
        {"no TPE1: the folder names stay, ID3v1 is not consulted, no style",
         bytes::frameV4("TALB", latin("Album")), row(kCaption, "128", "-", "-")},
        {"UTF-8 frames",
         bytes::frameV4("TPE1", utf8("Кино")) + bytes::frameV4("TALB", utf8("Звезда")) +
             bytes::frameV4("TCON", utf8("Русский рок")),
         row("Кино" + kSep + "Звезда", "128", "Русский рок", "-")},
        {"a slash is part of a 2.4 artist",
         bytes::frameV4("TPE1", utf8("AC/DC")) + bytes::frameV4("TALB", utf8("Powerage")),
         row("AC/DC" + kSep + "Powerage", "128", "-", "-")},
        {"the first of several 2.4 artists",
         bytes::frameV4("TPE1", utf8("AC/DC") + bytes::bytes({0}) + "Other") +
             bytes::frameV4("TALB", utf8("Powerage")),
         row("AC/DC" + kSep + "Powerage", "128", "-", "-")},
        {"album from the second reader, artist from either",
         bytes::frameV4("TPE1", latin("Group")) + bytes::frameV4("TALB", utf8("Album")),
         row("Group" + kSep + "Album", "128", "-", "-")},
        {"a genre number is the genre's name", bytes::frameV4("TCON", latin("(13)")),
         row(kCaption, "128", "Pop", "-")},
        {"a bare genre number too", bytes::frameV4("TCON", utf8("17")),
         row(kCaption, "128", "Rock", "-")},
        {"the first of several genres, trimmed",
         bytes::frameV4("TCON", utf8(" Rock") + bytes::bytes({0}) + "Pop"),
         row(kCaption, "128", "Rock", "-")},
        {"a first-reader genre wins", bytes::frameV4("TCON", latin("Rock")),
         row(kCaption, "128", "Rock", "-")},
        {"an unknown text encoding: the folder names stay, no style",
         bytes::frameV4("TPE1", bytes::bytes({5}) + "Group") +
             bytes::frameV4("TALB", latin("Album")),
         row(kCaption, "128", "-", "-")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Album album;
        album.add("01.mp3", bytes::id3v2Tag(4, c.frames) + cbrAudio() + v1);
        EXPECT_EQ(details(album.path(), kCaption, Names).row, c.expected);
    }
}

TEST(AlbumDetails, Version4TagLongerThanTheFile) {
    // The second reader fails on the short tag; the first one finds the frames after it.
    const Album album;
    const std::string frame = bytes::frameV4("TPE1", latin("Group"));
    album.add("01.mp3", bytes::id3v2Header(4, 0, 1 << 20) + frame + cbrAudio() +
                            id3v1("V1 Group", "V1 Album", "", 17));
    EXPECT_EQ(details(album.path(), kCaption, Names).row, row(kCaption, "128", "-", "-"));
}

TEST(AlbumDetails, CyrillicTags) {
    const std::string frames = bytes::frameV3("TPE1", win1251Text("кино")) +
                               bytes::frameV3("TALB", utf16Bom("Группа крови")) +
                               bytes::frameV3("TYER", latin("1988")) +
                               bytes::frameV3("TCON", utf16Bom("Рок-н-ролл")) +
                               bytes::frameV3("COMM", comment(bytes::win1251("Country: Россия")));
    const Album album(QStringLiteral("Кино/1988 - Группа крови"));
    album.add("01 Группа крови.mp3", bytes::id3v2Tag(3, frames) + cbrAudio());
    EXPECT_EQ(details(album.path(), "Кино" + kSep + "1988 - Группа крови", AllOptions).row,
              row("КИНО" + kSep + "Группа крови (1988)", "128", "Рок-н-ролл", "Россия"));
}

TEST(AlbumDetails, CapitalsOfTheGroupPartOnly) {
    const Album album;
    album.add("01.mp3", cbrAudio());
    struct Case {
        const char* name;
        QString caption;
        QString separator;
        QString expected;
    };
    const Case cases[] = {
        {"deeper folders", "ёлка" + kSep + "Album" + kSep + "cd1", kSep,
         "ЁЛКА" + kSep + "Album" + kSep + "cd1"},
        {"no separator", "ёлка", kSep, "ёлка"},
        {"another separator", "Group - Album", " - ", "GROUP - Album"},
        {"an empty separator", "Group", "", "Group"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(details(album.path(), c.caption, Capitals, c.separator).row,
                  row(c.expected, "128", "-", "-"));
    }
}

TEST(AlbumDetails, WmaAndOgg) {
    const std::string wmaTagged = asf::plausible(
        {asf::contentDescription(u"Title", u"Artist"),
         asf::extendedDescription({asf::text(u"WM/Genre", u"Рок "), asf::text(u"WM/Year", u"2003"),
                                   asf::text(u"WM/AlbumTitle", u"Album")})});
    asf::Ogg ogg;
    ogg.comments = {"GENRE= Rock ", "DATE=1999", "ARTIST=Artist", "ALBUM=Album"};
    ogg.lastGranule = 44100; // one second of 20000 bytes: 160 kbit/s
    ogg.size = 20000;
    asf::Ogg cyrillicOgg = ogg;
    cyrillicOgg.comments = {"GENRE=Рок", "DATE=2010"};
    asf::Ogg bareOgg = ogg;
    bareOgg.comments = {"GENRE=   "};
    // The album of the report: the folder is named "1988 - Всё идёт по плану".
    const std::string wmaLetov = asf::plausible(
        {asf::contentDescription(u"Title", u"Гражданская оборона", u"Country: СССР"),
         asf::extendedDescription(
             {asf::text(u"WM/Year", u"1988"), asf::text(u"WM/AlbumTitle", u"Всё идёт по плану")})});
    asf::Ogg oggLetov = ogg;
    oggLetov.comments = {"ARTIST=Гражданская оборона", "ALBUM=Всё идёт по плану", "DATE=1988",
                         "COMMENT=Country: СССР\r\nUK"};
    const QString folder =
        QStringLiteral("Гражданская оборона") + kSep + "1988 - Всё идёт по плану";
    const QString named = QStringLiteral("ГРАЖДАНСКАЯ ОБОРОНА") + kSep + "Всё идёт по плану (1988)";
    struct Case {
        const char* name;
        QString file;
        std::string contents;
        QString caption;  // the row the scan built
        QString expected; // with every toggle on
        QString mp3Only;  // the same with names from mp3 files only
    };
    const Case cases[] = {
        {"wma", "01.wma", wmaTagged, kCaption,
         row("ARTIST" + kSep + "Album (2003)", "wma 128", "Рок", "-"),
         row(kCaption + " (2003)", "wma 128", "Рок", "-")},
        {"wma with a country note", "01.wma", wmaLetov, folder, row(named, "wma 128", "-", "СССР"),
         row(folder + " (1988)", "wma 128", "-", "-")},
        {"wma without genre and year", "01.WMA", asf::plausible({}, 20050), kCaption,
         row("BAND" + kSep + "2001 - Best", "wma 160", "-", "-"),
         row(kCaption, "wma 160", "-", "-")},
        {"wma at 320 kbit/s", "01.wma", asf::plausible({}, 40000), kCaption,
         row("BAND" + kSep + "2001 - Best", "wma 320", "-", "-"),
         row(kCaption, "wma 320", "-", "-")},
        {"foreign bytes named wma", "01.wma", std::string(100, 'x'), kCaption,
         row("BAND" + kSep + "2001 - Best", "wma 0", "-", "-"), row(kCaption, "wma 0", "-", "-")},
        {"ogg", "01.ogg", ogg.bytes(), kCaption,
         row("ARTIST" + kSep + "Album (1999)", "ogg 160", "Rock", "-"),
         row(kCaption + " (1999)", "ogg 160", "Rock", "-")},
        {"ogg with a country note", "01.ogg", oggLetov.bytes(), folder,
         row(named, "ogg 160", "-", "СССР / UK"), row(folder + " (1988)", "ogg 160", "-", "-")},
        {"ogg in Cyrillic, no names", "01.Ogg", cyrillicOgg.bytes(), kCaption,
         row("BAND" + kSep + "2001 - Best (2010)", "ogg 160", "Рок", "-"),
         row(kCaption + " (2010)", "ogg 160", "Рок", "-")},
        {"ogg without DATE, blank genre", "01.ogg", bareOgg.bytes(), kCaption,
         row("BAND" + kSep + "2001 - Best", "ogg 160", "-", "-"),
         row(kCaption, "ogg 160", "-", "-")},
        {"foreign bytes named ogg", "01.ogg", std::string(100, 'x'), kCaption,
         row("BAND" + kSep + "2001 - Best", "ogg 0", "-", "-"), row(kCaption, "ogg 0", "-", "-")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Album album;
        album.add(c.file, c.contents);
        const Outcome outcome = details(album.path(), c.caption, AllOptions);
        EXPECT_EQ(outcome.row, c.expected);
        // The original rule: names, capitals and the country note are for mp3 files only.
        EXPECT_EQ(details(album.path(), c.caption, AllOptions | Mp3NamesOnly).row, c.mp3Only);
    }
}

TEST(AlbumDetails, ChoiceOfTheFile) {
    asf::Ogg ogg;
    ogg.lastGranule = 44100;
    ogg.size = 20000;
    const std::string wma = asf::plausible();
    struct Case {
        const char* name;
        std::vector<std::pair<QString, std::string>> files;
        QString bitrate; // "-" without an audio file
    };
    std::vector<std::pair<QString, std::string>> manyWma = {{"z.mp3", cbrAudio()}};
    for (int i = 0; i < 20; ++i)
        manyWma.push_back({QStringLiteral("%1.wma").arg(i), wma});
    const Case cases[] = {
        {"one mp3 among twenty wma", manyWma, "128"},
        {"wma before ogg", {{"a.ogg", ogg.bytes()}, {"b.wma", wma}}, "wma 128"},
        {"ogg alone", {{"a.ogg", ogg.bytes()}, {"cover.jpg", "x"}}, "ogg 160"},
        {"upper-case ending", {{"01.MP3", cbrAudio()}, {"02.wma", wma}}, "128"},
        {"a hidden mp3 counts", {{".01.mp3", cbrAudio()}, {"02.ogg", ogg.bytes()}}, "128"},
        {"a name that is only the ending", {{".mp3", cbrAudio()}}, "128"},
        {"endings must end the name",
         {{"01.mp3.txt", cbrAudio()}, {"01mp3", cbrAudio()}, {"01.mp4", cbrAudio()}},
         "-"},
        {"no files", {}, "-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Album album;
        for (const auto& [name, contents] : c.files)
            album.add(name, contents);
        const QString expected =
            c.bitrate == "-" ? row(kCaption, "-", "-", "-") : row(kCaption, c.bitrate, "-", "-");
        EXPECT_EQ(details(album.path(), kCaption, Vbr).row, expected);
    }
}

TEST(AlbumDetails, FirstMp3InListingOrder) {
    const Album album;
    const QStringList names = {"b.mp3", "a.mp3", "c.mp3", "d.mp3"};
    album.add("b.mp3", cbrAudio());
    album.add("a.mp3", vbrAudio());
    album.add("c.mp3", cbrAudio());
    album.add("d.mp3", vbrAudio());
    const QString first = firstListed(album.path(), names);
    const bool vbr = first == "a.mp3" || first == "d.mp3";
    EXPECT_EQ(details(album.path(), kCaption, Vbr).row,
              row(kCaption, vbr ? "VBR 192" : "128", "-", "-"));
}

TEST(AlbumDetails, EntriesThatAreNoFiles) {
    // Each entry still counts as the file of its kind: the wma beside an mp3 entry is not taken.
    struct Case {
        const char* name;
        std::function<bool(const Album&)> make;
        QString bitrate;
    };
    const Case cases[] = {
        {"a folder named like an mp3",
         [](const Album& a) { return QDir().mkpath(a.file("x.mp3")); }, "0"},
        {"a dangling link named like an ogg",
         [](const Album& a) { return QFile::link(a.file("gone"), a.file("x.ogg")); }, "ogg 0"},
        {"a pipe named like an mp3 (opening it would wait)",
         [](const Album& a) { return mkfifo(QFile::encodeName(a.file("x.mp3")), 0600) == 0; }, "0"},
        {"a link to an album file",
         [](const Album& a) {
             a.add("data", cbrAudio());
             return QFile::link(a.file("data"), a.file("y.mp3"));
         },
         "128"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Album album;
        ASSERT_TRUE(c.make(album));
        if (c.bitrate != "ogg 0")
            album.add("z.wma", asf::plausible());
        EXPECT_EQ(details(album.path(), kCaption, Vbr).row, row(kCaption, c.bitrate, "-", "-"));
    }
}

TEST(AlbumDetails, FolderWithoutAudio) {
    const Album album;
    album.add("cover.jpg", "jpeg");
    album.add("info.txt", "text");
    const QString none = row(kCaption, "-", "-", "-");
    const Outcome outcome = details(album.path(), kCaption, AllOptions);
    EXPECT_EQ(outcome.row, none);
    // A folder that vanished after the listing reads as one without audio.
    EXPECT_EQ(details(album.path() + "/gone", kCaption, AllOptions).row, none);
}

// Texts from a file are cut: a genre of megabytes would slow every sort and export.
TEST(AlbumDetails, LongTextsAreCut) {
    const Album album;
    // The first tag reader sees only blanks in its 500 bytes; the second one takes the frame
    // whole.
    album.add("01.mp3", bytes::id3v2Tag(4, bytes::frameV4("TCON", utf8(std::string(600, ' ') +
                                                                       std::string(20000, 'g')))) +
                            cbrAudio());
    MusicRow row{kCaption, {QStringLiteral("5")}};
    readAlbumDetails(album.path(), row, kSep, toggles(0));
    EXPECT_EQ(row.cells.at(StyleCell), QString(600, u' ') + QString(424, u'g'));
}

// A stop (the window closing, "Остановить") ends a read at its next step: the file counts as
// unreadable, and the row still gets its three cells.
TEST(AlbumDetails, AStopEndsTheReadAndTheRowIsStillComplete) {
    const Album album;
    album.add("01.mp3", exampleMp3());
    const auto read = [&album](const std::stop_token& stop) {
        MusicRow row{kCaption, {QStringLiteral("5")}};
        readAlbumDetails(album.path(), row, kSep, toggles(0), stop);
        return (QStringList{row.caption} + row.cells).join(u'|');
    };
    std::stop_source stop;
    const QString whole = read(stop.get_token());
    stop.request_stop();
    const QString stopped = read(stop.get_token());
    EXPECT_EQ(stopped, row(kCaption, "0", "-", "-"));
    EXPECT_NE(whole, stopped);
}

// Files made and tagged by real tools: what the tags hold reaches the row.
TEST(AlbumDetails, FilesFromRealTools) {
    if (!test::haveTool("ffmpeg") || !test::haveTool("lame"))
        GTEST_SKIP() << "ffmpeg and lame are needed";
    const Album source;
    const std::string wav = source.file("tone.wav").toStdString();
    ASSERT_EQ(test::runTool("ffmpeg -v error -y -f lavfi -i sine=duration=1:sample_rate=44100 " +
                            test::shellQuoted(wav))
                  .status,
              0);
    struct Case {
        const char* name;
        QString file;
        std::string command; // makes the file named FILE
        QString expected;
    };
    const Case cases[] = {
        {"a year in the ID3v1 tag alone", "01.mp3",
         "lame --quiet -b 128 --id3v1-only --ta Zemlyane --tl Karnaval --ty 1984 --tg Rock WAV "
         "FILE",
         row("ZEMLYANE" + kSep + "Karnaval (1984)", "128", "Rock", "-")},
        {"FFmpeg's ID3v2.4 in UTF-8", "01.mp3",
         "ffmpeg -v error -y -i WAV -b:a 128k -metadata artist=AC/DC -metadata album=Powerage "
         "-metadata date=1978 -metadata genre=17 FILE",
         row("AC/DC" + kSep + "Powerage (1978)", "128", "Rock", "-")},
        {"Unicode past Windows-1251 in WMA", "01.wma",
         "ffmpeg -v error -y -i WAV -c:a wmav2 -b:a 320k -metadata 'genre=J-Pop 🎹' "
         "-metadata WM/Year=1983 FILE",
         row("BAND" + kSep + "2001 - Best (1983)", "wma 320", "J-Pop 🎹", "-")},
        {"Unicode past Windows-1251 in a Vorbis comment", "01.ogg",
         "oggenc -Q -G '坂本龍一 🎹' -d 1983 -o FILE WAV",
         row("BAND" + kSep + "2001 - Best (1983)", "ogg OGG", "坂本龍一 🎹", "-")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.command.starts_with("oggenc") && !test::haveTool("oggenc"))
            continue;
        const Album album;
        std::string command = c.command;
        command.replace(command.find("WAV"), 3, test::shellQuoted(wav));
        command.replace(command.find("FILE"), 4,
                        test::shellQuoted(album.file(c.file).toStdString()));
        ASSERT_EQ(test::runTool(command + " >/dev/null 2>&1").status, 0) << command;
        QString expected = c.expected;
        if (c.file.endsWith(".ogg")) {
            // The Ogg bitrate depends on the encoder's choices; the texts are what counts here.
            const QString got = details(album.path(), kCaption, AllOptions).row;
            const QStringList cells = got.split(u'|');
            ASSERT_EQ(cells.size(), 5);
            expected.replace("ogg OGG", cells[2]);
            EXPECT_TRUE(cells[2].startsWith("ogg "));
            EXPECT_EQ(got, expected);
            continue;
        }
        EXPECT_EQ(details(album.path(), kCaption, AllOptions).row, expected);
    }
}
