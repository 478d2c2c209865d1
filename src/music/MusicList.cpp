#include "music/MusicList.h"

#include "music/MusicRowFormat.h"
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

void MusicList::setTotalsShown(bool shown) {
    if (shown == m_totalsShown)
        return;
    const int first = static_cast<int>(columns().size());
    const int last = first + static_cast<int>(kAlbumTotalsCaptions.size()) - 1;
    if (shown)
        beginInsertColumns({}, first, last);
    else
        beginRemoveColumns({}, first, last);
    m_totalsShown = shown;
    if (shown)
        endInsertColumns();
    else
        endRemoveColumns();
}

int MusicList::totalsColumn(int column) const {
    const int past = column - static_cast<int>(columns().size());
    return m_totalsShown && past >= 0 && past < kAlbumTotalsCaptions.size() ? past : -1;
}

QString MusicList::text(int index, int column) const {
    switch (totalsColumn(column)) {
    case 0:
        return albumTracksText(row(index).values);
    case 1:
        return albumTimeText(row(index).values);
    default:
        return CatalogueList::text(index, column);
    }
}

int MusicList::columnCount(const QModelIndex& parent) const {
    return parent.isValid()
               ? 0
               : static_cast<int>(columns().size()) +
                     (m_totalsShown ? static_cast<int>(kAlbumTotalsCaptions.size()) : 0);
}

QVariant MusicList::headerData(int section, Qt::Orientation orientation, int role) const {
    const int totals = orientation == Qt::Horizontal ? totalsColumn(section) : -1;
    if (totals < 0)
        return CatalogueList::headerData(section, orientation, role);
    // Translated as the other columns' captions are: in the window only.
    if (role == Qt::DisplayRole)
        return QCoreApplication::translate("Columns",
                                           kAlbumTotalsCaptions.at(totals).toUtf8().constData());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
    return {};
}

QVariant MusicList::data(const QModelIndex& index, int role) const {
    if (index.isValid() && index.row() < count() && totalsColumn(index.column()) >= 0) {
        if (role == Qt::DisplayRole)
            return isCategoryHeader(index.row()) ? kHeaderCell : text(index.row(), index.column());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
    }
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
