#pragma once

#include "catalogue/CatalogueList.h"

#include <QHash>
#include <QStringList>

#include <vector>

namespace korvane {

// What an update found, for the status text.
struct UpdateCounts {
    int added = 0;
    int changed = 0;
    int removed = 0;
    QStringList missingRoots; // roots that are gone: their rows were kept as they were

    bool operator==(const UpdateCounts&) const = default;
};

// The bookkeeping of "update": the previous list's rows by origin. The scans ask it for the row
// of an unchanged album folder or file (and then read nothing); afterwards it marks the new
// rows, gives changed rows back their hand-edited cells and counts what vanished.
class CatalogueUpdate {
public:
    explicit CatalogueUpdate(std::vector<CatalogueRow> previous);

    // The roots the previous rows came from, in the order they first appear.
    QStringList roots() const;
    // The previous rows that came from root, in their order.
    std::vector<CatalogueRow> rowsOf(const QString& root) const;

    // The previous row when the same folder or file is there with the same signature; nullptr
    // when it is new or changed and must be read.
    const CatalogueRow* unchangedRow(const RowOrigin& origin) const;

    // Marks and counts the scanned rows against the previous ones: a row without a previous
    // origin is new; a changed one keeps the previous row's hand-edited texts; a previous row
    // that no scanned row matches was removed. A row is matched by root and path, or, for a
    // collection that moved to another root, by its path alone when only one previous row has it.
    UpdateCounts finish(std::vector<CatalogueRow>& rows) const;

private:
    int previousIndex(const RowOrigin& origin) const;

    std::vector<CatalogueRow> m_previous;
    QHash<QString, int> m_byOrigin;
    QHash<QString, int> m_byRelative; // -1 when several roots hold the path
};

// The status text's line: "Новых: 3, изменённых: 1, удалённых: 2".
QString updateSummary(const UpdateCounts& counts);

} // namespace korvane
