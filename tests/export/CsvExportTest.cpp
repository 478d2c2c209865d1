#include "export/CsvExport.h"
#include "export/ListExport.h"

#include "FixedLists.h"

#include "OfficeConvert.h"

#include <gtest/gtest.h>

namespace korvane::exporter {
namespace {

using test::ExportFolder;

// The records of an RFC 4180 text, each a list of fields; records may end in LF alone, as
// LibreOffice writes them on Linux.
std::vector<QStringList> parseCsv(const QString& text) {
    std::vector<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << std::exchange(field, QString());
        } else if (c == u'\n' || (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')) {
            i += c == u'\r' ? 1 : 0;
            fields << std::exchange(field, QString());
            records.push_back(std::exchange(fields, QStringList()));
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !fields.isEmpty())
        records.push_back(fields << field);
    return records;
}

// The records a list should give: captions, then caption and cells of each row; a music
// category header row keeps its name only.
std::vector<QStringList> expectedRecords(const CatalogueList& list) {
    QStringList captions;
    for (const auto& column : list.columns())
        captions << column.caption;
    std::vector<QStringList> records{captions};
    const bool music = qobject_cast<const MusicList*>(&list) != nullptr;
    for (const CatalogueRow& row : list.rows()) {
        const bool header = music && MusicList::isCategoryHeader(row);
        records.push_back(QStringList{row.caption} +
                          (header ? QStringList(row.cells.size(), QString()) : row.cells));
    }
    return records;
}

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        const char* name;
        QString text;
        QString field;
    };
    for (const Case& c : {
             Case{"plain", QStringLiteral("Rock"), QStringLiteral("Rock")},
             Case{"empty", QString(), QString()},
             Case{"decimal comma", QStringLiteral("41,2"), QStringLiteral("\"41,2\"")},
             Case{"quote", QStringLiteral("a \"b\""), QStringLiteral("\"a \"\"b\"\"\"")},
             Case{"line feed", QStringLiteral("a\nb"), QStringLiteral("\"a\nb\"")},
             Case{"carriage return", QStringLiteral("a\rb"), QStringLiteral("\"a\rb\"")},
             Case{"blanks and semicolons stay bare", QStringLiteral(" a; b "),
                  QStringLiteral(" a; b ")},
             Case{"Cyrillic", QStringLiteral("Кино"), QStringLiteral("Кино")},
             // What a spreadsheet would run as a formula stays text behind an apostrophe.
             Case{"formula", QStringLiteral("=HYPERLINK(\"http://x\",\"click\")"),
                  QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\",\"\"click\"\")\"")},
             Case{"plus", QStringLiteral("+1"), QStringLiteral("'+1")},
             Case{"minus with more", QStringLiteral("-2+3"), QStringLiteral("'-2+3")},
             Case{"at", QStringLiteral("@SUM(A1)"), QStringLiteral("'@SUM(A1)")},
             Case{"tab", QStringLiteral("\tx"), QStringLiteral("'\tx")},
             Case{"carriage return first", QStringLiteral("\rx"), QStringLiteral("\"'\rx\"")},
             Case{"the no-value mark stays", QStringLiteral("-"), QStringLiteral("-")},
             Case{"a sign inside stays", QStringLiteral("a=b"), QStringLiteral("a=b")},
         }) {
        EXPECT_EQ(csvField(c.text), c.field) << c.name;
    }
}

TEST(CsvExport, MusicFileIsWrittenByteForByte) {
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    MusicList list;
    test::fillMusic(list);
    Toggles toggles;
    toggles.musicInCat = true;
    const auto path = writeListText(TextFormat::Csv, list, settings, toggles, test::fixedMoment(),
                                    textOutputPath(TextFormat::Csv, list, settings));
    ASSERT_EQ(path, folder.outDir() + QStringLiteral("mp3list.csv"));
    EXPECT_EQ(folder.read(QStringLiteral("out/mp3list.csv")),
              "\xEF\xBB\xBF" +
                  QStringLiteral("Папка,Размер (mb),Битрейт,Стиль,Страна\r\n"
                                 "Панк,,,,\r\n"
                                 "Ramones  \\  Rocket to Russia,\"41,2\",192,Punk,USA\r\n"
                                 "Кино  \\  Группа крови [Live],87,VBR 245,"
                                 "\"Rock \"\"alt\"\"\",\r\n"
                                 "\"Ska, Reggae\",,,,\r\n"
                                 "[b]Fake[/b],\"0,5\",-,-,-\r\n")
                      .toUtf8());
}

TEST(CsvExport, VideoFileIsWrittenByteForByte) {
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    VideoList list;
    test::fillVideo(list);
    list.appendRow({QStringLiteral("unfinished.avi"), {QStringLiteral("1")}});
    const auto path = writeListText(TextFormat::Csv, list, settings, Toggles{}, test::fixedMoment(),
                                    textOutputPath(TextFormat::Csv, list, settings));
    ASSERT_EQ(path, folder.outDir() + QStringLiteral("videolist.csv"));
    // A row a scan has not completed still has a field for every column.
    EXPECT_EQ(folder.read(QStringLiteral("out/videolist.csv")),
              "\xEF\xBB\xBF" +
                  QStringLiteral("Имя файла,Размер (mb),Разрешение,Длительность,fps,Кодек\r\n"
                                 "clips  \\  intro [1080p].avi,\"12,3\",640x480,3:05,25,DivX 5\r\n"
                                 "\"Ёжик в \"\"тумане\"\", 1975.mkv\",700,1280x720,95:00,"
                                 "\"23,976\",\r\n"
                                 "unfinished.avi,1,,,,\r\n")
                      .toUtf8());
}

TEST(CsvExport, FileReadsBackAsTheListsCells) {
    MusicList list;
    test::fillMusic(list);
    list.appendRow(test::album(QStringLiteral("two\r\nlines, \"quoted\""), QStringLiteral("1"),
                               QStringLiteral("128"), QStringLiteral("a\nb")));
    const QString text = csvText(expectedRecords(list)[0], list.rows(), true);
    EXPECT_EQ(parseCsv(text), expectedRecords(list));
}

// LibreOffice opens the file and gives back the same cells: every column imported as text, so
// that "41,2" stays as the list shows it whatever the locale.
TEST(CsvExport, LibreOfficeOpensTheFileWithTheListsCells) {
    const QString office = test::officeProgram();
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed; CI does not install it";
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    MusicList music;
    test::fillMusic(music);
    music.appendRow(test::album(QStringLiteral("Аквариум  \\  Две\nстроки"), QStringLiteral("1"),
                                QStringLiteral("128"), QStringLiteral("Rock, \"Art\"")));
    VideoList video;
    test::fillVideo(video);
    for (const CatalogueList* list :
         {static_cast<const CatalogueList*>(&music), static_cast<const CatalogueList*>(&video)})
        ASSERT_TRUE(writeListText(TextFormat::Csv, *list, settings, Toggles{}, test::fixedMoment(),
                                  textOutputPath(TextFormat::Csv, *list, settings)));

    const QString errors = test::convertWithOffice(
        office, folder.file(QStringLiteral("profile")),
        // comma, double quote, UTF-8, from line 1, all six columns as text
        {QStringLiteral("--infilter=CSV:44,34,76,1,1/2/2/2/3/2/4/2/5/2/6/2"),
         QStringLiteral("--convert-to"),
         QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76")},
        folder.file(QStringLiteral("back")),
        {folder.file(QStringLiteral("out/mp3list.csv")),
         folder.file(QStringLiteral("out/videolist.csv"))});
    ASSERT_TRUE(errors.isEmpty()) << errors.toStdString();
    for (const auto& [list, name] :
         {std::pair{static_cast<const CatalogueList*>(&music), "back/mp3list.csv"},
          std::pair{static_cast<const CatalogueList*>(&video), "back/videolist.csv"}}) {
        const QByteArray back = folder.read(QLatin1String(name));
        ASSERT_FALSE(back.isEmpty()) << name;
        EXPECT_EQ(parseCsv(QString::fromUtf8(back)), expectedRecords(*list)) << name;
    }
}

} // namespace
} // namespace korvane::exporter
