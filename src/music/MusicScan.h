#pragma once

#include "catalogue/CatalogueUpdate.h"
#include "files/FolderWalker.h"
#include "music/MusicList.h"
#include "settings/Settings.h"
#include "settings/Toggles.h"

#include <QString>

#include <stop_token>
#include <vector>

namespace korvane {

// The values a music scan runs with, read when the run begins.
struct MusicScanOptions {
    Toggles toggles;
    int minLimit = Settings::kMinLimit;              // min_limit: folders not above it are left out
    QString separator = kDefaultGroupAlbumSeparator; // separator_G_A
    bool testersMode = false;                        // notdead is exactly "1"
    int testersMinLimit = Settings::kTestersMinLimit; // notdead_min_limit
    // Requests to the file system in flight at once (listings, stats, reads); 0 chooses by what
    // the root is on (requestsInFlightFor). 1 is the serial scan.
    int requestsInFlight = 0;
};

// What the scan hands out while it runs, on the thread it runs on. The window forwards it to its
// own thread in batches; the command line shows a progress line; tests record it.
class MusicScanHost {
public:
    virtual ~MusicScanHost() = default;
    // The next row of the list: an album row complete with its cells, or a category header row.
    virtual void addRow(MusicRow) {}
    virtual void setStatusText(const QString&) {}
    virtual void setProgressMaximum(int) {}
    virtual void setProgressPosition(int) {}
    // The folder list is ready and the albums are measured now: the scan command becomes the
    // stop command.
    virtual void albumPhaseBegan() {}
    // A stop request was honoured after an album row.
    virtual void stopHonoured() {}
};

struct MusicScanResult {
    int count = 0;        // the album count for the window caption
    bool stopped = false; // a stop request ended the scan (in the album phase or before it)
    int smallFolders = 0; // album folders left out as not above min_limit
};

// `MusicScan` from the chosen root to rows handed to host.addRow: list every folder below the
// root, sort the paths, keep the album-depth ones, measure each, hand out a row (and the category
// header rows in categories mode) for every folder above the size limit with its details. Each
// row remembers its origin; with an update, an album folder whose signature is unchanged gets its
// previous row and no file of it is read. A stop ends the folder walk at once, and the album
// phase after the next album row (skipped folders do not look at it); a long read ends at once.
// Neither the testers pass nor the count: they run over the list the rows went to
// (finishMusicScan). Needs no list model, so it runs on a worker thread.
MusicScanResult scanMusicRows(const QString& root, const MusicScanOptions& options,
                              MusicScanHost& host, const std::stop_token& stop = {},
                              const CatalogueUpdate* update = nullptr);

// After the rows of a scan were appended to list: the testers pass over the whole list, then the
// count.
int finishMusicScan(MusicList& list, const MusicScanOptions& options);

// scanMusicRows appending to list, then finishMusicScan: the scan of one thread (the command line,
// tests). host.addRow is not called.
MusicScanResult scanMusic(const QString& root, const MusicScanOptions& options, MusicList& list,
                          MusicScanHost& host, const std::stop_token& stop = {},
                          const CatalogueUpdate* update = nullptr);

// "Обновить коллекцию": scans every root the list was built from again (or the roots given)
// through an update, replaces the list's rows with the outcome and recounts. A root that is gone,
// or that holds none of its albums (unless `mayEmpty`), keeps its rows. A stopped update leaves
// the list as it was.
struct MusicUpdateResult {
    MusicScanResult scan;
    UpdateCounts counts;
    bool refreshed = false; // addMusicRoot: the root's rows were refreshed in place
};

// A scan, an update or an addition in three steps, so that the long middle one can run on a
// worker thread while the list stays with the window: prepare (the list's thread) takes what
// the run needs from the list, run works on those values alone, apply (the list's thread again)
// puts the outcome into the list.
class MusicRun {
public:
    // The run the plan describes (ListRunPlan::addRoot for "Добавить в коллекцию",
    // ListRunPlan::update for "Обновить коллекцию"). A root the list holds already is refreshed in
    // place by an update of that root alone (hand edits kept, albums left out stay out, counts
    // given), so no album is listed twice; a stopped refresh leaves the list as it was.
    explicit MusicRun(ListRunPlan plan);

    // Whether run hands the rows to host.addRow as they come (to be appended to the list);
    // otherwise apply puts them in place at the end.
    bool appendsRows() const { return m_plan.appendsRows(); }
    bool refreshes() const { return m_plan.refreshes(); }

    MusicUpdateResult run(const MusicScanOptions& options, MusicScanHost& host,
                          const std::stop_token& stop = {}, const EmptyRootCheck& mayEmpty = {});
    void apply(MusicList& list, const MusicScanOptions& options, MusicUpdateResult& result);

private:
    ListRunPlan m_plan;
    std::vector<MusicRow> m_rows; // an update's outcome, for apply
};

// The three steps of MusicRun on one thread.
MusicUpdateResult updateMusic(MusicList& list, const QStringList& roots,
                              const MusicScanOptions& options, MusicScanHost& host,
                              const EmptyRootCheck& mayEmpty = {},
                              const std::stop_token& stop = {});
MusicUpdateResult addMusicRoot(MusicList& list, const QString& root,
                               const MusicScanOptions& options, MusicScanHost& host,
                               const EmptyRootCheck& mayEmpty = {},
                               const std::stop_token& stop = {});

// The testers pass: deletes every album row marked "xxxx - Unsorted" or " [--]" whose size is
// below limitMiB, rows of earlier runs included. A Size cell that is not a number keeps its row.
void removeSmallTesterRows(MusicList& list, int limitMiB);

// The caption's count: the rows, less the category header rows in categories mode.
int musicAlbumCount(const MusicList& list, bool categories);

// "; пропущено маленьких папок: N" for the status text; nothing when none was left out, so
// the usual texts stay as they are.
QString smallFoldersNote(int count);

// Reads min_limit, separator_G_A and notdead_min_limit as the scan does; the toggles and the
// testers-mode text come from the caller.
MusicScanOptions readMusicScanOptions(const Settings& settings, const Toggles& toggles,
                                      const QString& testersModeText);

} // namespace korvane
