#pragma once

#include "text/CodePageDetector.h"

#include "catalogue/CatalogueUpdate.h"
#include "files/FolderWalker.h"

#include <QString>
#include <QStringList>

namespace korvane {

class VideoList;

namespace video {
class VideoInfo;
}

// What the scan shows and asks while it runs. The window answers with its status bar, its start
// button and its event loop; the command line with a progress line; tests with a recorder.
class VideoScanHost {
public:
    virtual ~VideoScanHost() = default;
    // Lets pending events run; false when the run must end at once (the window is closing).
    virtual bool pump() = 0;
    // Consulted before each file: the start button was pressed again.
    virtual bool stopRequested() = 0;
    virtual void setStatusText(const QString&) {}
    virtual void setProgressMaximum(int) {}
    virtual void setProgressPosition(int) {}
    // The walk is over and the files are probed now: the start button becomes the stop button.
    virtual void filePhaseBegan() {}
    // A row was appended: keep the newest rows in view.
    virtual void rowAppended() {}
};

// Which files become rows: those that hold a video stream, or every file (`allVideoFiles`),
// listed as they are (posters, .nfo and .srt files as "0 x 0" clips).
enum class VideoFiles { WithVideo, All };

struct VideoScanResult {
    int added = 0;          // rows appended by this scan
    bool stopped = false;   // a stop request ended the file phase
    bool abandoned = false; // the pump asked to end
    // The folder of the first file in sorted order: the next scan's start folder. Empty when
    // the walk found no file.
    QString firstFileFolder;
};

// Appends the full path of every file below root (hidden ones included) whose extension is not
// exactly ".db" (case-sensitive: Thumbs.db is left out, X.DB is listed), in the order the
// directory listings return them, by the walk of listAllFolders. The pump runs once per entry and
// ends the walk when it returns false.
void listVideoFiles(const QString& root, QStringList& files, const Pump& pump);

// The scan of one chosen root: list the files, sort them by the locale's case-insensitive order,
// then append one row per file with its relative name (separators replaced by `separator`), its
// size and what the probe finds; with VideoFiles::WithVideo a file without a video stream gets no
// row. Rows are appended to what the list holds.
// Each row remembers its origin; with an update, a file whose size and time are unchanged gets
// its previous row and is not probed. Names that are not UTF-8 are shown in the code page
// `names` says (the setting "Кодировка 8-битных тегов").
VideoScanResult scanVideos(const QString& root, const QString& separator, VideoList& list,
                           video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                           const CatalogueUpdate* update = nullptr,
                           codepage::Choice names = codepage::Choice::Auto);

// "Обновить клипы": scans every root the list was built from again (or the roots given) through
// an update and replaces the list's rows with the outcome. A root that is gone, or that holds none
// of its clips (unless `mayEmpty`), keeps its rows; a stopped or abandoned update leaves the list
// as it was.
struct VideoUpdateResult {
    VideoScanResult scan;
    UpdateCounts counts;
    bool refreshed = false; // addVideoRoot: the root's rows were refreshed in place
};
VideoUpdateResult updateVideos(VideoList& list, const QStringList& roots, const QString& separator,
                               video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                               const EmptyRootCheck& mayEmpty = {},
                               codepage::Choice names = codepage::Choice::Auto);

// The video scan of one root, as addMusicRoot: appended when the list does not hold the root
// yet, refreshed in place when it does.
VideoUpdateResult addVideoRoot(VideoList& list, const QString& root, const QString& separator,
                               video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                               const EmptyRootCheck& mayEmpty = {},
                               codepage::Choice names = codepage::Choice::Auto);

} // namespace korvane
