#include "files/FolderSizeQueue.h"

#include "../music/MusicTree.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

// More folders than the queue holds ahead, of sizes that differ, some unreadable or missing.
QStringList makeFolders(const test::MusicTree& tree, int count) {
    QStringList folders;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("G/A%1").arg(i);
        if (i % 50 == 7) {
            folders << tree.path(name); // never made
            continue;
        }
        tree.album(name, (i + 1) * 1000);
        if (i % 10 == 3)
            tree.file(name + QStringLiteral("/.hidden"), 5000);
        folders << tree.path(name);
    }
    return folders;
}

} // namespace

// The results come in the list's order and equal the measure taken directly, listing included.
TEST(FolderSizeQueue, GivesEveryFolderInOrder) {
    test::MusicTree tree;
    const QStringList folders =
        makeFolders(tree, static_cast<int>(FolderSizeQueue::kAhead) * 2 + 13);
    FolderSizeQueue queue(folders);
    for (const QString& folder : folders) {
        std::vector<FolderEntry> expected;
        const QString size = folderSizeText(folder, expected);
        std::vector<FolderEntry> listing;
        ASSERT_EQ(queue.takeNext(listing), size) << folder.toStdString();
        ASSERT_EQ(folderSignature(listing), folderSignature(expected)) << folder.toStdString();
    }
    std::vector<FolderEntry> listing{{"stale", 0}};
    EXPECT_EQ(queue.takeNext(listing), QStringLiteral("0"));
    EXPECT_TRUE(listing.empty());
}

// A scan stopped early: the thread, waiting for room or measuring, ends with the queue.
TEST(FolderSizeQueue, EndsWhenDestroyedEarly) {
    test::MusicTree tree;
    const QStringList folders =
        makeFolders(tree, static_cast<int>(FolderSizeQueue::kAhead) + 40);
    for (int taken : {0, 1, 100}) {
        FolderSizeQueue queue(folders);
        std::vector<FolderEntry> listing;
        for (int i = 0; i < taken; ++i)
            queue.takeNext(listing);
    }
    SUCCEED();
}
