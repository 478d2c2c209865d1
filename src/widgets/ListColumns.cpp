#include "widgets/ListColumns.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>

#include <algorithm>

namespace korvane {

ListColumns::ListColumns(QTableView* view, const std::vector<int>& designWidths)
    : QObject(view), m_view(view), m_viewport(view->viewport()),
      m_headerViewport(view->horizontalHeader()->viewport()) {
    QHeaderView* header = view->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (int column = 0; column < static_cast<int>(designWidths.size()); ++column) {
        const int design = designWidths[static_cast<size_t>(column)];
        m_widths << std::max(design > 0 ? design : header->defaultSectionSize(),
                             header->sectionSizeHint(column));
        m_userSized << false;
    }
    connect(header, &QHeaderView::sectionResized, this, &ListColumns::sectionResized);
    // Columns a list shows or hides as a toggle says (the music list's totals) come and go at
    // the standard width.
    if (const QAbstractItemModel* model = view->model()) {
        connect(model, &QAbstractItemModel::columnsInserted, this,
                [this](const QModelIndex& parent, int first, int last) {
                    if (parent.isValid() || first > m_widths.size())
                        return;
                    const QHeaderView* header = m_view->horizontalHeader();
                    for (int column = first; column <= last; ++column) {
                        m_widths.insert(column, std::max(header->defaultSectionSize(),
                                                         header->sectionSizeHint(column)));
                        m_userSized.insert(column, false);
                    }
                    fit();
                });
        connect(model, &QAbstractItemModel::columnsRemoved, this,
                [this](const QModelIndex& parent, int first, int last) {
                    if (parent.isValid() || last >= m_widths.size())
                        return;
                    m_widths.remove(first, last - first + 1);
                    m_userSized.remove(first, last - first + 1);
                    fit();
                });
    }
    // The first column takes up the slack once a drag ends, not while it goes on: the dragged
    // border then follows the pointer.
    header->viewport()->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    fit();
}

QList<int> ListColumns::userWidths() const {
    QList<int> widths;
    for (int column = 0; column < m_widths.size(); ++column)
        widths << (m_userSized[column] ? m_widths[column] : 0);
    return widths;
}

void ListColumns::restore(const QList<int>& userWidths) {
    if (userWidths.size() != m_widths.size() ||
        std::any_of(userWidths.begin(), userWidths.end(), [](int width) { return width < 0; }))
        return;
    const QHeaderView* header = m_view->horizontalHeader();
    for (int column = 0; column < m_widths.size(); ++column) {
        if (userWidths[column] > 0) {
            // A width stored narrower than the heading (a column squeezed once, a font grown
            // since) would hide it for good: every heading stays readable.
            m_widths[column] = std::max(userWidths[column], header->sectionSizeHint(column));
            m_userSized[column] = true;
        }
    }
    fit();
}

int ListColumns::neededViewWidth() const {
    int width = 2 * m_view->frameWidth() +
                m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view);
    for (int column : m_widths)
        width += column;
    return width;
}

void ListColumns::fitToValues() {
    // QTableView hides the measure that every item view offers.
    const QAbstractItemView* view = m_view;
    for (int column = 1; column < m_widths.size(); ++column) {
        if (!m_userSized[column])
            m_widths[column] = std::max(m_widths[column], view->sizeHintForColumn(column));
    }
    fit();
}

void ListColumns::fitToFont() {
    const QHeaderView* header = m_view->horizontalHeader();
    const QAbstractItemView* view = m_view;
    for (int column = 0; column < m_widths.size(); ++column) {
        int needed = header->sectionSizeHint(column);
        if (column > 0 && !m_userSized[column])
            needed = std::max(needed, view->sizeHintForColumn(column));
        m_widths[column] = std::max(m_widths[column], needed);
    }
    fit();
}

bool ListColumns::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_viewport && event->type() == QEvent::Resize) ||
        (watched == m_headerViewport && event->type() == QEvent::MouseButtonRelease))
        fit();
    return QObject::eventFilter(watched, event);
}

void ListColumns::sectionResized(int column, int, int newWidth) {
    if (m_fitting || column < 0 || column >= m_widths.size())
        return;
    m_widths[column] = newWidth;
    m_userSized[column] = true;
}

void ListColumns::fit() {
    m_fitting = true;
    int others = 0;
    for (int column = 1; column < m_widths.size(); ++column) {
        m_view->setColumnWidth(column, m_widths[column]);
        others += m_widths[column];
    }
    if (!m_widths.isEmpty())
        m_view->setColumnWidth(0, std::max(m_widths[0], m_view->viewport()->width() - others));
    m_fitting = false;
}

} // namespace korvane
