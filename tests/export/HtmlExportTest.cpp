#include "export/HtmlExport.h"
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

const QString kSep = QStringLiteral("  \\  ");

TEST(HtmlExport, MusicRowsWithACategoryFirstAndBoldGroupNames) {
    const std::vector<CatalogueRow> rows{
        category(QStringLiteral("Панк")),
        album(QStringLiteral("Ramones  \\  Rocket to Russia"), QStringLiteral("41,2"),
              QStringLiteral("VBR 192"), QStringLiteral("Punk"), QStringLiteral("USA")),
    };
    EXPECT_EQ(
        musicHtmlRows(rows, true, kSep),
        (QStringList{
            QStringLiteral("<tr><td colspan=\"5\" class=\"cat\">Панк</td></tr>"),
            QStringLiteral("<tr id=\"tr1\">"),
            QStringLiteral(
                "\t<td><input type=\"checkbox\" id=\"input1\" onclick=\"MarkRow(1)\" /></td>"),
            QStringLiteral("\t<td class=\"artist\" id=\"artisttd1\"><b>Ramones</b>  \\  Rocket to "
                           "Russia</td>"),
            QStringLiteral("\t<td id=\"bitratetd1\">VBR 192</td>"),
            QStringLiteral("\t<td id=\"sizetd1\">41,2</td>"),
            QStringLiteral("\t<td id=\"genretd1\">Punk</td>"),
            QStringLiteral("</tr>"),
        }));
}

// The name cell alone, by the bold option and the separator.
TEST(HtmlExport, NameCell) {
    struct Case {
        const char* name;
        QString folder;
        bool bold;
        QString separator;
        QString cell;
    };
    const std::vector<Case> cases{
        {"bold off keeps the separator", QStringLiteral("A  \\  B"), false, kSep,
         QStringLiteral("A  \\  B")},
        {"bold on cuts at the first separator", QStringLiteral("A  \\  B  \\  C"), true, kSep,
         QStringLiteral("<b>A</b>  \\  B  \\  C")},
        {"no separator: an empty bold element", QStringLiteral("Solo"), true, kSep,
         QStringLiteral("<b></b>Solo")},
        {"stored separator", QStringLiteral("A - B"), true, QStringLiteral(" - "),
         QStringLiteral("<b>A</b> - B")},
        {"ampersand and angle brackets are escaped", QStringLiteral("AC&DC <live>  \\  >B"), true,
         kSep, QStringLiteral("<b>AC&amp;DC &lt;live&gt;</b>  \\  &gt;B")},
        {"escaped with bold off too", QStringLiteral("Tom & Jerry"), false, kSep,
         QStringLiteral("Tom &amp; Jerry")},
    };
    for (const Case& c : cases) {
        const QStringList lines = musicHtmlRows(
            {album(c.folder, QStringLiteral("1"), QStringLiteral("128"), QStringLiteral("Pop"))},
            c.bold, c.separator);
        ASSERT_EQ(lines.size(), 7) << c.name;
        EXPECT_EQ(lines[2], QStringLiteral("\t<td class=\"artist\" id=\"artisttd0\">") + c.cell +
                                QStringLiteral("</td>"))
            << c.name;
    }
}

TEST(HtmlExport, CellsAndCategoryNamesAreEscaped) {
    const QStringList lines = musicHtmlRows({category(QStringLiteral("R&B <soul>")),
                                             album(QStringLiteral("X"), QStringLiteral("<1>"),
                                                   QStringLiteral("a&b"), QStringLiteral("</td>"))},
                                            false, kSep);
    EXPECT_EQ(lines[0],
              QStringLiteral("<tr><td colspan=\"5\" class=\"cat\">R&amp;B &lt;soul&gt;</td></tr>"));
    EXPECT_EQ(lines[4], QStringLiteral("\t<td id=\"bitratetd1\">a&amp;b</td>"));
    EXPECT_EQ(lines[5], QStringLiteral("\t<td id=\"sizetd1\">&lt;1&gt;</td>"));
    EXPECT_EQ(lines[6], QStringLiteral("\t<td id=\"genretd1\">&lt;/td&gt;</td>"));
}

// The page is Windows-1251; what the code page lacks is written as a numeric character
// reference so that the browser shows it, where the TXT file has only "?".
TEST(HtmlExport, CharactersOutsideTheCodePageBecomeReferences) {
    struct Case {
        const char* name;
        QString text;
        QString escaped;
    };
    const std::vector<Case> cases{
        {"Latin with diaeresis", QStringLiteral("Björk"), QStringLiteral("Bj&#246;rk")},
        {"Cyrillic and the euro sign stay", QStringLiteral("Ёлка €"), QStringLiteral("Ёлка €")},
        {"CJK", QStringLiteral("日本"), QStringLiteral("&#26085;&#26412;")},
        {"outside the BMP: one reference", QString::fromUcs4(U"a\U0001F600"),
         QStringLiteral("a&#128512;")},
        {"a lone surrogate", QString(QChar(0xD800)), QStringLiteral("&#65533;")},
        {"a real question mark", QStringLiteral("?"), QStringLiteral("?")},
        {"markup still escaped", QStringLiteral("ö&<>"), QStringLiteral("&#246;&amp;&lt;&gt;")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(htmlEscape(c.text), c.escaped) << c.name;
    const QStringList lines =
        musicHtmlRows({album(QStringLiteral("Björk  \\  Début"), QStringLiteral("1"),
                             QStringLiteral("128"), QStringLiteral("Électronique"))},
                      true, kSep);
    EXPECT_EQ(lines.at(2),
              QStringLiteral("\t<td class=\"artist\" id=\"artisttd0\"><b>Bj&#246;rk</b>  "
                             "\\  D&#233;but</td>"));
    EXPECT_EQ(cp1251Lines({lines.at(5)}), "\t<td id=\"genretd0\">&#201;lectronique</td>\r\n");
}

TEST(HtmlExport, VideoRowsHaveNineLinesAndNoBoldOrCategories) {
    // A video row whose cells are blanks is still an ordinary row.
    const std::vector<CatalogueRow> rows{
        clip(QStringLiteral("a  \\  b.avi"), QStringLiteral("1,5"), QStringLiteral("640x480"),
             QStringLiteral("1:00"), QStringLiteral("25"), QStringLiteral("XviD")),
        CatalogueRow{
            QStringLiteral("c&d.mkv"),
            {QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")}},
    };
    const QStringList lines = videoHtmlRows(rows);
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(
        lines.mid(0, 9),
        (QStringList{
            QStringLiteral("<tr id=\"tr0\">"),
            QStringLiteral(
                "\t<td><input type=\"checkbox\" id=\"input0\" onclick=\"MarkRow(0)\" /></td>"),
            QStringLiteral("\t<td class=\"artist\">a  \\  b.avi</td>"),
            QStringLiteral("\t<td>1,5</td>"), QStringLiteral("\t<td>640x480</td>"),
            QStringLiteral("\t<td>1:00</td>"), QStringLiteral("\t<td>25</td>"),
            QStringLiteral("\t<td>XviD</td>"), QStringLiteral("</tr>")}));
    EXPECT_EQ(lines[9], QStringLiteral("<tr id=\"tr1\">"));
    EXPECT_EQ(lines[11], QStringLiteral("\t<td class=\"artist\">c&amp;d.mkv</td>"));
    EXPECT_EQ(lines[16], QStringLiteral("\t<td></td>"));
}

// The page the export writes for the row lines, as lines.
QStringList pageLines(const QString& templateText, const QStringList& rowLines) {
    const auto parts = splitTemplate(templateText);
    if (!parts)
        return {QStringLiteral("<no placeholder>")};
    QString page;
    writePage([&page](const QString& text) { page += text; }, *parts,
              [&rowLines](const LineSink& sink) {
                  for (const QString& line : rowLines)
                      sink(line);
              });
    return splitLines(page);
}

TEST(HtmlExport, Splice) {
    const QStringList rows{QStringLiteral("<tr>1</tr>"), QStringLiteral("<tr>2</tr>")};
    struct Case {
        const char* name;
        QString templateText;
        QStringList page;
    };
    const std::vector<Case> cases{
        {"placeholder alone on its line leaves an empty line",
         QStringLiteral("<table>\r\n##ТАБЛИЦА##\r\n</table>\r\n"),
         {QStringLiteral("<table>"), QStringLiteral("<tr>1</tr>"), QStringLiteral("<tr>2</tr>"),
          QString(), QStringLiteral("</table>")}},
        {"LF-only template",
         QStringLiteral("<table>\n##ТАБЛИЦА##\n</table>\n"),
         {QStringLiteral("<table>"), QStringLiteral("<tr>1</tr>"), QStringLiteral("<tr>2</tr>"),
          QString(), QStringLiteral("</table>")}},
        {"CR-only template without a final break",
         QStringLiteral("<table>\r##ТАБЛИЦА##\r</table>"),
         {QStringLiteral("<table>"), QStringLiteral("<tr>1</tr>"), QStringLiteral("<tr>2</tr>"),
          QString(), QStringLiteral("</table>")}},
        {"placeholder mid-line",
         QStringLiteral("<tbody>##ТАБЛИЦА##</tbody>\r\n"),
         {QStringLiteral("<tbody><tr>1</tr>"), QStringLiteral("<tr>2</tr>"),
          QStringLiteral("</tbody>")}},
        {"a second placeholder stays as text",
         QStringLiteral("##ТАБЛИЦА##\n<p>##ТАБЛИЦА##</p>\n"),
         {QStringLiteral("<tr>1</tr>"), QStringLiteral("<tr>2</tr>"), QString(),
          QStringLiteral("<p>##ТАБЛИЦА##</p>")}},
        {"a placeholder without a line break still ends its line",
         QStringLiteral("##ТАБЛИЦА##"),
         {QStringLiteral("<tr>1</tr>"), QStringLiteral("<tr>2</tr>"), QString()}},
    };
    // Row lines with breaks of their own (a tag text with a line feed) read as the lines they hold.
    const QStringList brokenRows{QStringLiteral("<tr>a\nb\r\nc\rd</tr>"), QStringLiteral("e\r"),
                                 QStringLiteral("\n")};
    const QStringList brokenRowLines =
        splitLines(brokenRows.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    for (const Case& c : cases) {
        EXPECT_EQ(pageLines(c.templateText, rows), c.page)
            << c.name << ": " << pageLines(c.templateText, rows).join(u'|').toStdString();
        EXPECT_EQ(pageLines(c.templateText, brokenRows), pageLines(c.templateText, brokenRowLines))
            << c.name;
    }
}

TEST(HtmlExport, TemplateWithoutPlaceholderGivesNoPage) {
    EXPECT_FALSE(splitTemplate(QStringLiteral("<table></table>\r\n")));
}

// A program folder with a template of the given Windows-1251 bytes.
class HtmlFile : public ::testing::Test {
protected:
    ExportFolder folder;
    SettingsFile settings{folder.file(QStringLiteral("set.ini"))};
    ProgramFolder programFolder{folder.path()};
};

TEST_F(HtmlFile, MusicPageIsWrittenByteForByte) {
    folder.write(QStringLiteral("mp3blank.htm"),
                 "<html>\n<body "
                 "class=\"\xEC\xF3\xE7\xFB\xEA\xE0\">\n<table>\n##\xD2\xC0\xC1\xCB\xC8\xD6\xC0##\n<"
                 "/table>\n</body></html>");
    const std::vector<CatalogueRow> rows{
        category(QStringLiteral("Рок")),
        album(QStringLiteral("Кино  \\  Звезда по имени Солнце"), QStringLiteral("55"),
              QStringLiteral("320"), QStringLiteral("Rock")),
        album(QStringLiteral("Björk  \\  Post"), QStringLiteral("1,1"), QStringLiteral("128"),
              QStringLiteral("Pop & Art")),
    };
    Toggles toggles;
    toggles.albumBoldFont = true;
    const auto path = writeMusicHtml(rows, settings, toggles, programFolder);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, folder.outDir() + QStringLiteral("mp3list.htm"));
    const QByteArray expected = cp1251File({
        QStringLiteral("<html>"),
        QStringLiteral("<body class=\"музыка\">"),
        QStringLiteral("<table>"),
        QStringLiteral("<tr><td colspan=\"5\" class=\"cat\">Рок</td></tr>"),
        QStringLiteral("<tr id=\"tr1\">"),
        QStringLiteral(
            "\t<td><input type=\"checkbox\" id=\"input1\" onclick=\"MarkRow(1)\" /></td>"),
        QStringLiteral(
            "\t<td class=\"artist\" id=\"artisttd1\"><b>Кино</b>  \\  Звезда по имени Солнце</td>"),
        QStringLiteral("\t<td id=\"bitratetd1\">320</td>"),
        QStringLiteral("\t<td id=\"sizetd1\">55</td>"),
        QStringLiteral("\t<td id=\"genretd1\">Rock</td>"),
        QStringLiteral("</tr>"),
        QStringLiteral("<tr id=\"tr2\">"),
        QStringLiteral(
            "\t<td><input type=\"checkbox\" id=\"input2\" onclick=\"MarkRow(2)\" /></td>"),
        // ö is missing from Windows-1251: a reference shows it in the browser.
        QStringLiteral("\t<td class=\"artist\" id=\"artisttd2\"><b>Bj&#246;rk</b>  \\  Post</td>"),
        QStringLiteral("\t<td id=\"bitratetd2\">128</td>"),
        QStringLiteral("\t<td id=\"sizetd2\">1,1</td>"),
        QStringLiteral("\t<td id=\"genretd2\">Pop &amp; Art</td>"),
        QStringLiteral("</tr>"),
        QString(),
        QStringLiteral("</table>"),
        QStringLiteral("</body></html>"),
    });
    EXPECT_EQ(folder.read(QStringLiteral("out/mp3list.htm")), expected);
}

TEST_F(HtmlFile, VideoPageIsWrittenByteForByteAndIgnoresTheBoldSetting) {
    folder.write(QStringLiteral("videoblank.htm"),
                 "<table>##\xD2\xC0\xC1\xCB\xC8\xD6\xC0##</table>");
    const auto path = writeVideoHtml(
        {clip(QStringLiteral("a  \\  b.avi"), QStringLiteral("2"), QStringLiteral("320x240"),
              QStringLiteral("0:10"), QStringLiteral("15"), QStringLiteral("MPEG-4"))},
        settings, programFolder);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, folder.outDir() + QStringLiteral("VideoList.htm"));
    EXPECT_EQ(
        folder.read(QStringLiteral("out/VideoList.htm")),
        cp1251File(
            {QStringLiteral("<table><tr id=\"tr0\">"),
             QStringLiteral(
                 "\t<td><input type=\"checkbox\" id=\"input0\" onclick=\"MarkRow(0)\" /></td>"),
             QStringLiteral("\t<td class=\"artist\">a  \\  b.avi</td>"),
             QStringLiteral("\t<td>2</td>"), QStringLiteral("\t<td>320x240</td>"),
             QStringLiteral("\t<td>0:10</td>"), QStringLiteral("\t<td>15</td>"),
             QStringLiteral("\t<td>MPEG-4</td>"), QStringLiteral("</tr>"),
             QStringLiteral("</table>")}));
}

TEST_F(HtmlFile, MissingTemplateWritesNothingAndKeepsThePreviousPage) {
    folder.write(QStringLiteral("out/mp3list.htm"), "previous page");
    try {
        writeMusicHtml({album(QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1"),
                              QStringLiteral("-"))},
                       settings, Toggles{}, programFolder);
        FAIL() << "no error";
    } catch (const ReportedError& error) {
        const QString prefix =
            QStringLiteral("Cannot open file \"") +
            QDir::toNativeSeparators(folder.file(QStringLiteral("mp3blank.htm"))) +
            QStringLiteral("\". ");
        EXPECT_TRUE(error.message().startsWith(prefix)) << error.what();
        EXPECT_GT(error.message().size(), prefix.size()) << "the system's reason is missing";
    }
    EXPECT_EQ(folder.read(QStringLiteral("out/mp3list.htm")), "previous page");
}

TEST_F(HtmlFile, TemplateWithoutPlaceholderIsAnErrorAndWritesNothing) {
    folder.write(QStringLiteral("videoblank.htm"), "<table></table>");
    EXPECT_THROW(
        writeVideoHtml({clip(QStringLiteral("a"), {}, {}, {}, {}, {})}, settings, programFolder),
        ReportedError);
    EXPECT_TRUE(QDir(folder.outDir()).isEmpty());
}

TEST_F(HtmlFile, EmptyListDoesNotEvenReadTheTemplate) {
    EXPECT_FALSE(writeMusicHtml({}, settings, Toggles{}, programFolder));
    EXPECT_FALSE(writeVideoHtml({}, settings, programFolder));
}

// The templates we ship beside the program.
TEST(HtmlTemplates, DeclareWindows1251AndCarryWhatTheRowsNeed) {
    struct Case {
        const char* file;
        int columns;
    };
    for (const Case& c : {Case{"mp3blank.htm", 5}, Case{"videoblank.htm", 7}}) {
        const QString path = QStringLiteral(KORVANE_BIN_DIR "/") + QLatin1String(c.file);
        // The headings of album totals' columns are left out with the toggle off.
        const QString page = fillTotalsHeadings(readCp1251File(path), false);
        EXPECT_TRUE(page.contains(QStringLiteral("charset=windows-1251"))) << c.file;
        EXPECT_EQ(page.count(kTablePlaceholder), 1) << c.file;
        EXPECT_TRUE(page.contains(QStringLiteral("function MarkRow(n)"))) << c.file;
        EXPECT_TRUE(page.contains(QStringLiteral("td.artist"))) << c.file;
        EXPECT_TRUE(page.contains(QStringLiteral("td.cat"))) << c.file;
        EXPECT_TRUE(page.contains(QStringLiteral("id=\"filter\""))) << c.file;
        EXPECT_TRUE(page.contains(QStringLiteral("id=\"count\""))) << c.file;
        const qsizetype head = page.indexOf(QStringLiteral("<thead>"));
        const qsizetype headEnd = page.indexOf(QStringLiteral("</thead>"));
        ASSERT_GE(head, 0) << c.file;
        EXPECT_EQ(page.mid(head, headEnd - head).count(QStringLiteral("<th")), c.columns + 1)
            << c.file; // the header cells and <thead> itself
        // Stored in Windows-1251: the Cyrillic text decodes back from single bytes.
        EXPECT_TRUE(page.contains(QStringLiteral("Фильтр"))) << c.file;
    }
}

} // namespace
} // namespace korvane::exporter
