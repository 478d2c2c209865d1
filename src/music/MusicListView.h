#pragma once

#include "widgets/NewRowDelegate.h"

namespace korvane {

// Draws category header rows of the music list: the button face behind the whole row, the
// category name bold in red, the four blank cells invisible; new rows bold.
class MusicListDelegate : public NewRowDelegate {
    Q_OBJECT
public:
    using NewRowDelegate::NewRowDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace korvane
