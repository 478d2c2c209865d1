// The window in English beside Russian: the desktop's language or the setting chooses, the
// English translation shows in menus, buttons, headers and dialogs, and the files written keep
// their Russian captions byte for byte.
#include "app/InterfaceLanguage.h"
#include "app/MainWindow.h"
#include "music/MusicList.h"
#include "music/MusicRowEditor.h"
#include "text/LocaleText.h"
#include "video/VideoList.h"

#include "FakeDesktop.h"
#include "JobWait.h"
#include "TempDir.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace korvane;

namespace {

TEST(InterfaceLanguage, TheSettingOrElseTheDesktopsFirstLanguageDecides) {
    using L = Settings::Language;
    struct Case {
        const char* what;
        L setting;
        QStringList desktop;
        InterfaceLanguage expected;
    };
    const std::vector<Case> cases{
        {"a Russian desktop", L::Automatic, {"ru-RU", "ru"}, InterfaceLanguage::Russian},
        {"plain ru", L::Automatic, {"ru"}, InterfaceLanguage::Russian},
        {"an English desktop", L::Automatic, {"en-US"}, InterfaceLanguage::English},
        {"a German desktop that also reads Russian",
         L::Automatic,
         {"de-DE", "ru-RU"},
         InterfaceLanguage::English},
        {"the C locale of a script or container", L::Automatic, {"C"}, InterfaceLanguage::English},
        {"no language at all", L::Automatic, {}, InterfaceLanguage::English},
        {"Russian chosen on an English desktop", L::Russian, {"en-US"}, InterfaceLanguage::Russian},
        {"English chosen on a Russian desktop", L::English, {"ru-RU"}, InterfaceLanguage::English},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(chooseInterfaceLanguage(c.setting, c.desktop), c.expected);
    }
}

TEST(InterfaceLanguage, TheSettingIsKeptInSetIni) {
    test::TempDir dir;
    SettingsFile file(dir.file(QStringLiteral("set.ini")));
    Settings settings(file);
    EXPECT_EQ(settings.language(), Settings::Language::Automatic);
    for (const Settings::Language language :
         {Settings::Language::English, Settings::Language::Russian,
          Settings::Language::Automatic}) {
        settings.setLanguage(language);
        EXPECT_EQ(Settings(file).language(), language);
    }
    EXPECT_EQ(dir.read(QStringLiteral("set.ini")), "[options]\r\nlanguage=auto\r\n");
}

struct Texts {
    QString file, settings, bases, help;
    QString scanButton, clearButton;
    QString folderHeader, sizeHeader, clipHeader;
    QString editorTitle, editorFolder, editorSave, editorCancel;
    QString language, automatic;
};

const Texts kRussian{"&Файл",
                     "&Настройки",
                     "&База данных",
                     "&Справка",
                     "Создать лист с music коллекцией",
                     "Очистить music лист",
                     "Папка",
                     "Размер (mb)",
                     "Имя файла",
                     "Редактирование",
                     "Папка:",
                     "Сохранить",
                     "Отмена",
                     "Язык интерфейса",
                     "Автоматически"};
const Texts kEnglish{"&File",
                     "&Settings",
                     "&Database",
                     "&Help",
                     "Create a list of a music collection",
                     "Clear the music list",
                     "Folder",
                     "Size (MB)",
                     "File name",
                     "Editing",
                     "Folder:",
                     "Save",
                     "Cancel",
                     "Interface language",
                     "Automatic"};

QStringList texts(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* action : actions) {
        if (!action->isSeparator())
            out << action->text();
    }
    return out;
}

QStringList labels(const QWidget& widget) {
    QStringList out;
    for (const QLabel* label : widget.findChildren<QLabel*>())
        out << label->text();
    return out;
}

QStringList buttons(const QWidget& widget) {
    QStringList out;
    for (const QPushButton* button : widget.findChildren<QPushButton*>())
        out << button->text();
    return out;
}

TEST(InterfaceLanguage, TheWindowSpeaksItsLanguageAndTheFilesKeepTheirRussianCaptions) {
    for (const InterfaceLanguage language :
         {InterfaceLanguage::English, InterfaceLanguage::Russian}) {
        const bool english = language == InterfaceLanguage::English;
        SCOPED_TRACE(english ? "English" : "Russian");
        const Texts& expected = english ? kEnglish : kRussian;
        // The translation built beside the test programs, as the window finds it beside itself.
        const InterfaceTranslation translation(language,
                                               ProgramFolder(QStringLiteral(KORVANE_BIN_DIR)));
        ASSERT_EQ(translation.english(), english) << "translations/korvane_en.qm is missing";

        test::TempDir program;
        program.write(QStringLiteral("set.ini"),
                      text::toCp1251(QStringLiteral("[options]\r\nsave_dir=") + program.path() +
                                     QStringLiteral("/\r\n")));
        test::FakeDesktop desktop;
        MainWindow window(ProgramFolder(program.path()), desktop);
        window.mainLoad();
        const MainWindow::Ui& ui = window.ui();
        EXPECT_EQ(ui.fileMenu->title(), expected.file);
        EXPECT_EQ(ui.settingsMenu->title(), expected.settings);
        EXPECT_EQ(ui.basesMenu->title(), expected.bases);
        EXPECT_EQ(ui.helpMenu->title(), expected.help);
        EXPECT_EQ(ui.musicScanButton->text(), expected.scanButton);
        EXPECT_EQ(ui.musicClearButton->text(), expected.clearButton);
        const QAbstractItemModel* music = ui.musicView->model();
        EXPECT_EQ(music->headerData(0, Qt::Horizontal).toString(), expected.folderHeader);
        EXPECT_EQ(music->headerData(1, Qt::Horizontal).toString(), expected.sizeHeader);
        EXPECT_EQ(ui.videoView->model()->headerData(0, Qt::Horizontal).toString(),
                  expected.clipHeader);
        // Each language by its own name, whatever the window speaks.
        EXPECT_EQ(ui.languageMenu->title(), expected.language);
        EXPECT_EQ(texts(ui.languageMenu->actions()).mid(0, 3),
                  (QStringList{expected.automatic, "Русский", "English"}));
        EXPECT_TRUE(ui.languageAutomatic->isChecked());

        const MusicRowEditor& editor = *window.findChild<MusicRowEditor*>();
        EXPECT_EQ(editor.windowTitle(), expected.editorTitle);
        EXPECT_TRUE(labels(editor).contains(expected.editorFolder))
            << labels(editor).join('|').toStdString();
        EXPECT_TRUE(buttons(editor).contains(expected.editorSave));
        EXPECT_TRUE(buttons(editor).contains(expected.editorCancel));

        // The files keep the captions they always had.
        window.musicList().appendRow(
            {QStringLiteral("Кино  \\  Группа крови"), {"41,2", "192", "Rock", "СССР"}});
        window.videoList().appendRow(
            {QStringLiteral("clip.avi"), {"1", "640 x 480", "01:00", "25", "XviD"}});
        ui.musicExportPopup->actions()[5]->trigger(); // CSV
        ui.videoExportPopup->actions()[1]->trigger(); // TXT
        ASSERT_TRUE(test::waitForJob(window.musicJob()));
        ASSERT_TRUE(test::waitForJob(window.videoJob()));
        ASSERT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join('\n').toStdString();
        EXPECT_EQ(program.read(QStringLiteral("mp3list.csv")),
                  QByteArray("\xEF\xBB\xBF") +
                      QStringLiteral("Папка,Размер (mb),Битрейт,Стиль,Страна\r\nКино  \\  Группа "
                                     "крови,\"41,2\",192,Rock,СССР\r\n")
                          .toUtf8());
        EXPECT_TRUE(
            program.read(QStringLiteral("VideoList.txt"))
                .contains(
                    text::toCp1251(
                        QStringLiteral("Файл   [Размер | Разрешение | Время | Кадров | Кодек]\r\n"))
                        .c_str()));
    }
}

TEST(InterfaceLanguage, AChoiceIsWrittenAndAppliesAtTheNextStart) {
    test::TempDir program;
    test::FakeDesktop desktop;
    {
        MainWindow window(ProgramFolder(program.path()), desktop);
        window.mainLoad();
        window.ui().languageEnglish->trigger();
        EXPECT_EQ(window.statusText(),
                  QStringLiteral(" Язык интерфейса сменится при следующем запуске"));
        EXPECT_EQ(window.ui().fileMenu->title(), QStringLiteral("&Файл")) << "not at once";
        EXPECT_EQ(window.interfaceLanguage(), InterfaceLanguage::English);
    }
    MainWindow again(ProgramFolder(program.path()), desktop);
    again.mainLoad();
    EXPECT_TRUE(again.ui().languageEnglish->isChecked());
    again.ui().languageRussian->trigger();
    EXPECT_EQ(again.interfaceLanguage(), InterfaceLanguage::Russian);
}

} // namespace
