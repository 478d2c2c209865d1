#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Multi-disc albums: an album folder whose audio lives in disc folders ("CD1", "Disc 2") is one
// row, not one row per disc.
namespace korvane {

// The number of a folder named as a disc: "cd", "disc", "disk" or "диск" in any case, spaces,
// dashes or underscores or nothing, the number, then the end or anything that does not go on
// with a letter or digit ("CD1", "CD 2", "cd-03", "Disc 1 of 2", "Диск 1", "CD1 - Live").
// Nothing for any other name ("Discography", "CD", "CDs", "CD1a").
std::optional<int> discNumber(const QString& name);

// The folders of one row of the scan.
struct AlbumFolders {
    QString folder;    // the row's folder, relative to the root
    QStringList inner; // the folders below it that it takes in, in the order of the scan's list
    QStringList discs; // those of them directly inside it named as discs, in the discs' order
};

// Groups the scan's list of folders (relative, separated by '/', sorted) into rows: a folder
// with a disc folder directly inside takes in every folder below it; every other folder is a
// row of its own, as before. A folder below one that takes it in is never a row of its own.
// Only folders at album depth (at least albumSeparators separators: Group/Album, or
// Category/Group/Album) take discs in, so that a group folder shown as a row of its own never
// swallows its albums.
std::vector<AlbumFolders> foldDiscFolders(const QStringList& folders, int albumSeparators = 1);

// The mark after the caption of an album of count discs (" [2CD]"); nothing for one disc.
QString discCountMark(int count);

} // namespace korvane
