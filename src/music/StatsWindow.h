#pragma once

#include "music/CollectionStats.h"

#include <QDialog>
#include <QFutureWatcher>

class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace korvane {

class MusicList;

// "Статистика": the music list in figures, a table and a chart per aspect (format, bitrate
// band, genre, decade, country), kept up to date while shown and counted away from the window's
// thread; a button copies it as BBCode for a forum post.
class StatsWindow : public QDialog {
    Q_OBJECT
public:
    StatsWindow(const MusicList& list, QString separator, QWidget* parent = nullptr);

    void setSeparator(const QString& separator);
    QLabel* summary() const { return m_summary; }
    QTabWidget* tables() const { return m_tables; }
    QPushButton* copyButton() const { return m_copy; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void showCounted();

    const MusicList& m_list;
    QString m_separator;
    QLabel* m_summary = nullptr;
    QTabWidget* m_tables = nullptr;
    QPushButton* m_copy = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QString m_bbcode;
    QFutureWatcher<CollectionStats> m_counting;
};

} // namespace korvane
