#pragma once

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace korvane {

// One long piece of work at a time (a scan, an update, a fill) on a worker thread. The work gets
// a stop token, which it checks between items and inside long reads; whatever it wants to show
// (progress, rows, the outcome) it hands to the thread this object lives on with post(), where
// it runs in the order posted. Nothing long runs on that thread, so it needs no event pump.
class Job : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(const std::stop_token&)>;

    explicit Job(QObject* parent = nullptr);
    // Abandons the work (see abandon).
    ~Job() override;

    // From start() until `done` has run on this object's thread.
    bool isRunning() const { return m_running; }
    // Runs work on a new thread, then `done` here. A job that runs already is never nested:
    // false, and nothing starts.
    bool start(Work work, std::function<void()> done);
    // Asks the work to stop; it ends at its next check.
    void requestStop();
    bool stopRequested() const;
    // Stops the work, waits for its thread (it checks its token often, so this takes well under
    // a second) and runs here at once what it posted, `done` included: nothing it did is lost.
    void stopAndFinish();
    // Stops the work and waits for it, dropping what it posted: the one it reports to is going
    // away.
    void abandon();

    // From the work: runs fn on this object's thread, after everything posted before.
    void post(std::function<void()> fn);
    // From the work: asks question on this object's thread (a message box) and waits for the
    // answer; false when the job is stopped meanwhile.
    bool ask(const std::stop_token& stop, std::function<bool()> question);

signals:
    // On this object's thread, after `done`.
    void finished();

private:
    void runPosted();
    void join();

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_posted;
    bool m_drainQueued = false;
    bool m_running = false;
    std::function<void()> m_done;
    std::jthread m_thread;
};

// Hands things made on a worker thread (rows) to the window's thread in batches: one post at
// most every interval (the first item at once), so that a hundred thousand rows are a few hundred
// appends for the views.
template <typename T> class Batches {
public:
    using Take = std::function<void(std::vector<T>)>;
    Batches(Job& job, Take take, std::chrono::milliseconds interval = std::chrono::milliseconds(20))
        : m_job(job), m_take(std::move(take)), m_interval(interval) {}

    void add(T item) {
        m_batch.push_back(std::move(item));
        if (std::chrono::steady_clock::now() - m_last >= m_interval)
            flush();
    }
    void flush() {
        m_last = std::chrono::steady_clock::now();
        if (m_batch.empty())
            return;
        m_job.post(
            [take = m_take, batch = std::move(m_batch)]() mutable { take(std::move(batch)); });
        m_batch = {};
    }

private:
    Job& m_job;
    Take m_take;
    std::chrono::milliseconds m_interval;
    std::chrono::steady_clock::time_point m_last{};
    std::vector<T> m_batch;
};

// Lets a worker report progress (a status text, a bar) without flooding the window's thread:
// due() says yes at most every interval.
class Throttle {
public:
    explicit Throttle(std::chrono::milliseconds interval = std::chrono::milliseconds(30))
        : m_interval(interval) {}
    bool due() {
        const auto now = std::chrono::steady_clock::now();
        if (m_started && now - m_last < m_interval)
            return false;
        m_started = true;
        m_last = now;
        return true;
    }

private:
    std::chrono::milliseconds m_interval;
    std::chrono::steady_clock::time_point m_last;
    bool m_started = false;
};

} // namespace korvane
