#include "music/DuplicatesWindow.h"

#include "music/AlbumIdentity.h"
#include "music/Duplicates.h"
#include "music/ListWatch.h"
#include "music/MusicList.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace korvane {
namespace {

constexpr int kRowRole = Qt::UserRole + 1;

} // namespace

// On the search's thread: the groups with the texts the tree shows, so that only they come back.
DuplicatesWindow::Found DuplicatesWindow::foundGroups(const std::vector<MusicRow>& rows,
                                                      const QString& separator) {
    Found found;
    for (const DuplicateGroup& group : findDuplicates(rows, separator)) {
        const AlbumIdentity identity =
            albumIdentity(rows[static_cast<size_t>(group.rows.front())].caption, separator);
        FoundGroup shown{identity.artist + separator + identity.title +
                             QStringLiteral(" (%1)").arg(group.rows.size()),
                         {}};
        for (const int index : group.rows) {
            const MusicRow& row = rows[static_cast<size_t>(index)];
            const QString where =
                row.origin.relative.isEmpty()
                    ? QString()
                    : QDir::cleanPath(row.origin.root + u'/' + row.origin.relative);
            shown.rows.push_back(
                {index,
                 {row.caption, row.cells.value(SizeCell), row.cells.value(BitrateCell), where}});
        }
        found.push_back(std::move(shown));
    }
    return found;
}

DuplicatesWindow::DuplicatesWindow(const MusicList& list, QString separator, QWidget* parent)
    : QDialog(parent), m_list(list), m_separator(std::move(separator)) {
    setWindowTitle(tr("Найти дубликаты"));
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderLabels({tr("Альбом"), tr("Размер (mb)"), tr("Битрейт"), tr("Папка")});
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    // Sized to its contents, the column would measure every item at each layout: too slow for
    // thousands of groups.
    m_tree->setColumnWidth(0, 340);
    m_tree->header()->setStretchLastSection(true);
    layout->addWidget(m_tree, 1);
    resize(900, 420);

    connect(m_tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { activated(item); });
    m_refreshTimer = watchList(m_list, this, [this] { refresh(); });
    connect(&m_search, &QFutureWatcher<Found>::finished, this, &DuplicatesWindow::showFound);
}

void DuplicatesWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
}

void DuplicatesWindow::setSeparator(const QString& separator) {
    m_separator = separator;
    refresh();
}

void DuplicatesWindow::refresh() {
    if (!isVisible())
        return; // shown again, it refreshes
    if (m_search.isRunning()) {
        m_refreshTimer->start(); // once this search is over
        return;
    }
    // A search over a big list takes longer than the window may stand still: it runs on a copy
    // of the rows (their texts are shared, not copied) on another thread.
    m_search.setFuture(QtConcurrent::run(
        [rows = m_list.rows(), separator = m_separator] { return foundGroups(rows, separator); }));
}

void DuplicatesWindow::showFound() {
    m_found = m_search.result();
    m_shown = 0;
    ++m_showing; // a fill still under way stops
    m_tree->clear();
    showMore(m_showing);
}

// Thousands of groups make tens of thousands of items: they go into the tree a few hundred groups
// per turn of the event loop, so that the window answers meanwhile.
void DuplicatesWindow::showMore(int showing) {
    constexpr size_t kGroupsPerTurn = 250;
    if (showing != m_showing)
        return;
    const size_t end = std::min(m_found.size(), m_shown + kGroupsPerTurn);
    QList<QTreeWidgetItem*> items;
    for (; m_shown < end; ++m_shown) {
        const FoundGroup& group = m_found[m_shown];
        auto* top = new QTreeWidgetItem({group.title});
        top->setFirstColumnSpanned(true);
        for (const FoundRow& row : group.rows) {
            auto* child = new QTreeWidgetItem(top, row.texts);
            child->setData(0, kRowRole, row.index);
            child->setToolTip(0, tr("Двойной щелчок выделяет строку в списке"));
        }
        items.append(top);
    }
    m_tree->addTopLevelItems(items);
    for (QTreeWidgetItem* item : std::as_const(items))
        item->setExpanded(true);
    if (m_shown < m_found.size()) {
        QTimer::singleShot(0, this, [this, showing] { showMore(showing); });
        return;
    }
    size_t copies = 0;
    for (const FoundGroup& group : m_found)
        copies += group.rows.size();
    m_summary->setText(m_found.empty() ? tr("Дубликатов не найдено.")
                                       : tr("Групп: %1, строк в них: %2. Файлы коллекции не "
                                            "удаляются и не перемещаются.")
                                             .arg(m_found.size())
                                             .arg(copies));
}

void DuplicatesWindow::activated(QTreeWidgetItem* item) {
    const QVariant row = item->data(0, kRowRole);
    if (!row.isValid())
        return;
    // The list may have changed since: the row must still be the one shown.
    const int index = row.toInt();
    if (index < m_list.count() && m_list.row(index).caption == item->text(0))
        emit rowActivated(index);
    else
        refresh();
}

} // namespace korvane
