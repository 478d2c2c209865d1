#pragma once

#include "catalogue/CatalogueUpdate.h"
#include "catalogue/ListHistory.h"
#include "settings/Toggles.h"

#include <QWidget>

#include <functional>
#include <stop_token>

class QAction;
class QDialog;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace korvane {

class CatalogueList;
class Desktop;
class Job;
class ListColumns;
class ListFilter;
class PageScanHost;
class RowEditor;
class SettingsFile;

// What a page needs from the window around it: the status bar, the window's caption, the
// settings and the desktop.
class PageFrame {
public:
    virtual ~PageFrame() = default;
    virtual Desktop& desktop() = 0;
    virtual SettingsFile& settings() = 0;
    virtual Toggles toggles() const = 0;
    virtual QString testersModeText() const = 0;
    virtual void setStatusText(const QString& text) = 0;
    virtual QString statusText() const = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressValue(int value) = 0;
    virtual void setExportMenuEnabled(bool enabled) = 0;
    // A list was emptied: the export menu goes off once no list holds rows.
    virtual void listEmptied() = 0;
    virtual bool isClosing() const = 0;
    virtual int execModal(QDialog& dialog) = 0;
};

// A scan or an update as the page runs it: `work` on the job's thread, reporting to the host,
// then `apply` on the window's thread, which puts the outcome into the list.
struct RunOutcome {
    bool stopped = false;
    bool refreshed = false; // a root the list held was refreshed in place
    UpdateCounts counts;
    QString firstFileFolder; // where the first file was found; empty: the root stays
    int smallFolders = 0;    // album folders left out as too small
};
struct PageRun {
    std::function<void(PageScanHost& host, const std::stop_token& stop,
                       const EmptyRootCheck& mayEmpty)>
        work;
    std::function<RunOutcome()> apply;
};

// What differs between the music and the video page.
struct ListPageKind {
    QString name;             // the tab's caption and the list's name in texts: "music"
    int headerRole = 0;       // the role that marks category header rows; 0: none
    QString firstScanCaption; // the scan button on an empty list
    QString scanCaption;      // the scan button once the list holds rows
    // The "Создать лист" menu's command once the list holds rows; empty: it keeps its caption.
    QString scanMenuCaption;
    QString clearCaption;
    QString scanToolTip;
    QString pickerTitle;
    int scanMinimumWidth = 0;
    // The music page's way: the list's commands and the export menu are off from the start of a
    // scan, which says it is searching at once and beeps at its end; a cleared list's scan button
    // starts afresh; the columns fit after an update too. The video page leaves its commands on,
    // says it is searching when the files are probed and keeps the caption of its button.
    bool commandsOffWhileScanning = false;
    // A cancelled folder picker turns the page's commands on (the video page's way).
    bool cancelledPickerEnablesCommands = false;
    bool followsNewRows = false; // the view scrolls to the newest rows as they come
    bool asksBeforeSortingCategories = false;
    bool rootWithSeparator = false; // the scanned root is kept with a final separator

    std::function<PageRun(ListRunPlan plan)> makeRun;
    std::function<int()> count; // the items the caption counts
    // The status text's note after a scan; empty for none.
    std::function<QString()> scanNote;
    // The row editor: shows a row (false: the row is not edited), and what follows a saving.
    RowEditor* editor = nullptr;
    std::function<bool(int row)> showInEditor;
    std::function<void(int row)> saved;
};

// One list's page: its table view through the filter, the filter field above it, the scan, clear
// and export buttons under it, the row menu, and the job its scans and updates run on. The
// window's status bar and caption are reached through the frame.
class ListPage : public QWidget {
    Q_OBJECT
public:
    ListPage(ListPageKind kind, CatalogueList& list, PageFrame& frame, QWidget* parent);

    const ListPageKind& kind() const { return m_kind; }
    CatalogueList& list() { return m_list; }
    Job& job() { return *m_job; }
    QTableView* view() const { return m_view; }
    QLineEdit* filterField() const { return m_filterField; }
    ListFilter* filter() const { return m_filter; }
    ListColumns* columns() const { return m_columns; }
    QPushButton* scanButton() const { return m_scanButton; }
    QPushButton* clearButton() const { return m_clearButton; }
    QPushButton* exportButton() const { return m_exportButton; }
    QMenu* rowMenu() const { return m_rowMenu; }
    QAction* editAction() const { return m_editAction; }
    QAction* deleteAction() const { return m_deleteAction; }
    QMenu* exportPopup() const { return m_exportPopup; }

    // The window's menu commands of this list, kept in step with the page.
    struct MenuCommands {
        QAction* scan = nullptr; // "Создать лист" -> the list's command
        QAction* update = nullptr; // "Обновить коллекцию" or "Обновить клипы"
        QAction* clear = nullptr; // as the clear button
        QMenu* exports = nullptr; // "Экспорт" -> the list's menu
    };
    void setMenuCommands(const MenuCommands& commands);
    // The export button's menu, made by the window.
    void setExportPopup(QMenu* popup);

    // The folder last scanned (or to be scanned).
    const QString& root() const { return m_root; }
    void setRoot(const QString& root) { m_root = root; }
    // The roots scanned last, the newest first (Settings::kRecentRoots at most).
    const QStringList& recentRoots() const { return m_recentRoots; }
    void setRecentRoots(const QStringList& roots) { m_recentRoots = roots; }
    // The column the list was last sorted by.
    int sortColumn() const { return m_sortColumn; }

    // The scan button and the scan command: a stop request while a scan runs, else the picker.
    void scanClicked();
    // The menu that holds the scan command opens: a choice made in it while a scan runs is a stop
    // request, even when it arrives after the scan ended.
    void armStop();
    // A scan of root, chosen in the picker or dropped on the page.
    void scanRoot();
    // No scan runs and the button is on.
    bool scanCanStart() const;
    void updateClicked();
    void clearClicked();
    // Before a command by hand changes the list (delete, clear, edit, sort, a base fill): what
    // Ctrl+Z goes back to.
    void recordHistory();
    // Ctrl+Z and Ctrl+Shift+Z: the list as it was before the last command, or after it again.
    // Refused while a scan or an update runs.
    void undo();
    void redo();
    const ListHistory& history() const { return m_history; }
    // The page came to the front.
    void shown();
    // The page's state once its list holds rows: after a scan, an update or a restore.
    void listFilled();
    // "В music коллекции: N позиций", with a note while the list is the outcome of a stopped scan.
    void showCount();
    // The clear and export buttons and the list's export menu together.
    void setListCommandsEnabled(bool enabled);
    // A second long command on the list while its job runs is refused with a status text.
    bool refuseWhileRunning();

    // The list in the desktop's font (the application's, followed as it changes) rather than
    // the window's.
    void setDesktopFont(bool on);

    void showFilter();
    // The list's row shown at a row of the view; the row chosen in the view (-1: none); a row
    // chosen (the selection is cleared when the filter hides it).
    int listRow(int viewRow) const;
    int selectedRow() const;
    void selectRow(int row);

signals:
    void recentRootsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class PageScanHost;
    void applyFont();
    void buildView();
    void buildButtons();
    void run(ListRunPlan plan);
    void runEnded(const RunOutcome& outcome, bool update);
    // After a scan, and after a picker cancelled on the video page: the commands are on again.
    void commandsOn();
    // The list emptied: the page as before its first scan.
    void emptied();
    // After an undo or a redo: the page follows what the list now holds.
    void historyStepTaken(const QString& status);
    void setScanEnabled(bool enabled);
    // From the start of a scan or an update: the scan button is the stop button.
    void offerStop();
    bool confirmEmptyRoot(const QString& root);
    void headerClicked(int column);
    void editClicked();
    void deleteClicked();
    void rowMenuRequested(const QPoint& position);
    void filterChanged();
    void closeFilter();

    ListPageKind m_kind;
    CatalogueList& m_list;
    PageFrame& m_frame;
    Job* m_job = nullptr;
    QString m_root;
    QStringList m_recentRoots;

    QTableView* m_view = nullptr;
    QLineEdit* m_filterField = nullptr;
    ListFilter* m_filter = nullptr;
    ListColumns* m_columns = nullptr;
    QPushButton* m_scanButton = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QMenu* m_rowMenu = nullptr;
    QAction* m_editAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QMenu* m_exportPopup = nullptr;
    MenuCommands m_menu;

    // The scan command was pressed while a scan ran: its click is a stop request, even when it
    // arrives after the scan ended.
    bool m_stopArmed = false;
    bool m_partial = false; // the last scan was stopped
    int m_sortColumn = 0;
    ListHistory m_history;
    bool m_desktopFont = false;
    QString m_statusBeforeFilter; // the status text the filter's count stands in for
};

// "Korvane v.0.984  by Zelmir  (...)": the caption at start and after a list is cleared.
QString titleCaption();

// Added to the item count in the caption while a list is the outcome of a stopped scan.
QString partialListNote();

// Where an export button's menu opens: at the pointer after a click, under the button when it was
// pressed from the keyboard.
QPoint exportPopupPosition(const QPushButton* button);

} // namespace korvane
