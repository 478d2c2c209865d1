#include "music/MusicScan.h"

#include "catalogue/CatalogueUpdate.h"
#include "files/FileName.h"
#include "files/FolderSizeQueue.h"
#include "music/AlbumDetails.h"
#include "music/DiscFolders.h"
#include "music/MusicList.h"
#include "settings/ProgramFolder.h"
#include "text/LocaleText.h"

#include <QCryptographicHash>
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

// Every folder a row of its own, or with folded discs the albums that take their discs in.
std::vector<AlbumFolders> albumFolders(const QStringList& folders, bool foldDiscs,
                                       bool categories) {
    if (foldDiscs)
        return foldDiscFolders(folders, categories ? 2 : 1);
    std::vector<AlbumFolders> albums;
    albums.reserve(static_cast<size_t>(folders.size()));
    for (const QString& folder : folders)
        albums.push_back({folder, {}, {}});
    return albums;
}

// What a row shows of an album folder and the folders it takes in.
struct MeasuredAlbum {
    QString size;
    QByteArray signature;
    QString detailsFolder; // relative: the folder whose audio file gives the details
    std::vector<FolderEntry> detailsListing;
    int discs = 0; // of a folded album: its disc folders, and its loose tracks as one more
};

std::uint64_t listedBytes(const std::vector<FolderEntry>& listing) {
    std::uint64_t bytes = 0;
    for (const FolderEntry& entry : listing)
        bytes += entry.size > 0 ? static_cast<std::uint64_t>(entry.size) : 0;
    return bytes;
}

// Takes the album's listings from sizes, in the order the album's paths were queued. A folded
// album measures every folder it takes in and reads its details from its loose tracks, else from
// the first disc that holds audio; its signature covers every folder, so that a change on any
// disc reads the album again.
MeasuredAlbum measureAlbum(const AlbumFolders& album, FolderSizeQueue& sizes, bool otherFormats) {
    MeasuredAlbum measured;
    measured.size = sizes.takeNext(measured.detailsListing);
    measured.detailsFolder = album.folder;
    if (album.inner.isEmpty()) {
        measured.signature = folderSignature(measured.detailsListing);
        return measured;
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const auto addToSignature = [&hash](const QString& folder,
                                        const std::vector<FolderEntry>& listing) {
        hash.addData(folder.toUtf8());
        hash.addData(folderSignature(listing));
    };
    addToSignature(album.folder, measured.detailsListing);
    std::uint64_t bytes = listedBytes(measured.detailsListing);
    const bool looseTracks = holdsAudio(measured.detailsListing, otherFormats);
    std::vector<std::vector<FolderEntry>> discListings(static_cast<size_t>(album.discs.size()));
    for (const QString& inner : album.inner) {
        std::vector<FolderEntry> listing;
        sizes.takeNext(listing);
        bytes += listedBytes(listing);
        addToSignature(inner, listing);
        if (const qsizetype disc = album.discs.indexOf(inner); disc >= 0)
            discListings[static_cast<size_t>(disc)] = std::move(listing);
    }
    measured.size = sizeTextOfBytes(bytes);
    measured.signature = hash.result();
    measured.discs = static_cast<int>(album.discs.size()) + (looseTracks ? 1 : 0);
    for (size_t disc = 0; !looseTracks && disc < discListings.size(); ++disc) {
        if (holdsAudio(discListings[disc], otherFormats)) {
            measured.detailsFolder = album.discs.at(static_cast<qsizetype>(disc));
            measured.detailsListing = std::move(discListings[disc]);
            break;
        }
    }
    return measured;
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
    const std::vector<AlbumFolders> albums =
        albumFolders(folders, options.toggles.foldDiscs, categories);
    const int total = static_cast<int>(albums.size());
    host.setProgressMaximum(total);
    QString lastCategory;
    QStringList paths;
    paths.reserve(folders.size());
    for (const AlbumFolders& album : albums) {
        paths.append(rootDir + album.folder);
        for (const QString& inner : album.inner)
            paths.append(rootDir + inner);
    }
    FolderSizeQueue sizes(std::move(paths));
    for (int i = 0; i < total; ++i) {
        const AlbumFolders& album = albums[static_cast<size_t>(i)];
        const QString& entry = album.folder;
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
        const MeasuredAlbum measured = measureAlbum(album, sizes, options.toggles.otherFormats);
        // Skipped folders neither pump nor look at the stop request.
        if (text::parseDecimalComma(measured.size).value_or(0) <= options.minLimit)
            continue;
        const RowOrigin origin{root, entry, measured.signature};
        if (const CatalogueRow* unchanged = update ? update->unchangedRow(origin) : nullptr) {
            MusicRow row = *unchanged;
            row.origin = origin; // the root may have moved
            list.appendRow(std::move(row));
        } else {
            list.appendRow({folderText(files::displayFileName(entry, options.toggles.tagEncoding),
                                       categories, options.separator),
                            {measured.size},
                            origin});
            readAlbumDetails(rootDir + measured.detailsFolder, measured.detailsListing, list,
                             list.count() - 1, options.separator, options.toggles, readPump,
                             discCountMark(measured.discs));
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
    const CatalogueUpdate update(list.rows(), roots, list.leftOut());
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
    counts.leftOut = result.counts.leftOut;
    result.counts = counts;
    list.resetRows(std::move(rows));
    result.scan.count = musicAlbumCount(list, options.toggles.musicInCat);
    return result;
}

MusicUpdateResult addMusicRoot(MusicList& list, const QString& root,
                               const MusicScanOptions& options, MusicScanHost& host,
                               const EmptyRootCheck& mayEmpty) {
    const QString listed = listedRoot(list.rows(), root);
    if (listed.isEmpty()) {
        MusicUpdateResult result;
        // Scanned afresh: its albums left out come back, unless deleted again meanwhile.
        list.forgetLeftOut(root);
        result.scan = scanMusic(root, options, list, host);
        return result;
    }
    MusicList part;
    part.resetRows(rowsOfRoot(list.rows(), listed));
    part.setLeftOut(list.leftOut());
    MusicUpdateResult result = updateMusic(part, {listed}, options, host, mayEmpty);
    result.refreshed = true;
    if (result.scan.stopped || result.scan.abandoned)
        return result;
    list.resetRows(replaceRootRows(list.rows(), listed, part.rows()));
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

MusicScanOptions readMusicScanOptions(const Settings& settings, const Toggles& toggles,
                                      const QString& testersModeText) {
    MusicScanOptions options;
    options.toggles = toggles;
    options.toggles.tagEncoding = settings.tagEncoding();
    options.minLimit = settings.minLimit();
    options.separator = settings.groupAlbumSeparator();
    options.testersMode = testersModeText == QLatin1String("1");
    options.testersMinLimit = settings.testersMinLimit();
    return options;
}

} // namespace korvane
