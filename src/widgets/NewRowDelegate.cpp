#include "widgets/NewRowDelegate.h"

#include "catalogue/CatalogueList.h"

namespace korvane {

void NewRowDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(CatalogueList::NewRowRole).toBool())
        option->font.setBold(true);
}

} // namespace korvane
