#pragma once

#include "music/Duplicates.h"

#include <QDialog>
#include <QFutureWatcher>

class QLabel;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvane {

class MusicList;

// "Найти дубликаты": the groups of rows of the music list that hold the same album, found again
// whenever the list changes, away from the window's thread. A double click on a row asks the window
// to select it in the list. Only shows; never deletes or moves a file.
class DuplicatesWindow : public QDialog {
    Q_OBJECT
public:
    DuplicatesWindow(const MusicList& list, QString separator, QWidget* parent = nullptr);

    void setSeparator(const QString& separator);
    QTreeWidget* tree() const { return m_tree; }
    QLabel* summary() const { return m_summary; }

signals:
    void rowActivated(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The rows searched and what was found in them.
    struct Found {
        std::vector<MusicRow> rows;
        std::vector<DuplicateGroup> groups;
    };
    void refresh();
    void showFound();
    void activated(QTreeWidgetItem* item);

    const MusicList& m_list;
    QString m_separator;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_tree = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QFutureWatcher<Found> m_search;
};

} // namespace korvane
