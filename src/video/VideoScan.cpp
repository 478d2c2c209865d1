#include "video/VideoScan.h"

#include "catalogue/CatalogueUpdate.h"
#include "files/FileName.h"
#include "files/FolderWalker.h"
#include "video/VideoCells.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"

#include <QDir>
#include <QFileInfo>

namespace korvane {
namespace {

bool skippedByExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > path.lastIndexOf(u'/') && QStringView(path).mid(dot) == u".db";
}

} // namespace

void listVideoFiles(const QString& root, QStringList& files, const Pump& pump) {
    QStringList folders;
    QStringList others;
    listAllFolders(root, folders, others, pump);
    for (const QString& path : std::as_const(others)) {
        if (!skippedByExtension(path))
            files.append(path);
    }
}

VideoScanResult scanVideos(const QString& root, const QString& separator, VideoList& list,
                           video::VideoInfo& probe, VideoScanHost& host, VideoFiles videoFiles,
                           const CatalogueUpdate* update, codepage::Choice names) {
    VideoScanResult result;
    // Once the host asked to end, every later pump says so too.
    const Pump pump = [&host, &result] {
        if (!result.abandoned && !host.pump())
            result.abandoned = true;
        return !result.abandoned;
    };
    // Paths are handled with Qt's "/" inside and shown with the native separator.
    QString rootDir = QDir::fromNativeSeparators(root);
    if (!rootDir.endsWith(u'/'))
        rootDir += u'/'; // a top folder such as "/" or "D:/" already ends with it
    QStringList files;
    listVideoFiles(rootDir, files, pump);
    if (result.abandoned)
        return result;
    // Sorted and captioned by the names as the user reads them; the probe gets the names' bytes.
    files::sortByShownName(files, names);

    host.setProgressMaximum(static_cast<int>(files.size()) - 1);
    const QString waiting = QStringLiteral("Подождите, идёт поиск файлов...");
    host.setStatusText(waiting);
    host.filePhaseBegan();
    for (int i = 0; i < files.size(); ++i) {
        if (host.stopRequested()) {
            result.stopped = true;
            break;
        }
        const QString& path = files.at(i);
        const QString below = path.startsWith(rootDir) ? path.mid(rootDir.size()) : path;
        const QString relative = files::displayFileName(below, names);
        host.setStatusText(QDir::toNativeSeparators(QStringLiteral("../") + relative));
        host.setProgressPosition(i);
        QString caption = relative;
        caption.replace(u'/', separator);

        const std::string nativePath = files::encodeFileName(path).toStdString();
        RowOrigin origin{root, below, fileSignature(nativePath)};
        if (const CatalogueRow* unchanged = update ? update->unchangedRow(origin) : nullptr) {
            VideoRow row = *unchanged;
            row.origin = std::move(origin); // the root may have moved
            list.appendRow(std::move(row));
        } else {
            probe.fileName = nativePath;
            probe.probe();
            if (!probe.hasVideo && videoFiles == VideoFiles::WithVideo) {
                if (!pump())
                    return result;
                continue;
            }
            list.appendVideoRow(
                caption, video::videoCells(video::readableFileLength(nativePath), probe.video),
                std::move(origin));
        }
        ++result.added;
        host.rowAppended();
        if (!pump())
            return result;
    }
    if (!files.isEmpty())
        result.firstFileFolder = QDir::toNativeSeparators(QFileInfo(files.first()).path());
    return result;
}

VideoUpdateResult updateVideos(VideoList& list, const QStringList& roots, const QString& separator,
                               video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                               const EmptyRootCheck& mayEmpty, codepage::Choice names) {
    VideoUpdateResult result;
    const CatalogueUpdate update(list.rows(), roots, list.leftOut());
    VideoList scanned;
    const bool completed =
        update.scanRoots(scanned, mayEmpty, result.counts, [&](const QString& root) {
            result.scan = scanVideos(root, separator, scanned, probe, host, files, &update, names);
            return !result.scan.stopped && !result.scan.abandoned;
        });
    if (!completed)
        return result;
    std::vector<VideoRow> rows = scanned.rows();
    UpdateCounts counts = update.finish(rows);
    counts.missingRoots = result.counts.missingRoots;
    counts.emptyRoots = result.counts.emptyRoots;
    counts.leftOut = result.counts.leftOut;
    result.counts = counts;
    list.resetRows(std::move(rows));
    return result;
}

VideoUpdateResult addVideoRoot(VideoList& list, const QString& root, const QString& separator,
                               video::VideoInfo& probe, VideoScanHost& host, VideoFiles files,
                               const EmptyRootCheck& mayEmpty, codepage::Choice names) {
    const QString listed = listedRoot(list.rows(), root);
    if (listed.isEmpty()) {
        VideoUpdateResult result;
        // Scanned afresh: its albums left out come back, unless deleted again meanwhile.
        list.forgetLeftOut(root);
        result.scan = scanVideos(root, separator, list, probe, host, files, nullptr, names);
        return result;
    }
    VideoList part;
    part.resetRows(rowsOfRoot(list.rows(), listed));
    part.setLeftOut(list.leftOut());
    VideoUpdateResult result =
        updateVideos(part, {listed}, separator, probe, host, files, mayEmpty, names);
    result.refreshed = true;
    if (!result.scan.stopped && !result.scan.abandoned)
        list.resetRows(replaceRootRows(list.rows(), listed, part.rows()));
    return result;
}

} // namespace korvane
