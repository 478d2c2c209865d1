#include "files/RequestPool.h"

#include <QDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

using namespace korvane;

// Taken in any order, every task gives its own result, with or without threads.
TEST(RequestPool, EveryTaskGivesItsResultInTheOrderTaken) {
    for (const int inFlight : {1, 2, 8}) {
        SCOPED_TRACE(inFlight);
        RequestPool pool(inFlight);
        EXPECT_EQ(pool.inFlight(), inFlight);
        std::vector<RequestPool::Task<int>> tasks;
        for (int i = 0; i < 500; ++i)
            tasks.push_back(pool.submit([i] { return i * i; }, i % 3 == 0));
        for (int i = 499; i >= 0; i -= 2)
            ASSERT_EQ(tasks[static_cast<size_t>(i)].take(), i * i);
        for (int i = 0; i < 500; i += 2)
            ASSERT_EQ(tasks[static_cast<size_t>(i)].take(), i * i);
    }
}

// One request in flight is the serial order: each task runs on the taking thread when taken.
TEST(RequestPool, OneInFlightRunsEachTaskWhenItIsTaken) {
    RequestPool pool(1);
    std::vector<int> ran;
    std::vector<std::thread::id> threads;
    std::vector<RequestPool::Task<int>> tasks;
    for (int i = 0; i < 3; ++i) {
        tasks.push_back(pool.submit([&, i] {
            ran.push_back(i);
            threads.push_back(std::this_thread::get_id());
            return i;
        }));
    }
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(tasks[2].take(), 2);
    tasks[1].drop();
    EXPECT_EQ(tasks[0].take(), 0);
    EXPECT_EQ(ran, (std::vector<int>{2, 0}));
    for (const std::thread::id id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

// Dropped tasks are never begun; one a thread has begun is waited for, so what it works on may
// go after the drop.
TEST(RequestPool, ADroppedTaskIsNotBegunOrIsWaitedFor) {
    RequestPool pool(2);
    std::atomic<bool> begun = false;
    std::atomic<bool> finished = false;
    auto slow = pool.submit([&] {
        begun = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        finished = true;
        return 1;
    });
    while (!begun)
        std::this_thread::yield();
    std::atomic<int> late = 0;
    auto never = pool.submit([&late] { return ++late; });
    never.drop();
    slow.drop();
    EXPECT_TRUE(finished);
    // The pool's thread is free again and skips the dropped task.
    EXPECT_EQ(pool.submit([] { return 7; }).take(), 7);
    EXPECT_EQ(late, 0);
}

// What a task throws comes out where its result is taken, on either thread.
TEST(RequestPool, AThrowingTaskThrowsWhereItIsTaken) {
    for (const int inFlight : {1, 4}) {
        SCOPED_TRACE(inFlight);
        RequestPool pool(inFlight);
        auto failing = pool.submit([]() -> int { throw std::runtime_error("no room"); });
        auto fine = pool.submit([] { return 3; });
        EXPECT_EQ(fine.take(), 3);
        try {
            failing.take();
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "no room");
        }
    }
}

// A scan stopped early leaves queued tasks behind: the pool ends without them.
TEST(RequestPool, EndsWithTasksStillQueued) {
    std::atomic<int> ran = 0;
    {
        RequestPool pool(4);
        for (int i = 0; i < 10000; ++i)
            pool.submit([&ran] { return ++ran; });
    }
    EXPECT_LE(ran, 10000);
}

// What the default is on a share the benchmark shows, as no share can be mounted here.
TEST(RequestPool, LocalDisksGetFewRequestsInFlight) {
    const int count = requestsInFlightFor(QDir::tempPath());
    EXPECT_TRUE(count == 1 || count == 2 || count == 8) << count;
    EXPECT_EQ(requestsInFlightFor(QStringLiteral("/proc")), 2) << "no disk spins beneath /proc";
}
