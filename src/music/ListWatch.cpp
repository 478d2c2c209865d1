#include "music/ListWatch.h"

#include <QTimer>

namespace korvane {

QTimer* watchList(const QAbstractItemModel& list, QObject* owner,
                  const std::function<void()>& refresh) {
    auto* timer = new QTimer(owner);
    timer->setSingleShot(true);
    timer->setInterval(250);
    QObject::connect(timer, &QTimer::timeout, owner, refresh);
    const auto later = [timer] { timer->start(); };
    QObject::connect(&list, &QAbstractItemModel::modelReset, owner, later);
    QObject::connect(&list, &QAbstractItemModel::layoutChanged, owner, later);
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, owner, later);
    QObject::connect(&list, &QAbstractItemModel::rowsRemoved, owner, later);
    QObject::connect(&list, &QAbstractItemModel::dataChanged, owner, later);
    // Columns come and go with a toggle (the music list's totals).
    QObject::connect(&list, &QAbstractItemModel::columnsInserted, owner, later);
    QObject::connect(&list, &QAbstractItemModel::columnsRemoved, owner, later);
    return timer;
}

} // namespace korvane
