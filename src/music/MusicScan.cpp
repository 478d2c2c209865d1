#include "music/MusicScan.h"

#include "catalogue/CatalogueUpdate.h"
#include "files/FileName.h"
#include "files/RequestPool.h"
#include "music/AlbumDetails.h"
#include "music/AlbumTotals.h"
#include "music/DiscFolders.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"
#include "settings/ProgramFolder.h"
#include "tags/AudioFormats.h"
#include "text/LocaleText.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <optional>

#include <dirent.h>
#include <sys/stat.h>

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
    // With album totals: the audio files and cue sheets of every folder of the album.
    std::vector<std::filesystem::path> audioFiles;
    std::vector<std::filesystem::path> cueSheets;
};

// What the album totals read of one of the album's folders, from its listing.
void addTotalsFiles(const QString& folder, const std::vector<FolderEntry>& listing,
                    bool otherFormats, MeasuredAlbum& measured) {
    const std::string directory = files::encodeFileName(folder).toStdString() + '/';
    for (const FolderEntry& entry : listing) {
        if (entry.type == DT_DIR)
            continue;
        if (tags::formatOfName(entry.name, otherFormats))
            measured.audioFiles.emplace_back(directory + entry.name);
        else if (QByteArray::fromStdString(entry.name).toLower().endsWith(".cue"))
            measured.cueSheets.emplace_back(directory + entry.name);
    }
}

// Measures an album from the walk's listings (taking them out). A folded album measures every
// folder it takes in and reads its details from its loose tracks, else from the first disc that
// holds audio; its signature covers every folder, so that a change on any disc reads the album
// again.
MeasuredAlbum measureAlbum(const QString& rootDir, const AlbumFolders& album,
                           QHash<QString, std::vector<FolderEntry>>& listings, bool otherFormats,
                           bool totals) {
    MeasuredAlbum measured;
    const auto take = [&](const QString& folder) {
        std::vector<FolderEntry> listing = listings.take(rootDir + folder);
        if (totals)
            addTotalsFiles(rootDir + folder, listing, otherFormats, measured);
        return listing;
    };
    measured.detailsListing = take(album.folder);
    measured.size = sizeTextOfBytes(listedBytes(measured.detailsListing));
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
        std::vector<FolderEntry> listing = take(inner);
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

// An album on its way to a row: kept from the update, read on the pool, or neither when its size
// leaves it out.
struct PendingAlbum {
    std::optional<MusicRow> unchanged;
    RequestPool::Task<std::optional<MusicRow>> read;
    bool small = false; // not above min_limit
};

// Each album that is read has the pool read it ahead of the row, so that the reads of the next
// albums are in flight while one is handed out.
class AlbumReads {
public:
    AlbumReads(const QString& root, const MusicScanOptions& options,
               const std::vector<AlbumFolders>& albums,
               QHash<QString, std::vector<FolderEntry>>& listings, const CatalogueUpdate* update,
               RequestPool& pool, const std::stop_token& stop)
        : m_root(root), m_rootDir(withTrailingSeparator(root)), m_options(options),
          m_albums(albums), m_listings(listings), m_update(update), m_pool(pool), m_stop(stop),
          m_ahead(static_cast<size_t>(pool.inFlight()) * 4) {}

    // The album at index (taken in order, once each).
    PendingAlbum take(size_t index) {
        while (m_prepared < m_albums.size() && m_prepared <= index + m_ahead)
            m_pending.push_back(prepare(m_albums[m_prepared++]));
        PendingAlbum album = std::move(m_pending.front());
        m_pending.pop_front();
        return album;
    }

    ~AlbumReads() {
        for (PendingAlbum& album : m_pending)
            album.read.drop();
    }

private:
    PendingAlbum prepare(const AlbumFolders& album) {
        PendingAlbum pending;
        const Toggles& toggles = m_options.toggles;
        MeasuredAlbum measured =
            measureAlbum(m_rootDir, album, m_listings, toggles.otherFormats, toggles.albumTotals);
        if (text::parseDecimalComma(measured.size).value_or(0) <= m_options.minLimit) {
            pending.small = true;
            return pending;
        }
        // The files in the order of their paths, whatever order the listings gave.
        std::sort(measured.audioFiles.begin(), measured.audioFiles.end());
        const RowOrigin origin{m_root, album.folder, measured.signature};
        const QString folderText =
            musicFolderText(files::displayFileName(album.folder, toggles.tagEncoding),
                            toggles.musicInCat, m_options.separator);
        if (const CatalogueRow* unchanged = m_update ? m_update->unchangedRow(origin) : nullptr) {
            MusicRow row = *unchanged;
            row.origin = origin; // the root may have moved
            // Stored before the totals were switched on: only its totals are read, so that it
            // stays the unchanged row it is, hand edits and all.
            if (toggles.albumTotals && row.values.kind == RowValues::Kind::Album &&
                !hasAlbumTotals(row.values)) {
                pending.read = m_pool.submit([this, row = std::move(row), folderText,
                                              measured = std::move(measured)]() mutable {
                    readTotals(measured, row.values);
                    formatMusicRow(row, folderText, m_options.toggles, m_options.separator);
                    return std::optional<MusicRow>(std::move(row));
                });
                return pending;
            }
            // Made again with today's toggles, as a fresh scan would make it.
            formatMusicRow(row, folderText, toggles, m_options.separator);
            pending.unchanged = std::move(row);
            return pending;
        }
        MusicRow row{folderText, {}, origin};
        row.values.bytes = static_cast<qint64>(measured.bytes);
        row.values.discs = static_cast<qint16>(measured.discs);
        pending.read = m_pool.submit([this, row = std::move(row), folder = m_rootDir + album.folder,
                                      measured = std::move(measured)]() mutable {
            // A folder removed (or replaced by a file) since the walk, a user tidying up during
            // the scan, is left out, as its size would be "0" now.
            struct stat info {};
            if (::stat(files::encodeFileName(folder).constData(), &info) != 0 ||
                !S_ISDIR(info.st_mode))
                return std::optional<MusicRow>();
            if (m_options.toggles.albumTotals)
                readTotals(measured, row.values);
            readAlbumDetails(m_rootDir + measured.detailsFolder, measured.detailsListing, row,
                             m_options.separator, m_options.toggles, m_stop);
            return std::optional<MusicRow>(std::move(row));
        });
        return pending;
    }

    // Every audio file of the album for its length: its headers only.
    void readTotals(const MeasuredAlbum& measured, RowValues& values) const {
        const AlbumTotals totals = readAlbumTotals(measured.audioFiles, measured.cueSheets,
                                                   m_options.toggles.tagEncoding, m_stop);
        // A count a stop cut short is no total: the album stays without, to be read again.
        if (m_stop.stop_requested())
            return;
        values.tracks = totals.tracks;
        values.seconds = totals.seconds;
        values.mixedRates = mixedBitRateText(totals);
    }

    const QString m_root;
    const QString m_rootDir;
    const MusicScanOptions& m_options;
    const std::vector<AlbumFolders>& m_albums;
    QHash<QString, std::vector<FolderEntry>>& m_listings;
    const CatalogueUpdate* m_update;
    RequestPool& m_pool;
    const std::stop_token& m_stop;
    const size_t m_ahead;
    size_t m_prepared = 0;
    std::deque<PendingAlbum> m_pending;
};

} // namespace

MusicScanResult scanMusicRows(const QString& root, const MusicScanOptions& options,
                              MusicScanHost& host, const std::stop_token& stop,
                              const CatalogueUpdate* update) {
    MusicScanResult result;
    const QString rootDir = withTrailingSeparator(root);
    const bool categories = options.toggles.musicInCat;
    RequestPool pool(options.requestsInFlight > 0 ? options.requestsInFlight
                                                  : requestsInFlightFor(root));

    // One reading of each folder gives the walk its sub-folders and the albums their listings.
    FolderWalk walk;
    walk.keepListings = true;
    walkFolders(rootDir, walk, pool, stop);
    if (stop.stop_requested()) {
        result.stopped = true;
        return result;
    }
    QStringList folders = std::move(walk.folders);
    for (QString& folder : folders) {
        const qsizetype at = folder.indexOf(rootDir);
        if (at >= 0)
            folder.remove(at, rootDir.size());
    }
    // The categories: the root's sub-folders in the order its listing gave them, which the walk
    // kept.
    QStringList categoryNames;
    if (categories) {
        for (const QString& folder : std::as_const(folders)) {
            if (!folder.contains(kSeparator))
                categoryNames.append(folder);
        }
    }
    // Folders are sorted, and rows captioned, by the names as the user reads them; the paths
    // keep the names' own bytes for the file system.
    files::sortByShownName(folders, options.toggles.tagEncoding);
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
    AlbumReads reads(root, options, albums, walk.listings, update, pool, stop);
    for (int i = 0; i < total; ++i) {
        const QString& entry = albums[static_cast<size_t>(i)].folder;
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
        PendingAlbum album = reads.take(static_cast<size_t>(i));
        std::optional<MusicRow> row = album.unchanged
                                          ? std::move(album.unchanged)
                                          : (album.read.valid() ? album.read.take() : std::nullopt);
        // Skipped folders do not look at the stop request.
        if (!row) {
            result.smallFolders += album.small ? 1 : 0;
            continue;
        }
        row->values.category = shownCategory;
        host.addRow(std::move(*row));
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
    int smallFolders = 0;
    const bool completed =
        update.scanRoots(scanned, mayEmpty, result.counts, [&](const QString& root) {
            result.scan = scanMusic(root, options, scanned, host, stop, &update);
            smallFolders += result.scan.smallFolders;
            return !result.scan.stopped;
        });
    result.scan.smallFolders = smallFolders;
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

QString smallFoldersNote(int count) {
    if (count <= 0)
        return {};
    return QCoreApplication::translate("MusicScan", "; пропущено маленьких папок: %1").arg(count);
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
    options.requestsInFlight = settings.requestsInFlight();
    return options;
}

} // namespace korvane
