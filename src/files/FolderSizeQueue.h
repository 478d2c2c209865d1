#pragma once

#include "files/FolderWalker.h"

#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace korvane {

// Measures a list of folders (folderSizeText with its listing) on a thread of its own, ahead of
// the caller, who takes the results in the list's order. The listings and the stat of every file
// then overlap with what the caller does with each folder (the music scan reads an audio file).
// At most kAhead results wait; destroying the queue stops the thread after its current folder.
class FolderSizeQueue {
public:
    static constexpr size_t kAhead = 256;

    explicit FolderSizeQueue(QStringList folders);
    ~FolderSizeQueue();
    FolderSizeQueue(const FolderSizeQueue&) = delete;
    FolderSizeQueue& operator=(const FolderSizeQueue&) = delete;

    // The size text and listing of the next folder of the list, waiting for them when the thread
    // is behind; measured again when the folder is gone by now; past the end of the list, "0"
    // and nothing.
    QString takeNext(std::vector<FolderEntry>& listing);

private:
    struct Measured {
        QString size;
        std::vector<FolderEntry> listing;
    };
    void measureAll();

    const QStringList m_folders;
    qsizetype m_taken = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Measured> m_ready;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace korvane
