#include "video/VideoScan.h"

#include "text/LocaleText.h"
#include "video/VideoCells.h"
#include "video/VideoInfo.h"
#include "video/VideoList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvane {
namespace {

bool skippedByExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && QStringView(name).mid(dot) == u".db";
}

// `ancestors` holds the canonical paths of the folders on the way down, so a link back to one
// of them is not entered again.
bool listFiles(const QString& folder, QStringList& files, const VideoPump& pump,
               QStringList& ancestors) {
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            const QString canonical = entry.canonicalFilePath();
            if (!canonical.isEmpty() && !ancestors.contains(canonical)) {
                ancestors.append(canonical);
                const bool goOn = listFiles(entry.filePath(), files, pump, ancestors);
                ancestors.removeLast();
                if (!goOn)
                    return false;
            }
        } else if (!skippedByExtension(entry.fileName())) {
            files.append(entry.filePath());
        }
        if (!pump())
            return false;
    }
    return true;
}

} // namespace

void ListVideoFiles(const QString& root, QStringList& files, const VideoPump& pump) {
    QStringList ancestors{QFileInfo(root).canonicalFilePath()};
    listFiles(root, files, pump, ancestors);
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
