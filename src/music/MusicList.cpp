#include "music/MusicList.h"

#include <algorithm>

namespace korvane {
namespace {

const QString kHeaderCell = QStringLiteral(" ");

} // namespace

MusicList::MusicList(QObject* parent)
    : CatalogueList({{QStringLiteral("Папка"), 360, Qt::AlignLeft},
                     {QStringLiteral("Размер (mb)"), 0, Qt::AlignHCenter},
                     {QStringLiteral("Битрейт"), 60, Qt::AlignHCenter},
                     {QStringLiteral("Стиль"), 140, Qt::AlignHCenter},
                     {QStringLiteral("Страна"), 100, Qt::AlignHCenter}},
                    parent) {}

bool MusicList::isCategoryHeader(const MusicRow& row) {
    return row.cells.size() == 4 &&
           std::all_of(row.cells.begin(), row.cells.end(),
                       [](const QString& cell) { return cell == kHeaderCell; });
}

void MusicList::appendCategoryHeader(const QString& name) {
    appendRow({name, {kHeaderCell, kHeaderCell, kHeaderCell, kHeaderCell}});
}

int MusicList::categoryHeaderCount() const {
    return static_cast<int>(std::count_if(rows().begin(), rows().end(),
                                          [](const MusicRow& r) { return isCategoryHeader(r); }));
}

QVariant MusicList::data(const QModelIndex& index, int role) const {
    if (role == CategoryHeaderRole)
        return index.isValid() && index.row() < count() && isCategoryHeader(index.row());
    return CatalogueList::data(index, role);
}

} // namespace korvane
