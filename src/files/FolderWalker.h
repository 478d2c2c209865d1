#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

// The folder operations of the scans: walk every folder below a root (the music scan lists the
// folders, the video scan the files), list the root's direct sub-folders (the categories), and
// measure one album folder as the Size cell's text. Names that are not UTF-8 are carried as
// files::decodeFileName gives them.
namespace korvane {

class RequestPool;

// An entry of a folder's listing: the name as the file system holds it and the listing's d_type;
// for the files folderSizeText measured, their size and modification time too.
struct FolderEntry {
    std::string name;
    unsigned char type;
    std::int64_t size = -1; // -1: not measured
    std::int64_t modifiedNs = 0;
    // The inode's change time: a tagger that writes a file in place and puts its modification
    // time back ("keep file time") cannot put this one back.
    std::int64_t changedNs = 0;
};

// Appends the full path (without a trailing separator) of every folder below root, hidden ones
// included, depth first: a folder before its sub-folders, its whole subtree before its next
// sibling. Folder links are followed, except one that leads back to a folder on its own path
// (so each folder of a cycle is visited once) and one to a folder an earlier link already led
// to; both are left out. A root that cannot be read adds nothing. A stop ends the walk at the
// next entry, files included, with what was listed so far.
void listAllFolders(const QString& root, QStringList& list, const std::stop_token& stop = {});
// The same walk, which also appends to others the full path of every entry met on the way that
// is no folder: files, links to files, dangling links, pipes, devices.
void listAllFolders(const QString& root, QStringList& folders, QStringList& others,
                    const std::stop_token& stop = {});

// The walk of listAllFolders with its requests in flight on pool: the folders come out in the same
// order, the links decided as the serial walk decides them. With keepListings, every folder's
// listing as folderSizeText(folder, listing) gives it (by the full path, the root's without a
// trailing separator), from the same reading of the folder: no folder is listed twice and no
// entry examined twice.
struct FolderWalk {
    bool keepOthers = false;
    bool keepListings = false;
    QStringList folders;
    QStringList others;
    QHash<QString, std::vector<FolderEntry>> listings;
};
void walkFolders(const QString& root, FolderWalk& walk, RequestPool& pool,
                 const std::stop_token& stop = {});

// The total size of the files directly inside folder (hidden files and sub-folders left out), in
// MiB as the Size cell shows it: "123,4", "7", "0,5", "0,0", "0". A folder that cannot be read
// measures "0".
QString folderSizeText(const QString& folder);

// folderSizeText that also hands back every entry of the listing ("." and ".." and hidden ones
// included) in the listing's order, so that the album details need not read the folder again.
QString folderSizeText(const QString& folder, std::vector<FolderEntry>& listing);

// The sum of the sizes a listing of folderSizeText holds.
std::uint64_t listedBytes(const std::vector<FolderEntry>& listing);

// A digest of a listing from folderSizeText: its names, sizes, modification and change times. Equal
// digests mean the update may keep the album's row without reading its files again.
QByteArray folderSignature(const std::vector<FolderEntry>& listing);
// The same for one file: its size, modification and change time; empty when it cannot be read.
QByteArray fileSignature(const std::string& path);

// Every entry of a folder's listing, as above; nothing for a folder that cannot be read.
std::vector<FolderEntry> folderEntries(const QString& folder);

// The byte sum rendered as folderSizeText renders it: the quotient by 2^20 in plain decimal
// notation with at most 15 significant digits and a comma, cut (never rounded) right after the
// first digit that follows the comma.
QString sizeTextOfBytes(std::uint64_t bytes);

} // namespace korvane
