#pragma once

#include "text/CodePageDetector.h"

#include "catalogue/CatalogueUpdate.h"
#include "files/FolderWalker.h"
#include "video/VideoList.h"

#include <QString>
#include <QStringList>

#include <stop_token>
#include <vector>

namespace korvane {

namespace video {
class VideoInfo;
}

// What the scan hands out while it runs, on the thread it runs on. The window forwards it to its
// own thread in batches; the command line shows a progress line; tests record it.
class VideoScanHost {
public:
    virtual ~VideoScanHost() = default;
    // The next row of the list (scanVideoRows).
    virtual void addRow(VideoRow) {}
    virtual void setStatusText(const QString&) {}
    virtual void setProgressMaximum(int) {}
    virtual void setProgressPosition(int) {}
    // The walk is over and the files are probed now: the start button becomes the stop button.
    virtual void filePhaseBegan() {}
    // A row was handed out: keep the newest rows in view.
    virtual void rowAppended() {}
};

// Which files become rows: those that hold a video stream, or every file (`allVideoFiles`),
// listed as they are (posters, .nfo and .srt files as "0 x 0" clips).
enum class VideoFiles { WithVideo, All };

struct VideoScanResult {
    int added = 0;        // rows appended by this scan
    bool stopped = false; // a stop request ended the scan (before a file, or during the walk)
    // The folder of the first file in sorted order: the next scan's start folder. Empty when
    // the walk found no file.
    QString firstFileFolder;
};

// Appends the full path of every file below root (hidden ones included) whose extension is not
// exactly ".db" (case-sensitive: Thumbs.db is left out, X.DB is listed), in the order the
// directory listings return them, by the walk of listAllFolders. A stop ends the walk.
void listVideoFiles(const QString& root, QStringList& files, const std::stop_token& stop = {});

// The scan of one chosen root: list the files, sort them by the locale's case-insensitive order,
// then append one row per file with its relative name (separators replaced by `separator`), its
// size and what the probe finds; with VideoFiles::WithVideo a file without a video stream gets no
// row. The rows go to host.addRow; no list model is needed, so it runs on a worker thread.
// Each row remembers its origin; with an update, a file whose size and time are unchanged gets
// its previous row and is not probed. Names that are not UTF-8 are shown in the code page
// `names` says (the setting "Кодировка 8-битных тегов").
VideoScanResult scanVideoRows(const QString& root, const QString& separator,
                              video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                              const std::stop_token& stop = {},
                              const CatalogueUpdate* update = nullptr,
                              codepage::Choice names = codepage::Choice::Auto);
// The same appending the rows to list (host.addRow is not called).
VideoScanResult scanVideos(const QString& root, const QString& separator, VideoList& list,
                           video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                           const CatalogueUpdate* update = nullptr,
                           codepage::Choice names = codepage::Choice::Auto,
                           const std::stop_token& stop = {});

// "Обновить клипы": scans every root the list was built from again (or the roots given) through
// an update and replaces the list's rows with the outcome. A root that is gone, or that holds none
// of its clips (unless `mayEmpty`), keeps its rows; a stopped or abandoned update leaves the list
// as it was.
struct VideoUpdateResult {
    VideoScanResult scan;
    UpdateCounts counts;
    bool refreshed = false; // addVideoRoot: the root's rows were refreshed in place
};

// The video twin of MusicRun: prepare on the list's thread, run anywhere, apply on the list's
// thread.
class VideoRun {
public:
    // The video scan or update the plan describes, as MusicRun: a new root's rows appended, a
    // root the list holds already refreshed in place.
    explicit VideoRun(ListRunPlan plan);

    bool appendsRows() const { return m_plan.appendsRows(); }
    bool refreshes() const { return m_plan.refreshes(); }

    VideoUpdateResult run(const QString& separator, video::VideoInfo& probe, VideoScanHost& host,
                          VideoFiles files, const std::stop_token& stop = {},
                          const EmptyRootCheck& mayEmpty = {},
                          codepage::Choice names = codepage::Choice::Auto);
    void apply(VideoList& list, const VideoUpdateResult& result);

private:
    ListRunPlan m_plan;
    std::vector<VideoRow> m_rows;
};

// The steps of VideoRun on one thread.
VideoUpdateResult updateVideos(VideoList& list, const QStringList& roots, const QString& separator,
                               video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                               const EmptyRootCheck& mayEmpty = {},
                               codepage::Choice names = codepage::Choice::Auto);
VideoUpdateResult addVideoRoot(VideoList& list, const QString& root, const QString& separator,
                               video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                               const EmptyRootCheck& mayEmpty = {},
                               codepage::Choice names = codepage::Choice::Auto);

} // namespace korvane
