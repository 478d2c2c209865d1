#pragma once

#include "catalogue/CatalogueUpdate.h"
#include "files/FolderWalker.h"
#include "settings/Settings.h"
#include "settings/Toggles.h"

#include <QString>

namespace korvane {

class MusicList;

// The values a music scan runs with, read when the run begins.
struct MusicScanOptions {
    Toggles toggles;
    int minLimit = Settings::kMinLimit;              // min_limit: folders not above it are left out
    QString separator = kDefaultGroupAlbumSeparator; // separator_G_A
    bool testersMode = false;                        // notdead is exactly "1"
    int testersMinLimit = Settings::kTestersMinLimit; // notdead_min_limit
};

// What the scan shows and asks while it runs. The window answers with its status bar, its scan
// button and its event loop; the command line with a progress line; tests with a recorder.
class MusicScanHost {
public:
    virtual ~MusicScanHost() = default;
    // Lets pending events run; false when the run must end at once (the window is closing).
    virtual bool pump() = 0;
    // `StopRequest`: consulted after each appended album row.
    virtual bool stopRequested() = 0;
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
    int count = 0;          // the album count for the window caption
    bool stopped = false;   // a stop request ended the album phase
    bool abandoned = false; // the pump asked to end: no testers pass, count not computed
};

// `MusicScan` from the chosen root to the rows appended to list: list every folder below the
// root, sort the paths, keep the album-depth ones, measure each, append a row (and the category
// header rows in categories mode) for every folder above the size limit with its details, then
// run the testers pass over the whole list. Rows are appended to what the list holds. Each row
// remembers its origin; with an update, an album folder whose signature is unchanged gets its
// previous row and no file of it is read.
MusicScanResult scanMusic(const QString& root, const MusicScanOptions& options, MusicList& list,
                          MusicScanHost& host, const CatalogueUpdate* update = nullptr);

// "Обновить коллекцию": scans every root the list was built from again (or the roots given)
// through an update, replaces the list's rows with the outcome and recounts. A root that is gone,
// or that holds none of its albums (unless `mayEmpty`), keeps its rows.
struct MusicUpdateResult {
    MusicScanResult scan;
    UpdateCounts counts;
    bool refreshed = false; // addMusicRoot: the root's rows were refreshed in place
};
MusicUpdateResult updateMusic(MusicList& list, const QStringList& roots,
                              const MusicScanOptions& options, MusicScanHost& host,
                              const EmptyRootCheck& mayEmpty = {});

// "Добавить в коллекцию": a root the list does not hold yet is scanned and its rows appended
// (its albums left out earlier come back). A root it holds already is refreshed in place by an
// update of that root alone (hand edits kept, albums left out stay out, counts given), so no
// album is listed twice; a stopped refresh leaves the list as it was.
MusicUpdateResult addMusicRoot(MusicList& list, const QString& root,
                               const MusicScanOptions& options, MusicScanHost& host,
                               const EmptyRootCheck& mayEmpty = {});

// The testers pass: deletes every album row marked "xxxx - Unsorted" or " [--]" whose size is
// below limitMiB, rows of earlier runs included. A Size cell that is not a number keeps its row.
void removeSmallTesterRows(MusicList& list, int limitMiB);

// The caption's count: the rows, less the category header rows in categories mode.
int musicAlbumCount(const MusicList& list, bool categories);

// Reads min_limit, separator_G_A and notdead_min_limit as the scan does; the toggles and the
// testers-mode text come from the caller.
MusicScanOptions readMusicScanOptions(const Settings& settings, const Toggles& toggles,
                                      const QString& testersModeText);

} // namespace korvane
