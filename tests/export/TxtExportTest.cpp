#include "export/TxtExport.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"

#include "ExportTestSupport.h"

#include <gtest/gtest.h>

namespace korvane::exporter {
namespace {

using test::album;
using test::category;
using test::clip;
using test::cp1251File;
using test::ExportFolder;

const QString kDate = QStringLiteral("10.12.2026");
const QString kBar = QStringLiteral(" | ");

TEST(TxtExport, MusicFileWithCategoriesIsWrittenByteForByte) {
    const std::vector<CatalogueRow> rows{
        category(QStringLiteral("Панк")),
        album(QStringLiteral("Ramones  \\  Rocket to Russia"), QStringLiteral("41,2"),
              QStringLiteral("192"), QStringLiteral("Punk"), QStringLiteral("USA")),
        album(QStringLiteral("Кино  \\  Группа крови"), QStringLiteral("87"),
              QStringLiteral("VBR 245"), QStringLiteral("Rock")),
        category(QStringLiteral("Ska")),
        album(QStringLiteral("Skatalites  \\  Ska Authentic"), QStringLiteral("0,5"),
              QStringLiteral("-"), QStringLiteral("-")),
    };
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    const auto path = writeMusicTxt(rows, settings, Toggles{}, QDate(2026, 12, 10));
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, folder.outDir() + QStringLiteral("mp3list.txt"));
    const QString date = text::shortDate(QDate(2026, 12, 10));
    // Width 28, the longest Folder text; the country is never written.
    const QByteArray expected = cp1251File({
        QStringLiteral("~~~ mp3 collection ~~~"),
        QStringLiteral("Создан: ") + date,
        QString(),
        QString(),
        QStringLiteral(">> КАТЕГОРИЯ: Панк <<"),
        QStringLiteral("Ramones  \\  Rocket to Russia\t[ 192 kbps | 41,2 mb | Punk ]"),
        QStringLiteral("Кино  \\  Группа крови       \t[ VBR 245 kbps | 87 mb | Rock ]"),
        QString(),
        QStringLiteral(">> КАТЕГОРИЯ: Ska <<"),
        QStringLiteral("Skatalites  \\  Ska Authentic\t[ - kbps | 0,5 mb | - ]"),
    });
    EXPECT_EQ(folder.read(QStringLiteral("out/mp3list.txt")), expected);
}

TEST(TxtExport, VideoFileIsWrittenByteForByte) {
    const std::vector<CatalogueRow> rows{
        clip(QStringLiteral("clips  \\  intro.avi"), QStringLiteral("12,3"),
             QStringLiteral("640x480"), QStringLiteral("3:05"), QStringLiteral("25"),
             QStringLiteral("DivX 5")),
        clip(QStringLiteral("a.mkv"), QStringLiteral("700"), QStringLiteral("1280x720"),
             QStringLiteral("95:00"), QStringLiteral("23,976"), QString()),
    };
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    const auto path = writeVideoTxt(rows, settings, QDate(2026, 12, 10));
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, folder.outDir() + QStringLiteral("VideoList.txt"));
    const QByteArray expected = cp1251File({
        QStringLiteral("~~~ Video collection ~~~"),
        QStringLiteral("Создан: ") + text::shortDate(QDate(2026, 12, 10)),
        QString(),
        QStringLiteral("Файл   [Размер | Разрешение | Время | Кадров | Кодек]"),
        QStringLiteral("clips  \\  intro.avi\t[ 12,3 mb | 640x480 | 3:05 min | 25 | DivX 5 ]"),
        // An empty codec still gets its separator.
        QStringLiteral("a.mkv              \t[ 700 mb | 1280x720 | 95:00 min | 23,976 |  ]"),
    });
    EXPECT_EQ(folder.read(QStringLiteral("out/VideoList.txt")), expected);
}

// With the TXT lists set to UTF-8 every character stays; the layout is the same, CR LF included.
TEST(TxtExport, Utf8KeepsWhatWindows1251Lacks) {
    const std::vector<CatalogueRow> music{
        album(QStringLiteral("Björk  \\  Homogenic"), QStringLiteral("50"), QStringLiteral("256"),
              QStringLiteral("Électronique")),
        album(QStringLiteral("坂本龍一  \\  🎹"), QStringLiteral("7"), QStringLiteral("flac 900"),
              QStringLiteral("-")),
    };
    const std::vector<CatalogueRow> video{clip(QStringLiteral("Αθήνα.mkv"), QStringLiteral("1"),
                                               QStringLiteral("8x8"), QStringLiteral("0:01"),
                                               QStringLiteral("25"), QStringLiteral("VP9"))};
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    Toggles utf8;
    utf8.txtUtf8 = true;
    ASSERT_TRUE(writeMusicTxt(music, settings, utf8, QDate(2026, 12, 10)));
    ASSERT_TRUE(writeVideoTxt(video, settings, QDate(2026, 12, 10), true));
    const QString date = text::shortDate(QDate(2026, 12, 10));
    const auto utf8File = [](const QStringList& lines) {
        return (lines.join("\r\n") + "\r\n").toUtf8();
    };
    EXPECT_EQ(folder.read(QStringLiteral("out/mp3list.txt")),
              utf8File({QStringLiteral("~~~ mp3 collection ~~~"), QStringLiteral("Создан: ") + date,
                        QString(),
                        QStringLiteral("Björk  \\  Homogenic\t[ 256 kbps | 50 mb | Électronique ]"),
                        // Padded to the longest name in UTF-16 units, as every list is.
                        QStringLiteral("坂本龍一  \\  🎹").leftJustified(19) +
                            QStringLiteral("\t[ flac 900 kbps | 7 mb | - ]")}));
    EXPECT_EQ(folder.read(QStringLiteral("out/VideoList.txt")),
              utf8File({QStringLiteral("~~~ Video collection ~~~"),
                        QStringLiteral("Создан: ") + date, QString(),
                        QStringLiteral("Файл   [Размер | Разрешение | Время | Кадров | Кодек]"),
                        QStringLiteral("Αθήνα.mkv\t[ 1 mb | 8x8 | 0:01 min | 25 | VP9 ]")}));
}

// The name column of each row: the width W of the longest Folder text (plus 6 with the year
// option), at most 80; a name longer than 80 becomes 78 characters and "...".
TEST(TxtExport, NameWidthAndTheEightyCharacterCut) {
    const QString n25 = QString(25, u'a');
    const QString n74 = QString(74, u'b');
    const QString n80 = QString(80, u'c');
    const QString n81 = QString(81, u'd');
    const QString n100 = QString(100, u'e');
    struct Case {
        const char* name;
        std::vector<QString> folders;
        bool year;
        std::vector<QString> expectedNames;
    };
    const std::vector<Case> cases{
        {"longest 25 gives width 25",
         {n25, QStringLiteral("x")},
         false,
         {n25, QStringLiteral("x").leftJustified(25)}},
        {"year option widens by 6",
         {n25, QStringLiteral("x")},
         true,
         {n25.leftJustified(31), QStringLiteral("x").leftJustified(31)}},
        {"year widening stops at 80",
         {n74 + u'b', QStringLiteral("x")},
         true,
         {(n74 + u'b').leftJustified(80), QStringLiteral("x").leftJustified(80)}},
        {"exactly 80 is written whole",
         {n80, QStringLiteral("x")},
         false,
         {n80, QStringLiteral("x").leftJustified(80)}},
        {"81 is cut to 78 and dots",
         {n81, QStringLiteral("x")},
         false,
         {n81.left(78) + QStringLiteral("..."), QStringLiteral("x").leftJustified(80)}},
        {"80 with the year option is whole", {n80}, true, {n80}},
        {"100 is cut too",
         {n100, n25},
         false,
         {n100.left(78) + QStringLiteral("..."), n25.leftJustified(80)}},
    };
    for (const Case& c : cases) {
        std::vector<CatalogueRow> rows;
        for (const QString& folder : c.folders)
            rows.push_back(
                album(folder, QStringLiteral("1"), QStringLiteral("128"), QStringLiteral("Pop")));
        const QStringList lines = musicTxtLines(rows, kBar, c.year, kDate);
        ASSERT_EQ(lines.size(), 3 + static_cast<qsizetype>(rows.size())) << c.name;
        for (size_t i = 0; i < rows.size(); ++i) {
            const QString line = lines[3 + static_cast<qsizetype>(i)];
            EXPECT_EQ(line.section(u'\t', 0, 0), c.expectedNames[i]) << c.name << " row " << i;
        }
    }
}

TEST(TxtExport, CategoryRowsCountTowardsTheWidthButAreNotPadded) {
    const std::vector<CatalogueRow> rows{category(QString(30, u'k')),
                                         album(QStringLiteral("ab"), QStringLiteral("1"),
                                               QStringLiteral("128"), QStringLiteral("Pop"))};
    const QStringList lines = musicTxtLines(rows, kBar, false, kDate);
    EXPECT_EQ(lines.mid(3), (QStringList{QString(),
                                         QStringLiteral(">> КАТЕГОРИЯ: ") + QString(30, u'k') +
                                             QStringLiteral(" <<"),
                                         QStringLiteral("ab").leftJustified(30) +
                                             QStringLiteral("\t[ 128 kbps | 1 mb | Pop ]")}));
}

TEST(TxtExport, SeparatorComesFromTheSettingsWithItsBlanks) {
    const std::vector<CatalogueRow> rows{album(QStringLiteral("A  \\  B"), QStringLiteral("712,5"),
                                               QStringLiteral("192"), QStringLiteral("Rock"))};
    struct Case {
        const char* name;
        QStringList settings;
        QString details;
    };
    const std::vector<Case> cases{
        {"absent key", {}, QStringLiteral("[ 192 kbps | 712,5 mb | Rock ]")},
        {"stored in quotes",
         {QStringLiteral("separator=\" ; \"")},
         QStringLiteral("[ 192 kbps ; 712,5 mb ; Rock ]")},
        {"stored bare",
         {QStringLiteral("separator=/")},
         QStringLiteral("[ 192 kbps/712,5 mb/Rock ]")},
    };
    for (const Case& c : cases) {
        ExportFolder folder(c.settings);
        SettingsFile settings(folder.file(QStringLiteral("set.ini")));
        ASSERT_TRUE(writeMusicTxt(rows, settings, Toggles{}, QDate(2026, 1, 2))) << c.name;
        const QByteArray bytes = folder.read(QStringLiteral("out/mp3list.txt"));
        EXPECT_TRUE(bytes.endsWith(("A  \\  B\t" + c.details.toStdString() + "\r\n").c_str()))
            << c.name << ": " << bytes.toStdString();
    }
}

TEST(TxtExport, UnmappableCharactersBecomeQuestionMarks) {
    const std::vector<CatalogueRow> rows{album(QStringLiteral("Björk  \\  日本"),
                                               QStringLiteral("1"), QStringLiteral("128"),
                                               QStringLiteral("Ёлка"))};
    const std::string bytes = cp1251Lines(musicTxtLines(rows, kBar, false, kDate));
    // ö and the CJK characters are missing from Windows-1251; "Ёлка" is A8 EB EA E0.
    EXPECT_NE(bytes.find("Bj?rk  \\  ??\t[ 128 kbps | 1 mb | \xA8\xEB\xEA\xE0 ]\r\n"),
              std::string::npos)
        << bytes;
}

// Tabs and line breaks from names and tags would spread one album over several lines or
// columns.
TEST(TxtExport, ControlCharactersBecomeSpaces) {
    const std::vector<CatalogueRow> music{category(QStringLiteral("Ca\r\nt")),
                                          album(QStringLiteral("A\tB  \\  C\nD"),
                                                QStringLiteral("1"), QStringLiteral("12\r8"),
                                                QStringLiteral("Rock\r\nkino=Hacked"))};
    const QStringList lines = musicTxtLines(music, kBar, false, kDate);
    EXPECT_EQ(lines.mid(3), (QStringList{QString(), QStringLiteral(">> КАТЕГОРИЯ: Ca  t <<"),
                                         QStringLiteral("A B  \\  C D\t[ 12 8 kbps | 1 mb | "
                                                        "Rock  kino=Hacked ]")}));
    const QStringList video =
        videoTxtLines({clip(QStringLiteral("a\nb.avi"), QStringLiteral("1"), QStringLiteral("1\tx"),
                            QStringLiteral("0"), QStringLiteral("25"), QStringLiteral("X\rV"))},
                      kDate);
    EXPECT_EQ(video.last(), QStringLiteral("a b.avi\t[ 1 mb | 1 x | 0 min | 25 | X V ]"));
}

TEST(TxtExport, OutputNamesComeFromTheSettingsElseTheExportsOwnFallbacks) {
    const std::vector<CatalogueRow> music{
        album(QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("-"))};
    ExportFolder named({QStringLiteral("mp3list_name_txt=my music.txt"),
                        QStringLiteral("videolist_name_txt=clips.txt")});
    SettingsFile settings(named.file(QStringLiteral("set.ini")));
    EXPECT_EQ(writeMusicTxt(music, settings, Toggles{}, QDate(2026, 1, 2)),
              named.outDir() + QStringLiteral("my music.txt"));
    EXPECT_EQ(writeVideoTxt(music, settings, QDate(2026, 1, 2)),
              named.outDir() + QStringLiteral("clips.txt"));
}

TEST(TxtExport, EmptyListWritesNothing) {
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    EXPECT_FALSE(writeMusicTxt({}, settings, Toggles{}, QDate(2026, 1, 2)));
    EXPECT_FALSE(writeVideoTxt({}, settings, QDate(2026, 1, 2)));
    EXPECT_TRUE(QDir(folder.outDir()).isEmpty());
}

TEST(TxtExport, ExportingAgainReplacesTheFile) {
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    const QDate day(2026, 1, 2);
    writeVideoTxt({clip(QStringLiteral("first-file-with-a-long-name.avi"), {}, {}, {}, {}, {})},
                  settings, day);
    writeVideoTxt({clip(QStringLiteral("b.avi"), QStringLiteral("1"), {}, {}, {}, {})}, settings,
                  day);
    const QByteArray bytes = folder.read(QStringLiteral("out/VideoList.txt"));
    EXPECT_FALSE(bytes.contains("first-file"));
    EXPECT_TRUE(bytes.endsWith("b.avi\t[ 1 mb |  |  min |  |  ]\r\n"));
}

} // namespace
} // namespace korvane::exporter
