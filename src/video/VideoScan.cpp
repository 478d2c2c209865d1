#include "video/VideoScan.h"

#include "text/LocaleText.h"
#include "video/VideoCells.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace korvane {
namespace {

bool skippedByExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && QStringView(name).mid(dot) == u".db";
}

// The state of one walk: the canonical paths of the folders on the way down, so that a link back
// to one of them is not entered again, and of the folders already entered through a link, so that
// links from many folders to many others are not followed along every chain of them.
struct Walk {
    QStringList ancestors;
    QSet<QString> linkedTargets;
    const VideoPump& pump;
};

bool shouldEnter(const QFileInfo& folder, const QString& canonical, Walk& walk) {
    if (canonical.isEmpty() || walk.ancestors.contains(canonical))
        return false;
    if (!folder.isSymLink())
        return true;
    if (walk.linkedTargets.contains(canonical))
        return false;
    walk.linkedTargets.insert(canonical);
    return true;
}

bool listFiles(const QString& folder, QStringList& files, Walk& walk) {
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            const QString canonical = entry.canonicalFilePath();
            if (shouldEnter(entry, canonical, walk)) {
                walk.ancestors.append(canonical);
                const bool goOn = listFiles(entry.filePath(), files, walk);
                walk.ancestors.removeLast();
                if (!goOn)
                    return false;
            }
        } else if (!skippedByExtension(entry.fileName())) {
            files.append(entry.filePath());
        }
        if (!walk.pump())
            return false;
    }
    return true;
}

} // namespace

void ListVideoFiles(const QString& root, QStringList& files, const VideoPump& pump) {
    Walk walk{{QFileInfo(root).canonicalFilePath()}, {}, pump};
    listFiles(root, files, walk);
}

VideoScanResult VideoScan(const QString& root, const QString& separator, VideoList& list,
                          video::VideoInfo& probe, VideoScanHost& host) {
    VideoScanResult result;
    // Once the host asked to end, every later pump says so too.
    const VideoPump pump = [&host, &result] {
        if (!result.abandoned && !host.pump())
            result.abandoned = true;
        return !result.abandoned;
    };
    // Paths are handled with Qt's "/" inside and shown with the native separator.
    QString rootDir = QDir::fromNativeSeparators(root);
    if (!rootDir.endsWith(u'/'))
        rootDir += u'/'; // a top folder such as "/" or "D:/" already ends with it
    QStringList files;
    ListVideoFiles(rootDir, files, pump);
    if (result.abandoned)
        return result;
    const text::CaseInsensitiveOrder order;
    std::sort(files.begin(), files.end(), order);

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
        const QString relative = path.startsWith(rootDir) ? path.mid(rootDir.size()) : path;
        host.setStatusText(QDir::toNativeSeparators(QStringLiteral("../") + relative));
        host.setProgressPosition(i);
        QString caption = relative;
        caption.replace(u'/', separator);

        const std::string nativePath = QFile::encodeName(path).toStdString();
        probe.FileName = nativePath;
        probe.Probe();
        list.appendVideoRow(caption,
                            video::videoCells(video::readableFileLength(nativePath), probe.Video));
        ++result.added;
        host.rowAppended();
        if (!pump())
            return result;
    }
    if (!files.isEmpty())
        result.firstFileFolder = QDir::toNativeSeparators(QFileInfo(files.first()).path());
    return result;
}

} // namespace korvane
