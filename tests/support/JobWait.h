#pragma once

#include "jobs/Job.h"

#include <QTest>

namespace korvane::test {

// The window's long commands run on jobs: spins the event loop until the job is over (its rows
// in the list, its status shown), at most timeoutMs. False when it still runs then.
inline bool waitForJob(const Job& job, int timeoutMs = 60000) {
    return QTest::qWaitFor([&job] { return !job.isRunning(); }, timeoutMs);
}

} // namespace korvane::test
