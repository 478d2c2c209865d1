#pragma once

#include "settings/SettingsFile.h"
#include "settings/Toggles.h"
#include "text/CodePageDetector.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace korvane {

class ProgramFolder;

// "  \  ": two blanks, a backslash, two blanks (display text: the backslash is kept on every
// system).
inline const QString kDefaultGroupAlbumSeparator = QStringLiteral("  \\  ");
// " | "
inline const QString kDefaultTxtSeparator = QStringLiteral(" | ");

// The set.ini key of an export's file or sheet name. `fallback` is what the export uses when the
// key is absent, and the settings dialog shows it then too, so that "Применить" writes back the
// name in effect; `reset` is what "По умолчанию" puts in the field.
struct OutputNameKey {
    QStringView key;
    QString fallback;
    QString reset;
};

// The file names of the exports, one key per format and list.
namespace outputNames {
// The names "По умолчанию" puts back differ from the names the exports fall back to.
inline const OutputNameKey musicHtml{u"mp3list_name_htm", QStringLiteral("mp3list.htm"),
                                     QStringLiteral("musicList.htm")};
inline const OutputNameKey videoHtml{u"videolist_name_htm", QStringLiteral("VideoList.htm"),
                                     QStringLiteral("videoList.htm")};
inline const OutputNameKey musicTxt{u"mp3list_name_txt", QStringLiteral("mp3list.txt"),
                                    QStringLiteral("musicList.txt")};
inline const OutputNameKey videoTxt{u"videolist_name_txt", QStringLiteral("VideoList.txt"),
                                    QStringLiteral("videoList.txt")};
inline const OutputNameKey musicSheet{u"mp3workbookname", QStringLiteral("music"),
                                      QStringLiteral("Music")};
inline const OutputNameKey videoSheet{u"videoworkbookname", QStringLiteral("Video"),
                                      QStringLiteral("Video")};
// The Unicode exports came later: no older dialog set other names.
inline const OutputNameKey musicBbcode{u"mp3list_name_bbcode", QStringLiteral("mp3list.bbcode.txt"),
                                       QStringLiteral("mp3list.bbcode.txt")};
inline const OutputNameKey videoBbcode{u"videolist_name_bbcode",
                                       QStringLiteral("videolist.bbcode.txt"),
                                       QStringLiteral("videolist.bbcode.txt")};
inline const OutputNameKey musicPlain{u"mp3list_name_plain", QStringLiteral("mp3list.forum.txt"),
                                      QStringLiteral("mp3list.forum.txt")};
inline const OutputNameKey videoPlain{u"videolist_name_plain",
                                      QStringLiteral("videolist.forum.txt"),
                                      QStringLiteral("videolist.forum.txt")};
inline const OutputNameKey musicCsv{u"mp3list_name_csv", QStringLiteral("mp3list.csv"),
                                    QStringLiteral("mp3list.csv")};
inline const OutputNameKey videoCsv{u"videolist_name_csv", QStringLiteral("videolist.csv"),
                                    QStringLiteral("videolist.csv")};
inline const OutputNameKey musicJson{u"mp3list_name_json", QStringLiteral("mp3list.json"),
                                     QStringLiteral("mp3list.json")};
inline const OutputNameKey videoJson{u"videolist_name_json", QStringLiteral("videolist.json"),
                                     QStringLiteral("videolist.json")};
} // namespace outputNames

// Every key of set.ini with its type and its defaults, each written here once; the rest of the
// program asks these typed getters and never names a key. Several readers of one key use
// different defaults (as they always have): those keys have a getter per reader, and the
// comment says which. A view on a SettingsFile, which keeps the profile-string rules.
class Settings {
public:
    Settings(SettingsFile& file) : m_file(file) {}

    SettingsFile& file() const { return m_file; }

    // The main window's place and size, each read with the window's own value as the default.
    struct WindowPlace {
        int top = 0;
        int left = 0;
        int height = 0;
        int width = 0;
    };
    bool maximized() const; // Maximized: false
    void setMaximized(bool maximized);
    WindowPlace windowPlace(const WindowPlace& current) const;
    void setWindowPlace(const WindowPlace& place);

    QString musicRoot() const;   // mp3dir: ""
    QString videoFolder() const; // videodir: ""
    void setMusicRoot(const QString& folder);
    void setVideoFolder(const QString& folder);

    // notdead: a text, testers mode is on when it is exactly "1"; "0" when absent.
    QString testersModeText() const;
    void setTestersMode(bool on); // written as a boolean, "1" or "0"
    // notdead_min_limit: the scan reads the number (20 when absent or bad), the testers dialog
    // shows the text ("20" when absent) and writes what was typed.
    static constexpr int kTestersMinLimit = 20;
    int testersMinLimit() const;
    QString testersMinLimitText() const;
    void setTestersMinLimitText(const QString& text);

    // The check items of the "Настройки" menu, in the order of the main save.
    Toggles toggles() const;
    void setToggles(const Toggles& toggles);
    bool keepLists() const; // keepLists: true
    void setKeepLists(bool keep);
    // desktopFont: the lists take the desktop's font instead of the window's 8 pt; false. Written
    // when the user turns it, not by the main save.
    bool desktopFont() const;
    void setDesktopFont(bool on);
    // language: the interface's language, "auto" (the desktop's: Russian on a Russian desktop,
    // English elsewhere), "ru" or "en"; "auto" when absent or unknown. Read at start.
    enum class Language { Automatic, Russian, English };
    Language language() const;
    void setLanguage(Language language);
    // recentMusic1..5 / recentVideo1..5: the roots each list scanned last, the newest first, for
    // "Недавние папки"; empty slots are left out. A slot is written only when it holds a root or
    // held one before, so a program that never scanned writes none.
    static constexpr int kRecentRoots = 5;
    QStringList recentRoots(bool musicList) const;
    void setRecentRoots(bool musicList, const QStringList& roots);
    // musicColumnWidths / videoColumnWidths: "0,0,60,0,180" (0: as designed); empty when absent.
    QList<int> columnWidths(bool musicList) const;
    void setColumnWidths(bool musicList, const QList<int>& widths);

    // save_dir, the output folder, stored with a trailing separator. The exports and the
    // settings dialog fall back to defaultSaveDir(); the main load checks the folder with the
    // program's folder (no separator) as its default, so that an absent key passes the check.
    QString saveDir() const;
    QString saveDirToCheck(const ProgramFolder& programFolder) const;
    void setSaveDir(const QString& folder);
    // saveAsDir: the folder of the last "Сохранить как..."; empty when none was chosen yet.
    QString saveAsDir() const;
    void setSaveAsDir(const QString& folder);

    // min_limit: album folders of this many MiB or less are left out. The scan reads the number,
    // the settings dialog shows the text and writes what was typed (not validated). Absent, the
    // scan uses 3 and the dialog shows "3", the value in effect (the original dialog showed "5",
    // which "Применить" then wrote over the scan's 3); "По умолчанию" puts "3" in the field.
    static constexpr int kMinLimit = 3;
    int minLimit() const;
    QString minLimitText() const;
    void setMinLimitText(const QString& text);

    // The name under the key, or its fallback.
    QString outputName(const OutputNameKey& name) const;
    void setOutputName(const OutputNameKey& name, const QString& value);

    // separator_G_A and separator are stored in double quotes so that their blanks survive.
    // Absent, they read as "  \  " and " | "; the base commands read separator_G_A with the
    // unquoted default, which the trimming of an absent key's default shortens to "  \".
    QString groupAlbumSeparator() const;
    QString groupAlbumSeparatorForBases() const;
    QString txtSeparator() const;
    void setGroupAlbumSeparator(const QString& separator);
    void setTxtSeparator(const QString& separator);

    // tagEncoding, "Кодировка 8-битных тегов": the word of choiceName ("auto", "cp1251", ...);
    // Auto when the key is absent or holds another word. Read afresh by each scan.
    codepage::Choice tagEncoding() const;
    void setTagEncoding(codepage::Choice choice);

    // requestsInFlight: how many requests to the file system a scan keeps in flight (listings,
    // stats, reads); 0, absent, bad or negative: chosen by what the root is on. 1 is the serial
    // scan.
    int requestsInFlight() const;
    void setRequestsInFlight(int count);

    // postLimit: the largest forum post in characters; 0 (one file) when absent, bad or negative.
    int postLimit() const;
    void setPostLimit(int limit);

    // checkexcel: the music workbook export first asks whether a spreadsheet application is
    // registered; false when absent. Nothing writes it.
    bool spreadsheetCheck() const;

private:
    SettingsFile& m_file;
};

} // namespace korvane
