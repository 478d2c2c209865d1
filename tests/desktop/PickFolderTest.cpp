#include "desktop/Desktop.h"

#include "FakeDesktop.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(PickFolder, PreselectsAnExistingFolderAndReturnsTheChoice) {
    test::TempDir dir;
    test::FakeDesktop desktop;
    desktop.folderAnswers.push_back(dir.path() + QStringLiteral("/chosen"));
    QString folder = dir.path();
    EXPECT_TRUE(pickFolder(desktop, QStringLiteral("Выберите папку"), folder));
    EXPECT_EQ(folder, dir.path() + QStringLiteral("/chosen"));
    EXPECT_EQ(desktop.folderCaptions, QStringList{QStringLiteral("Выберите папку")});
    EXPECT_EQ(desktop.folderPreselections, QStringList{dir.path()});
}

TEST(PickFolder, AVanishedFolderIsClearedEvenWhenCancelled) {
    test::TempDir dir;
    test::FakeDesktop desktop;
    QString folder = dir.path() + QStringLiteral("/gone");
    EXPECT_FALSE(pickFolder(desktop, QStringLiteral("x"), folder));
    EXPECT_TRUE(folder.isEmpty());
    EXPECT_EQ(desktop.folderPreselections, QStringList{QString()});
}

TEST(PickFolder, CancelKeepsAnExistingFolder) {
    test::TempDir dir;
    test::FakeDesktop desktop;
    QString folder = dir.path();
    EXPECT_FALSE(pickFolder(desktop, QStringLiteral("x"), folder));
    EXPECT_EQ(folder, dir.path());
}
