#pragma once

#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueUpdate.h"
#include "export/ExportFormats.h"
#include "music/MusicScan.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingsFile.h"
#include "settings/Toggles.h"
#include "video/VideoScan.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

class QObject;

namespace korvane {

class MusicList;
class Settings;
class VideoList;

enum class ListKind { Music, Video };

// What a scan reports while it runs, for the music and the video scan alike.
class ScanHost : public MusicScanHost, public VideoScanHost {
public:
    // One answer for both scans.
    void addRow(CatalogueRow) override {}
    void setStatusText(const QString&) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int) override {}
};

// What a scan or an update did, for the status text and the caption.
struct RunOutcome {
    bool stopped = false;
    bool refreshed = false; // a root the list held was refreshed in place
    UpdateCounts counts;
    QString firstFileFolder; // where the first file was found; empty: the root stays
    int smallFolders = 0;    // album folders left out as too small
};

// A scan or an update: `work` on any thread, reporting to the host, then `apply` on the lists'
// thread, which puts the outcome into the list.
struct ListRun {
    std::function<void(ScanHost& host, const std::stop_token& stop, const EmptyRootCheck& mayEmpty)>
        work;
    std::function<RunOutcome()> apply;
};

// What a front end chooses beside set.ini: the window's menu toggles and testers mode, the
// command line's options.
struct SessionChoices {
    Toggles toggles;
    QString testersMode = {};
    std::optional<codepage::Choice> tagEncoding = {}; // --encoding; empty: set.ini's
    std::optional<int> requestsInFlight = {};         // --jobs; empty: set.ini's
};

// The rows an export writes, owned by the export so that it can run off the lists' thread while
// the list goes on changing: the whole list, or what changed since it was last published.
struct ExportSource {
    ListKind kind = ListKind::Music;
    std::shared_ptr<CatalogueList> list;
    QString title;        // the posts' title; empty: the list's own
    qsizetype count = -1; // the posts' count; -1: every row
};

// How an export is written beside its rows.
struct ExportChoices {
    Toggles toggles;
    QString path = {};                       // empty: save_dir and the name of set.ini
    QString postTemplate = {};               // --template FILE; empty: the program folder's
    std::optional<qsizetype> postLimit = {}; // --post-limit N; empty: set.ini's
};

// The catalogue as both front ends work on it: the two lists, the program folder's set.ini and
// the stored catalogue (korvane.db), and the commands over them: scans and updates (as runs that
// a front end puts on a thread of its choice), sort, delete, restore, store and export. The
// window and korvane-cli drive it; neither calls the core functions itself.
class CatalogueSession {
public:
    // The lists are children of listParent when one is given (the window's views may outlive
    // this object while the window goes away), else owned here.
    explicit CatalogueSession(const ProgramFolder& programFolder, QObject* listParent = nullptr);
    ~CatalogueSession();
    CatalogueSession(const CatalogueSession&) = delete;
    CatalogueSession& operator=(const CatalogueSession&) = delete;

    const ProgramFolder& programFolder() const { return m_programFolder; }
    SettingsFile& settingsFile() { return m_settings; }
    MusicList& musicList() { return *m_music; }
    VideoList& videoList() { return *m_video; }
    CatalogueList& list(ListKind kind);
    const CatalogueList& list(ListKind kind) const;

    // The caption's count, which the catalogue stores too: the rows, less the category header
    // rows (they are no albums, whatever the categories toggle says now).
    int itemCount(ListKind kind) const;

    // A scan of a root (ListRunPlan::addRoot) or an update (ListRunPlan::update) of the list,
    // with set.ini's options and the choices read now.
    ListRun makeRun(ListKind kind, ListRunPlan plan, const SessionChoices& choices);
    // The run on this thread: the rows go to the list as they come, the progress to host.
    RunOutcome runHere(ListKind kind, ListRunPlan plan, const SessionChoices& choices,
                       ScanHost& host, const EmptyRootCheck& mayEmpty = {});

    // A click on a column's header.
    void sort(ListKind kind, int column);
    // The column the list was last sorted by.
    int sortColumn(ListKind kind) const { return m_sortColumns[kind == ListKind::Music ? 0 : 1]; }
    // Removes the flagged rows; their albums stay out of later updates. An emptied list is
    // cleared.
    void deleteRows(ListKind kind, const std::vector<bool>& doomed);

    // The catalogue file, opened on first use; state() and message() say how that went.
    CatalogueStore& catalogue();
    bool catalogueOpened() const { return m_catalogue != nullptr; }
    QString cataloguePath() const;
    // The stored list in place of the list's rows, made again with the choices of now as a fresh
    // scan would make them. False (nothing changed but the albums left out) when both the stored
    // and the shown list are empty.
    bool putStored(ListKind kind, StoredList stored, const SessionChoices& choices);
    // Stores the list in the catalogue; false when it could not (catalogue().message() says why,
    // catalogue().foundNewer() when another program stored after this one read).
    bool store(ListKind kind);
    // A write of korvane.db through a connection of its own (the published snapshot): the next
    // store does not take it for another program's newer list.
    bool writeBesideCatalogue(const std::function<bool()>& write);

    // What an export of the list writes: a copy of its rows, or with sincePublished what changed
    // since it was last published (every row when it never was). Throws ReportedError.
    ExportSource exportSource(ListKind kind, bool sincePublished);
    // Writes the rows in format; the files written. Reads set.ini afresh, so that it can run off
    // the lists' thread. Throws ReportedError.
    QStringList writeExport(const exporter::ExportFormatRow& format, const ExportSource& source,
                            const ExportChoices& choices) const;
    // The rows in a publishable format as the posts' parts, for standard output or the clipboard.
    std::vector<std::string> exportParts(const exporter::ExportFormatRow& format,
                                         const ExportSource& source,
                                         const ExportChoices& choices) const;
    // The whole list becomes the published one. Throws ReportedError.
    void markPublished(ListKind kind);

private:
    ProgramFolder m_programFolder;
    SettingsFile m_settings;
    bool m_ownsLists = false;
    MusicList* m_music = nullptr;
    VideoList* m_video = nullptr;
    int m_sortColumns[2] = {0, 0};
    std::unique_ptr<CatalogueStore> m_catalogue;
};

// The stored catalogue's name of a list.
StoredListName storedName(ListKind kind);

// Why the published snapshot cannot be kept in the catalogue at cataloguePath (a newer or an
// unusable file); empty when it can.
QString publishedStoreProblem(const QString& cataloguePath);
// What changed in list since it was last published in the catalogue at cataloguePath; nothing
// when it never was. Throws ReportedError when the catalogue cannot be used.
std::optional<ExportSource> changesSincePublished(ListKind kind, const CatalogueList& list,
                                                  const QString& cataloguePath);
// The rows of source in format, read with settings: the files written. Throws ReportedError.
QStringList writeExport(const exporter::ExportFormatRow& format, const ExportSource& source,
                        const ProgramFolder& programFolder, const Settings& settings,
                        const ExportChoices& choices);
// The rows in a publishable format as the posts' parts, for standard output or the clipboard.
std::vector<std::string> exportParts(const exporter::ExportFormatRow& format,
                                     const ExportSource& source, const ProgramFolder& programFolder,
                                     const Settings& settings, const ExportChoices& choices);
// The list's rows become the published ones in the catalogue at cataloguePath; `write` runs the
// store (CatalogueSession::writeBesideCatalogue). Throws ReportedError.
void markPublished(ListKind kind, const CatalogueList& list, const QString& cataloguePath,
                   const std::function<bool(const std::function<bool()>&)>& write = {});
// An export source over a list that outlives it.
ExportSource borrowedSource(ListKind kind, CatalogueList& list);

} // namespace korvane
