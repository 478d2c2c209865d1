#pragma once

#include "app/InterfaceLanguage.h"
#include "app/ListPage.h"
#include "app/WindowUi.h"
#include "bases/BaseFill.h"
#include "session/CatalogueSession.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QMimeData;
class QTimer;

namespace korvane {

namespace exporter {
struct ExportFormatRow;
} // namespace exporter

class BaseFillDialog;
class CatalogueStore;
class DuplicatesWindow;
class MusicList;
class SettingsDialog;
class StatsWindow;
class TestersDialog;
class VideoList;
struct StoredList;

// `lastWrittenFile`: the file most recently written by an HTML or TXT export, opened by a double
// click on the status text.
struct FileCreatedRecord {
    bool created = false;
    QString path;
};

// The message when no application took a written file; its box offers to open the folder.
QString fileNotOpenedMessage(const QString& path);

// The main window: the frame around the "music" and "video" pages (ListPage): the menus, the
// status bar, drag and drop, the geometry. The menus and the commands over a whole list live in
// files of their own (MainWindowMenus.cpp, MainWindowExport.cpp, MainWindowBases.cpp,
// MainWindowCollection.cpp, MainWindowCatalogue.cpp).
class MainWindow : public QMainWindow, public PageFrame {
    Q_OBJECT
public:
    // The language the window speaks from its start: the setting's, or the desktop's.
    InterfaceLanguage interfaceLanguage();
    using Ui = WindowUi;

    MainWindow(const ProgramFolder& programFolder, Desktop& desktop, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The main load: geometry, folders, testers mode, toggles, the save_dir check. Runs once at
    // start-up; after our modal dialogs only what they write is refreshed (refreshAfterDialog).
    void mainLoad();
    // The main save; runs on the close request.
    void mainSave();

    // The catalogue (korvane.db): both lists as they were at the last exit, put back once the
    // window is shown; and stored again after each command and at exit, while keepLists is on.
    void restoreLists();
    void storeLists();
    void showStoredLists(std::optional<StoredList> music, std::optional<StoredList> video);

    const Ui& ui() const { return m_ui; }
    ListPage& musicPage() { return *m_musicPage; }
    ListPage& videoPage() { return *m_videoPage; }
    CatalogueSession& session() override { return m_session; }
    MusicList& musicList() { return m_session.musicList(); }
    VideoList& videoList() { return m_session.videoList(); }
    // The long work on each list, one job at a time per list.
    Job& musicJob() { return m_musicPage->job(); }
    Job& videoJob() { return m_videoPage->job(); }
    const ProgramFolder& programFolder() const { return m_session.programFolder(); }
    BaseFillDialog& baseFillDialog() { return *m_baseFillDialog; }

    Toggles toggles() const override;
    void setToggles(const Toggles& toggles);

    QString testersMode; // notdead: exactly "1" turns testers mode on
    FileCreatedRecord lastWrittenFile;

    // Hands a written file to the desktop's application for it; when none takes it, shows where
    // the file lies (with a button for its folder) and answers false.
    bool openWrittenFile(const QString& path);

    // What the pages reach of the window (PageFrame).
    Desktop& desktop() override { return m_desktop; }
    SettingsFile& settings() override { return m_session.settingsFile(); }
    QString testersModeText() const override { return testersMode; }
    void setStatusText(const QString& text) override;
    QString statusText() const override;
    void setCaption(const QString& caption) override { setWindowTitle(caption); }
    // The scans' progress range; an empty one would turn the bar into Qt's endless busy show.
    void setProgressMaximum(int maximum) override;
    void setProgressValue(int value) override;
    void setExportMenuEnabled(bool enabled) override;
    void listEmptied() override;
    bool isClosing() const override { return m_closing; }
    // Shows one of our modal dialogs, then refreshes what dialogs write.
    int execModal(QDialog& dialog) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPages();
    void buildStatusBar();
    void buildMenus();
    void buildLanguageMenu();
    void buildCollectionMenu();
    void connectCommands();
    void fillRecentMenu();
    void refreshAfterDialog();
    void checkSaveDir();
    void manualClicked();
    ListPage& currentPage();
    // A folder dropped from a file manager: the current page scans it as if it had been chosen.
    bool dropWanted(const QMimeData* data);
    void folderDropped(const QString& folder);

    // Exports (MainWindowExport.cpp): a menu's items, one per format of the table, closed by the
    // "Сохранить как..." sub-menu it returns; a format written to its fixed name, or to `path`;
    // a format written where the save dialog says; "Копировать для форума" (the BBCode post, or
    // its first part, on the clipboard).
    QMenu* addMusicOrVideoExports(QMenu* menu, bool music, bool buttonCaptions);
    void exportList(const exporter::ExportFormatRow& format, bool music, const QString& path = {});
    void saveListAs(const exporter::ExportFormatRow& format, bool music);
    void exportWorkbook(bool music);
    void copyForumPost(bool music);
    ListPage& page(bool music);
    ExportSource exportedList(bool music, bool publishable);
    void markIfChosen(bool music);

    // Bases (MainWindowBases.cpp): a fill from a base, a base saved from the music list.
    void fillFromBase(bases::BaseKind kind, bases::FillMode mode, const QString& question);
    void saveBaseFromList(bases::BaseKind kind);

    // Statistics and duplicates of the music list (MainWindowCollection.cpp), in windows of
    // their own made on first use.
    void showStats();
    void showDuplicates();

    // The catalogue (MainWindowCatalogue.cpp), opened on first use; the lists' changes stored.
    CatalogueStore* catalogue();
    void watchLists();
    void listChanged();

    Desktop& m_desktop;
    // Both lists, set.ini and korvane.db; the lists are children of the window.
    CatalogueSession m_session;
    SettingsFile& m_settings;
    Ui m_ui;
    MusicList* m_musicList = nullptr;
    VideoList* m_videoList = nullptr;
    ListPage* m_musicPage = nullptr;
    ListPage* m_videoPage = nullptr;
    // Dialogs created once with the window and reused; the window owns them as their parent.
    std::unique_ptr<SettingsDialog> m_settingsDialog;
    std::unique_ptr<TestersDialog> m_testersDialog;
    BaseFillDialog* m_baseFillDialog = nullptr;
    StatsWindow* m_statsWindow = nullptr;
    DuplicatesWindow* m_duplicatesWindow = nullptr;
    // set.ini was there but could not be read, and the user was told at start.
    bool m_unreadableSettingsReported = false;
    bool m_closing = false;
    QTimer* m_storeTimer = nullptr;
};

} // namespace korvane
