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
    // A row of a group as the tree shows it: its index in the list, then its texts.
    struct FoundRow {
        int index;
        QStringList texts;
    };
    struct FoundGroup {
        QString title;
        std::vector<FoundRow> rows;
    };
    using Found = std::vector<FoundGroup>;
    static Found foundGroups(const std::vector<MusicRow>& rows, const QString& separator);
    void refresh();
    void showFound();
    void showMore(int showing);
    void activated(QTreeWidgetItem* item);

    const MusicList& m_list;
    QString m_separator;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_tree = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QFutureWatcher<Found> m_search;
    Found m_found;      // what the tree shows, or is being filled with
    size_t m_shown = 0; // groups of m_found in the tree
    int m_showing = 0;  // counts the fills begun: a later one ends an earlier one
};

} // namespace korvane
