#include "music/StatsWindow.h"

#include "music/CollectionStats.h"
#include "music/ListWatch.h"
#include "music/MusicList.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

namespace korvane {
namespace {

QTableWidget* tableOf(const StatsTable& table, int albums, QWidget* parent) {
    auto* widget = new QTableWidget(static_cast<int>(table.lines.size()), 4, parent);
    widget->setHorizontalHeaderLabels(
        {QCoreApplication::translate("CollectionStats", table.title.toUtf8().constData()),
         QCoreApplication::translate("korvane::StatsWindow", "Альбомов"), QStringLiteral("%"),
         QCoreApplication::translate("korvane::StatsWindow", "Размер (ГБ)")});
    widget->verticalHeader()->hide();
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The figures' columns fit their captions in any font; the names take the rest.
    widget->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    widget->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int i = 0; i < widget->rowCount(); ++i) {
        const StatsLine& line = table.lines[static_cast<size_t>(i)];
        const QStringList texts{line.name, QString::number(line.albums),
                                oneDecimalText(albums > 0 ? 100.0 * line.albums / albums : 0),
                                oneDecimalText(line.sizeMiB / 1024)};
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (column > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            widget->setItem(i, column, item);
        }
    }
    return widget;
}

// The albums of each line as horizontal bars, the first line on top.
QChartView* chartOf(const StatsTable& table, QWidget* parent) {
    auto* albums = new QBarSet(QCoreApplication::translate("korvane::StatsWindow", "Альбомов"));
    QStringList names;
    for (auto line = table.lines.rbegin(); line != table.lines.rend(); ++line) {
        *albums << line->albums;
        names << line->name;
    }
    auto* series = new QHorizontalBarSeries;
    series->append(albums);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->legend()->hide();
    auto* categories = new QBarCategoryAxis;
    categories->append(names);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%d"));
    values->setMin(0);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumWidth(280);
    return view;
}

// A table with its chart beside it.
QWidget* pageOf(const StatsTable& table, int albums, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(tableOf(table, albums, page), 1);
    layout->addWidget(chartOf(table, page), 1);
    return page;
}

} // namespace

StatsWindow::StatsWindow(const MusicList& list, QString separator, QWidget* parent)
    : QDialog(parent), m_list(list), m_separator(std::move(separator)) {
    setWindowTitle(tr("Статистика"));
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    layout->addWidget(m_summary);
    m_tables = new QTabWidget(this);
    layout->addWidget(m_tables, 1);
    auto* buttons = new QHBoxLayout;
    m_copy = new QPushButton(tr("Копировать для форума (BBCode)"), this);
    buttons->addWidget(m_copy);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    resize(900, 520);
    connect(m_copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_bbcode); });
    m_refreshTimer = watchList(m_list, this, [this] { refresh(); });
    connect(&m_counting, &QFutureWatcher<CollectionStats>::finished, this,
            &StatsWindow::showCounted);
}

void StatsWindow::setSeparator(const QString& separator) {
    m_separator = separator;
    refresh();
}

void StatsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
}

void StatsWindow::refresh() {
    if (!isVisible())
        return; // shown again, it refreshes
    if (m_counting.isRunning()) {
        m_refreshTimer->start(); // once this count is over
        return;
    }
    // Counting a big list takes longer than the window may stand still: it runs on a copy of the
    // rows (their texts are shared, not copied) on another thread.
    m_counting.setFuture(QtConcurrent::run(
        [rows = m_list.rows(), separator = m_separator, totals = m_list.totalsShown()] {
            return collectionStats(rows, separator, totals);
        }));
}

void StatsWindow::showCounted() {
    const CollectionStats stats = m_counting.result();
    m_bbcode = statsBbcode(stats);
    // The window's summary in the window's language; the copied BBCode keeps statsSummary's.
    QString summary = tr("Альбомов: %1, групп: %2, объём: %3 ГБ")
                          .arg(stats.albums)
                          .arg(stats.groups)
                          .arg(oneDecimalText(stats.sizeMiB / 1024));
    if (stats.totals)
        summary +=
            tr(", треков: %1, время: %2 ч").arg(stats.tracks).arg(oneDecimalText(stats.hours));
    m_summary->setText(summary);
    const int current = m_tables->currentIndex();
    while (m_tables->count() > 0) {
        QWidget* page = m_tables->widget(0);
        m_tables->removeTab(0);
        delete page;
    }
    for (const StatsTable& table : stats.tables)
        m_tables->addTab(
            pageOf(table, stats.albums, m_tables),
            QCoreApplication::translate("CollectionStats", table.title.toUtf8().constData()));
    m_tables->setCurrentIndex(std::max(current, 0));
}

} // namespace korvane
