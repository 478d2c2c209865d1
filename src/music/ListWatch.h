#pragma once

#include <QAbstractItemModel>

class QTimer;

#include <functional>

namespace korvane {

// Runs refresh once a burst of changes to the list is over (a scan changes it row by row), so that
// a window over the whole list recomputes a few times a second at most. The timer belongs to owner.
QTimer* watchList(const QAbstractItemModel& list, QObject* owner,
                  const std::function<void()>& refresh);

} // namespace korvane
