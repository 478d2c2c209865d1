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

DuplicatesWindow::DuplicatesWindow(const MusicList& list, QString separator, QWidget* parent)
    : QDialog(parent), m_list(list), m_separator(std::move(separator)) {
    setWindowTitle(QStringLiteral("Найти дубликаты"));
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderLabels({QStringLiteral("Альбом"), QStringLiteral("Размер (mb)"),
                             QStringLiteral("Битрейт"), QStringLiteral("Папка")});
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
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
    m_search.setFuture(QtConcurrent::run([rows = m_list.rows(), separator = m_separator] {
        Found found{rows, findDuplicates(rows, separator)};
        return found;
    }));
}

void DuplicatesWindow::showFound() {
    const Found found = m_search.result();
    const std::vector<MusicRow>& rows = found.rows;
    const std::vector<DuplicateGroup>& groups = found.groups;
    m_tree->clear();
    int copies = 0;
    QList<QTreeWidgetItem*> items;
    for (const DuplicateGroup& group : groups) {
        const AlbumIdentity identity =
            albumIdentity(rows[static_cast<size_t>(group.rows.front())].caption, m_separator);
        auto* top = new QTreeWidgetItem({identity.artist + m_separator + identity.title +
                                         QStringLiteral(" (%1)").arg(group.rows.size())});
        top->setFirstColumnSpanned(true);
        for (const int index : group.rows) {
            const MusicRow& row = rows[static_cast<size_t>(index)];
            const QString where =
                row.origin.relative.isEmpty()
                    ? QString()
                    : QDir::cleanPath(row.origin.root + u'/' + row.origin.relative);
            auto* child = new QTreeWidgetItem(
                top, {row.caption, row.cells.value(SizeCell), row.cells.value(BitrateCell), where});
            child->setData(0, kRowRole, index);
            child->setToolTip(0, QStringLiteral("Двойной щелчок выделяет строку в списке"));
        }
        copies += static_cast<int>(group.rows.size());
        items.append(top);
    }
    m_tree->addTopLevelItems(items);
    m_tree->expandAll();
    m_summary->setText(groups.empty() ? QStringLiteral("Дубликатов не найдено.")
                                      : QStringLiteral("Групп: %1, строк в них: %2. Файлы "
                                                       "коллекции не удаляются и не перемещаются.")
                                            .arg(groups.size())
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
