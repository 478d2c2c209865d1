#include "catalogue/ListFilter.h"

#include "catalogue/CatalogueList.h"

#include <QTimer>

#include <algorithm>

namespace korvane {
namespace {

QString folded(const QString& text) {
    QString lower = text.toLower();
    lower.replace(u'ё', u'е');
    return lower;
}

// The words of a filter text, folded as the rows are.
QStringList filterWords(const QString& text) {
    return folded(text).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

ListFilter::ListFilter(CatalogueList& list, int headerRole, QObject* parent)
    : QSortFilterProxyModel(parent), m_list(list), m_headerRole(headerRole) {
    // Connected before the proxy's own handlers, so that the texts are right when they filter.
    // An edit or a delete touches only its rows' texts; a sort or a reset makes them all again.
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                const auto end = std::min(m_texts.size(), size_t(bottomRight.row()) + 1);
                for (auto row = size_t(topLeft.row()); row < end; ++row)
                    m_texts[row].known = false;
            });
    connect(&list, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                const auto end = std::min(m_texts.size(), size_t(last) + 1);
                if (size_t(first) < end)
                    m_texts.erase(m_texts.begin() + first, m_texts.begin() + qsizetype(end));
            });
    connect(&list, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { rowsArrived(first, last); });
    connect(&list, &QAbstractItemModel::modelReset, this, [this] { m_texts.clear(); });
    connect(&list, &QAbstractItemModel::layoutChanged, this, [this] { m_texts.clear(); });
    setSourceModel(&list);
}

void ListFilter::setText(const QString& text) {
    const QStringList words = filterWords(text);
    if (words == m_words)
        return;
    m_words = words;
    m_matchers.clear();
    for (const QString& word : m_words)
        m_matchers.emplace_back(word);
    // A fresh mapping costs one look at each row; the proxy's row-by-row update of the old one
    // costs several times that on a long list.
    invalidate();
}

int ListFilter::shownItems() const {
    int items = 0;
    for (int row = 0; row < rowCount(); ++row)
        items += isHeader(mapToSource(index(row, 0)).row()) ? 0 : 1;
    return items;
}

int ListFilter::allItems() const {
    int items = 0;
    for (int row = 0; row < m_list.count(); ++row)
        items += isHeader(row) ? 0 : 1;
    return items;
}

bool ListFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (m_words.isEmpty())
        return true;
    if (!isHeader(sourceRow))
        return rowMatches(sourceRow);
    // A header stays above the albums it heads that are shown.
    for (int row = sourceRow + 1; row < m_list.count() && !isHeader(row); ++row) {
        if (rowMatches(row))
            return true;
    }
    return false;
}

const ListFilter::RowText& ListFilter::rowText(int sourceRow) const {
    const auto row = static_cast<size_t>(sourceRow);
    if (m_texts.size() <= row)
        m_texts.resize(static_cast<size_t>(m_list.count()));
    RowText& entry = m_texts[row];
    if (!entry.known) {
        const CatalogueRow& listRow = m_list.row(sourceRow);
        entry.folded = folded(listRow.caption + u'\t' + listRow.cells.join(u'\t'));
        entry.header =
            m_headerRole != 0 && m_list.data(m_list.index(sourceRow, 0), m_headerRole).toBool();
        entry.known = true;
    }
    return entry;
}

bool ListFilter::isHeader(int sourceRow) const {
    return m_headerRole != 0 && rowText(sourceRow).header;
}

bool ListFilter::rowMatches(int sourceRow) const {
    const QString& text = rowText(sourceRow).folded;
    return std::all_of(m_matchers.begin(), m_matchers.end(),
                       [&text](const QStringMatcher& word) { return word.indexIn(text) >= 0; });
}

void ListFilter::rowsArrived(int first, int last) {
    // Rows added at the end (a scan) keep the texts already made; rows put in between get room.
    if (static_cast<size_t>(first) < m_texts.size())
        m_texts.insert(m_texts.begin() + first, size_t(last - first + 1), RowText{});
    if (!isActive() || m_headerRole == 0 || m_refilterQueued)
        return;
    // A new album can bring back a header the filter hid, and the proxy filters only the new
    // rows: the whole list is looked at again once the insertions of this moment are over.
    for (int row = first; row <= last; ++row) {
        if (!isHeader(row) && rowMatches(row) && headerHidden(row)) {
            m_refilterQueued = true;
            QTimer::singleShot(0, this, [this] {
                m_refilterQueued = false;
                invalidate();
            });
            return;
        }
    }
}

bool ListFilter::headerHidden(int sourceRow) const {
    for (int row = sourceRow - 1; row >= 0; --row) {
        if (isHeader(row))
            return !mapFromSource(m_list.index(row, 0)).isValid();
    }
    return false;
}

} // namespace korvane
