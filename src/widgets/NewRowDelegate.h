#pragma once

#include <QStyledItemDelegate>

namespace korvane {

// Draws the rows that appeared in the last update in bold (the list's NewRowRole), so that the
// news of a monthly update stand out without a column that exports would carry.
class NewRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace korvane
