#include "files/FolderWalker.h"

#include "files/FileName.h"
#include "files/RequestPool.h"

#include <QCryptographicHash>

#include <algorithm>
#include <set>

#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace korvane {
namespace {

constexpr QChar kSeparator = u'/';

struct Entry {
    std::string name;
    unsigned char type; // d_type: DT_DIR, DT_REG, DT_LNK, DT_UNKNOWN, ...
};

// A directory open for reading; closed by the destructor.
class DirectoryReader {
public:
    explicit DirectoryReader(const QString& path) : m_dir(opendir(files::encodeFileName(path))) {}
    ~DirectoryReader() {
        if (m_dir != nullptr)
            closedir(m_dir);
    }
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    bool isOpen() const { return m_dir != nullptr; }
    int fd() const { return dirfd(m_dir); }
    // The next entry, "." and ".." included; false at the end or on a read error.
    bool next(Entry& entry) {
        const dirent* d = readdir(m_dir);
        if (d == nullptr)
            return false;
        entry.name = d->d_name;
        entry.type = d->d_type;
        return true;
    }

private:
    DIR* m_dir;
};

bool isDotOrDotDot(const std::string& name) {
    return name == "." || name == "..";
}

// Whether the entry is a link itself; a listing that cannot tell asks the file system.
bool isLink(int dirFd, const Entry& entry) {
    if (entry.type != DT_UNKNOWN)
        return entry.type == DT_LNK;
    struct stat st;
    return fstatat(dirFd, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

struct FolderId {
    dev_t device;
    ino_t inode;
    auto operator<=>(const FolderId&) const = default;
};

// Whether folderSizeText counts the entry: everything but folders, hidden entries left out.
bool counted(const Entry& entry) {
    return !entry.name.empty() && entry.name.front() != '.' && entry.type != DT_DIR;
}

std::int64_t nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// The size and times of a counted entry that is a regular file (links followed).
void measure(const struct stat& st, FolderEntry& entry) {
    if (!S_ISREG(st.st_mode))
        return;
    entry.size = st.st_size;
    entry.modifiedNs = nanoseconds(st.st_mtim);
    entry.changedNs = nanoseconds(st.st_ctim);
}

// Reads a whole directory first, so that a deep tree never holds one open descriptor per level.
// Each entry that is a folder (a link to a folder included) comes with its identity when it could
// be taken; the other entries' names are kept when asked for, and the whole listing measured as
// folderSizeText measures it, each entry examined once. A stop ends it at the next entry.
struct Listing {
    struct Folder {
        QString name;
        bool known; // identity taken
        bool link;  // reached through a link
        FolderId id;
    };
    std::vector<Folder> folders;
    std::vector<QString> others;
    std::vector<FolderEntry> entries;
    bool abandoned = false;
};

Listing listFolders(const QString& dir, const std::stop_token& stop, bool keepOthers = false,
                    bool keepEntries = false) {
    Listing listing;
    DirectoryReader reader(dir);
    if (!reader.isOpen())
        return listing;
    Entry entry;
    while (reader.next(entry)) {
        if (stop.stop_requested()) {
            listing.abandoned = true;
            return listing;
        }
        if (keepEntries)
            listing.entries.push_back({entry.name, entry.type});
        if (isDotOrDotDot(entry.name))
            continue;
        const bool maybeFolder =
            entry.type == DT_DIR || entry.type == DT_LNK || entry.type == DT_UNKNOWN;
        const bool measured = keepEntries && counted(entry);
        struct stat st;
        const bool known =
            (maybeFolder || measured) && fstatat(reader.fd(), entry.name.c_str(), &st, 0) == 0;
        if (measured && known)
            measure(st, listing.entries.back());
        // A folder the listing reports but that cannot be examined (no search right on its
        // parent) is still a folder; a vanished or dangling entry is not.
        if (!maybeFolder || (known ? !S_ISDIR(st.st_mode) : entry.type != DT_DIR)) {
            if (keepOthers)
                listing.others.push_back(files::decodeFileName(entry.name));
            continue;
        }
        listing.folders.push_back({files::decodeFileName(entry.name), known,
                                   isLink(reader.fd(), entry),
                                   known ? FolderId{st.st_dev, st.st_ino} : FolderId{}});
    }
    return listing;
}

QString withoutTrailingSeparator(const QString& path) {
    QString out = path;
    while (out.size() > 1 && out.endsWith(kSeparator))
        out.chop(1);
    return out;
}

// The state of one walk: the folders on the way down, and the folders already entered through a
// link.
struct Walk {
    std::vector<FolderId> path;
    std::set<FolderId> linkedTargets;
    FolderWalk& out;
    RequestPool& pool;
    const std::stop_token& stop;
};

// A folder link is entered once per walk: links from many folders to many others would otherwise
// have the walk follow every chain of them, which grows exponentially with their number.
bool onPath(const Listing::Folder& folder, const Walk& walk) {
    return folder.known &&
           std::find(walk.path.begin(), walk.path.end(), folder.id) != walk.path.end();
}

bool shouldEnter(const Listing::Folder& folder, Walk& walk) {
    if (!folder.known)
        return true;
    if (onPath(folder, walk))
        return false; // a link back to a folder on our own path
    return !folder.link || walk.linkedTargets.insert(folder.id).second;
}

// Takes in dir's listing and walks its sub-folders; returns false when the walk was stopped.
// Every sub-folder's listing is asked of the pool at once, so that they are read while the
// walk goes down the first one; the decisions stay in the serial walk's order.
bool walkFolder(const QString& dir, Listing listing, Walk& walk) {
    const QString prefix = dir.endsWith(kSeparator) ? dir : dir + kSeparator;
    for (const QString& name : listing.others)
        walk.out.others.append(prefix + name);
    if (walk.out.keepListings)
        walk.out.listings.insert(dir, std::move(listing.entries));
    using ListingTask = RequestPool::Task<Listing>;
    std::vector<ListingTask> tasks(listing.folders.size());
    for (size_t i = listing.folders.size(); i-- > 0;) {
        if (onPath(listing.folders[i], walk))
            continue;
        tasks[i] = walk.pool.submit(
            [full = prefix + listing.folders[i].name, &walk] {
                return listFolders(full, walk.stop, walk.out.keepOthers, walk.out.keepListings);
            },
            true);
    }
    bool goOn = true;
    for (size_t i = 0; i < listing.folders.size(); ++i) {
        const Listing::Folder& folder = listing.folders[i];
        if (!goOn || !shouldEnter(folder, walk)) {
            tasks[i].drop();
            continue;
        }
        const QString full = prefix + folder.name;
        walk.out.folders.append(full);
        if (folder.known)
            walk.path.push_back(folder.id);
        goOn = walkFolder(full, tasks[i].take(), walk);
        if (folder.known)
            walk.path.pop_back();
    }
    return goOn && !listing.abandoned;
}

} // namespace

void walkFolders(const QString& root, FolderWalk& walk, RequestPool& pool,
                 const std::stop_token& stop) {
    const QString dir = withoutTrailingSeparator(root);
    Walk state{{}, {}, walk, pool, stop};
    struct stat st;
    if (stat(files::encodeFileName(dir), &st) == 0)
        state.path.push_back({st.st_dev, st.st_ino});
    walkFolder(dir, listFolders(dir, stop, walk.keepOthers, walk.keepListings), state);
}

void listAllFolders(const QString& root, QStringList& list, const std::stop_token& stop) {
    FolderWalk walk;
    RequestPool serial(1);
    walkFolders(root, walk, serial, stop);
    list.append(walk.folders);
}

void listAllFolders(const QString& root, QStringList& folders, QStringList& others,
                    const std::stop_token& stop) {
    FolderWalk walk;
    walk.keepOthers = true;
    RequestPool serial(1);
    walkFolders(root, walk, serial, stop);
    folders.append(walk.folders);
    others.append(walk.others);
}

QString folderSizeText(const QString& folder) {
    std::vector<FolderEntry> listing;
    return folderSizeText(folder, listing);
}

QString folderSizeText(const QString& folder, std::vector<FolderEntry>& listing) {
    listing.clear();
    DirectoryReader reader(folder);
    Entry entry;
    while (reader.isOpen() && reader.next(entry)) {
        listing.push_back({entry.name, entry.type});
        struct stat st;
        if (counted(entry) && fstatat(reader.fd(), entry.name.c_str(), &st, 0) == 0)
            measure(st, listing.back());
    }
    return sizeTextOfBytes(listedBytes(listing));
}

std::uint64_t listedBytes(const std::vector<FolderEntry>& listing) {
    std::uint64_t bytes = 0;
    for (const FolderEntry& entry : listing)
        bytes += entry.size > 0 ? static_cast<std::uint64_t>(entry.size) : 0;
    return bytes;
}

QByteArray folderSignature(const std::vector<FolderEntry>& listing) {
    // Sorted, so that a listing returned in another order is still the same folder.
    std::vector<const FolderEntry*> entries;
    entries.reserve(listing.size());
    for (const FolderEntry& entry : listing)
        entries.push_back(&entry);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry* a, const FolderEntry* b) { return a->name < b->name; });
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const FolderEntry* entry : entries) {
        hash.addData(
            QByteArrayView(entry->name.data(), static_cast<qsizetype>(entry->name.size() + 1)));
        const std::int64_t numbers[] = {entry->type, entry->size, entry->modifiedNs,
                                        entry->changedNs};
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(numbers), sizeof numbers));
    }
    return hash.result();
}

QByteArray fileSignature(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return {};
    const std::int64_t numbers[] = {st.st_size, nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
    return QByteArray(reinterpret_cast<const char*>(numbers), sizeof numbers);
}

std::vector<FolderEntry> folderEntries(const QString& folder) {
    std::vector<FolderEntry> listing;
    DirectoryReader reader(folder);
    Entry entry;
    while (reader.isOpen() && reader.next(entry))
        listing.push_back({entry.name, entry.type});
    return listing;
}

QString sizeTextOfBytes(std::uint64_t bytes) {
    // The quotient by 2^20 has at most 20 decimal places: frac / 2^20 == frac * 5^20 / 10^20.
    constexpr int kPlaces = 20;
    constexpr int kSignificant = 15;
    unsigned __int128 scaled = static_cast<unsigned __int128>(bytes & 0xFFFFF);
    for (int i = 0; i < kPlaces; ++i)
        scaled *= 5;
    std::string places(kPlaces, '0');
    for (int i = kPlaces - 1; i >= 0; --i, scaled /= 10)
        places[static_cast<size_t>(i)] = static_cast<char>('0' + static_cast<int>(scaled % 10));
    std::string digits = std::to_string(bytes >> 20) + places;
    size_t point = digits.size() - kPlaces;

    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return QStringLiteral("0");
    // Round to 15 significant digits, half up, on the exact decimal expansion.
    const size_t end = first + kSignificant;
    if (end < digits.size()) {
        const bool up = digits[end] >= '5';
        std::fill(digits.begin() + static_cast<std::ptrdiff_t>(end), digits.end(), '0');
        for (size_t i = end; up && i-- > 0;) {
            if (digits[i] != '9') {
                ++digits[i];
                break;
            }
            digits[i] = '0';
            if (i == 0) {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
    }
    std::string whole = digits.substr(0, point);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    const std::string fraction = digits.substr(point);
    QString text = QString::fromLatin1(whole.c_str());
    if (fraction.find_first_not_of('0') != std::string::npos)
        text += u',' + QChar(QLatin1Char(fraction.front()));
    return text;
}

} // namespace korvane
