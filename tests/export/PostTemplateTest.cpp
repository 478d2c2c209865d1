#include "export/PostTemplate.h"
#include "export/BbcodeExport.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"

#include "FixedLists.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>

namespace korvane::exporter {
namespace {

using test::ExportFolder;

// What a forum checks before it shows a post: every [b], [color=..], [size=..] and
// [spoiler=".."] closed in the order opened. The lines a reader sees (markup left out), or
// nothing when the tags are not balanced.
std::optional<QStringList> readBbcode(const QString& post) {
    static const QRegularExpression tag(
        QStringLiteral("\\G\\[(/?)(b|color|size|spoiler)(=(\"[^\"\\]]*\"|[^\\]\"]+))?\\]"));
    QString text;
    QStringList open;
    for (qsizetype i = 0; i < post.size();) {
        const QRegularExpressionMatch m =
            post[i] == u'[' ? tag.match(post, i) : QRegularExpressionMatch();
        if (!m.hasMatch()) {
            text += post[i++];
            continue;
        }
        i = m.capturedEnd();
        const bool closing = !m.captured(1).isEmpty();
        if (closing &&
            (m.capturedLength(3) > 0 || open.isEmpty() || open.takeLast() != m.captured(2)))
            return std::nullopt;
        if (!closing)
            open << m.captured(2);
    }
    if (!open.isEmpty())
        return std::nullopt;
    return text.split(QStringLiteral("\r\n"));
}

// The album rows of a post: the lines with a bitrate.
QStringList rowLines(const QString& post) {
    QStringList rows;
    for (const QString& line : post.split(QStringLiteral("\r\n")))
        if (line.contains(QStringLiteral(" kbps | ")))
            rows << line;
    return rows;
}

// 10,000 albums in 40 categories, names with brackets that look like tags.
void fillLargeMusic(MusicList& list) {
    for (int i = 0; i < 10'000; ++i) {
        if (i % 250 == 0)
            list.appendCategoryHeader(QStringLiteral("Категория [%1]").arg(i / 250));
        list.appendRow(test::album(
            QStringLiteral("Группа %1  \\  Альбом [b]%2[/b] (Live)").arg(i % 977).arg(i),
            QStringLiteral("%1,%2").arg(40 + i % 300).arg(i % 10), QStringLiteral("VBR 245"),
            QStringLiteral("Rock"), QStringLiteral("Россия")));
    }
}

std::string post(TextFormat format, const MusicList& list, const Toggles& toggles,
                 const PostSource& source = {}, const QStringList& settings = {}) {
    ExportFolder folder(settings);
    SettingsFile file(folder.file(QStringLiteral("set.ini")));
    return listText(format, list, file, toggles, test::fixedMoment(), source);
}

TEST(PostTemplate, ShippedFileAndBuiltInCopyWriteTheSamePost) {
    MusicList list;
    test::fillMusic(list);
    Toggles toggles;
    toggles.musicInCat = true;
    for (const auto& [spoilers, name] :
         {std::pair{false, kMusicBbcodeTemplate}, std::pair{true, kMusicSpoilerTemplate}}) {
        toggles.bbcodeSpoilers = spoilers;
        const QString shipped = QStringLiteral(KORVANE_BIN_DIR "/") + name;
        ASSERT_TRUE(QFileInfo::exists(shipped)) << shipped.toStdString();
        EXPECT_EQ(post(TextFormat::Bbcode, list, toggles, {shipped, 0}),
                  post(TextFormat::Bbcode, list, toggles))
            << name.toStdString();
        // The program folder's copy is the one used, the built-in one only stands in for it.
        ExportFolder folder;
        SettingsFile file(folder.file(QStringLiteral("set.ini")));
        const PostSource own =
            postSource(TextFormat::Bbcode, true, ProgramFolder(folder.path()), file, toggles);
        EXPECT_TRUE(own.templatePath.isEmpty());
        QFile::copy(shipped, folder.file(name));
        EXPECT_EQ(postSource(TextFormat::Bbcode, true, ProgramFolder(folder.path()), file, toggles)
                      .templatePath,
                  folder.file(name));
    }
}

TEST(PostTemplate, SpoilersWrapEachCategoryOrEachFirstLetter) {
    MusicList categories;
    categories.appendCategoryHeader(QStringLiteral("Rock"));
    categories.appendRow(test::album(QStringLiteral("Ария  \\  Герой"), QStringLiteral("80"),
                                     QStringLiteral("192"), QStringLiteral("Metal")));
    categories.appendRow(test::album(QStringLiteral("Алиса  \\  Шабаш"), QStringLiteral("90"),
                                     QStringLiteral("256"), QStringLiteral("Rock")));
    // Brackets and quotes of a name cannot end the spoiler's title.
    categories.appendCategoryHeader(QStringLiteral("AC\"DC [live]"));
    categories.appendRow(test::album(QStringLiteral("AC/DC  \\  Live [1992]"), QStringLiteral("7"),
                                     QStringLiteral("320"), QStringLiteral("Rock")));
    MusicList letters;
    for (const CatalogueRow& row : categories.rows())
        if (!MusicList::isCategoryHeader(row))
            letters.appendRow(row);
    letters.appendRow(test::album(QStringLiteral("5nizza  \\  Пятница"), QStringLiteral("60"),
                                  QStringLiteral("192"), QStringLiteral("Reggae")));
    const QString title = QStringLiteral("[b]mp3 collection — альбомов: %1[/b]\r\n\r\n");
    const QString aria =
        QStringLiteral("[b]Ария[/b]  \\  Герой | 80 mb | 192 kbps | Metal | -\r\n");
    const QString alisa =
        QStringLiteral("[b]Алиса[/b]  \\  Шабаш | 90 mb | 256 kbps | Rock | -\r\n");
    const QString acdc =
        QStringLiteral("[b]AC/DC[/b]  \\  Live [[b][/b]1992] | 7 mb | 320 kbps | Rock | -\r\n");
    Toggles toggles;
    toggles.bbcodeSpoilers = true;
    toggles.musicInCat = true;
    EXPECT_EQ(QString::fromStdString(post(TextFormat::Bbcode, categories, toggles)),
              title.arg(3) + QStringLiteral("[spoiler=\"Rock (2)\"]\r\n") + aria + alisa +
                  QStringLiteral("[/spoiler]\r\n[spoiler=\"AC'DC (live) (1)\"]\r\n") + acdc +
                  QStringLiteral("[/spoiler]\r\n"));
    toggles.musicInCat = false;
    EXPECT_EQ(QString::fromStdString(post(TextFormat::Bbcode, letters, toggles)),
              title.arg(4) + QStringLiteral("[spoiler=\"А (2)\"]\r\n") + aria + alisa +
                  QStringLiteral("[/spoiler]\r\n[spoiler=\"A (1)\"]\r\n") + acdc +
                  QStringLiteral("[/spoiler]\r\n[spoiler=\"# (1)\"]\r\n") +
                  QStringLiteral("[b]5nizza[/b]  \\  Пятница | 60 mb | 192 kbps | Reggae | -\r\n"
                                 "[/spoiler]\r\n"));
    // Without the choice, no spoilers and no letters.
    toggles.bbcodeSpoilers = false;
    EXPECT_EQ(QString::fromStdString(post(TextFormat::Bbcode, letters, toggles)),
              title.arg(4) + aria + alisa + acdc +
                  QStringLiteral("[b]5nizza[/b]  \\  Пятница | 60 mb | 192 kbps | Reggae | -\r\n"));
}

TEST(PostTemplate, PlainTextKeepsNamesAsTheyAre) {
    MusicList list;
    test::fillMusic(list);
    Toggles toggles;
    toggles.musicInCat = true;
    EXPECT_EQ(
        QString::fromStdString(post(TextFormat::Plain, list, toggles)),
        QStringLiteral("mp3 collection — альбомов: 3, 10.12.2026\r\n"
                       "\r\n"
                       "== Панк ==\r\n"
                       "Ramones  \\  Rocket to Russia | 41,2 mb | 192 kbps | Punk | USA\r\n"
                       "Кино  \\  Группа крови [Live] | 87 mb | VBR 245 kbps | Rock \"alt\" | "
                       "\r\n"
                       "\r\n"
                       "== Ska, Reggae ==\r\n"
                       "[b]Fake[/b] | 0,5 mb | - kbps | - | -\r\n"));
}

TEST(PostTemplate, EveryPlaceholderOfAUsersTemplate) {
    ExportFolder folder;
    const QString path = folder.write(
        QStringLiteral("mine.tpl"),
        "## a comment\n"
        "{{#header}}\n{{title}}: {{count}} ({{date}})\n{{/header}}\n"
        "\n"
        "{{#category}}\n\n== {{category}}: {{count}} ==\n{{/category}}\n"
        "{{#categoryend}}\n-- end of {{category}}\n{{/categoryend}}\n"
        "{{#row}}\n"
        "{{group}}/{{album}}/{{year}}/{{size}}/{{bitrate}}/{{style}}/{{country}}/{{category}}\n"
        "{{/row}}\n"
        "{{#footer}}\n\nthat was {{count}}\n{{/footer}}\n");
    MusicList list;
    list.appendCategoryHeader(QStringLiteral("Rock"));
    list.appendRow(test::album(QStringLiteral("Кино  \\  Звезда [b] (1989)"), QStringLiteral("50"),
                               QStringLiteral("192"), QStringLiteral("Rock"),
                               QStringLiteral("СССР")));
    Toggles toggles;
    toggles.musicInCat = true;
    EXPECT_EQ(QString::fromStdString(post(TextFormat::Bbcode, list, toggles, {path, 0})),
              QStringLiteral("mp3 collection: 1 (10.12.2026)\r\n"
                             "\r\n"
                             "== Rock: 1 ==\r\n"
                             "Кино/Звезда [[b][/b]b] (1989)/1989/50/192/Rock/СССР/Rock\r\n"
                             "-- end of Rock\r\n"
                             "\r\n"
                             "that was 1\r\n"));
}

TEST(PostTemplate, BadTemplatesNameTheLineAndWriteNothing) {
    struct Case {
        const char* name;
        const char* text;
        const char* message; // after "Шаблон \"path\""
    };
    const Case cases[] = {
        {"unknown placeholder", "{{#row}}\n{{folder}} {{artist}}\n{{/row}}\n",
         ", строка 2: неизвестная метка {{artist}}"},
        {"placeholder not closed", "{{#row}}\n{{folder} | {{size}}\n{{/row}}\n",
         ", строка 2: неизвестная метка {{folder} | {{size}}"},
        {"braces not closed", "{{#row}}\n{{folder\n{{/row}}\n",
         ", строка 2: метка \"{{folder\" не закрыта знаками }}"},
        {"block not closed before the next", "{{#header}}\nx\n{{#row}}\n{{folder}}\n{{/row}}\n",
         ", строка 3: блок {{#header}} из строки 1 не закрыт"},
        {"block not closed at the end", "{{#row}}\n{{folder}}\n",
         ", строка 1: блок {{#row}} не закрыт до конца файла"},
        {"close without open", "{{/row}}\n", ", строка 1: {{/row}} без {{#row}}"},
        {"unknown block", "{{#body}}\n{{/body}}\n", ", строка 1: неизвестный блок {{#body}}"},
        {"text outside a block", "{{#row}}\n{{folder}}\n{{/row}}\n[b]\n",
         ", строка 4: текст вне блока; блоки начинаются строкой {{#имя}} и кончаются строкой "
         "{{/имя}}"},
        {"block twice", "{{#row}}\n{{/row}}\n{{#row}}\n{{/row}}\n",
         ", строка 3: блок {{#row}} второй раз"},
        {"no row block", "{{#header}}\n{{title}}\n{{/header}}\n", ": нет блока {{#row}}"},
    };
    MusicList list;
    test::fillMusic(list);
    for (const Case& c : cases) {
        ExportFolder folder;
        const QString path = folder.write(QStringLiteral("bad.tpl"), c.text);
        SettingsFile settings(folder.file(QStringLiteral("set.ini")));
        try {
            writeListFiles(TextFormat::Bbcode, list, settings, Toggles{}, test::fixedMoment(),
                           textOutputPath(TextFormat::Bbcode, list, settings), {path, 100});
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ReportedError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("Шаблон \"") + path + QStringLiteral("\"") +
                                           QString::fromUtf8(c.message) +
                                           QStringLiteral(". Ничего не записано."))
                << c.name;
        }
        EXPECT_TRUE(
            QDir(folder.outDir()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << c.name;
    }
}

TEST(PostTemplate, HugeFilesAndFifosAreNotRead) {
    ExportFolder folder;
    const QString huge = folder.file(QStringLiteral("huge.tpl"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(64 * 1024 * 1024)); // sparse: no 64 MiB of disk
    }
    const QString fifo = folder.file(QStringLiteral("fifo.tpl"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    MusicList list;
    test::fillMusic(list);
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    for (const auto& [path, reason] : {std::pair{huge, QStringLiteral("File is larger than 1 MiB")},
                                       std::pair{fifo, QStringLiteral("Not a regular file")}}) {
        try {
            writeListFiles(TextFormat::Bbcode, list, settings, Toggles{}, test::fixedMoment(),
                           textOutputPath(TextFormat::Bbcode, list, settings), {path, 0});
            ADD_FAILURE() << path.toStdString() << ": no error";
        } catch (const ReportedError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("Cannot open file \"") + path +
                                           QStringLiteral("\". ") + reason);
        }
    }
    EXPECT_TRUE(QDir(folder.outDir()).isEmpty());
}

TEST(PostTemplate, PartFileNames) {
    EXPECT_EQ(partPath(QStringLiteral("/out/mp3list.bbcode.txt"), 1),
              QStringLiteral("/out/mp3list.bbcode.1.txt"));
    EXPECT_EQ(partPath(QStringLiteral("/out.d/list"), 12), QStringLiteral("/out.d/list.12"));
    EXPECT_EQ(partPath(QStringLiteral("/out/.post"), 2), QStringLiteral("/out/.post.2"));
}

// A 10,000-row list cut to the limit: every part within it and balanced, headed "(часть i из
// n)", the spoiler of a cut category closed and opened again, the rows exactly the whole post's.
TEST(PostSplit, TenThousandRowsAtTheLimit) {
    MusicList list;
    fillLargeMusic(list);
    struct Case {
        bool spoilers;
        bool categories; // off: with spoilers, each first letter in one
        qsizetype limit;
    };
    for (const Case& c :
         {Case{false, true, 20'000}, Case{false, true, 60'000}, Case{true, true, 20'000},
          Case{true, true, 60'000}, Case{true, false, 20'000}}) {
        const bool spoilers = c.spoilers;
        const qsizetype limit = c.limit;
        const std::string name = std::string(spoilers ? "spoilers" : "headings") +
                                 (c.categories ? "" : " by letter") + " at " +
                                 std::to_string(limit);
        ExportFolder folder;
        SettingsFile settings(folder.file(QStringLiteral("set.ini")));
        Toggles toggles;
        toggles.musicInCat = c.categories;
        toggles.bbcodeSpoilers = spoilers;
        const QString whole = QString::fromStdString(
            listText(TextFormat::Bbcode, list, settings, toggles, test::fixedMoment()));
        ASSERT_GT(whole.size(), 10 * limit) << name;
        const QStringList written =
            writeListFiles(TextFormat::Bbcode, list, settings, toggles, test::fixedMoment(),
                           textOutputPath(TextFormat::Bbcode, list, settings), {{}, limit});
        ASSERT_GT(written.size(), 10) << name;
        QStringList rows;
        for (qsizetype i = 0; i < written.size(); ++i) {
            EXPECT_EQ(written[i],
                      folder.outDir() + QStringLiteral("mp3list.bbcode.%1.txt").arg(i + 1));
            QFile file(written[i]);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
            const QString part = QString::fromUtf8(file.readAll());
            EXPECT_LE(part.size(), limit) << name << " part " << i + 1;
            EXPECT_TRUE(part.startsWith(
                QStringLiteral("(часть %1 из %2)\r\n").arg(i + 1).arg(written.size())))
                << name;
            const std::optional<QStringList> shown = readBbcode(part);
            ASSERT_TRUE(shown) << name << " part " << i + 1 << ":\n" << part.toStdString();
            rows << rowLines(part);
            if (spoilers && i > 0 && !part.contains(QStringLiteral("\r\n[spoiler=\"")))
                ADD_FAILURE() << name << " part " << i + 1 << " opens no spoiler";
        }
        EXPECT_EQ(rows, rowLines(whole)) << name;
        EXPECT_EQ(rows.size(), 10'000) << name;
        EXPECT_FALSE(QFileInfo::exists(folder.outDir() + QStringLiteral("mp3list.bbcode.txt")));
    }
}

TEST(PostSplit, CutCategoryIsClosedAndOpenedAgain) {
    MusicList list;
    list.appendCategoryHeader(QStringLiteral("Rock"));
    for (int i = 0; i < 6; ++i)
        list.appendRow(test::album(QStringLiteral("G%1  \\  A").arg(i), QStringLiteral("1"),
                                   QStringLiteral("192"), QStringLiteral("R")));
    Toggles toggles;
    toggles.musicInCat = true;
    toggles.bbcodeSpoilers = true;
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    const std::vector<std::string> parts =
        listParts(TextFormat::Bbcode, list, settings, toggles, test::fixedMoment(), {{}, 150});
    const QString row = QStringLiteral("[b]G%1[/b]  \\  A | 1 mb | 192 kbps | R | -\r\n");
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(QString::fromStdString(parts[0]),
              QStringLiteral("(часть 1 из 4)\r\n[b]mp3 collection — альбомов: 6[/b]\r\n\r\n"
                             "[spoiler=\"Rock (6)\"]\r\n") +
                  row.arg(0) + QStringLiteral("[/spoiler]\r\n"));
    for (int part = 1; part < 4; ++part) {
        QString rows = row.arg(2 * part - 1);
        if (part < 3)
            rows += row.arg(2 * part);
        EXPECT_EQ(QString::fromStdString(parts[part]),
                  QStringLiteral("(часть %1 из 4)\r\n[spoiler=\"Rock (6)\"]\r\n").arg(part + 1) +
                      rows + QStringLiteral("[/spoiler]\r\n"));
    }
}

// A category heading goes into the part of its first row.
TEST(PostSplit, HeadingStaysWithItsFirstRow) {
    MusicList list;
    list.appendCategoryHeader(QStringLiteral("Rock"));
    list.appendRow(test::album(QStringLiteral("G0  \\  A"), QStringLiteral("1"),
                               QStringLiteral("192"), QStringLiteral("R")));
    list.appendCategoryHeader(QStringLiteral("Ska"));
    list.appendRow(test::album(QStringLiteral("G1  \\  A"), QStringLiteral("1"),
                               QStringLiteral("192"), QStringLiteral("R")));
    Toggles toggles;
    toggles.musicInCat = true;
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    // Room for the first part's rows and the Ska heading, not for the Ska row as well.
    const std::vector<std::string> parts =
        listParts(TextFormat::Bbcode, list, settings, toggles, test::fixedMoment(), {{}, 180});
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(QString::fromStdString(parts[1]),
              QStringLiteral("(часть 2 из 2)\r\n\r\n[b][color=red]Ska[/color][/b]\r\n"
                             "[b]G1[/b]  \\  A | 1 mb | 192 kbps | R | -\r\n"));
}

TEST(PostSplit, PostWithinTheLimitStaysOneFileAndOldPartsGo) {
    MusicList list;
    test::fillMusic(list);
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    const QString path = textOutputPath(TextFormat::Bbcode, list, settings);
    // Parts of an earlier, longer post.
    for (int part = 1; part <= 3; ++part)
        folder.write(QStringLiteral("out/mp3list.bbcode.%1.txt").arg(part), "old");
    const QStringList written = writeListFiles(TextFormat::Bbcode, list, settings, Toggles{},
                                               test::fixedMoment(), path, {{}, 100'000});
    EXPECT_EQ(written, QStringList{path});
    EXPECT_EQ(QDir(folder.outDir()).entryList(QDir::Files), QStringList{"mp3list.bbcode.txt"});
    // CSV and JSON are never cut.
    EXPECT_EQ(
        listParts(TextFormat::Csv, list, settings, Toggles{}, test::fixedMoment(), {{}, 10}).size(),
        1u);
}

TEST(PostSplit, RowLongerThanTheLimitWritesNothing) {
    MusicList list;
    test::fillMusic(list);
    ExportFolder folder;
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    try {
        writeListFiles(TextFormat::Bbcode, list, settings, Toggles{}, test::fixedMoment(),
                       textOutputPath(TextFormat::Bbcode, list, settings), {{}, 60});
        ADD_FAILURE() << "no error";
    } catch (const ReportedError& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("не помещается в сообщение из 60 "
                                                            "символов")))
            << error.message().toStdString();
    }
    EXPECT_TRUE(QDir(folder.outDir()).isEmpty());
}

TEST(PostSplit, OpenTagsAreTrackedAsAForumReadsThem) {
    struct Case {
        const char* text;
        QStringList open;
    };
    const Case cases[] = {
        {"[b]x", {"[b]"}},
        {"[b]x[/b]", {}},
        {"[spoiler=\"A (1)\"][b]", {"[spoiler=\"A (1)\"]", "[b]"}},
        {"[list][*]a[*]b", {"[list]"}},
        {"[[b][/b]Live]", {}},
        {"[color=red][b]x[/color]", {}}, // a close ends the tags opened inside it
        {"[/quote]", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(openBbcodeTags(QString::fromUtf8(c.text)), c.open) << c.text;
}

} // namespace
} // namespace korvane::exporter
