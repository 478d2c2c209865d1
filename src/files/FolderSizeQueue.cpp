#include "files/FolderSizeQueue.h"

#include "files/FileName.h"

#include <sys/stat.h>

namespace korvane {

FolderSizeQueue::FolderSizeQueue(QStringList folders)
    : m_folders(std::move(folders)), m_thread([this] { measureAll(); }) {}

FolderSizeQueue::~FolderSizeQueue() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

QString FolderSizeQueue::takeNext(std::vector<FolderEntry>& listing) {
    listing.clear();
    if (m_taken == m_folders.size())
        return sizeTextOfBytes(0);
    ++m_taken;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_ready.empty(); });
    Measured next = std::move(m_ready.front());
    m_ready.pop_front();
    lock.unlock();
    m_changed.notify_all();
    // A folder removed since it was measured (a user tidying up during the scan) measures as
    // the gone folder it is, as it would without the thread.
    const QString& folder = m_folders.at(m_taken - 1);
    struct stat info {};
    if (::stat(files::encodeFileName(folder).constData(), &info) != 0)
        return folderSizeText(folder, listing);
    listing = std::move(next.listing);
    return next.size;
}

void FolderSizeQueue::measureAll() {
    for (const QString& folder : m_folders) {
        Measured measured;
        measured.size = folderSizeText(folder, measured.listing);
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopping || m_ready.size() < kAhead; });
        if (m_stopping)
            return;
        m_ready.push_back(std::move(measured));
        lock.unlock();
        m_changed.notify_all();
    }
}

} // namespace korvane
