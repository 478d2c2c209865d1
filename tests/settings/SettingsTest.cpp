#include "settings/Settings.h"
#include "settings/ProgramFolder.h"
#include "text/LocaleText.h"

#include "TempDir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace korvane;

namespace {

// A reader of one key: the scan and the command line take the typed values, the dialogs the
// texts they show; each as a text here so that one table holds them all.
struct Reader {
    const char* who;
    const char* key;
    std::function<QString(const Settings&)> read;
};

// The value in set.ini (nullptr: no line for the key) and what the reader gets.
struct Case {
    const char* value;
    QString expected;
};

struct Row {
    Reader reader;
    std::vector<Case> cases;
};

QString number(int value) {
    return QString::number(value);
}

QString flag(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString widths(const QList<int>& list) {
    QStringList parts;
    for (int width : list)
        parts << QString::number(width);
    return parts.join(u' ');
}

} // namespace

TEST(Settings, EachReaderGetsItsDefaultForAMissingOrBadValue) {
    const test::TempDir program;
    const ProgramFolder programFolder(program.path());
    const QString home = defaultSaveDir();
    const Settings::WindowPlace current{40, 50, 417, 661};
    const std::vector<Row> rows = {
        {{"scan", "min_limit", [](const Settings& s) { return number(s.minLimit()); }},
         {{nullptr, "3"}, {"", "3"}, {"abc", "3"}, {"5,5", "3"}, {"0x10", "16"}, {"7", "7"}}},
        {{"settings dialog", "min_limit", [](const Settings& s) { return s.minLimitText(); }},
         {{nullptr, "3"}, {"", ""}, {"abc", "abc"}, {"7", "7"}}},
        {{"scan", "notdead_min_limit",
          [](const Settings& s) { return number(s.testersMinLimit()); }},
         {{nullptr, "20"}, {"", "20"}, {"abc", "20"}, {"30", "30"}}},
        {{"testers dialog", "notdead_min_limit",
          [](const Settings& s) { return s.testersMinLimitText(); }},
         {{nullptr, "20"}, {"", ""}, {"abc", "abc"}, {"30", "30"}}},
        // Testers mode is on for exactly "1": the readers compare the text.
        {{"main load, testers dialog, command line", "notdead",
          [](const Settings& s) { return s.testersModeText(); }},
         {{nullptr, "0"}, {"", ""}, {"\" 1\"", " 1"}, {"1", "1"}}},
        {{"exports, settings dialog", "save_dir", [](const Settings& s) { return s.saveDir(); }},
         {{nullptr, home}, {"", ""}, {"/lists/", "/lists/"}}},
        {{"main load's check", "save_dir",
          [&programFolder](const Settings& s) { return s.saveDirToCheck(programFolder); }},
         {{nullptr, programFolder.dir()}, {"", ""}, {"/lists/", "/lists/"}}},
        {{"scans, exports, settings dialog", "separator_G_A",
          [](const Settings& s) { return s.groupAlbumSeparator(); }},
         {{nullptr, "  \\  "}, {"", ""}, {"  \\  ", "\\"}, {"\" - \"", " - "}}},
        {{"base commands", "separator_G_A",
          [](const Settings& s) { return s.groupAlbumSeparatorForBases(); }},
         {{nullptr, "  \\"}, {"", ""}, {"\" - \"", " - "}}},
        {{"TXT export, settings dialog", "separator",
          [](const Settings& s) { return s.txtSeparator(); }},
         {{nullptr, " | "}, {"", ""}, {" ; ", ";"}, {"\" ; \"", " ; "}}},
        {{"scans, settings dialog", "tagEncoding",
          [](const Settings& s) { return number(static_cast<int>(s.tagEncoding())); }},
         {{nullptr, number(static_cast<int>(codepage::Choice::Auto))},
          {"", number(static_cast<int>(codepage::Choice::Auto))},
          {"latin9", number(static_cast<int>(codepage::Choice::Auto))},
          {"koi8-r", number(static_cast<int>(codepage::Choice::Koi8R))}}},
        {{"exports, settings dialog", "postLimit",
          [](const Settings& s) { return number(s.postLimit()); }},
         {{nullptr, "0"}, {"", "0"}, {"abc", "0"}, {"-5", "0"}, {"60000", "60000"}}},
        {{"scans, settings dialog", "requestsInFlight",
          [](const Settings& s) { return number(s.requestsInFlight()); }},
         {{nullptr, "0"}, {"", "0"}, {"abc", "0"}, {"-3", "0"}, {"8", "8"}}},
        {{"music workbook export", "checkexcel",
          [](const Settings& s) { return flag(s.spreadsheetCheck()); }},
         {{nullptr, "false"}, {"", "false"}, {"abc", "false"}, {"2", "true"}}},
        {{"HTML export, settings dialog", "mp3list_name_htm",
          [](const Settings& s) { return s.outputName(outputNames::musicHtml); }},
         {{nullptr, "mp3list.htm"}, {"", ""}, {"a.htm", "a.htm"}}},
        {{"workbook export, settings dialog", "mp3workbookname",
          [](const Settings& s) { return s.outputName(outputNames::musicSheet); }},
         {{nullptr, "music"}, {"", ""}, {"Мои", "Мои"}}},
        {{"JSON export, settings dialog", "videolist_name_json",
          [](const Settings& s) { return s.outputName(outputNames::videoJson); }},
         {{nullptr, "videolist.json"}, {"", ""}, {"v.json", "v.json"}}},
        // The toggles: off when absent, except three that are on.
        {{"main load, command line", "albumboldfont",
          [](const Settings& s) { return flag(s.toggles().albumBoldFont); }},
         {{nullptr, "true"}, {"", "true"}, {"abc", "true"}, {"0", "false"}}},
        {{"main load, command line", "foldDiscs",
          [](const Settings& s) { return flag(s.toggles().foldDiscs); }},
         {{nullptr, "true"}, {"abc", "true"}, {"0", "false"}}},
        {{"main load, command line", "albumTotals",
          [](const Settings& s) { return flag(s.toggles().albumTotals); }},
         {{nullptr, "false"}, {"abc", "false"}, {"1", "true"}}},
        {{"main load, command line", "otherFormats",
          [](const Settings& s) { return flag(s.toggles().otherFormats); }},
         {{nullptr, "true"}, {"0", "false"}}},
        {{"main load, command line", "musicInCat",
          [](const Settings& s) { return flag(s.toggles().musicInCat); }},
         {{nullptr, "false"}, {"", "false"}, {"abc", "false"}, {"0x1", "true"}}},
        {{"main load", "keepLists", [](const Settings& s) { return flag(s.keepLists()); }},
         {{nullptr, "true"}, {"abc", "true"}, {"0", "false"}}},
        {{"main load", "Maximized", [](const Settings& s) { return flag(s.maximized()); }},
         {{nullptr, "false"}, {"abc", "false"}, {"1", "true"}}},
        {{"main load", "FormPosTop",
          [&current](const Settings& s) { return number(s.windowPlace(current).top); }},
         {{nullptr, "40"}, {"", "40"}, {"abc", "40"}, {"120", "120"}}},
        {{"main load", "FormWidth",
          [&current](const Settings& s) { return number(s.windowPlace(current).width); }},
         {{nullptr, "661"}, {"1e3", "661"}, {"800", "800"}}},
        {{"main load", "mp3dir", [](const Settings& s) { return s.musicRoot(); }},
         {{nullptr, ""}, {"/music/", "/music/"}}},
        {{"main load", "musicColumnWidths",
          [](const Settings& s) { return widths(s.columnWidths(true)); }},
         {{nullptr, ""}, {"", ""}, {"0,60, 0,abc", "0 60 0 0"}}},
    };
    for (const Row& row : rows) {
        for (const Case& c : row.cases) {
            test::TempDir dir;
            std::string text = "[options]\r\n";
            if (c.value != nullptr)
                text += std::string(row.reader.key) + '=' + c.value + "\r\n";
            // set.ini is Windows-1251.
            SettingsFile file(dir.write(QStringLiteral("set.ini"),
                                        text::toCp1251(QString::fromUtf8(text.c_str()))));
            EXPECT_EQ(row.reader.read(Settings(file)), c.expected)
                << row.reader.who << ": " << row.reader.key << " = "
                << (c.value != nullptr ? c.value : "(absent)");
        }
    }
}

// The main save writes its keys in this order into a fresh file, and the dialogs theirs: the
// order of the lines the user finds in set.ini.
TEST(Settings, WritesKeepTheirOrderAndBytes) {
    test::TempDir dir;
    SettingsFile file(dir.file(QStringLiteral("set.ini")));
    Settings settings(file);
    Toggles toggles;
    toggles.showVBR = true;
    settings.setToggles(toggles);
    settings.setMusicRoot(QStringLiteral("/music/"));
    settings.setVideoFolder(QString());
    settings.setWindowPlace({40, 50, 417, 661});
    settings.setMaximized(false);
    settings.setColumnWidths(true, {0, 60});
    settings.setColumnWidths(false, {});
    settings.setKeepLists(true);
    EXPECT_EQ(dir.read(QStringLiteral("set.ini")),
              QByteArray("[options]\r\nalbumuppercase=0\r\nalbumboldfont=1\r\nyearInColumn=0\r\n"
                         "artistFromID3=0\r\nmusicInCat=0\r\nshowVBR=1\r\nshowGroupNotAlbum=0\r\n"
                         "otherFormats=1\r\nmp3NamesOnly=0\r\ntxtUtf8=0\r\nallVideoFiles=0\r\n"
                         "bbcodeSpoilers=0\r\nfoldDiscs=1\r\nalbumTotals=0\r\nmp3dir=/music/\r\n"
                         "videodir=\r\n"
                         "FormPosTop=40\r\nFormPosLeft=50\r\nFormHeight=417\r\nFormWidth=661\r\n"
                         "Maximized=0\r\nmusicColumnWidths=0,60\r\nvideoColumnWidths=\r\n"
                         "keepLists=1\r\n"));

    test::TempDir other;
    SettingsFile otherFile(other.file(QStringLiteral("set.ini")));
    Settings written(otherFile);
    written.setTestersMode(true);
    written.setTestersMinLimitText(QStringLiteral("abc"));
    written.setMinLimitText(QStringLiteral("5"));
    written.setOutputName(outputNames::musicSheet, QStringLiteral("Мои"));
    written.setPostLimit(60000);
    written.setSaveDir(QStringLiteral("/lists/"));
    written.setTxtSeparator(QStringLiteral(" ; "));
    written.setGroupAlbumSeparator(QStringLiteral("\" - "));
    written.setTagEncoding(codepage::Choice::Koi8R);
    EXPECT_EQ(other.read(QStringLiteral("set.ini")),
              QByteArray("[options]\r\nnotdead=1\r\nnotdead_min_limit=abc\r\nmin_limit=5\r\n"
                         "mp3workbookname=\xCC\xEE\xE8\r\npostLimit=60000\r\nsave_dir=/lists/\r\n"
                         "separator=\" ; \"\r\nseparator_G_A=\" - \"\r\ntagEncoding=koi8-r\r\n"));
    // What was written reads back as written.
    EXPECT_EQ(written.txtSeparator(), QStringLiteral(" ; "));
    EXPECT_EQ(written.groupAlbumSeparator(), QStringLiteral(" - "));
    EXPECT_EQ(written.outputName(outputNames::musicSheet), QStringLiteral("Мои"));
    EXPECT_EQ(written.tagEncoding(), codepage::Choice::Koi8R);
}

// The recent roots take a slot each, newest first; a slot is written only when it holds a root
// or held one, so a list that never scanned adds no line.
TEST(Settings, RecentRootsRoundTripWithoutEmptySlots) {
    test::TempDir dir;
    SettingsFile file(dir.file(QStringLiteral("set.ini")));
    Settings settings(file);
    settings.setRecentRoots(true, {});
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("set.ini"))));
    settings.setRecentRoots(true, {QStringLiteral("/музыка/"), QStringLiteral("/b/")});
    EXPECT_EQ(dir.read(QStringLiteral("set.ini")),
              QByteArray("[options]\r\nrecentMusic1=/\xEC\xF3\xE7\xFB\xEA\xE0/\r\n"
                         "recentMusic2=/b/\r\n"));
    EXPECT_EQ(settings.recentRoots(true), (QStringList{"/музыка/", "/b/"}));
    EXPECT_TRUE(settings.recentRoots(false).isEmpty());
    const QStringList many{"/1", "/2", "/3", "/4", "/5", "/6"};
    settings.setRecentRoots(false, many);
    EXPECT_EQ(settings.recentRoots(false), many.first(Settings::kRecentRoots));
    settings.setRecentRoots(true, {QStringLiteral("/b/")});
    EXPECT_EQ(settings.recentRoots(true), QStringList{"/b/"}) << "the old second slot emptied";
}
