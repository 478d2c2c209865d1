#include "catalogue/CatalogueList.h"

#include "text/LocaleText.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <string>

namespace korvane {

bool isSameRoot(const QString& a, const QString& b) {
    return a == b || QDir::cleanPath(a) == QDir::cleanPath(b);
}

void setUneditedText(CatalogueRow& row, int column, const QString& text) {
    const bool present = column == 0 || column - 1 < row.cells.size();
    if (present && column < 32 && (row.editedColumns & (1u << column)) != 0)
        return;
    if (column == 0) {
        row.caption = text;
        return;
    }
    while (row.cells.size() < column)
        row.cells.append(QString());
    row.cells[column - 1] = text;
}
namespace {

// Removals of more runs than this reset the model: one pass for the views instead of one per run.
constexpr int kMaxRunsRemovedOneByOne = 32;

} // namespace

CatalogueList::CatalogueList(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)) {}

void CatalogueList::appendRow(CatalogueRow row) {
    const int index = count();
    beginInsertRows({}, index, index);
    m_rows.push_back(std::move(row));
    endInsertRows();
}

void CatalogueList::appendRows(std::vector<CatalogueRow> rows) {
    if (rows.empty())
        return;
    const int first = count();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                  std::make_move_iterator(rows.end()));
    endInsertRows();
}

void CatalogueList::reserveRows(int more) {
    if (more > 0)
        m_rows.reserve(m_rows.size() + static_cast<size_t>(more));
}

void CatalogueList::setCaption(int index, const QString& caption) {
    m_rows.at(static_cast<size_t>(index)).caption = caption;
    emitRowChanged(index);
}

void CatalogueList::setCloseTexts(int index, const QList<CloseText>& texts) {
    m_rows.at(static_cast<size_t>(index)).closeTexts = texts;
    emitRowChanged(index);
}

QString CatalogueList::text(int index, int column) const {
    const CatalogueRow& r = row(index);
    if (column == 0)
        return r.caption;
    return r.cells.value(column - 1);
}

void CatalogueList::setCell(int index, int cell, const QString& value) {
    QStringList& cells = m_rows.at(static_cast<size_t>(index)).cells;
    while (cells.size() <= cell)
        cells.append(QString());
    cells[cell] = value;
    emitRowChanged(index);
}

void CatalogueList::appendCell(int index, const QString& value) {
    m_rows.at(static_cast<size_t>(index)).cells.append(value);
    emitRowChanged(index);
}

void CatalogueList::applyEdit(int index, const CatalogueRow& edited) {
    if (index < 0 || index >= count())
        return;
    // The editor shows the row's own texts: only a text that differs counts as a hand edit.
    std::uint32_t& marks = m_rows.at(static_cast<size_t>(index)).editedColumns;
    if (!edited.caption.isEmpty() && edited.caption != text(index, 0)) {
        setCaption(index, edited.caption);
        marks |= 1u;
    }
    for (int cell = 0; cell < edited.cells.size() && cell + 1 < columnCount(); ++cell) {
        if (!edited.cells[cell].isEmpty() && edited.cells[cell] != text(index, cell + 1)) {
            setCell(index, cell, edited.cells[cell]);
            if (cell + 1 < 32)
                marks |= 1u << (cell + 1);
        }
    }
}

void CatalogueList::removeRowAt(int index) {
    if (index < 0 || index >= count())
        return;
    beginRemoveRows({}, index, index);
    m_rows.erase(m_rows.begin() + index);
    endRemoveRows();
}

void CatalogueList::removeFlaggedRows(const std::vector<bool>& doomed) {
    const auto isDoomed = [&doomed](int index) {
        return static_cast<size_t>(index) < doomed.size() && doomed[static_cast<size_t>(index)];
    };
    int runs = 0;
    for (int index = 0; index < count(); ++index) {
        if (isDoomed(index) && !isDoomed(index - 1))
            ++runs;
    }
    if (runs > kMaxRunsRemovedOneByOne) {
        beginResetModel();
        int kept = 0;
        for (int index = 0; index < count(); ++index) {
            if (!isDoomed(index))
                m_rows[static_cast<size_t>(kept++)] = std::move(m_rows[static_cast<size_t>(index)]);
        }
        m_rows.erase(m_rows.begin() + kept, m_rows.end());
        endResetModel();
        return;
    }
    // From the end, so that the rows still to remove keep their numbers.
    int last = count() - 1;
    while (last >= 0) {
        if (!isDoomed(last)) {
            --last;
            continue;
        }
        int first = last;
        while (first > 0 && isDoomed(first - 1))
            --first;
        beginRemoveRows({}, first, last);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
        last = first - 1;
    }
}

void CatalogueList::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
    m_leftOut.clear();
}

void CatalogueList::forgetLeftOut(const QString& root) {
    std::erase_if(m_leftOut,
                  [&root](const RowOrigin& origin) { return isSameRoot(origin.root, root); });
}

void CatalogueList::leaveOut(const RowOrigin& origin) {
    if (origin.relative.isEmpty())
        return;
    const RowOrigin key{origin.root, origin.relative, {}};
    if (std::find(m_leftOut.begin(), m_leftOut.end(), key) == m_leftOut.end())
        m_leftOut.push_back(key);
}

void CatalogueList::resetRows(std::vector<CatalogueRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CatalogueList::sortByColumn(int column) {
    std::vector<std::string> keys;
    keys.reserve(m_rows.size());
    for (int i = 0; i < count(); ++i)
        keys.push_back(text::toCp1251(text(i, column)));
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    // std::string compares as unsigned bytes through char_traits<char>::compare (memcmp).
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[a] < keys[b]; });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> newPosition(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        newPosition[static_cast<size_t>(order[i])] = static_cast<int>(i);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(newPosition[static_cast<size_t>(index.row())], index.column()));
    std::vector<CatalogueRow> sorted;
    sorted.reserve(m_rows.size());
    for (int i : order)
        sorted.push_back(std::move(m_rows[static_cast<size_t>(i)]));
    m_rows = std::move(sorted);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CatalogueList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int CatalogueList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CatalogueList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == NewRowRole)
        return row(index.row()).isNew;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[static_cast<size_t>(index.column())].alignment |
                                   Qt::AlignVCenter);
    return {};
}

QVariant CatalogueList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    // The window shows the captions in its language; the exports write them as they are.
    if (role == Qt::DisplayRole)
        return QCoreApplication::translate(
            "Columns", m_columns[static_cast<size_t>(section)].caption.toUtf8().constData());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[static_cast<size_t>(section)].alignment |
                                   Qt::AlignVCenter);
    return {};
}

void CatalogueList::emitRowChanged(int index) {
    emit dataChanged(this->index(index, 0), this->index(index, columnCount() - 1));
}

} // namespace korvane
