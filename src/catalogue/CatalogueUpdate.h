#pragma once

#include "catalogue/CatalogueList.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>
#include <vector>

namespace korvane {

// What an update found, for the status text.
struct UpdateCounts {
    int added = 0;
    int changed = 0;
    int removed = 0;
    QStringList missingRoots; // roots that are gone or empty: their rows were kept as they were
    QStringList emptyRoots;   // those of them that are there but hold none of their albums
    int leftOut = 0;          // albums found again that the user had deleted: not brought back

    bool operator==(const UpdateCounts&) const = default;
};

// Asked when a root is there but holds none of its albums: true lets the update empty its rows
// (the user's choice); without it the rows are kept.
using EmptyRootCheck = std::function<bool(const QString& root)>;

// The bookkeeping of "update": the previous list's rows by origin. The scans ask it for the row
// of an unchanged album folder or file (and then read nothing); afterwards it marks the new
// rows, gives changed rows back their hand-edited cells and counts what vanished.
class CatalogueUpdate {
public:
    // `scanned` are the roots walked now; empty for the roots the previous rows came from.
    // `leftOut` are the albums the user deleted: the walk leaves them out again.
    explicit CatalogueUpdate(std::vector<CatalogueRow> previous, const QStringList& scanned = {},
                             const std::vector<RowOrigin>& leftOut = {});

    // The roots walked now: the ones given, or those of the previous rows in the order they
    // first appear.
    const QStringList& roots() const { return m_roots; }
    // The previous rows that came from root, in their order, each category header row above
    // them kept with them.
    std::vector<CatalogueRow> rowsOf(const QString& root) const;
    // Whether the rows from index `from` on (a fresh scan of root) hold at least one album the
    // previous list had below root, or the previous list had none there. A root that holds none
    // of its albums (an empty mount point, a disk not mounted) must not empty its rows unasked.
    bool holdsItsAlbums(const QString& root, const std::vector<CatalogueRow>& rows,
                        size_t from) const;

    // Walks every root with scanRoot, which appends the root's rows to `into` and returns false
    // when the run must end (then so does this). The rows of albums left out are taken out again
    // and counted. A root that is gone, or that holds none of its albums unless mayEmpty(root)
    // says yes, gets its previous rows back instead and is named in counts.
    bool scanRoots(CatalogueList& into, const EmptyRootCheck& mayEmpty, UpdateCounts& counts,
                   const std::function<bool(const QString& root)>& scanRoot) const;

    // The previous row when the same folder or file is there with the same signature; nullptr
    // when it is new or changed and must be read.
    const CatalogueRow* unchangedRow(const RowOrigin& origin) const;

    // Marks and counts the scanned rows against the previous ones: a row without a previous
    // origin is new; a changed one keeps the previous row's hand-edited texts; a previous row
    // that no scanned row matches was removed. A row is matched by root and path, or, for a
    // collection that moved to a root named instead of its own, by its path alone when only one
    // previous row of the roots not walked now has it.
    UpdateCounts finish(std::vector<CatalogueRow>& rows) const;

private:
    int previousIndex(const RowOrigin& origin) const;

    std::vector<CatalogueRow> m_previous;
    QStringList m_roots;
    QHash<QString, int> m_byOrigin;
    QHash<QString, int> m_byRelative; // rows of roots not walked now; -1 when several hold the path
    QSet<QString> m_leftOut;
};

// A root scanned again while the list holds its rows is refreshed in place, as an update does.
// The spelling under which the rows hold `root` (the same folder, with or without a final
// separator); empty when no row comes from it.
QString listedRoot(const std::vector<CatalogueRow>& rows, const QString& root);
// The rows that came from root, in their order, each category header row above them kept with
// them.
std::vector<CatalogueRow> rowsOfRoot(const std::vector<CatalogueRow>& rows, const QString& root);
// The rows with those of root (and the category header rows above them) replaced by `fresh`, put
// where the first of them stood.
std::vector<CatalogueRow> replaceRootRows(const std::vector<CatalogueRow>& rows,
                                          const QString& root, std::vector<CatalogueRow> fresh);

// What a scan or update of a list takes from the list before it runs off the list's thread:
// "Добавить в коллекцию" scans a new root afresh, or refreshes a root the list holds already by
// an update of that root alone; "Обновить коллекцию" updates the roots given, or every root.
struct ListRunPlan {
    // A root not in the list yet: its albums left out earlier come back (forgotten here).
    static ListRunPlan addRoot(CatalogueList& list, const QString& root);
    static ListRunPlan update(const CatalogueList& list, const QStringList& roots);

    // Whether the run appends its rows as they come; otherwise they are put in place at the end.
    bool appendsRows() const { return !isUpdate; }
    bool refreshes() const { return isUpdate && !root.isEmpty(); }

    bool isUpdate = false;
    QString root; // the root added; for a refresh, its spelling in the list
    QStringList roots;
    std::vector<CatalogueRow> previous;
    std::vector<RowOrigin> leftOut;
};

// The status text's line: "Новых: 3, изменённых: 1, удалённых: 2", then "; исключённых: N" for
// albums left out and "; недоступно: ROOT, ..." for the roots kept as they were.
QString updateSummary(const UpdateCounts& counts);

} // namespace korvane
