#include "jobs/Job.h"

#include <sys/resource.h>
#include <unistd.h>

namespace korvane {
namespace {

constexpr int kWorkerNice = 10;

} // namespace

Job::Job(QObject* parent) : QObject(parent) {}

Job::~Job() {
    abandon();
}

void Job::abandon() {
    m_thread.request_stop();
    join();
    std::lock_guard lock(m_mutex);
    m_posted.clear();
    m_running = false;
    m_done = nullptr;
}

bool Job::start(Work work, std::function<void()> done) {
    if (m_running)
        return false;
    join(); // the thread of the previous job has posted its end and is leaving
    m_running = true;
    m_done = std::move(done);
    m_thread = std::jthread([this, work = std::move(work)](const std::stop_token& stop) {
        // The window's thread goes first when the two compete for a core, so that it answers
        // while the work runs (as a scanner thread started at a low priority does).
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
        work(stop);
        post([this] {
            m_running = false;
            const std::function<void()> done = std::move(m_done);
            m_done = nullptr;
            if (done)
                done();
            emit finished();
        });
    });
    return true;
}

void Job::requestStop() {
    if (m_running)
        m_thread.request_stop();
}

bool Job::stopRequested() const {
    return m_running && m_thread.get_stop_token().stop_requested();
}

void Job::stopAndFinish() {
    if (!m_running)
        return;
    m_thread.request_stop();
    join();
    runPosted();
}

void Job::join() {
    if (m_thread.joinable())
        m_thread.join();
}

void Job::post(std::function<void()> fn) {
    std::lock_guard lock(m_mutex);
    m_posted.push_back(std::move(fn));
    if (!m_drainQueued) {
        m_drainQueued = true;
        QMetaObject::invokeMethod(this, &Job::runPosted, Qt::QueuedConnection);
    }
}

void Job::runPosted() {
    // One at a time, so that a message box opened by one of them (its own event loop) cannot
    // reorder the rest.
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard lock(m_mutex);
            if (m_posted.empty()) {
                m_drainQueued = false;
                return;
            }
            fn = std::move(m_posted.front());
            m_posted.pop_front();
        }
        fn();
    }
}

bool Job::ask(const std::stop_token& stop, std::function<bool()> question) {
    struct Answer {
        std::mutex mutex;
        std::condition_variable_any given;
        bool ready = false;
        bool value = false;
        bool abandoned = false;
    };
    const auto answer = std::make_shared<Answer>();
    post([answer, question = std::move(question)] {
        {
            std::lock_guard lock(answer->mutex);
            if (answer->abandoned)
                return; // the job stopped waiting: no box for a question nobody hears
        }
        const bool value = question();
        std::lock_guard lock(answer->mutex);
        answer->value = value;
        answer->ready = true;
        answer->given.notify_all();
    });
    std::unique_lock lock(answer->mutex);
    if (!answer->given.wait(lock, stop, [&answer] { return answer->ready; })) {
        answer->abandoned = true;
        return false;
    }
    return answer->value;
}

} // namespace korvane
