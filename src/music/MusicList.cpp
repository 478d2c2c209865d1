#include "music/MusicList.h"

#include <QCoreApplication>

#include <algorithm>

#include <QCoreApplication>

namespace korvane {
namespace {

const QString kHeaderCell = QStringLiteral(" ");

} // namespace

MusicList::MusicList(QObject* parent)
    : CatalogueList(
          {{QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Папка")), 360, Qt::AlignLeft},
           {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Размер (mb)")), 0, Qt::AlignHCenter},
           {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Битрейт")), 60, Qt::AlignHCenter},
           {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Стиль")), 140, Qt::AlignHCenter},
           {QStringLiteral(QT_TRANSLATE_NOOP("Columns", "Страна")), 100, Qt::AlignHCenter}},
          parent) {}

bool MusicList::isCategoryHeader(const MusicRow& row) {
    return row.cells.size() == 4 &&
           std::all_of(row.cells.begin(), row.cells.end(),
                       [](const QString& cell) { return cell == kHeaderCell; });
}

MusicRow MusicList::categoryHeaderRow(const QString& name) {
    MusicRow row{name, {kHeaderCell, kHeaderCell, kHeaderCell, kHeaderCell}};
    row.values.kind = RowValues::Kind::Header;
    row.values.category = name;
    return row;
}

void MusicList::appendCategoryHeader(const QString& name) {
    appendRow(categoryHeaderRow(name));
}

int MusicList::categoryHeaderCount() const {
    return static_cast<int>(std::count_if(rows().begin(), rows().end(),
                                          [](const MusicRow& r) { return isCategoryHeader(r); }));
}

int MusicList::closeCodePageCount() const {
    return static_cast<int>(std::count_if(
        rows().begin(), rows().end(), [](const MusicRow& r) { return !r.closeTexts.isEmpty(); }));
}

QVariant MusicList::data(const QModelIndex& index, int role) const {
    if (role == CategoryHeaderRole)
        return index.isValid() && index.row() < count() && isCategoryHeader(index.row());
    if (role == CloseCodePageRole || (role == Qt::ToolTipRole && index.column() == 0)) {
        if (!index.isValid() || index.row() >= count())
            return {};
        const QList<CloseText>& texts = row(index.row()).closeTexts;
        if (role == CloseCodePageRole)
            return !texts.isEmpty();
        if (texts.isEmpty())
            return {};
        QStringList shown;
        for (const CloseText& close : texts)
            shown.append(close.text);
        return QCoreApplication::translate("MusicList", "Кодировка тегов угадана неуверенно: ") +
               shown.join(QStringLiteral("; ")) +
               QCoreApplication::translate(
                   "MusicList", ". Выберите верную в редакторе строки или в настройках.");
    }
    return CatalogueList::data(index, role);
}

} // namespace korvane
