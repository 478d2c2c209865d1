#include "music/MusicListView.h"

#include "music/MusicList.h"

#include <QPainter>

namespace korvane {

void MusicListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    if (!index.data(MusicList::CategoryHeaderRole).toBool()) {
        NewRowDelegate::paint(painter, option, index);
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
