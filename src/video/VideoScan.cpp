#include "video/VideoScan.h"

#include "catalogue/CatalogueUpdate.h"
#include "files/FileName.h"
#include "files/FolderWalker.h"
#include "video/VideoCells.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korvane {
namespace {

bool skippedByExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > path.lastIndexOf(u'/') && QStringView(path).mid(dot) == u".db";
}

} // namespace

void listVideoFiles(const QString& root, QStringList& files, const std::stop_token& stop) {
    QStringList folders;
    QStringList others;
    listAllFolders(root, folders, others, stop);
    for (const QString& path : std::as_const(others)) {
        if (!skippedByExtension(path))
            files.append(path);
    }
}

VideoScanResult scanVideoRows(const QString& root, const QString& separator,
                              video::VideoInfo& probe, VideoScanHost& host, VideoFiles videoFiles,
                              const std::stop_token& stop, const CatalogueUpdate* update,
                              codepage::Choice names) {
    VideoScanResult result;
    // Paths are handled with Qt's "/" inside and shown with the native separator.
    QString rootDir = QDir::fromNativeSeparators(root);
    if (!rootDir.endsWith(u'/'))
        rootDir += u'/'; // a top folder such as "/" or "D:/" already ends with it
    QStringList files;
    listVideoFiles(rootDir, files, stop);
    if (stop.stop_requested()) {
        result.stopped = true;
        return result;
    }
    // Sorted and captioned by the names as the user reads them; the probe gets the names' bytes.
    files::sortByShownName(files, names);

    host.setProgressMaximum(static_cast<int>(files.size()) - 1);
    const QString waiting =
        QCoreApplication::translate("VideoScan", "Подождите, идёт поиск файлов...");
    host.setStatusText(waiting);
    host.filePhaseBegan();
    for (int i = 0; i < files.size(); ++i) {
        if (stop.stop_requested()) {
            result.stopped = true;
            break;
        }
        const QString& path = files.at(i);
        const QString below = path.startsWith(rootDir) ? path.mid(rootDir.size()) : path;
        const QString relative = files::displayFileName(below, names);
        host.setStatusText(QDir::toNativeSeparators(QStringLiteral("../") + relative));
        host.setProgressPosition(i);

        const std::string nativePath = files::encodeFileName(path).toStdString();
        RowOrigin origin{root, below, fileSignature(nativePath)};
        if (const CatalogueRow* unchanged = update ? update->unchangedRow(origin) : nullptr) {
            VideoRow row = *unchanged;
            row.origin = std::move(origin); // the root may have moved
            VideoList::formatVideoRow(row, relative, separator);
            host.addRow(std::move(row));
        } else {
            probe.fileName = nativePath;
            probe.probe();
            if (!probe.hasVideo && videoFiles == VideoFiles::WithVideo)
                continue;
            host.addRow(VideoList::videoRow(relative, separator,
                                            video::readableFileLength(nativePath), probe.video,
                                            std::move(origin)));
        }
        ++result.added;
        host.rowAppended();
    }
    if (!files.isEmpty())
        result.firstFileFolder = QDir::toNativeSeparators(QFileInfo(files.first()).path());
    return result;
}

namespace {

// Appends the rows of a scan on one thread to a list; the rest goes to the caller's host.
class ListFiller final : public VideoScanHost {
public:
    ListFiller(VideoList& list, VideoScanHost& host) : m_list(list), m_host(host) {}
    void addRow(VideoRow row) override { m_list.appendRow(std::move(row)); }
    void setStatusText(const QString& text) override { m_host.setStatusText(text); }
    void setProgressMaximum(int maximum) override { m_host.setProgressMaximum(maximum); }
    void setProgressPosition(int position) override { m_host.setProgressPosition(position); }
    void filePhaseBegan() override { m_host.filePhaseBegan(); }
    void rowAppended() override { m_host.rowAppended(); }

private:
    VideoList& m_list;
    VideoScanHost& m_host;
};

} // namespace

VideoScanResult scanVideos(const QString& root, const QString& separator, VideoList& list,
                           video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                           const CatalogueUpdate* update, codepage::Choice names,
                           const std::stop_token& stop) {
    ListFiller filler(list, host);
    return scanVideoRows(root, separator, probe, filler, files, stop, update, names);
}

VideoRun::VideoRun(ListRunPlan plan) : m_plan(std::move(plan)) {}

VideoUpdateResult VideoRun::run(const QString& separator, video::VideoInfo& probe,
                                VideoScanHost& host, VideoFiles files, const std::stop_token& stop,
                                const EmptyRootCheck& mayEmpty, codepage::Choice names) {
    VideoUpdateResult result;
    if (!m_plan.isUpdate) {
        result.scan =
            scanVideoRows(m_plan.root, separator, probe, host, files, stop, nullptr, names);
        return result;
    }
    result.refreshed = refreshes();
    const CatalogueUpdate update(m_plan.previous, m_plan.roots, m_plan.leftOut);
    // Made and used on this thread only.
    VideoList scanned;
    const bool completed =
        update.scanRoots(scanned, mayEmpty, result.counts, [&](const QString& root) {
            result.scan =
                scanVideos(root, separator, scanned, probe, host, files, &update, names, stop);
            return !result.scan.stopped;
        });
    if (!completed || stop.stop_requested()) {
        result.scan.stopped = true;
        return result;
    }
    m_rows = scanned.rows();
    UpdateCounts counts = update.finish(m_rows);
    counts.missingRoots = result.counts.missingRoots;
    counts.emptyRoots = result.counts.emptyRoots;
    counts.leftOut = result.counts.leftOut;
    result.counts = counts;
    return result;
}

void VideoRun::apply(VideoList& list, const VideoUpdateResult& result) {
    if (!m_plan.isUpdate || result.scan.stopped)
        return;
    list.resetRows(refreshes() ? replaceRootRows(list.rows(), m_plan.root, std::move(m_rows))
                               : std::move(m_rows));
}

namespace {

VideoUpdateResult runHere(VideoRun run, VideoList& list, const QString& separator,
                          video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                          const EmptyRootCheck& mayEmpty, codepage::Choice names) {
    ListFiller filler(list, host);
    const VideoUpdateResult result =
        run.run(separator, probe, filler, files, std::stop_token(), mayEmpty, names);
    run.apply(list, result);
    return result;
}

} // namespace

VideoUpdateResult updateVideos(VideoList& list, const QStringList& roots, const QString& separator,
                               video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                               const EmptyRootCheck& mayEmpty, codepage::Choice names) {
    return runHere(VideoRun(ListRunPlan::update(list, roots)), list, separator, probe, host, files,
                   mayEmpty, names);
}

VideoUpdateResult addVideoRoot(VideoList& list, const QString& root, const QString& separator,
                               video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                               const EmptyRootCheck& mayEmpty, codepage::Choice names) {
    return runHere(VideoRun(ListRunPlan::addRoot(list, root)), list, separator, probe, host, files,
                   mayEmpty, names);
}

} // namespace korvane
