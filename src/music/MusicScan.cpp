#include "music/MusicScan.h"

#include "catalogue/CatalogueUpdate.h"
#include "files/FileName.h"
#include "files/FolderSizeQueue.h"
#include "music/AlbumDetails.h"
#include "music/MusicList.h"
#include "settings/ProgramFolder.h"
#include "text/LocaleText.h"

#include <QFileInfo>

namespace korvane {
namespace {

constexpr QChar kSeparator = u'/';

// Depth filter: without "groups without albums" only Group/Album and deeper stay, in categories
// mode only Category/Group/Album and deeper.
bool deepEnough(const QString& relative, bool categories) {
    const qsizetype separators = relative.count(kSeparator);
    return separators >= (categories ? 2 : 1);
}

QString folderText(const QString& relative, bool categories, const QString& separator) {
    QString text = relative;
    if (categories) {
        const qsizetype first = text.indexOf(kSeparator);
        if (first >= 0)
            text = text.mid(first + 1);
    }
    return text.replace(kSeparator, separator);
}

} // namespace

MusicScanResult scanMusic(const QString& root, const MusicScanOptions& options, MusicList& list,
                          MusicScanHost& host, const CatalogueUpdate* update) {
    MusicScanResult result;
    const QString rootDir = withTrailingSeparator(root);
    const bool categories = options.toggles.musicInCat;
    // Once the host asked to end, every later pump says so too.
    const Pump pump = [&host, &result] {
        if (!result.abandoned && !host.pump())
            result.abandoned = true;
        return !result.abandoned;
    };

    QStringList folders;
    // A long read (a huge file with no frames) runs this now and then: the window repaints, and
    // a stop request ends the read at once rather than after the whole file.
    const Pump readPump = [&pump, &host] { return pump() && !host.stopRequested(); };
    listAllFolders(rootDir, folders, pump);
    // Folders are sorted, and rows captioned, by the names as the user reads them; the paths
    // keep the names' own bytes for the file system.
    files::sortByShownName(folders, options.toggles.tagEncoding);
    QStringList categoryNames;
    if (categories)
        listCategoryFolders(rootDir, categoryNames, pump);
    if (result.abandoned)
        return result;

    for (QString& folder : folders) {
        const qsizetype at = folder.indexOf(rootDir);
        if (at >= 0)
            folder.remove(at, rootDir.size());
        if (!pump())
            return result;
    }
    if (!options.toggles.showGroupNotAlbum) {
        QStringList kept;
        kept.reserve(folders.size());
        for (const QString& folder : std::as_const(folders)) {
            if (deepEnough(folder, categories))
                kept.append(folder);
            if (!pump())
                return result;
        }
        folders = std::move(kept);
    }

    host.albumPhaseBegan();
    const int total = static_cast<int>(folders.size());
    host.setProgressMaximum(total);
    QString lastCategory;
    std::vector<FolderEntry> listing; // the album folder is read once, for its size and its file
    QStringList paths;
    paths.reserve(total);
    for (const QString& folder : std::as_const(folders))
        paths.append(rootDir + folder);
    FolderSizeQueue sizes(std::move(paths));
    for (int i = 0; i < total; ++i) {
        const QString& entry = folders.at(i);
        if (categories) {
            for (const QString& category : std::as_const(categoryNames)) {
                if (entry.size() > category.size() && entry.startsWith(category) &&
                    entry.at(category.size()) == kSeparator && category != lastCategory) {
                    list.appendCategoryHeader(
                        files::displayFileName(category, options.toggles.tagEncoding));
                    lastCategory = category;
                }
            }
        }
        host.setProgressPosition(i + 1);
        host.setStatusText(u' ' +
                           files::displayFileName(rootDir + entry, options.toggles.tagEncoding));
        const QString size = sizes.takeNext(listing);
        // Skipped folders neither pump nor look at the stop request.
        if (text::parseDecimalComma(size).value_or(0) <= options.minLimit)
            continue;
        const RowOrigin origin{root, entry, folderSignature(listing)};
        if (const CatalogueRow* unchanged = update ? update->unchangedRow(origin) : nullptr) {
            MusicRow row = *unchanged;
            row.origin = origin; // the root may have moved
            list.appendRow(std::move(row));
        } else {
            list.appendRow({folderText(files::displayFileName(entry, options.toggles.tagEncoding),
                                       categories, options.separator),
                            {size},
                            origin});
            readAlbumDetails(rootDir + entry, listing, list, list.count() - 1, options.separator,
                             options.toggles, readPump);
        }
        if (!pump())
            return result;
        if (host.stopRequested()) {
            result.stopped = true;
            host.stopHonoured();
            break;
        }
    }

    if (options.testersMode)
        removeSmallTesterRows(list, options.testersMinLimit);
    result.count = musicAlbumCount(list, categories);
    return result;
}

MusicUpdateResult updateMusic(MusicList& list, const QStringList& roots,
                              const MusicScanOptions& options, MusicScanHost& host,
                              const EmptyRootCheck& mayEmpty) {
    MusicUpdateResult result;
    const CatalogueUpdate update(list.rows(), roots);
    MusicList scanned;
    const bool completed =
        update.scanRoots(scanned, mayEmpty, result.counts, [&](const QString& root) {
            result.scan = scanMusic(root, options, scanned, host, &update);
            return !result.scan.stopped && !result.scan.abandoned;
        });
    if (!completed)
        return result;
    std::vector<MusicRow> rows = scanned.rows();
    UpdateCounts counts = update.finish(rows);
    counts.missingRoots = result.counts.missingRoots;
    counts.emptyRoots = result.counts.emptyRoots;
    result.counts = counts;
    list.resetRows(std::move(rows));
    result.scan.count = musicAlbumCount(list, options.toggles.musicInCat);
    return result;
}

void removeSmallTesterRows(MusicList& list, int limitMiB) {
    for (int i = 0; i < list.count();) {
        const MusicRow& row = list.row(i);
        const bool marked = row.caption.contains(QLatin1String("xxxx - Unsorted")) ||
                            row.caption.contains(QLatin1String(" [--]"));
        const auto size = text::parseDecimalComma(row.cells.value(SizeCell));
        if (marked && !MusicList::isCategoryHeader(row) && size && *size < limitMiB)
            list.removeRowAt(i);
        else
            ++i;
    }
}

int musicAlbumCount(const MusicList& list, bool categories) {
    return list.count() - (categories ? list.categoryHeaderCount() : 0);
}

MusicScanOptions readMusicScanOptions(const SettingsFile& settings, const Toggles& toggles,
                                      const QString& testersModeText) {
    MusicScanOptions options;
    options.toggles = toggles;
    options.toggles.tagEncoding = readTagEncoding(settings);
    options.minLimit = settings.readInteger(u"min_limit", kDefaultMinLimit);
    options.separator = readGroupAlbumSeparator(settings);
    options.testersMode = testersModeText == QLatin1String("1");
    options.testersMinLimit = settings.readInteger(u"notdead_min_limit", 20);
    return options;
}

} // namespace korvane
