#include "catalogue/CatalogueUpdate.h"

#include "files/FileName.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <utility>

#include <QCoreApplication>

namespace korvane {
namespace {

QString originKey(const RowOrigin& origin) {
    return origin.root + QChar(0) + origin.relative;
}

bool hasOrigin(const CatalogueRow& row) {
    return !row.origin.relative.isEmpty();
}

// By the root's own bytes: QFileInfo would spell a name that is not UTF-8 otherwise.
bool isFolder(const QString& root) {
    std::error_code error;
    return std::filesystem::is_directory(files::encodeFileName(root).toStdString(), error);
}

} // namespace

CatalogueUpdate::CatalogueUpdate(std::vector<CatalogueRow> previous, const QStringList& scanned,
                                 const std::vector<RowOrigin>& leftOut)
    : m_previous(std::move(previous)), m_roots(scanned) {
    for (const RowOrigin& origin : leftOut)
        m_leftOut.insert(originKey(origin));
    if (m_roots.isEmpty()) {
        for (const CatalogueRow& row : m_previous) {
            if (hasOrigin(row) && !m_roots.contains(row.origin.root))
                m_roots.append(row.origin.root);
        }
    }
    for (int i = 0; i < static_cast<int>(m_previous.size()); ++i) {
        const RowOrigin& origin = m_previous[static_cast<size_t>(i)].origin;
        if (origin.relative.isEmpty())
            continue;
        m_byOrigin.insert(originKey(origin), i);
        // A root walked now keeps its rows to itself: a new album at the same path below
        // another root is new.
        if (m_roots.contains(origin.root))
            continue;
        const auto known = m_byRelative.constFind(origin.relative);
        m_byRelative.insert(origin.relative, known == m_byRelative.cend() ? i : -1);
    }
}

std::vector<CatalogueRow> CatalogueUpdate::rowsOf(const QString& root) const {
    return rowsOfRoot(m_previous, root);
}

bool CatalogueUpdate::holdsItsAlbums(const QString& root, const std::vector<CatalogueRow>& rows,
                                     size_t from) const {
    for (size_t i = from; i < rows.size(); ++i) {
        const RowOrigin& origin = rows[i].origin;
        if (hasOrigin(rows[i]) && origin.root == root && m_byOrigin.contains(originKey(origin)))
            return true;
    }
    return std::none_of(m_previous.begin(), m_previous.end(), [&root](const CatalogueRow& row) {
        return hasOrigin(row) && row.origin.root == root;
    });
}

bool CatalogueUpdate::scanRoots(CatalogueList& into, const EmptyRootCheck& mayEmpty,
                                UpdateCounts& counts,
                                const std::function<bool(const QString&)>& scanRoot) const {
    for (const QString& root : m_roots) {
        const size_t before = into.rows().size();
        if (isFolder(root)) {
            if (!scanRoot(root))
                return false;
            std::vector<bool> deleted(into.rows().size(), false);
            for (size_t i = before; i < into.rows().size(); ++i) {
                const RowOrigin& origin = into.rows()[i].origin;
                deleted[i] = !origin.relative.isEmpty() && m_leftOut.contains(originKey(origin));
                counts.leftOut += deleted[i] ? 1 : 0;
            }
            into.removeFlaggedRows(deleted);
            if (holdsItsAlbums(root, into.rows(), before) || (mayEmpty && mayEmpty(root)))
                continue;
            std::vector<bool> fresh(into.rows().size(), false);
            std::fill(fresh.begin() + static_cast<std::ptrdiff_t>(before), fresh.end(), true);
            into.removeFlaggedRows(fresh);
            counts.emptyRoots.append(root);
        }
        counts.missingRoots.append(root);
        for (CatalogueRow& row : rowsOf(root))
            into.appendRow(std::move(row));
    }
    return true;
}

int CatalogueUpdate::previousIndex(const RowOrigin& origin) const {
    const int exact = m_byOrigin.value(originKey(origin), -1);
    return exact >= 0 ? exact : m_byRelative.value(origin.relative, -1);
}

const CatalogueRow* CatalogueUpdate::unchangedRow(const RowOrigin& origin) const {
    const int index = previousIndex(origin);
    if (index < 0)
        return nullptr;
    const CatalogueRow& row = m_previous[static_cast<size_t>(index)];
    return row.origin.signature == origin.signature ? &row : nullptr;
}

UpdateCounts CatalogueUpdate::finish(std::vector<CatalogueRow>& rows) const {
    UpdateCounts counts;
    std::vector<bool> matched(m_previous.size(), false);
    for (CatalogueRow& row : rows) {
        if (!hasOrigin(row))
            continue;
        const int index = previousIndex(row.origin);
        row.isNew = index < 0;
        if (index < 0) {
            ++counts.added;
            continue;
        }
        matched[static_cast<size_t>(index)] = true;
        const CatalogueRow& before = m_previous[static_cast<size_t>(index)];
        if (before.origin.signature == row.origin.signature)
            continue;
        ++counts.changed;
        row.editedColumns = before.editedColumns;
        if (row.editedColumns & 1u)
            row.caption = before.caption;
        for (int cell = 0; cell < before.cells.size() && cell + 1 < 32; ++cell) {
            if (!(row.editedColumns & (1u << (cell + 1))))
                continue;
            while (row.cells.size() <= cell)
                row.cells.append(QString());
            row.cells[cell] = before.cells[cell];
        }
    }
    for (size_t i = 0; i < m_previous.size(); ++i) {
        if (hasOrigin(m_previous[i]) && !matched[i])
            ++counts.removed;
    }
    return counts;
}

ListRunPlan ListRunPlan::addRoot(CatalogueList& list, const QString& root) {
    ListRunPlan plan;
    const QString listed = listedRoot(list.rows(), root);
    if (listed.isEmpty()) {
        // Scanned afresh: its albums left out come back, unless deleted again meanwhile.
        list.forgetLeftOut(root);
        plan.root = root;
        return plan;
    }
    plan.isUpdate = true;
    plan.root = listed;
    plan.roots = {listed};
    plan.previous = rowsOfRoot(list.rows(), listed);
    plan.leftOut = list.leftOut();
    return plan;
}

ListRunPlan ListRunPlan::update(const CatalogueList& list, const QStringList& roots) {
    ListRunPlan plan;
    plan.isUpdate = true;
    plan.roots = roots;
    plan.previous = list.rows();
    plan.leftOut = list.leftOut();
    return plan;
}

QString listedRoot(const std::vector<CatalogueRow>& rows, const QString& root) {
    for (const CatalogueRow& row : rows) {
        if (hasOrigin(row) && isSameRoot(row.origin.root, root))
            return row.origin.root;
    }
    return {};
}

std::vector<CatalogueRow> rowsOfRoot(const std::vector<CatalogueRow>& rows, const QString& root) {
    std::vector<CatalogueRow> taken;
    const CatalogueRow* header = nullptr; // the latest category header row not yet taken
    for (const CatalogueRow& row : rows) {
        if (!hasOrigin(row)) {
            header = &row;
        } else if (row.origin.root == root) {
            if (header)
                taken.push_back(*std::exchange(header, nullptr));
            taken.push_back(row);
        }
    }
    return taken;
}

std::vector<CatalogueRow> replaceRootRows(const std::vector<CatalogueRow>& rows,
                                          const QString& root, std::vector<CatalogueRow> fresh) {
    std::vector<CatalogueRow> result;
    std::vector<CatalogueRow> headers; // header rows not yet known to belong to another root
    bool placed = false;
    for (const CatalogueRow& row : rows) {
        if (!hasOrigin(row)) {
            headers.push_back(row);
        } else if (row.origin.root == root) {
            headers.clear(); // the fresh rows bring their own
            if (!std::exchange(placed, true))
                std::move(fresh.begin(), fresh.end(), std::back_inserter(result));
        } else {
            std::move(headers.begin(), headers.end(), std::back_inserter(result));
            headers.clear();
            result.push_back(row);
        }
    }
    std::move(headers.begin(), headers.end(), std::back_inserter(result));
    if (!placed)
        std::move(fresh.begin(), fresh.end(), std::back_inserter(result));
    return result;
}

QString updateSummary(const UpdateCounts& counts) {
    QString text =
        QCoreApplication::translate("CatalogueUpdate", "Новых: %1, изменённых: %2, удалённых: %3")
            .arg(counts.added)
            .arg(counts.changed)
            .arg(counts.removed);
    if (counts.leftOut > 0)
        text +=
            QCoreApplication::translate("CatalogueUpdate", "; исключённых: %1").arg(counts.leftOut);
    if (!counts.missingRoots.isEmpty())
        text += QCoreApplication::translate("CatalogueUpdate", "; недоступно: ") +
                counts.missingRoots.join(QStringLiteral(", "));
    return text;
}

} // namespace korvane
