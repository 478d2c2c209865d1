#pragma once

#include "bases/BaseFile.h"
#include "bases/BaseFill.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/Toggles.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimer;
class QDialog;

namespace korvane {

namespace exporter {
struct ExportFormatRow;
} // namespace exporter

class Desktop;
class ListColumns;
class ListFilter;
class MusicList;
class VideoList;
class SettingsDialog;
class TestersDialog;
class MusicRowEditor;
class VideoRowEditor;
class StatsWindow;
class DuplicatesWindow;
class BaseFillDialog;
class CatalogueStore;
class Job;
class MusicRun;
class VideoRun;
struct MusicUpdateResult;
struct VideoUpdateResult;
struct StoredList;

// `lastWrittenFile`: the file most recently written by an HTML or TXT export, opened by a double
// click on the status text.
struct FileCreatedRecord {
    bool created = false;
    QString path;
};

// "Korvane v.0.984  by Zelmir  (...)": the caption at start and after a list is cleared.
QString titleCaption();

// The message when no application took a written file; its box offers to open the folder.
QString fileNotOpenedMessage(const QString& path);

// Where an export button's menu opens: at the pointer after a click, under the button when it was
// pressed from the keyboard.
QPoint exportPopupPosition(const QPushButton* button);

// Added to the item count in the caption while a list is the outcome of a stopped scan.
QString partialListNote();

// The main window: menus, the "music" and "video" pages with their lists and buttons,
// the status bar. Every command is a handler here; the handlers of each subsystem live in a file
// of their own (MainWindowMusic.cpp, MainWindowVideo.cpp, MainWindowExport.cpp,
// MainWindowBases.cpp) and call that subsystem's logic.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Widgets and actions, reachable by the handler files and by tests.
    struct Ui {
        QTabWidget* pages = nullptr;
        QTableView* musicView = nullptr;
        QTableView* videoView = nullptr;
        QPushButton* musicScanButton = nullptr; // "Создать лист с music коллекцией"
        QPushButton* musicClearButton = nullptr;  // "Очистить music лист"
        QPushButton* musicExportButton = nullptr; // "Экспорт в ..."
        QPushButton* videoScanButton = nullptr;   // "Добавить Клипы"
        QPushButton* videoClearButton = nullptr;  // "Очистить video лист"
        QPushButton* videoExportButton = nullptr; // "Экспорт в ..."
        QProgressBar* progressBar = nullptr;      // status panel 0
        QLabel* statusText = nullptr;             // status panel 1

        QMenu* fileMenu = nullptr;          // "Файл"
        QMenu* exportMenu = nullptr;        // "Экспорт"
        QMenu* musicExportMenu = nullptr;   // "music листа"
        QMenu* videoExportMenu = nullptr;   // "video листа"
        QMenu* settingsMenu = nullptr;      // "Настройки"
        QMenu* basesMenu = nullptr;         // "База данных"
        QMenu* helpMenu = nullptr;          // "Справка"
        QAction* manualAction = nullptr;    // "Руководство" (F1)
        QAction* aboutAction = nullptr;     // "О программе"
        QAction* musicScanAction = nullptr; // "с music коллекцией"
        QAction* videoScanAction = nullptr; // "с video коллекцией"
        QAction* exitAction = nullptr;      // "Выход", Ctrl+Q
        QAction* settingsAction = nullptr;  // "Настройки", Ctrl+P
        QAction* testersAction = nullptr;   // "Для тестеров"

        QMenu* collectionMenu = nullptr;     // "Коллекция"
        QAction* statsAction = nullptr;      // "Статистика"
        QAction* duplicatesAction = nullptr; // "Найти дубликаты"

        QAction* artistFromID3 = nullptr;
        QAction* yearInColumn = nullptr;
        QAction* albumUppercase = nullptr;
        QAction* albumBoldFont = nullptr;
        QAction* musicInCat = nullptr;
        QAction* showVBR = nullptr;
        QAction* showGroupNotAlbum = nullptr;
        QAction* otherFormats = nullptr;
        QAction* mp3NamesOnly = nullptr;
        QAction* foldDiscs = nullptr;
        QAction* txtUtf8 = nullptr;
        QAction* allVideoFiles = nullptr;
        QAction* bbcodeSpoilers = nullptr; // "Категории для форума под спойлерами"
        // In every export menu: the Unicode exports write what changed since the last post;
        // each of them marks the list as published.
        QAction* sincePublished = nullptr; // "Новое с последней публикации"
        QAction* markPublished = nullptr;  // "Отметить как опубликованный"

        ListColumns* musicColumns = nullptr;
        ListColumns* videoColumns = nullptr;
        QAction* keepLists = nullptr; // "Помнить списки между запусками"
        QAction* musicUpdateAction = nullptr; // "Обновить коллекцию"
        QAction* videoUpdateAction = nullptr; // "Обновить клипы"

        QMenu* musicContextMenu = nullptr;
        QAction* musicEditAction = nullptr;   // "Редактировать", Ctrl+E
        QAction* musicDeleteAction = nullptr; // "Удалить", Del
        QMenu* videoContextMenu = nullptr;
        QAction* videoEditAction = nullptr;
        QAction* videoDeleteAction = nullptr;
        QMenu* musicExportPopup = nullptr; // the export button's menu
        QMenu* videoExportPopup = nullptr;

        // The filter above each list, hidden until Ctrl+F; Esc clears and hides it.
        QAction* filterAction = nullptr; // Ctrl+F
        QLineEdit* musicFilterField = nullptr;
        QLineEdit* videoFilterField = nullptr;
        ListFilter* musicFilter = nullptr;
        ListFilter* videoFilter = nullptr;
    };

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
    // A write of korvane.db through a connection of its own (the published snapshot): the
    // window's next store does not take it for another program's newer list.
    bool writeBesideCatalogue(const std::function<bool()>& write);
    void showStoredLists(std::optional<StoredList> music, std::optional<StoredList> video);

    const Ui& ui() const { return m_ui; }
    MusicList& musicList() { return *m_musicList; }
    VideoList& videoList() { return *m_videoList; }
    SettingsFile& settings() { return m_settings; }
    const ProgramFolder& programFolder() const { return m_programFolder; }
    Desktop& desktop() { return m_desktop; }
    // The long work on each list, one job at a time per list.
    Job& musicJob() { return *m_musicJob; }
    Job& videoJob() { return *m_videoJob; }

    Toggles toggles() const;
    void setToggles(const Toggles& toggles);

    // Program-wide values of the main load.
    QString musicRoot;   // mp3dir
    QString videoFolder; // videodir
    QString testersMode; // notdead: exactly "1" turns testers mode on
    FileCreatedRecord lastWrittenFile;
    int sortColumn = 0; // the column last clicked in either list

    void setStatusText(const QString& text);
    QString statusText() const;
    // "В music коллекции: N позиций" and the same for video, N counting album rows only, with a
    // note while the list is the outcome of a stopped scan.
    void showMusicCount();
    void showVideoCount();
    // The scans' progress range; an empty one would turn the bar into Qt's endless busy show.
    void setProgressMaximum(int maximum);
    // Enables or disables the clear and export buttons and the "music листа" sub-menu together.
    void setMusicListCommandsEnabled(bool enabled);
    void setVideoListCommandsEnabled(bool enabled);
    void setExportMenuEnabled(bool enabled);
    // Hands a written file to the desktop's application for it; when none takes it, shows where
    // the file lies (with a button for its folder) and answers false.
    bool openWrittenFile(const QString& path);
    // Shows one of our modal dialogs, then refreshes what dialogs write.
    int execModal(QDialog& dialog);

    BaseFillDialog& baseFillDialog() { return *m_baseFillDialog; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildPages();
    void buildStatusBar();
    void connectCommands();
    void refreshAfterDialog();
    void checkSaveDir();
    void openCreatedFile();
    void manualClicked();

    // Music page (MainWindowMusic.cpp).
    void musicScanClicked();
    void musicClearClicked();
    void musicHeaderClicked(int column);
    void musicEditClicked();
    void musicDeleteClicked();
    void musicContextMenuRequested(const QPoint& position);
    void musicPageShown();
    // The scan of musicRoot, chosen in the picker or dropped on the page.
    void scanMusicRoot();
    // No scan runs (the listing disables the button, the album phase makes it the stop button).
    bool musicScanCanStart() const;
    void musicUpdateClicked();
    // An update found root there but without any of its rows' albums or clips (a disk that is
    // not mounted leaves an empty folder): true when the user wants its rows removed.
    bool confirmEmptyRoot(const QString& root);
    // The page's state once its list holds rows: after a scan, an update or a restore.
    void musicListFilled();

    // Video page (MainWindowVideo.cpp).
    void videoScanClicked();
    void videoClearClicked();
    void videoHeaderClicked(int column);
    void videoEditClicked();
    void videoDeleteClicked();
    void videoContextMenuRequested(const QPoint& position);
    void videoPageShown();
    // The scan of videoFolder, chosen in the picker or dropped on the page, on the video job.
    void scanVideoFolder();
    void finishVideoScan();
    bool videoScanCanStart() const;
    // A folder dropped from a file manager: the current page scans it as if it had been chosen.
    void folderDropped(const QString& folder);
    bool dropWanted(const QMimeData* data) const;
    void videoUpdateClicked();

    // Exports (MainWindowExport.cpp).
    // The menus' items, one per format of the table, on the music or the video list.
    QMenu* addMusicOrVideoExports(QMenu* menu, bool music, bool buttonCaptions);
    // A format of the table on the list: the file recorded for the double click and announced;
    // the workbook goes to the spreadsheet application (exportWorkbook).
    void exportList(const exporter::ExportFormatRow& format, bool music);
    void exportWorkbook(bool music);
    // "Копировать для форума": the BBCode post, or its first part, on the clipboard.
    void copyForumPost(bool music);

    // Bases (MainWindowBases.cpp): fill genre where missing / everywhere, country likewise, save
    // the genre base, save the country base.
    void fillMissingGenresClicked();
    void fillAllGenresClicked();
    void fillMissingCountriesClicked();
    void fillAllCountriesClicked();
    void saveGenreBaseClicked();
    void saveCountryBaseClicked();

    ProgramFolder m_programFolder;
    Desktop& m_desktop;
    SettingsFile m_settings;
    Ui m_ui;
    MusicList* m_musicList = nullptr;
    VideoList* m_videoList = nullptr;
    std::unique_ptr<SettingsDialog> m_settingsDialog;
    std::unique_ptr<TestersDialog> m_testersDialog;
    // set.ini was there but could not be read, and the user was told at start.
    bool m_unreadableSettingsReported = false;
    QString m_statusBeforeFilter; // the status text the filter's count stands in for
    bool m_closing = false;
    bool m_altAlone = false; // Alt is down and no other key was pressed since

    // Selection helpers of both lists. A view shows its list through the filter: rows of the
    // view are mapped to rows of the list.
    static int listRow(const QTableView* view, int viewRow);
    static int selectedRow(const QTableView* view);
    static void selectRow(QTableView* view, int row);
    void showFilter();
    void filterChanged(bool music);
    void closeFilter(QLineEdit* field, QTableView* view);
    // Opens a list's context menu with "Редактировать" and "Удалить" enabled when a row is
    // chosen; the actions serve the shortcuts too, so they are enabled again when it closes.
    void popupRowMenu(QMenu* menu, QTableView* view, QAction* edit, QAction* remove,
                      const QPoint& position);

    // Music scan state (MainWindowMusic.cpp).
    friend class MusicScanWindowHost;
    // A scan, an update or an addition on the music job, and its end on the window's thread.
    void runMusic(MusicRun run);
    void musicRunEnded(const MusicUpdateResult& result, bool update);
    // A second long command on a list whose job runs is refused with a status text.
    bool refuseWhileRunning(const Job& job);
    Job* m_musicJob = nullptr;
    // The scan command was pressed while a scan ran: its click is a stop request, even when it
    // arrives after the scan ended.
    bool m_musicStopArmed = false;
    bool m_musicListPartial = false; // the last scan was stopped

    // Video scan state (MainWindowVideo.cpp).
    friend class VideoScanWindowHost;
    void runVideo(VideoRun run);
    void videoRunEnded(const VideoUpdateResult& result, bool update);
    Job* m_videoJob = nullptr;
    bool m_videoStopArmed = false;
    bool m_videoListPartial = false;

    // The collection as a whole (MainWindowCollection.cpp): statistics and duplicates of the
    // music list, in windows of their own made on first use.
    void buildCollectionMenu();
    void showStats();
    void showDuplicates();
    StatsWindow* m_statsWindow = nullptr;
    DuplicatesWindow* m_duplicatesWindow = nullptr;

    // Bases (MainWindowBases.cpp).
    void fillFromBase(bases::BaseKind kind, bases::FillMode mode, const QString& question);
    void saveBaseFromList(bases::BaseKind kind);

    // Dialogs created once with the window and reused; the window owns them as their parent.
    BaseFillDialog* m_baseFillDialog = nullptr;
    MusicRowEditor* m_musicEditor = nullptr;
    VideoRowEditor* m_videoEditor = nullptr;

    // The catalogue (MainWindowCatalogue.cpp), opened on first use.
    CatalogueStore* catalogue();
    void listChanged();
    std::unique_ptr<CatalogueStore> m_catalogue;
    QTimer* m_storeTimer = nullptr;
    // The counts the caption showed last, stored with the lists.
};

} // namespace korvane
