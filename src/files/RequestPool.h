#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace korvane {

// A few threads that keep requests to the file system in flight at once, so that on a share
// their round trips overlap. A task's result is taken in whatever order the caller needs; a task
// no thread has begun when its result is wanted runs on the taking thread. With one request in
// flight there are no threads at all: every task runs when it is taken, one after the other, in
// the order of the takes.
class RequestPool {
    struct Work;
    template <class T> struct Slot;

public:
    template <class T> class Task;

    // inFlight requests at once: the taking thread and inFlight - 1 threads of the pool.
    explicit RequestPool(int inFlight);
    // Tasks not begun are dropped; the threads finish their current task and end. No task of the
    // pool may be taken afterwards.
    ~RequestPool();
    RequestPool(const RequestPool&) = delete;
    RequestPool& operator=(const RequestPool&) = delete;

    int inFlight() const { return static_cast<int>(m_threads.size()) + 1; }

    // Queues work; `first` puts it before every task already waiting (the folder walk asks for
    // the folders it enters next that way).
    template <class F> auto submit(F work, bool first = false) -> Task<decltype(work())> {
        using T = decltype(work());
        auto slot = std::make_shared<Slot<T>>();
        slot->work = std::move(work);
        if (!m_threads.empty()) {
            {
                const std::lock_guard lock(m_mutex);
                if (first)
                    m_queue.push_front(slot);
                else
                    m_queue.push_back(slot);
            }
            m_queued.notify_one();
        }
        return Task<T>(this, std::move(slot));
    }

private:
    struct Work {
        virtual ~Work() = default;
        virtual void run() = 0;
        // Whoever claims it runs it: a thread of the pool, or the one that takes its result.
        bool claim() {
            bool expected = false;
            return claimed.compare_exchange_strong(expected, true);
        }
        std::atomic<bool> claimed = false;
        bool done = false; // under the pool's mutex
    };
    template <class T> struct Slot final : Work {
        void run() override {
            try {
                value.emplace(work());
            } catch (...) {
                error = std::current_exception();
            }
        }
        std::function<T()> work;
        std::optional<T> value;
        std::exception_ptr error; // thrown again where the result is taken
    };

public:
    template <class T> class Task {
    public:
        Task() = default;
        // The result, waiting for it when a thread of the pool has it in hand.
        T take() {
            if (m_slot->claim()) {
                m_slot->run();
            } else {
                std::unique_lock lock(m_pool->m_mutex);
                m_pool->m_finished.wait(lock, [this] { return m_slot->done; });
            }
            const std::shared_ptr<Slot<T>> slot = std::move(m_slot);
            if (slot->error)
                std::rethrow_exception(slot->error);
            return std::move(*slot->value);
        }
        // Not wanted any more: no thread begins it, and one that has begun it is waited for, so
        // that what the work refers to may go.
        void drop() {
            if (m_slot && !m_slot->claim()) {
                std::unique_lock lock(m_pool->m_mutex);
                m_pool->m_finished.wait(lock, [this] { return m_slot->done; });
            }
            m_slot.reset();
        }
        bool valid() const { return m_slot != nullptr; }

    private:
        friend class RequestPool;
        Task(RequestPool* pool, std::shared_ptr<Slot<T>> slot)
            : m_pool(pool), m_slot(std::move(slot)) {}
        RequestPool* m_pool = nullptr;
        std::shared_ptr<Slot<T>> m_slot;
    };

private:
    void serve();

    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_finished;
    std::deque<std::shared_ptr<Work>> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

// How many requests a scan of root keeps in flight when the user fixed none: 8 on a network or
// FUSE file system (NFS, SMB/CIFS, 9P, FUSE), where each request waits a round trip and the
// server answers many at once; 1 on a spinning disk, where a second request makes the heads
// seek between two places; 2 on any other local disk (an SSD answers in microseconds, and a
// second request in flight keeps it busy while the scan works on the previous answer).
int requestsInFlightFor(const QString& root);

} // namespace korvane
