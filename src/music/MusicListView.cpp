#include "music/MusicListView.h"

#include "music/MusicList.h"

#include <QPainter>

#include <algorithm>

namespace korvane {

void MusicListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    if (!index.data(MusicList::CategoryHeaderRole).toBool()) {
        NewRowDelegate::paint(painter, option, index);
        if (index.column() == 0 && index.data(MusicList::CloseCodePageRole).toBool()) {
            // A small orange corner: the code page of a tag text was a close call.
            const QRect cell = option.rect;
            const int side = std::min(8, cell.height() / 2);
            const QPoint corner[] = {cell.topRight(), cell.topRight() - QPoint(side, 0),
                                     cell.topRight() + QPoint(0, side)};
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(QColor(255, 140, 0));
            painter->drawPolygon(corner, 3);
            painter->restore();
        }
        return;
    }
    QStyleOptionViewItem header = option;
    initStyleOption(&header, index);
    const QColor face = option.palette.color(QPalette::Button);
    header.backgroundBrush = face;
    header.state &= ~QStyle::State_Selected;
    if (index.column() == 0) {
        header.font.setBold(true);
        header.palette.setColor(QPalette::Text, QColor(255, 0, 0));
    } else {
        header.palette.setColor(QPalette::Text, face);
    }
    painter->fillRect(option.rect, face);
    NewRowDelegate::paint(painter, header, index);
}

} // namespace korvane
