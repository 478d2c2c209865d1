#include "export/BbcodeExport.h"
#include "export/ListExport.h"

#include "FixedLists.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <optional>

namespace korvane::exporter {
namespace {

using test::ExportFolder;

// What a forum makes of a post: the tags the exports use ([b], [size=N], [color=NAME]) become
// HTML, any other bracket stays text. Nothing when the tags are not balanced.
struct Rendered {
    QString html;
    QString text; // what the reader sees, markup left out
};

std::optional<Rendered> renderBbcode(const QString& post) {
    static const QRegularExpression tag(
        QStringLiteral("\\G\\[(/?)(b|size|color)(?:=([^\\]]+))?\\]"));
    Rendered out;
    QStringList open;
    for (qsizetype i = 0; i < post.size();) {
        const QRegularExpressionMatch m = tag.match(post, i);
        if (!m.hasMatch()) {
            const QChar c = post[i++];
            out.html += c == u'<'   ? QStringLiteral("&lt;")
                        : c == u'&' ? QStringLiteral("&amp;")
                                    : QString(c);
            out.text += c;
            continue;
        }
        i = m.capturedEnd();
        const QString name = m.captured(2);
        const bool closing = !m.captured(1).isEmpty();
        const bool hasValue = m.capturedLength(3) > 0;
        if (closing) {
            if (hasValue || open.isEmpty() || open.takeLast() != name)
                return std::nullopt;
        } else {
            if (hasValue != (name != QLatin1String("b")))
                return std::nullopt;
            open << name;
        }
        if (name == QLatin1String("b"))
            out.html += closing ? QStringLiteral("</b>") : QStringLiteral("<b>");
        else if (name == QLatin1String("size"))
            out.html += closing ? QStringLiteral("</span>")
                                : QStringLiteral("<span style=\"font-size:") + m.captured(3) +
                                      QStringLiteral("\">");
        else
            out.html += closing ? QStringLiteral("</span>")
                                : QStringLiteral("<span style=\"color:") + m.captured(3) +
                                      QStringLiteral("\">");
    }
    if (!open.isEmpty())
        return std::nullopt;
    return out;
}

struct MusicCase {
    const char* name;
    bool categories;
    bool bold;
    QStringList settings;
    QStringList lines;
};

// The shipped template writes the post of earlier versions byte for byte but for the category
// heading: [size=4] reads as 4 % on phpBB 3, so the heading is bold red at the text's own size.
QString shippedHeading(QString line) {
    static const QRegularExpression sized(
        QStringLiteral("^\\[size=4\\]\\[color=red\\](.*)\\[/color\\]\\[/size\\]$"));
    return line.replace(sized, QStringLiteral("[b][color=red]\\1[/color][/b]"));
}

TEST(BbcodeExport, MusicPostIsWrittenByteForByte) {
    const QString title = QStringLiteral("[b]mp3 collection — альбомов: 3[/b]");
    const std::vector<MusicCase> cases{
        {"categories, bold",
         true,
         true,
         {},
         {title, QString(), QStringLiteral("[size=4][color=red]Панк[/color][/size]"),
          QStringLiteral("[b]Ramones[/b]  \\  Rocket to Russia | 41,2 mb | 192 kbps | Punk | USA"),
          QStringLiteral("[b]Кино[/b]  \\  Группа крови [[b][/b]Live] | 87 mb | VBR 245 kbps | "
                         "Rock \"alt\" | "),
          QString(), QStringLiteral("[size=4][color=red]Ska, Reggae[/color][/size]"),
          // No group in the name: nothing in bold.
          QStringLiteral("[[b][/b]b]Fake[[b][/b]/b] | 0,5 mb | - kbps | - | -")}},
        {"no categories, no bold",
         false,
         false,
         {},
         {title, QString(), QStringLiteral("Панк"),
          QStringLiteral("Ramones  \\  Rocket to Russia | 41,2 mb | 192 kbps | Punk | USA"),
          QStringLiteral("Кино  \\  Группа крови [[b][/b]Live] | 87 mb | VBR 245 kbps | "
                         "Rock \"alt\" | "),
          QString(), QStringLiteral("Ska, Reggae"),
          QStringLiteral("[[b][/b]b]Fake[[b][/b]/b] | 0,5 mb | - kbps | - | -")}},
        {"separators of set.ini",
         true,
         true,
         {QStringLiteral("separator=\" [;] \""), QStringLiteral("separator_G_A=\\")},
         {title, QString(), QStringLiteral("[size=4][color=red]Панк[/color][/size]"),
          QStringLiteral("[b]Ramones  [/b]\\  Rocket to Russia [[b][/b];] 41,2 mb [[b][/b];] "
                         "192 kbps [[b][/b];] Punk [[b][/b];] USA"),
          QStringLiteral("[b]Кино  [/b]\\  Группа крови [[b][/b]Live] [[b][/b];] 87 mb "
                         "[[b][/b];] VBR 245 kbps [[b][/b];] Rock \"alt\" [[b][/b];] "),
          QString(), QStringLiteral("[size=4][color=red]Ska, Reggae[/color][/size]"),
          QStringLiteral("[[b][/b]b]Fake[[b][/b]/b] [[b][/b];] 0,5 mb [[b][/b];] - kbps "
                         "[[b][/b];] - [[b][/b];] -")}},
    };
    for (const MusicCase& c : cases) {
        ExportFolder folder(c.settings);
        SettingsFile settings(folder.file(QStringLiteral("set.ini")));
        MusicList list;
        test::fillMusic(list);
        Toggles toggles;
        toggles.musicInCat = c.categories;
        toggles.albumBoldFont = c.bold;
        const auto path =
            writeListText(TextFormat::Bbcode, list, settings, toggles, test::fixedMoment(),
                          textOutputPath(TextFormat::Bbcode, list, settings));
        ASSERT_EQ(path, folder.outDir() + QStringLiteral("mp3list.bbcode.txt")) << c.name;
        // UTF-8, CR LF after every line, no byte-order mark.
        QStringList lines = c.lines;
        for (QString& line : lines)
            line = shippedHeading(line);
        EXPECT_EQ(folder.read(QStringLiteral("out/mp3list.bbcode.txt")),
                  (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8())
            << c.name;
    }
}

TEST(BbcodeExport, VideoPostIsWrittenByteForByte) {
    ExportFolder folder({QStringLiteral("separator=\" ; \"")});
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    VideoList list;
    test::fillVideo(list);
    const auto path =
        writeListText(TextFormat::Bbcode, list, settings, Toggles{}, test::fixedMoment(),
                      textOutputPath(TextFormat::Bbcode, list, settings));
    ASSERT_EQ(path, folder.outDir() + QStringLiteral("videolist.bbcode.txt"));
    // The video lines keep the TXT list's fixed separators; an empty codec keeps its place.
    EXPECT_EQ(folder.read(QStringLiteral("out/videolist.bbcode.txt")),
              QStringLiteral("[b]Video collection — файлов: 2[/b]\r\n"
                             "\r\n"
                             "clips  \\  intro [[b][/b]1080p].avi | 12,3 mb | 640x480 | 3:05 min | "
                             "25 | DivX 5\r\n"
                             "Ёжик в \"тумане\", 1975.mkv | 700 mb | 1280x720 | 95:00 min | "
                             "23,976 | \r\n")
                  .toUtf8());
}

TEST(BbcodeExport, EveryOpeningBracketShowsLiterally) {
    for (const QString& text :
         {QStringLiteral("[b]bold?[/b]"), QStringLiteral("[/color]"), QStringLiteral("[[b]]"),
          QStringLiteral("a[size=7]b"), QStringLiteral("[url=http://x]x[/url]"),
          QStringLiteral("]["), QStringLiteral("["), QStringLiteral("Кино [Live]")}) {
        const auto rendered = renderBbcode(bbcodeEscape(text));
        ASSERT_TRUE(rendered) << text.toStdString();
        EXPECT_EQ(rendered->text, text);
    }
}

// A line break in a name or a cell would split the row's line inside its markup: as in the TXT
// list, every control character becomes a space.
TEST(BbcodeExport, LineBreaksInsideTextsBecomeSpaces) {
    MusicList music;
    music.appendCategoryHeader(QStringLiteral("Кат\r\nегория"));
    music.appendRow(test::album(QStringLiteral("Gro\nup  \\  Al\rbum\tx"), QStringLiteral("1\n2"),
                                QStringLiteral("192"), QStringLiteral("Ro\r\nck"),
                                QStringLiteral("US\x01"
                                               "A")));
    EXPECT_EQ(musicBbcodeLines(music.rows(),
                               {true, false, kDefaultGroupAlbumSeparator, kDefaultTxtSeparator})
                  .mid(2),
              (QStringList{QStringLiteral("Кат  егория"),
                           QStringLiteral("[b]Gro up[/b]  \\  Al bum x | 1 2 mb | 192 kbps | "
                                          "Ro  ck | US A")}));
    const std::vector<CatalogueRow> video{
        {QStringLiteral("clip\r\n[1].avi"),
         {QStringLiteral("1"), QStringLiteral("640x\n480"), QStringLiteral("3:05"),
          QStringLiteral("25"), QStringLiteral("Div\rX")}},
    };
    EXPECT_EQ(videoBbcodeLines(video).mid(2),
              QStringList{QStringLiteral("clip  [[b][/b]1].avi | 1 mb | 640x 480 | 3:05 min | 25 | "
                                         "Div X")});
}

TEST(BbcodeExport, PostRendersWithBalancedTagsAndTheListsTexts) {
    MusicList list;
    test::fillMusic(list);
    const QStringList lines = musicBbcodeLines(
        list.rows(), {true, true, kDefaultGroupAlbumSeparator, kDefaultTxtSeparator});
    const auto rendered = renderBbcode(lines.join(u'\n'));
    ASSERT_TRUE(rendered) << lines.join(u'\n').toStdString();
    const QStringList html = rendered->html.split(u'\n');
    EXPECT_EQ(html[0], QStringLiteral("<b>mp3 collection — альбомов: 3</b>"));
    EXPECT_EQ(html[2], QStringLiteral("<b><span style=\"color:red\">Панк</span></b>"));
    EXPECT_EQ(html[3], QStringLiteral("<b>Ramones</b>  \\  Rocket to Russia | 41,2 mb | 192 kbps | "
                                      "Punk | USA"));
    // The name that looks like markup is text, not bold.
    const QStringList text = rendered->text.split(u'\n');
    EXPECT_EQ(
        text[4],
        QStringLiteral("Кино  \\  Группа крови [Live] | 87 mb | VBR 245 kbps | Rock \"alt\" | "));
    EXPECT_EQ(text[7], QStringLiteral("[b]Fake[/b] | 0,5 mb | - kbps | - | -"));
}

} // namespace
} // namespace korvane::exporter
