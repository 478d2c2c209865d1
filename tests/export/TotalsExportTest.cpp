// Album totals in every export: the two columns when the toggle is on, not a byte of them when
// it is off (the byte-for-byte tests of each format run with it off).
#include "export/ExportFormats.h"
#include "export/HtmlExport.h"
#include "export/OutputFile.h"
#include "export/SheetPlan.h"
#include "export/WorkbookCheck.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "text/Cp1251.h"

#include "ExportTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::exporter;

namespace {

const QString kSep = kDefaultGroupAlbumSeparator;

CatalogueRow countedAlbum(int tracks, double seconds) {
    CatalogueRow row = test::album(QStringLiteral("Кино  \\  Группа крови"), QStringLiteral("87"),
                                   QStringLiteral("mp3 128-320"), QStringLiteral("Rock"));
    row.values.kind = RowValues::Kind::Album;
    row.values.tracks = tracks;
    row.values.seconds = seconds;
    return row;
}

// A category, an album with its totals (12 tracks, 1:02:33), one scanned before the totals were
// switched on, and one restored from an older catalogue (texts alone).
void fill(MusicList& list, bool withTotals = true) {
    list.appendRow(MusicList::categoryHeaderRow(QStringLiteral("Рок")));
    list.appendRow(countedAlbum(withTotals ? 12 : -1, 3753.4));
    list.appendRow(countedAlbum(-1, 0));
    list.appendRow(test::album(QStringLiteral("Old  \\  Texts"), QStringLiteral("5"),
                               QStringLiteral("192"), QStringLiteral("-")));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes a writer gives the list; a workbook's parts joined.
QByteArray written(const ExportFormatRow& row, const MusicList& list, bool totals) {
    test::ExportFolder folder;
    SettingsFile file(folder.file(QStringLiteral("set.ini")));
    const Settings settings(file);
    const ProgramFolder programFolder(folder.path());
    QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/mp3blank.htm"),
                folder.file(QStringLiteral("mp3blank.htm")));
    Toggles toggles;
    toggles.albumTotals = totals;
    const bool workbook = row.encoding == Encoding::Workbook;
    const QString path = folder.outDir() + QStringLiteral("list.out");
    const ExportRequest request{
        list, settings, toggles, programFolder, QDateTime(QDate(2026, 12, 10), QTime(12, 0)), path};
    EXPECT_EQ(row.write(request), QStringList{path}) << row.flag;
    const QByteArray bytes = readFile(path);
    if (!workbook)
        return bytes;
    QByteArray parts;
    QString error;
    const auto zip = readZipParts(bytes, &error);
    EXPECT_TRUE(zip) << error.toStdString();
    for (const ZipPart& part : zip.value_or(std::vector<ZipPart>{}))
        parts += part.data;
    return parts;
}

TEST(TotalsExport, EveryWriterShowsThemWhenOnAndNothingOfThemWhenOff) {
    MusicList list, without;
    fill(list);
    fill(without, false);
    for (const ExportFormatRow& row : exportFormats()) {
        SCOPED_TRACE(row.flag);
        const QByteArray off = written(row, list, false);
        const QByteArray on = written(row, list, true);
        EXPECT_FALSE(off.contains("1:02:33"));
        // Off, the totals a row holds leave no trace.
        if (row.encoding != Encoding::Workbook) {
            EXPECT_EQ(off, written(row, without, false));
        }
        EXPECT_EQ(on.count("1:02:33"), 1);
        EXPECT_TRUE(on.contains("12")) << on.toStdString();
    }
}

// Where the two go in each text format: after the list's own columns, empty for a row without
// totals.
TEST(TotalsExport, TheColumnsStandAfterTheListsOwn) {
    MusicList list;
    fill(list);
    struct Case {
        ExportFormat format;
        std::vector<const char*> parts;
    };
    const Case cases[] = {
        {ExportFormat::Csv,
         {"Папка,Размер (mb),Битрейт,Стиль,Страна,Треков,Время\r\n", "Рок,,,,,,\r\n",
          "Кино  \\  Группа крови,87,mp3 128-320,Rock,-,12,1:02:33\r\n",
          "Кино  \\  Группа крови,87,mp3 128-320,Rock,-,,\r\n", "Old  \\  Texts,5,192,-,-,,\r\n"}},
        {ExportFormat::Json,
         {"\"columns\": [\"Папка\", \"Размер (mb)\", \"Битрейт\", \"Стиль\", \"Страна\", "
          "\"Треков\", \"Время\"]",
          "\"cells\": [\"87\", \"mp3 128-320\", \"Rock\", \"-\", \"12\", \"1:02:33\"]",
          "\"tracks\": 12, \"seconds\": 3753.4}", "\"tracks\": null, \"seconds\": null}",
          "\"cells\": [\"5\", \"192\", \"-\", \"-\", \"\", \"\"], \"category\": null, "
          "\"header\": false}"}},
        {ExportFormat::Bbcode, {"Rock | - | 12 tracks | 1:02:33\r\n", "Rock | -\r\n"}},
        {ExportFormat::Plain, {"Rock | - | 12 tracks | 1:02:33\r\n", "Rock | -\r\n"}},
        {ExportFormat::Txt,
         {"\t[ mp3 128-320 kbps | 87 mb | Rock | 12 tracks | 1:02:33 ]\r\n",
          "\t[ mp3 128-320 kbps | 87 mb | Rock ]\r\n"}},
    };
    for (const Case& c : cases) {
        const ExportFormatRow& row = exportFormat(c.format);
        SCOPED_TRACE(row.flag);
        const QByteArray bytes = written(row, list, true);
        const QString text = row.encoding == Encoding::Cp1251OrUtf8
                                 ? QString::fromStdString(cp1251::toUtf8(bytes.toStdString()))
                                 : QString::fromUtf8(bytes);
        for (const char* part : c.parts)
            EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part << "\n"
                                                                << text.toStdString();
    }
}

TEST(TotalsExport, HtmlRowsAndTheShippedTemplatesHeadings) {
    MusicList list;
    fill(list);
    const QStringList rows = musicHtmlRows(list.rows(), false, kSep, true);
    EXPECT_EQ(rows.at(0), QStringLiteral("<tr><td colspan=\"7\" class=\"cat\">Рок</td></tr>"));
    EXPECT_EQ(rows.mid(7, 3), QStringList({QStringLiteral("\t<td id=\"trackstd1\">12</td>"),
                                           QStringLiteral("\t<td id=\"timetd1\">1:02:33</td>"),
                                           QStringLiteral("</tr>")}));
    EXPECT_EQ(rows.at(16), QStringLiteral("\t<td id=\"trackstd2\"></td>"));
    EXPECT_EQ(musicHtmlRows(list.rows(), false, kSep),
              musicHtmlRows(list.rows(), false, kSep, false));
    EXPECT_EQ(musicHtmlRows(list.rows(), false, kSep).at(0),
              QStringLiteral("<tr><td colspan=\"5\" class=\"cat\">Рок</td></tr>"));

    const QString shipped = readCp1251File(QStringLiteral(KORVANE_BIN_DIR "/mp3blank.htm"));
    const QString on = fillTotalsHeadings(shipped, true);
    const QString off = fillTotalsHeadings(shipped, false);
    EXPECT_TRUE(on.contains(QStringLiteral("      <th class=\"num\">Треков</th>\r\n"
                                           "      <th class=\"num\">Время</th>\r\n")));
    // Off, the two lines are gone whole: the page of before, line for line.
    EXPECT_FALSE(off.contains(QStringLiteral("##")) && off.contains(kTracksPlaceholder));
    EXPECT_EQ(off.count(u'\n'), shipped.count(u'\n') - 2);
    EXPECT_TRUE(off.contains(QStringLiteral("      <th class=\"num\">Стиль</th>\r\n    </tr>")));
    // A template of its own without the marks stays as it is.
    EXPECT_EQ(fillTotalsHeadings(QStringLiteral("<p>##ТАБЛИЦА##</p>\n"), true),
              QStringLiteral("<p>##ТАБЛИЦА##</p>\n"));
}

TEST(TotalsExport, TheSheetHasTwoMoreColumns) {
    MusicList list;
    fill(list);
    const SheetPlan plan =
        musicSheetPlan(list.rows(), QStringLiteral("music"), kSep, true, true, true);
    ASSERT_EQ(plan.columnCount(), 7);
    EXPECT_EQ(plan.grid[0].mid(5),
              QStringList({QStringLiteral("Треков"), QStringLiteral("Время")}));
    EXPECT_EQ(plan.grid[1].mid(5), QStringList({QString(), QString()}));
    EXPECT_EQ(plan.grid[2].mid(5), QStringList({QString(), QString()})); // the category
    EXPECT_EQ(plan.grid[3].mid(5), QStringList({QStringLiteral("12"), QStringLiteral("1:02:33")}));
    EXPECT_EQ(plan.grid[4].mid(5), QStringList({QString(), QString()}));
    const SheetPlan off = musicSheetPlan(list.rows(), QStringLiteral("music"), kSep, true, true);
    EXPECT_EQ(off.columnCount(), 5);
    EXPECT_EQ(off.operations.size(), plan.operations.size() - 2 * 5)
        << "the width and the four heading formats of each of the two";
}

} // namespace
