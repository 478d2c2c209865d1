#include "app/MainWindow.h"
#include "catalogue/CatalogueStore.h"
#include "export/ExportFormats.h"
#include "export/ListExport.h"
#include "export/WorkbookCheck.h"
#include "music/MusicList.h"
#include "text/LocaleText.h"
#include "video/VideoList.h"

#include "ExportTestSupport.h"
#include "FakeDesktop.h"
#include "JobWait.h"
#include "WithoutMadeTime.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace korvane;

namespace {

// Answers the spreadsheet questions as a desktop with or without a spreadsheet application.
class SpreadsheetDesktop : public test::FakeDesktop {
public:
    bool registered = true;
    int registrationQueries = 0;

    bool spreadsheetAppRegistered() override {
        ++registrationQueries;
        return registered;
    }
    bool openWithShell(const QString& path) override {
        underWaitCursor += QGuiApplication::overrideCursor() != nullptr;
        opened << path;
        return shellOpens;
    }
    void showError(const QString& text) override {
        underWaitCursor += QGuiApplication::overrideCursor() != nullptr;
        FakeDesktop::showError(text);
    }
    void showMessageWithFolder(const QString& text, const QString& path) override {
        underWaitCursor += QGuiApplication::overrideCursor() != nullptr;
        FakeDesktop::showMessageWithFolder(text, path);
    }
    int underWaitCursor = 0; // error boxes and hand-overs that met the export's wait cursor
};

// Positions in the export menus; 3 is the separator before the Unicode exports, 7 the one before
// the rest of the forum's commands.
enum Item { Html = 0, Txt = 1, Excel = 2, Bbcode = 4, Csv = 5, Json = 6, Plain = 8, CopyPost = 9 };

struct Fixture {
    explicit Fixture(const QStringList& settings = {}) : folder(settings) {
        for (const char* name : {"mp3blank.htm", "videoblank.htm"})
            QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/") + QLatin1String(name),
                        folder.file(QLatin1String(name)));
        window = std::make_unique<MainWindow>(ProgramFolder(folder.path()), desktop);
    }
    ~Fixture() {
        for (const QString& path : desktop.opened)
            QDir(QFileInfo(path).path()).removeRecursively();
    }

    void fillMusic() {
        window->musicList().appendCategoryHeader(QStringLiteral("Панк"));
        window->musicList().appendRow(test::album(QStringLiteral("Ramones  \\  Rocket to Russia"),
                                                  QStringLiteral("41,2"), QStringLiteral("192"),
                                                  QStringLiteral("Punk")));
    }
    void fillVideo() {
        window->videoList().appendRow(test::clip(QStringLiteral("a.avi"), QStringLiteral("1"),
                                                 QStringLiteral("640x480"), QStringLiteral("1:00"),
                                                 QStringLiteral("25"), QStringLiteral("XviD")));
    }
    // Five albums: a forum post over a limit of 150 characters, in three parts.
    void fillLongPost() {
        for (int i = 0; i < 5; ++i)
            window->musicList().appendRow(test::album(QStringLiteral("Group %1  \\  Album").arg(i),
                                                      QStringLiteral("1"), QStringLiteral("192"),
                                                      QStringLiteral("Rock")));
    }
    // The exports write on the list's job: what they leave is there once it is over.
    void trigger(QMenu* menu, Item item) {
        menu->actions()[item]->trigger();
        EXPECT_TRUE(test::waitForJob(window->musicJob()));
        EXPECT_TRUE(test::waitForJob(window->videoJob()));
    }

    test::ExportFolder folder;
    SpreadsheetDesktop desktop;
    std::unique_ptr<MainWindow> window;
};

TEST(MainWindowExport, WrittenFilesAreRecordedAndAnnounced) {
    struct Case {
        const char* name;
        bool music;
        Item item;
        const char* file;
    };
    for (const Case& c : {Case{"music txt", true, Txt, "mp3list.txt"},
                          Case{"music html", true, Html, "mp3list.htm"},
                          Case{"video txt", false, Txt, "VideoList.txt"},
                          Case{"video html", false, Html, "VideoList.htm"},
                          Case{"music bbcode", true, Bbcode, "mp3list.bbcode.txt"},
                          Case{"music csv", true, Csv, "mp3list.csv"},
                          Case{"music json", true, Json, "mp3list.json"},
                          Case{"video bbcode", false, Bbcode, "videolist.bbcode.txt"},
                          Case{"video csv", false, Csv, "videolist.csv"},
                          Case{"video json", false, Json, "videolist.json"},
                          Case{"music plain", true, Plain, "mp3list.forum.txt"},
                          Case{"video plain", false, Plain, "videolist.forum.txt"}}) {
        Fixture f;
        c.music ? f.fillMusic() : f.fillVideo();
        f.trigger(c.music ? f.window->ui().musicExportPopup : f.window->ui().videoExportPopup,
                  c.item);
        const QString path = f.folder.outDir() + QLatin1String(c.file);
        EXPECT_TRUE(QFileInfo::exists(path)) << c.name;
        EXPECT_TRUE(f.window->lastWrittenFile.created) << c.name;
        EXPECT_EQ(f.window->lastWrittenFile.path, path) << c.name;
        // A TXT list's message names its encoding, Windows-1251 unless set otherwise.
        const QString encoding =
            c.item == Txt ? QStringLiteral(" в кодировке Windows-1251") : QString();
        EXPECT_EQ(f.window->statusText(), QStringLiteral("файл \"") + path +
                                              QStringLiteral("\" создан") + encoding +
                                              QStringLiteral(" (двойной клик для открытия)"))
            << c.name;
        EXPECT_TRUE(f.desktop.errors.isEmpty()) << c.name;
        // A double click on the status text opens the file.
        QTest::mouseDClick(f.window->ui().statusText, Qt::LeftButton);
        EXPECT_EQ(f.desktop.opened, QStringList{path}) << c.name;
        f.desktop.opened.clear();
    }
}

// With "Списки TXT в кодировке UTF-8" checked, both TXT lists are UTF-8 and say so.
TEST(MainWindowExport, TxtInUtf8ByTheMenuItem) {
    for (const bool music : {true, false}) {
        Fixture f;
        music ? f.fillMusic() : f.fillVideo();
        EXPECT_FALSE(f.window->ui().txtUtf8->isChecked());
        f.window->ui().txtUtf8->trigger();
        f.trigger(music ? f.window->ui().musicExportPopup : f.window->ui().videoExportPopup, Txt);
        const QString path = f.folder.outDir() + (music ? QStringLiteral("mp3list.txt")
                                                        : QStringLiteral("VideoList.txt"));
        EXPECT_EQ(f.window->statusText(), QStringLiteral("файл \"") + path +
                                              QStringLiteral("\" создан в кодировке UTF-8 "
                                                             "(двойной клик для открытия)"));
        EXPECT_TRUE(QFileInfo::exists(path));
    }
}

TEST(MainWindowExport, EveryExportMenuOffersTheUnicodeFormats) {
    Fixture f;
    const MainWindow::Ui& ui = f.window->ui();
    for (QMenu* menu :
         {ui.musicExportPopup, ui.videoExportPopup, ui.musicExportMenu, ui.videoExportMenu}) {
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), 15);
        EXPECT_TRUE(items[3]->isSeparator());
        EXPECT_EQ(items[Bbcode]->text(), QStringLiteral("BBCode (для форума)"));
        EXPECT_EQ(items[Csv]->text(), QStringLiteral("CSV"));
        EXPECT_EQ(items[Json]->text(), QStringLiteral("JSON"));
        EXPECT_TRUE(items[7]->isSeparator());
        EXPECT_EQ(items[Plain]->text(), QStringLiteral("Текст (для форума)"));
        EXPECT_EQ(items[CopyPost]->text(), QStringLiteral("Копировать для форума"));
        EXPECT_TRUE(items[10]->isSeparator());
        EXPECT_EQ(items[11], ui.sincePublished);
        EXPECT_EQ(items[12], ui.markPublished);
        EXPECT_TRUE(items[13]->isSeparator());
        EXPECT_EQ(items[14]->text(), QStringLiteral("Сохранить как..."));
    }
}

QStringList captions(const QMenu* menu) {
    QStringList shown;
    for (QAction* action : menu->actions())
        shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return shown;
}

// The formats of the table in its order, a line wherever the section changes.
QStringList formatCaptions(bool buttons) {
    QStringList expected;
    std::optional<exporter::MenuSection> section;
    for (const exporter::ExportFormatRow& row : exporter::exportFormats()) {
        if (section && *section != row.section)
            expected << QStringLiteral("-");
        section = row.section;
        expected << (buttons ? row.buttonCaption : row.menuCaption);
    }
    return expected;
}

// Each menu holds the formats of the table, the menu bar's sub-menus with their captions, the
// buttons' menus with theirs; its "Сохранить как..." lists the formats by their menu captions.
TEST(MainWindowExport, EveryExportMenuIsMadeFromTheTable) {
    Fixture f;
    const MainWindow::Ui& ui = f.window->ui();
    for (const auto& [menu, buttons] :
         {std::pair{ui.musicExportMenu, false}, std::pair{ui.videoExportMenu, false},
          std::pair{ui.musicExportPopup, true}, std::pair{ui.videoExportPopup, true}}) {
        const QStringList expected = formatCaptions(buttons);
        const QStringList shown = captions(menu);
        EXPECT_EQ(shown.mid(0, expected.size()), expected);
        EXPECT_EQ(shown.mid(expected.size()),
                  QStringList({QStringLiteral("Копировать для форума"), QStringLiteral("-"),
                               ui.sincePublished->text(), ui.markPublished->text(),
                               QStringLiteral("-"), QStringLiteral("Сохранить как...")}));
        const QMenu* saveAs = menu->actions().last()->menu();
        ASSERT_NE(saveAs, nullptr);
        EXPECT_EQ(captions(saveAs), formatCaptions(false));
    }
    EXPECT_EQ(ui.musicSaveAsMenu, ui.musicExportMenu->actions().last()->menu());
    EXPECT_EQ(ui.videoSaveAsMenu, ui.videoExportMenu->actions().last()->menu());
}

TEST(MainWindowExport, MainMenuItemsRunTheSameCommands) {
    Fixture f;
    f.fillMusic();
    f.trigger(f.window->ui().musicExportMenu, Txt);
    EXPECT_TRUE(QFileInfo::exists(f.folder.outDir() + QStringLiteral("mp3list.txt")));
    f.fillVideo();
    f.trigger(f.window->ui().videoExportMenu, Html);
    EXPECT_EQ(f.window->lastWrittenFile.path, f.folder.outDir() + QStringLiteral("VideoList.htm"));
    f.trigger(f.window->ui().musicExportMenu, Json);
    EXPECT_EQ(f.window->lastWrittenFile.path, f.folder.outDir() + QStringLiteral("mp3list.json"));
    f.trigger(f.window->ui().videoExportMenu, Bbcode);
    EXPECT_EQ(f.window->lastWrittenFile.path,
              f.folder.outDir() + QStringLiteral("videolist.bbcode.txt"));
}

TEST(MainWindowExport, UnicodeExportsFollowTheMenuTogglesAndFileNames) {
    Fixture f({QStringLiteral("mp3list_name_bbcode=forum.txt")});
    f.fillMusic();
    auto toggles = f.window->toggles();
    toggles.musicInCat = true;
    toggles.albumBoldFont = false;
    f.window->setToggles(toggles);
    f.trigger(f.window->ui().musicExportPopup, Bbcode);
    EXPECT_EQ(f.folder.read(QStringLiteral("out/forum.txt")),
              QStringLiteral("[b]mp3 collection — альбомов: 1[/b]\r\n\r\n"
                             "[b][color=red]Панк[/color][/b]\r\n"
                             "Ramones  \\  Rocket to Russia | 41,2 mb | 192 kbps | Punk | -\r\n")
                  .toUtf8());
}

// A post over the limit of set.ini is written in parts; the status names the first and the last,
// and a double click opens the first.
TEST(MainWindowExport, LongPostIsWrittenInParts) {
    Fixture f({QStringLiteral("postLimit=150")});
    f.fillLongPost();
    f.trigger(f.window->ui().musicExportMenu, Bbcode);
    const QString first = f.folder.outDir() + QStringLiteral("mp3list.bbcode.1.txt");
    const QString last = f.folder.outDir() + QStringLiteral("mp3list.bbcode.3.txt");
    EXPECT_EQ(f.window->statusText(), QStringLiteral("файлы \"") + first +
                                          QStringLiteral("\" … \"") + last +
                                          QStringLiteral("\" созданы, частей: 3 (двойной клик "
                                                         "откроет первую)"));
    EXPECT_EQ(f.window->lastWrittenFile.path, first);
    EXPECT_TRUE(f.folder.read(QStringLiteral("out/mp3list.bbcode.3.txt"))
                    .startsWith(QStringLiteral("(часть 3 из 3)\r\n").toUtf8()));
    EXPECT_TRUE(f.desktop.errors.isEmpty());
}

// "Копировать для форума" puts the BBCode post on the clipboard, line breaks as LF; over the
// limit only its first part, and the status says which. No file is written.
TEST(MainWindowExport, CopyForForumPutsThePostOnTheClipboard) {
    for (const int limit : {0, 160}) {
        Fixture f({QStringLiteral("postLimit=%1").arg(limit)});
        f.fillMusic();
        f.window->musicList().appendRow(test::album(QStringLiteral("Кино  \\  Звезда"),
                                                    QStringLiteral("50"), QStringLiteral("192"),
                                                    QStringLiteral("Rock")));
        auto toggles = f.window->toggles();
        toggles.musicInCat = true;
        f.window->setToggles(toggles);
        f.trigger(f.window->ui().musicExportPopup, CopyPost);
        const QString whole =
            QStringLiteral("[b]mp3 collection — альбомов: 2[/b]\n\n"
                           "[b][color=red]Панк[/color][/b]\n"
                           "[b]Ramones[/b]  \\  Rocket to Russia | 41,2 mb | 192 kbps | Punk | -\n"
                           "[b]Кино[/b]  \\  Звезда | 50 mb | 192 kbps | Rock | -\n");
        if (limit == 0) {
            EXPECT_EQ(f.desktop.clipboard, whole);
            EXPECT_EQ(f.window->statusText(),
                      QStringLiteral("Сообщение для форума скопировано в буфер обмена"));
        } else {
            EXPECT_EQ(f.desktop.clipboard,
                      QStringLiteral("(часть 1 из 2)\n[b]mp3 collection — альбомов: 2[/b]\n\n"
                                     "[b][color=red]Панк[/color][/b]\n"
                                     "[b]Ramones[/b]  \\  Rocket to Russia | 41,2 mb | 192 kbps | "
                                     "Punk | -\n"));
            EXPECT_EQ(f.window->statusText(),
                      QStringLiteral("Часть 1 из 2 сообщения для форума скопирована в буфер "
                                     "обмена"));
        }
        EXPECT_TRUE(f.desktop.errors.isEmpty()) << f.desktop.errors.join(u'\n').toStdString();
        EXPECT_FALSE(f.window->lastWrittenFile.created);
        EXPECT_TRUE(QDir(f.folder.outDir()).isEmpty());
    }
}

// "Категории для форума под спойлерами" switches the BBCode post to the spoiler template.
TEST(MainWindowExport, SpoilerToggleChoosesTheSpoilerTemplate) {
    Fixture f;
    f.fillMusic();
    auto toggles = f.window->toggles();
    toggles.musicInCat = true;
    f.window->setToggles(toggles);
    EXPECT_EQ(f.window->ui().bbcodeSpoilers->text(),
              QStringLiteral("Категории для форума под спойлерами"));
    EXPECT_FALSE(f.window->ui().bbcodeSpoilers->isChecked());
    f.window->ui().bbcodeSpoilers->trigger();
    EXPECT_TRUE(f.window->toggles().bbcodeSpoilers);
    f.trigger(f.window->ui().musicExportPopup, Bbcode);
    EXPECT_EQ(
        f.folder.read(QStringLiteral("out/mp3list.bbcode.txt")),
        QStringLiteral("[b]mp3 collection — альбомов: 1[/b]\r\n\r\n"
                       "[spoiler=\"Панк (1)\"]\r\n"
                       "[b]Ramones[/b]  \\  Rocket to Russia | 41,2 mb | 192 kbps | Punk | -\r\n"
                       "[/spoiler]\r\n")
            .toUtf8());
}

// "Отметить как опубликованный" keeps the list as published with each Unicode export;
// "Новое с последней публикации" then writes only what was added, titled with the day of the post,
// and what was removed below it.
TEST(MainWindowExport, NewSinceTheLastPost) {
    Fixture f;
    f.fillMusic();
    f.window->musicList().appendRow(test::album(QStringLiteral("Кино  \\  Звезда"),
                                                QStringLiteral("50"), QStringLiteral("192"),
                                                QStringLiteral("Rock")));
    const MainWindow::Ui& ui = f.window->ui();
    // Never published: the whole list.
    ui.sincePublished->setChecked(true);
    ui.markPublished->setChecked(true);
    f.trigger(ui.musicExportPopup, Plain);
    EXPECT_TRUE(f.folder.read(QStringLiteral("out/mp3list.forum.txt"))
                    .startsWith(QStringLiteral("mp3 collection — альбомов: 2,").toUtf8()));
    EXPECT_TRUE(QFileInfo::exists(f.folder.file(QStringLiteral("korvane.db"))));

    ui.markPublished->setChecked(false);
    f.window->musicList().removeRowAt(2);
    f.window->musicList().appendRow(test::album(QStringLiteral("Ария  \\  Герой"),
                                                QStringLiteral("80"), QStringLiteral("256"),
                                                QStringLiteral("Metal")));
    f.trigger(ui.musicExportPopup, CopyPost);
    const QString today = text::shortDate(QDate::currentDate());
    EXPECT_EQ(f.desktop.clipboard,
              QStringLiteral("[b]mp3 collection — новое с %1 — альбомов: 1[/b]\n\n"
                             "Панк\n" // the category of the new album
                             "[b]Ария[/b]  \\  Герой | 80 mb | 256 kbps | Metal | -\n\n"
                             "Удалено с %1\n"
                             "[b]Кино[/b]  \\  Звезда | 50 mb | 192 kbps | Rock | -\n")
                  .arg(today));
    EXPECT_TRUE(f.desktop.errors.isEmpty()) << f.desktop.errors.join(u'\n').toStdString();
    // Without the choice, the whole list again.
    ui.sincePublished->setChecked(false);
    f.trigger(ui.musicExportPopup, CopyPost);
    EXPECT_TRUE(f.desktop.clipboard.startsWith(QStringLiteral("[b]mp3 collection — альбомов: 2")));
}

// A template the user broke: its line in the error box, no file, the clipboard untouched.
TEST(MainWindowExport, BrokenTemplateIsReportedWithItsLine) {
    Fixture f;
    f.folder.write(QStringLiteral("mp3list.bbcode.tpl"), "{{#row}}\n{{folder}} {{artist}}\n");
    f.fillMusic();
    f.trigger(f.window->ui().musicExportPopup, Bbcode);
    f.trigger(f.window->ui().musicExportPopup, CopyPost);
    const QString error = QStringLiteral("Шаблон \"") +
                          f.folder.file(QStringLiteral("mp3list.bbcode.tpl")) +
                          QStringLiteral("\", строка 2: неизвестная метка {{artist}}. Ничего не "
                                         "записано.");
    EXPECT_EQ(f.desktop.errors, (QStringList{error, error}));
    EXPECT_TRUE(f.desktop.clipboard.isEmpty());
    EXPECT_TRUE(QDir(f.folder.outDir()).isEmpty());
}

TEST(MainWindowExport, FailureShowsItsTextAndKeepsTheRecordAndTheStatus) {
    Fixture f({QStringLiteral("mp3list_name_txt=missing folder/list.txt")});
    f.fillMusic();
    f.trigger(f.window->ui().musicExportPopup, Html);
    const FileCreatedRecord before = f.window->lastWrittenFile;
    const QString status = f.window->statusText();
    f.trigger(f.window->ui().musicExportPopup, Txt);
    ASSERT_EQ(f.desktop.errors.size(), 1);
    // Whole in the interface's language, with the file, the cause and what to do.
    EXPECT_EQ(f.desktop.errors[0],
              QStringLiteral("Не удалось записать файл \"%1missing folder/list.txt\".\nПапки "
                             "\"%1missing folder\" нет. Создайте её или выберите другую папку.")
                  .arg(f.folder.outDir()));
    EXPECT_EQ(f.window->lastWrittenFile.path, before.path);
    EXPECT_TRUE(f.window->lastWrittenFile.created);
    EXPECT_EQ(f.window->statusText(), status);
}

TEST(MainWindowExport, RefusedUnicodeExportShowsItsText) {
    Fixture f({QStringLiteral("videolist_name_csv=missing folder/clips.csv")});
    f.fillVideo();
    f.trigger(f.window->ui().videoExportPopup, Csv);
    ASSERT_EQ(f.desktop.errors.size(), 1);
    EXPECT_EQ(f.desktop.errors[0],
              QStringLiteral("Не удалось записать файл \"%1missing folder/clips.csv\".\nПапки "
                             "\"%1missing folder\" нет. Создайте её или выберите другую папку.")
                  .arg(f.folder.outDir()));
    EXPECT_FALSE(f.window->lastWrittenFile.created);
    EXPECT_TRUE(f.window->statusText().isEmpty());
}

TEST(MainWindowExport, MissingTemplateIsReported) {
    Fixture f;
    QFile::remove(f.folder.file(QStringLiteral("videoblank.htm")));
    f.fillVideo();
    f.trigger(f.window->ui().videoExportPopup, Html);
    ASSERT_EQ(f.desktop.errors.size(), 1);
    EXPECT_EQ(f.desktop.errors[0],
              QStringLiteral("Не удалось прочитать файл \"%1\".\nТакого файла нет. Проверьте, что "
                             "он на месте, или выберите другой.")
                  .arg(f.folder.file(QStringLiteral("videoblank.htm"))));
    EXPECT_FALSE(f.window->lastWrittenFile.created);
}

TEST(MainWindowExport, EmptyListsAreASilentNoOp) {
    Fixture f({QStringLiteral("checkexcel=1")});
    f.desktop.registered = false;
    for (QMenu* menu : {f.window->ui().musicExportPopup, f.window->ui().videoExportPopup}) {
        for (Item item : {Html, Txt, Excel, Bbcode, Csv, Json})
            f.trigger(menu, item);
    }
    EXPECT_TRUE(QDir(f.folder.outDir()).isEmpty());
    EXPECT_TRUE(f.desktop.errors.isEmpty());
    EXPECT_TRUE(f.desktop.messages.isEmpty());
    EXPECT_TRUE(f.desktop.opened.isEmpty());
    EXPECT_FALSE(f.window->lastWrittenFile.created);
    EXPECT_TRUE(f.window->statusText().isEmpty());
}

TEST(MainWindowExport, WorkbookIsHandedToTheSpreadsheetApplication) {
    Fixture f({QStringLiteral("mp3workbookname=Моя музыка")});
    f.fillMusic();
    f.trigger(f.window->ui().musicExportPopup, Excel);
    ASSERT_EQ(f.desktop.opened.size(), 1);
    EXPECT_TRUE(f.desktop.opened[0].endsWith(QStringLiteral("/Моя музыка.xlsx")));
    EXPECT_TRUE(QFileInfo::exists(f.desktop.opened[0]));
    EXPECT_EQ(f.window->statusText(), QStringLiteral("Список ушёл в Excel"));
    EXPECT_EQ(f.desktop.registrationQueries, 0) << "checkexcel is off";
    // The workbook is no exported file for the double click.
    EXPECT_FALSE(f.window->lastWrittenFile.created);
}

TEST(MainWindowExport, CheckExcel) {
    struct Case {
        const char* name;
        bool video;
        bool registered;
        bool opened;
        QStringList messages;
    };
    const QString missing =
        QStringLiteral("Не могу найти пакет программ MS Office, в частности Excel");
    for (const Case& c : {Case{"music, none registered", false, false, false, {missing}},
                          Case{"music, registered", false, true, true, {}},
                          Case{"video never asks", true, false, true, {}}}) {
        Fixture f({QStringLiteral("checkexcel=1")});
        f.desktop.registered = c.registered;
        c.video ? f.fillVideo() : f.fillMusic();
        f.trigger(c.video ? f.window->ui().videoExportPopup : f.window->ui().musicExportPopup,
                  Excel);
        EXPECT_EQ(f.desktop.messages, c.messages) << c.name;
        EXPECT_EQ(f.desktop.opened.size(), c.opened ? 1 : 0) << c.name;
        EXPECT_EQ(f.window->statusText().isEmpty(), !c.opened) << c.name;
    }
}

// With no application for it, the workbook is kept in the output folder under its sheet's name,
// not in a temporary folder that is cleared a day later; an existing one is replaced only when
// the user says so.
TEST(MainWindowExport, WorkbookThatNoApplicationTookIsKeptInTheOutputFolder) {
    Fixture f;
    f.desktop.shellOpens = false;
    f.fillVideo();
    f.trigger(f.window->ui().videoExportPopup, Excel);
    ASSERT_EQ(f.desktop.opened.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(f.desktop.opened[0])) << "the temporary workbook is gone";
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(f.desktop.opened[0]).absolutePath()));
    const QString path = f.folder.outDir() + QStringLiteral("Video.xlsx");
    EXPECT_EQ(exporter::workbookProblem(path), QString()) << "a whole workbook";
    EXPECT_EQ(f.desktop.folderMessages, QStringList{fileNotOpenedMessage(path) + u'|' + path});
    EXPECT_TRUE(f.desktop.errors.isEmpty());
    EXPECT_EQ(f.window->statusText(), exporter::fileCreatedMessage(path));
    EXPECT_TRUE(f.window->lastWrittenFile.created);
    EXPECT_EQ(f.window->lastWrittenFile.path, path);

    // Again: the user keeps the file they have, then replaces it.
    QFile::resize(path, 10);
    f.desktop.replaceAnswers = {false, true};
    f.trigger(f.window->ui().videoExportPopup, Excel);
    EXPECT_EQ(f.desktop.replaceQuestions, QStringList{path});
    EXPECT_EQ(QFileInfo(path).size(), 10) << "kept as the user asked";
    f.trigger(f.window->ui().videoExportPopup, Excel);
    EXPECT_EQ(f.desktop.replaceQuestions, (QStringList{path, path}));
    EXPECT_EQ(exporter::workbookProblem(path), QString()) << "replaced";
}

} // namespace

// Every format's "Сохранить как..." writes the chosen file with the bytes, the encoding and the
// status text of the command that writes the fixed name.
TEST(MainWindowExport, SaveAsWritesWhatTheFixedNameCommandWrites) {
    struct Case {
        const char* name;
        bool music;
        Item item;
        const char* fixedName;
        const char* chosenName;
        const char* filter;
    };
    const Case cases[] = {
        {"music html", true, Html, "mp3list.htm", "a.html", "HTML (*.htm *.html)"},
        {"video html", false, Html, "VideoList.htm", "b.htm", "HTML (*.htm *.html)"},
        {"music txt", true, Txt, "mp3list.txt", "c.txt", "TXT (*.txt)"},
        {"video txt", false, Txt, "VideoList.txt", "d.txt", "TXT (*.txt)"},
        {"music workbook", true, Excel, "music.xlsx", "e.xlsx", "Excel (*.xlsx)"},
        {"video workbook", false, Excel, "Video.xlsx", "f.xlsx", "Excel (*.xlsx)"},
        {"music bbcode", true, Bbcode, "mp3list.bbcode.txt", "g.txt", "BBCode (*.txt)"},
        {"video bbcode", false, Bbcode, "videolist.bbcode.txt", "h.txt", "BBCode (*.txt)"},
        {"music csv", true, Csv, "mp3list.csv", "i.csv", "CSV (*.csv)"},
        {"video csv", false, Csv, "videolist.csv", "j.csv", "CSV (*.csv)"},
        {"music json", true, Json, "mp3list.json", "k.json", "JSON (*.json)"},
        {"video json", false, Json, "videolist.json", "l.json", "JSON (*.json)"},
        {"music plain", true, Plain, "mp3list.forum.txt", "m.txt", "Текст (*.txt)"},
        {"video plain", false, Plain, "videolist.forum.txt", "n.txt", "Текст (*.txt)"},
    };
    // The UTF-8 toggle shows that the TXT list keeps the encoding of the fixed-name command.
    for (const bool txtUtf8 : {false, true}) {
        Fixture f;
        f.desktop.shellOpens = false; // the fixed-name workbook is then kept in the output folder
        f.fillMusic();
        f.window->musicList().appendRow(test::album(QStringLiteral("Кино  \\  Звезда"),
                                                    QStringLiteral("50"), QStringLiteral("192"),
                                                    QStringLiteral("Rock")));
        f.fillVideo();
        auto toggles = f.window->toggles();
        toggles.txtUtf8 = txtUtf8;
        f.window->setToggles(toggles);
        QDir(f.folder.path()).mkpath(QStringLiteral("chosen"));
        QString lastFolder = f.folder.outDir();
        for (const Case& c : cases) {
            const MainWindow::Ui& ui = f.window->ui();
            f.trigger(c.music ? ui.musicExportMenu : ui.videoExportMenu, c.item);
            const QString fixed = f.folder.outDir() + QLatin1String(c.fixedName);
            const QString fixedStatus = f.window->statusText();
            ASSERT_EQ(f.window->lastWrittenFile.path, fixed) << c.name;

            const QString chosen =
                f.folder.file(QStringLiteral("chosen/")) + QLatin1String(c.chosenName);
            f.desktop.saveFileRequests.clear();
            f.desktop.saveFileFilters.clear();
            f.desktop.saveFileAnswers = {chosen};
            f.trigger(c.music ? ui.musicSaveAsMenu : ui.videoSaveAsMenu, c.item);
            EXPECT_EQ(f.desktop.saveFileRequests,
                      QStringList{lastFolder + u'|' + QLatin1String(c.fixedName)})
                << c.name;
            EXPECT_EQ(f.desktop.saveFileFilters, QStringList{QString::fromUtf8(c.filter)})
                << c.name;
            lastFolder = f.folder.file(QStringLiteral("chosen"));
            EXPECT_EQ(f.window->lastWrittenFile.path, chosen) << c.name;
            EXPECT_EQ(f.window->statusText(), QString(fixedStatus).replace(fixed, chosen))
                << c.name;
            if (c.item != Excel) {
                const auto written = [&](const QString& name) {
                    return test::withoutMadeTime(f.folder.read(name).toStdString());
                };
                EXPECT_EQ(written(QStringLiteral("chosen/") + QLatin1String(c.chosenName)),
                          written(QStringLiteral("out/") + QLatin1String(c.fixedName)))
                    << c.name;
                continue;
            }
            // A workbook's parts, but for the moment of its making in the document properties.
            const auto parts = [](const QString& path) {
                QFile file(path);
                EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
                QString error;
                auto read = exporter::readZipParts(file.readAll(), &error);
                EXPECT_TRUE(read) << error.toStdString();
                std::vector<std::pair<std::string, QByteArray>> kept;
                for (const exporter::ZipPart& part :
                     read.value_or(std::vector<exporter::ZipPart>{}))
                    if (part.name != "docProps/core.xml")
                        kept.emplace_back(part.name, part.data);
                return kept;
            };
            const auto written = parts(chosen);
            EXPECT_GT(written.size(), 3U) << c.name;
            EXPECT_EQ(written, parts(fixed)) << c.name;
        }
        EXPECT_TRUE(f.desktop.errors.isEmpty()) << f.desktop.errors.join(u'\n').toStdString();
        EXPECT_TRUE(f.desktop.replaceQuestions.isEmpty());
    }
}

// The folder of the last save-as is where the next dialog starts, also after a restart; a
// cancelled dialog writes nothing and remembers nothing; an empty list asks nothing.
TEST(MainWindowExport, SaveAsRemembersItsFolderAndACancelWritesNothing) {
    Fixture f;
    f.trigger(f.window->ui().musicSaveAsMenu, Txt);
    EXPECT_TRUE(f.desktop.saveFileRequests.isEmpty()) << "an empty list";
    f.fillMusic();
    f.trigger(f.window->ui().musicSaveAsMenu, Csv); // cancelled
    f.trigger(f.window->ui().musicSaveAsMenu, Csv);
    EXPECT_EQ(f.desktop.saveFileRequests,
              QStringList(2, f.folder.outDir() + QStringLiteral("|mp3list.csv")))
        << "a cancel remembers no folder";
    EXPECT_TRUE(QDir(f.folder.outDir()).isEmpty());
    EXPECT_FALSE(f.window->lastWrittenFile.created);
    EXPECT_TRUE(f.window->statusText().isEmpty());

    const QString chosenFolder = f.folder.file(QStringLiteral("elsewhere"));
    QDir().mkpath(chosenFolder);
    f.desktop.saveFileAnswers = {chosenFolder + QStringLiteral("/list.json")};
    f.trigger(f.window->ui().musicSaveAsMenu, Json);
    EXPECT_TRUE(QFileInfo::exists(chosenFolder + QStringLiteral("/list.json")));

    f.window.reset();
    f.window = std::make_unique<MainWindow>(ProgramFolder(f.folder.path()), f.desktop);
    f.fillVideo();
    f.desktop.saveFileRequests.clear();
    f.trigger(f.window->ui().videoSaveAsMenu, Html);
    EXPECT_EQ(f.desktop.saveFileRequests,
              QStringList{chosenFolder + QStringLiteral("|VideoList.htm")});
    // A remembered folder that is gone: the output folder again.
    QDir(chosenFolder).removeRecursively();
    f.desktop.saveFileRequests.clear();
    f.trigger(f.window->ui().videoSaveAsMenu, Html);
    EXPECT_EQ(f.desktop.saveFileRequests,
              QStringList{f.folder.outDir() + QStringLiteral("|VideoList.htm")});
    EXPECT_TRUE(QDir(f.folder.outDir()).isEmpty());
    EXPECT_TRUE(f.desktop.errors.isEmpty());
}

// A set.ini that cannot be written (here a folder) is said, and the file is saved all the same.
TEST(MainWindowExport, SaveAsSavesWhenTheFolderCannotBeRemembered) {
    Fixture f;
    f.fillVideo();
    QFile::remove(f.folder.file(QStringLiteral("set.ini")));
    QDir(f.folder.path()).mkpath(QStringLiteral("set.ini"));
    f.desktop.errors.clear();
    const QString chosen = f.folder.file(QStringLiteral("clips.txt"));
    f.desktop.saveFileAnswers = {chosen};
    f.trigger(f.window->ui().videoSaveAsMenu, Txt);
    ASSERT_EQ(f.desktop.errors.size(), 1);
    EXPECT_TRUE(f.desktop.errors[0].contains(f.folder.file(QStringLiteral("set.ini"))))
        << f.desktop.errors[0].toStdString();
    EXPECT_TRUE(QFileInfo::exists(chosen));
    EXPECT_EQ(f.window->lastWrittenFile.path, chosen);
}

// An existing file is replaced only when the user says so.
TEST(MainWindowExport, SaveAsAsksBeforeReplacing) {
    for (const Item item : {Txt, Excel, Json}) {
        Fixture f;
        f.fillVideo();
        const QString chosen = f.folder.write(QStringLiteral("mine.dat"), "mine");
        f.desktop.saveFileAnswers = {chosen, chosen};
        f.desktop.replaceAnswers = {false, true};
        f.trigger(f.window->ui().videoSaveAsMenu, item);
        EXPECT_EQ(f.desktop.replaceQuestions, QStringList{chosen}) << item;
        EXPECT_EQ(f.folder.read(QStringLiteral("mine.dat")), QByteArray("mine")) << item;
        EXPECT_FALSE(f.window->lastWrittenFile.created) << item;
        EXPECT_TRUE(f.window->statusText().isEmpty()) << item;

        f.trigger(f.window->ui().videoSaveAsMenu, item);
        EXPECT_EQ(f.desktop.replaceQuestions, (QStringList{chosen, chosen})) << item;
        EXPECT_NE(f.folder.read(QStringLiteral("mine.dat")), QByteArray("mine")) << item;
        EXPECT_EQ(f.window->lastWrittenFile.path, chosen) << item;
        EXPECT_TRUE(f.desktop.errors.isEmpty()) << item;
    }
}

// A post over the limit: its numbered parts beside the chosen name, as the fixed name has them.
TEST(MainWindowExport, SaveAsWritesThePartsOfALongPostBesideTheChosenName) {
    Fixture f({QStringLiteral("postLimit=150")});
    f.fillLongPost();
    f.trigger(f.window->ui().musicExportMenu, Bbcode);
    const QString chosen = f.folder.file(QStringLiteral("post.txt"));
    f.desktop.saveFileAnswers = {chosen};
    f.trigger(f.window->ui().musicSaveAsMenu, Bbcode);
    for (int part = 1; part <= 3; ++part)
        EXPECT_EQ(f.folder.read(QStringLiteral("post.%1.txt").arg(part)),
                  f.folder.read(QStringLiteral("out/mp3list.bbcode.%1.txt").arg(part)))
            << part;
    EXPECT_FALSE(QFileInfo::exists(chosen));
    const QString first = f.folder.file(QStringLiteral("post.1.txt"));
    EXPECT_EQ(f.window->statusText(),
              QStringLiteral("файлы \"") + first + QStringLiteral("\" … \"") +
                  f.folder.file(QStringLiteral("post.3.txt")) +
                  QStringLiteral("\" созданы, частей: 3 (двойной клик откроет первую)"));
    EXPECT_EQ(f.window->lastWrittenFile.path, first);
}

TEST(MainWindowExport, WaitCursorEndsWithTheWriteWhateverItsOutcome) {
    // Written, refused (a folder where the file goes), workbook handed over, workbook refused.
    Fixture f({QStringLiteral("videolist_name_txt=.")});
    f.fillMusic();
    f.fillVideo();
    f.trigger(f.window->ui().musicExportPopup, Txt);
    f.trigger(f.window->ui().videoExportPopup, Txt);
    f.trigger(f.window->ui().musicExportPopup, Excel);
    f.desktop.shellOpens = false;
    f.trigger(f.window->ui().videoExportPopup, Excel);
    EXPECT_EQ(f.desktop.errors.size(), 1);
    EXPECT_EQ(f.desktop.folderMessages.size(), 1);
    EXPECT_EQ(f.desktop.opened.size(), 2);
    EXPECT_EQ(f.desktop.underWaitCursor, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Marking a list as published writes korvane.db beside the window's own stores: the window's
// next store is not taken for another program's newer list.
TEST(MainWindowExport, MarkingPublishedIsNoNewerListForTheWindow) {
    Fixture f;
    f.fillMusic();
    f.window->storeLists();
    f.window->ui().markPublished->setChecked(true);
    f.trigger(f.window->ui().musicExportPopup, Plain);
    f.window->musicList().removeRowAt(2);
    f.window->storeLists();
    EXPECT_TRUE(f.desktop.questions.isEmpty()) << f.desktop.questions.join(u'\n').toStdString();
    CatalogueStore store(f.folder.file(QStringLiteral("korvane.db")));
    EXPECT_EQ(store.load(StoredListName::Music)->rows, f.window->musicList().rows());
}

// An export writes on the list's job, off the window's thread, with the rows as they were at the
// command: the list may change meanwhile, and a second long command on it is refused.
TEST(MainWindowExport, AnExportRunsOnTheListsJob) {
    Fixture f;
    f.fillLongPost();
    const std::vector<CatalogueRow> atTheCommand = f.window->musicList().rows();
    f.window->ui().musicExportPopup->actions()[Csv]->trigger();
    ASSERT_TRUE(f.window->musicJob().isRunning());
    f.window->ui().musicScanButton->click();
    EXPECT_EQ(f.window->statusText(), " Подождите: работа со списком ещё не закончена");
    EXPECT_TRUE(f.desktop.folderCaptions.isEmpty()) << "no scan began";
    f.window->musicList().removeRowAt(0);
    ASSERT_TRUE(test::waitForJob(f.window->musicJob()));

    const QString path = f.folder.outDir() + QStringLiteral("mp3list.csv");
    EXPECT_EQ(f.window->statusText(), exporter::fileCreatedMessage(path));
    EXPECT_EQ(f.window->lastWrittenFile.path, path);
    const QByteArray written = f.folder.read(QStringLiteral("out/mp3list.csv"));
    for (const CatalogueRow& row : atTheCommand)
        EXPECT_TRUE(written.contains(row.caption.toUtf8())) << row.caption.toStdString();
    // The scan command is free again.
    f.desktop.folderAnswers.push_back(std::nullopt);
    f.window->ui().musicScanButton->click();
    EXPECT_EQ(f.desktop.folderCaptions.size(), 1);
}

// Closing the window while an export runs lets it end, shows its outcome, and stores the lists.
TEST(MainWindowExport, CloseDuringAnExportStoresTheLists) {
    Fixture f;
    f.fillMusic();
    f.window->show();
    f.window->ui().musicExportPopup->actions()[Txt]->trigger();
    ASSERT_TRUE(f.window->musicJob().isRunning());
    f.fillVideo();
    f.window->close();
    EXPECT_FALSE(f.window->musicJob().isRunning());
    EXPECT_TRUE(QFileInfo::exists(f.folder.outDir() + QStringLiteral("mp3list.txt")));
    EXPECT_TRUE(f.window->lastWrittenFile.created);
    CatalogueStore store(f.folder.file(QStringLiteral("korvane.db")));
    EXPECT_EQ(store.load(StoredListName::Music).value().rows, f.window->musicList().rows());
    EXPECT_EQ(store.load(StoredListName::Video).value().rows.size(), 1u);
}
