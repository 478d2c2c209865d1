#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>
#include <QStringMatcher>

#include <vector>

// What the filter field above a list shows: the rows whose texts hold every word typed.
namespace korvane {

class CatalogueList;

// A list seen through its filter. A row is shown when every word occurs in its caption or one of
// its cells; a category header row (headerRole true) is shown when an album below it is. With
// no words every row is shown and nothing is computed.
class ListFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    // headerRole: the data role that marks category header rows, 0 for a list without them.
    ListFilter(CatalogueList& list, int headerRole, QObject* parent = nullptr);

    void setText(const QString& text);
    bool isActive() const { return !m_words.isEmpty(); }
    // Rows other than category headers: those shown, and all of the list.
    int shownItems() const;
    int allItems() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    struct RowText {
        QString folded; // the caption and cells, lower case, "ё" as "е"
        bool header = false;
        bool known = false;
    };
    // What the filter reads of a list row, made once and kept until that row changes.
    const RowText& rowText(int sourceRow) const;
    bool isHeader(int sourceRow) const;
    bool rowMatches(int sourceRow) const;
    void rowsArrived(int first, int last);
    // Whether the category header above the row is filtered out.
    bool headerHidden(int sourceRow) const;

    const CatalogueList& m_list;
    int m_headerRole;
    QStringList m_words;
    std::vector<QStringMatcher> m_matchers; // one per word: a skip table beats a plain search
    mutable std::vector<RowText> m_texts;
    bool m_refilterQueued = false;
};

} // namespace korvane
