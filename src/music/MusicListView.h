#pragma once

#include <QStyledItemDelegate>

namespace korvane {

// Draws category header rows of the music list: the button face behind the whole row, the
// category name bold in red, the four blank cells invisible.
class MusicListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace korvane
