#include "files/RequestPool.h"

#include "files/FileName.h"

#include <fstream>
#include <string>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace korvane {

RequestPool::RequestPool(int inFlight) {
    for (int i = 1; i < inFlight; ++i)
        m_threads.emplace_back([this] { serve(); });
}

RequestPool::~RequestPool() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_queued.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void RequestPool::serve() {
    for (;;) {
        std::shared_ptr<Work> work;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            work = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (!work->claim())
            continue; // taken by its caller, or dropped
        work->run();
        {
            const std::lock_guard lock(m_mutex);
            work->done = true;
        }
        m_finished.notify_all();
    }
}

namespace {

constexpr int kOnShare = 8;
constexpr int kOnSpinningDisk = 1;
constexpr int kOnLocalDisk = 2;

bool onShare(long type) {
    switch (static_cast<unsigned long>(type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case V9FS_MAGIC:       // virtual machines' shared folders
    case FUSE_SUPER_MAGIC: // sshfs, rclone, a NAS's own client
    case CEPH_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

// The block device's own answer, read through its partition's parent when needed.
bool onSpinningDisk(dev_t device) {
    const std::string base =
        "/sys/dev/block/" + std::to_string(major(device)) + ':' + std::to_string(minor(device));
    for (const char* queue : {"/queue/rotational", "/../queue/rotational"}) {
        std::ifstream file(base + queue);
        int rotational = 0;
        if (file >> rotational)
            return rotational == 1;
    }
    return false;
}

} // namespace

int requestsInFlightFor(const QString& root) {
    const QByteArray path = files::encodeFileName(root);
    struct statfs fs {};
    if (statfs(path.constData(), &fs) == 0 && onShare(fs.f_type))
        return kOnShare;
    struct stat st {};
    if (stat(path.constData(), &st) == 0 && onSpinningDisk(st.st_dev))
        return kOnSpinningDisk;
    return kOnLocalDisk;
}

} // namespace korvane
