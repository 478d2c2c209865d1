#include "music/MusicScan.h"

#include "catalogue/CatalogueUpdate.h"
#include "files/FileName.h"
#include "files/FolderSizeQueue.h"
#include "music/AlbumDetails.h"
#include "music/DiscFolders.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
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
    std::uint64_t bytes = 0;
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
    measured.bytes = listedBytes(measured.detailsListing);
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
    std::uint64_t& bytes = measured.bytes;
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

MusicScanResult scanMusicRows(const QString& root, const MusicScanOptions& options,
                              MusicScanHost& host, const std::stop_token& stop,
                              const CatalogueUpdate* update) {
    MusicScanResult result;
    const QString rootDir = withTrailingSeparator(root);
    const bool categories = options.toggles.musicInCat;

    QStringList folders;
    listAllFolders(rootDir, folders, stop);
    // Folders are sorted, and rows captioned, by the names as the user reads them; the paths
    // keep the names' own bytes for the file system.
    files::sortByShownName(folders, options.toggles.tagEncoding);
    QStringList categoryNames;
    if (categories)
        listCategoryFolders(rootDir, categoryNames, stop);
    if (stop.stop_requested()) {
        result.stopped = true;
        return result;
    }

    for (QString& folder : folders) {
        const qsizetype at = folder.indexOf(rootDir);
        if (at >= 0)
            folder.remove(at, rootDir.size());
    }
    if (!options.toggles.showGroupNotAlbum) {
        QStringList kept;
        kept.reserve(folders.size());
        for (const QString& folder : std::as_const(folders)) {
            if (deepEnough(folder, categories))
                kept.append(folder);
        }
        folders = std::move(kept);
    }

    host.albumPhaseBegan();
    const std::vector<AlbumFolders> albums =
        albumFolders(folders, options.toggles.foldDiscs, categories);
    const int total = static_cast<int>(albums.size());
    host.setProgressMaximum(total);
    QString lastCategory;
    QString shownCategory; // of the album's category, shared by its rows
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
                    shownCategory = files::displayFileName(category, options.toggles.tagEncoding);
                    host.addRow(MusicList::categoryHeaderRow(shownCategory));
                    lastCategory = category;
                }
            }
        }
        host.setProgressPosition(i + 1);
        host.setStatusText(u' ' +
                           files::displayFileName(rootDir + entry, options.toggles.tagEncoding));
        const MeasuredAlbum measured = measureAlbum(album, sizes, options.toggles.otherFormats);
        // Skipped folders do not look at the stop request.
        if (text::parseDecimalComma(measured.size).value_or(0) <= options.minLimit)
            continue;
        const RowOrigin origin{root, entry, measured.signature};
        const QString folderText =
            musicFolderText(files::displayFileName(entry, options.toggles.tagEncoding), categories,
                            options.separator);
        if (const CatalogueRow* unchanged = update ? update->unchangedRow(origin) : nullptr) {
            MusicRow row = *unchanged;
            row.origin = origin; // the root may have moved
            row.values.category = shownCategory;
            // Made again with today's toggles, as a fresh scan would make it.
            formatMusicRow(row, folderText, options.toggles, options.separator);
            host.addRow(std::move(row));
        } else {
            MusicRow row{folderText, {}, origin};
            row.values.category = shownCategory;
            row.values.bytes = static_cast<qint64>(measured.bytes);
            row.values.discs = static_cast<qint16>(measured.discs);
            readAlbumDetails(rootDir + measured.detailsFolder, measured.detailsListing, row,
                             options.separator, options.toggles, stop);
            host.addRow(std::move(row));
        }
        if (stop.stop_requested()) {
            result.stopped = true;
            host.stopHonoured();
            break;
        }
    }
    return result;
}

int finishMusicScan(MusicList& list, const MusicScanOptions& options) {
    if (options.testersMode)
        removeSmallTesterRows(list, options.testersMinLimit);
    return musicAlbumCount(list, options.toggles.musicInCat);
}

namespace {

// Appends the rows of a scan on one thread to a list; the rest goes to the caller's host.
class ListFiller final : public MusicScanHost {
public:
    ListFiller(MusicList& list, MusicScanHost& host) : m_list(list), m_host(host) {}
    void addRow(MusicRow row) override { m_list.appendRow(std::move(row)); }
    void setStatusText(const QString& text) override { m_host.setStatusText(text); }
    void setProgressMaximum(int maximum) override { m_host.setProgressMaximum(maximum); }
    void setProgressPosition(int position) override { m_host.setProgressPosition(position); }
    void albumPhaseBegan() override { m_host.albumPhaseBegan(); }
    void stopHonoured() override { m_host.stopHonoured(); }

private:
    MusicList& m_list;
    MusicScanHost& m_host;
};

} // namespace

MusicScanResult scanMusic(const QString& root, const MusicScanOptions& options, MusicList& list,
                          MusicScanHost& host, const std::stop_token& stop,
                          const CatalogueUpdate* update) {
    ListFiller filler(list, host);
    MusicScanResult result = scanMusicRows(root, options, filler, stop, update);
    result.count = finishMusicScan(list, options);
    return result;
}

MusicRun::MusicRun(ListRunPlan plan) : m_plan(std::move(plan)) {}

MusicUpdateResult MusicRun::run(const MusicScanOptions& options, MusicScanHost& host,
                                const std::stop_token& stop, const EmptyRootCheck& mayEmpty) {
    MusicUpdateResult result;
    if (!m_plan.isUpdate) {
        result.scan = scanMusicRows(m_plan.root, options, host, stop);
        return result;
    }
    result.refreshed = refreshes();
    const CatalogueUpdate update(m_plan.previous, m_plan.roots, m_plan.leftOut);
    // Made and used on this thread only.
    MusicList scanned;
    const bool completed =
        update.scanRoots(scanned, mayEmpty, result.counts, [&](const QString& root) {
            result.scan = scanMusic(root, options, scanned, host, stop, &update);
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

void MusicRun::apply(MusicList& list, const MusicScanOptions& options, MusicUpdateResult& result) {
    if (!m_plan.isUpdate) {
        result.scan.count = finishMusicScan(list, options);
        return;
    }
    if (!result.scan.stopped) {
        list.resetRows(refreshes() ? replaceRootRows(list.rows(), m_plan.root, std::move(m_rows))
                                   : std::move(m_rows));
    }
    result.scan.count = musicAlbumCount(list, options.toggles.musicInCat);
}

namespace {

MusicUpdateResult runHere(MusicRun run, MusicList& list, const MusicScanOptions& options,
                          MusicScanHost& host, const EmptyRootCheck& mayEmpty,
                          const std::stop_token& stop) {
    ListFiller filler(list, host);
    MusicUpdateResult result = run.run(options, filler, stop, mayEmpty);
    run.apply(list, options, result);
    return result;
}

} // namespace

MusicUpdateResult updateMusic(MusicList& list, const QStringList& roots,
                              const MusicScanOptions& options, MusicScanHost& host,
                              const EmptyRootCheck& mayEmpty, const std::stop_token& stop) {
    return runHere(MusicRun(ListRunPlan::update(list, roots)), list, options, host, mayEmpty, stop);
}

MusicUpdateResult addMusicRoot(MusicList& list, const QString& root,
                               const MusicScanOptions& options, MusicScanHost& host,
                               const EmptyRootCheck& mayEmpty, const std::stop_token& stop) {
    return runHere(MusicRun(ListRunPlan::addRoot(list, root)), list, options, host, mayEmpty, stop);
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
