#include "files/FolderWalker.h"

#include "files/RequestPool.h"

#include "../music/MusicTree.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvane;
using test::kMiB;

namespace {

QStringList allFolders(const QString& root) {
    QStringList list;
    listAllFolders(root, list);
    return list;
}

QStringList relative(const QStringList& list, const QString& root) {
    QStringList out;
    for (const QString& path : list)
        out << path.mid(root.size() + 1);
    return out;
}

} // namespace

TEST(FolderWalker, SizeTextTable) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
        const char* what;
    };
    const Case cases[] = {
        {0, "0", "empty folder"},
        {7 * kMiB, "7", "whole MiB, no comma"},
        {12 * kMiB, "12", "12 MiB stays 12"},
        {50 * kMiB, "50", "50 MiB"},
        {kMiB / 2, "0,5", "half a MiB"},
        {10000, "0,0", "10000 bytes are 0.0095 MiB"},
        {100, "0,0", "100 bytes"},
        {1, "0,0", "one byte: plain decimals, never an exponent"},
        {129468990, "123,4", "123.47 MiB is cut, not rounded"},
        {3 * kMiB, "3", "exactly 3 MiB"},
        {3198156, "3,0", "3.05 MiB"},
        {3250586, "3,1", "3.1 MiB"},
        {4 * kMiB - 1, "3,9", "a byte short of 4 MiB is cut to 3,9"},
        {1024 * kMiB * 1024, "1048576", "1 TiB"},
        {5 * kMiB + 943719, "5,9", "just above 5.9 MiB"},
        {0xFFFFFFFFFFFFFFFFull, "17592186044416",
         "the largest sum: 15 significant digits round before the cut"},
        {(std::uint64_t(1) << 63) + 1, "8796093022208", "2^63 bytes and one"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sizeTextOfBytes(c.bytes), QString::fromLatin1(c.text)) << c.what;
}

TEST(FolderWalker, SizeCountsOnlyVisibleFilesOfTheFolderItself) {
    test::MusicTree tree;
    tree.file("Album/01.mp3", 2 * kMiB);
    tree.file("Album/02.mp3", kMiB);
    tree.file("Album/.hidden.mp3", 40 * kMiB);
    tree.file("Album/CD1/01.mp3", 30 * kMiB);
    tree.folder("Album/.hiddenfolder");
    EXPECT_EQ(folderSizeText(tree.path("Album")), QStringLiteral("3"));
    EXPECT_EQ(folderSizeText(tree.path("Album") + u'/'), QStringLiteral("3"));
    EXPECT_EQ(folderSizeText(tree.path("Album/CD1")), QStringLiteral("30"));
}

// The listing handed back for the album details holds every entry, hidden ones and sub-folders
// too, while the size still counts only the visible files; a folder that cannot be read gives an
// empty listing, and a listing left from the folder before is not kept.
TEST(FolderWalker, SizeHandsBackTheWholeListing) {
    test::MusicTree tree;
    tree.file("Album/01.mp3", 2 * kMiB);
    tree.file("Album/.hidden.wma", 40 * kMiB);
    tree.file("Album/CD1/01.mp3", 30 * kMiB);
    std::vector<FolderEntry> listing;
    EXPECT_EQ(folderSizeText(tree.path("Album"), listing), QStringLiteral("2"));
    std::vector<std::string> names;
    for (const FolderEntry& entry : listing)
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", ".hidden.wma", "01.mp3", "CD1"}));
    std::vector<std::string> again;
    for (const FolderEntry& entry : folderEntries(tree.path("Album")))
        again.push_back(entry.name);
    std::sort(again.begin(), again.end());
    EXPECT_EQ(again, names);

    EXPECT_EQ(folderSizeText(tree.path("Missing"), listing), QStringLiteral("0"));
    EXPECT_TRUE(listing.empty());
    EXPECT_TRUE(folderEntries(tree.path("Missing")).empty());
}

TEST(FolderWalker, SizeOfFoldersWithoutFiles) {
    test::MusicTree tree;
    tree.folder("Empty");
    tree.file("OnlySub/CD1/01.mp3", 5 * kMiB);
    tree.file("Hidden/.a", 5 * kMiB);
    const QString file = tree.file("plain.mp3", 5 * kMiB);
    EXPECT_EQ(folderSizeText(tree.path("Empty")), QStringLiteral("0"));
    EXPECT_EQ(folderSizeText(tree.path("OnlySub")), QStringLiteral("0"));
    EXPECT_EQ(folderSizeText(tree.path("Hidden")), QStringLiteral("0"));
    EXPECT_EQ(folderSizeText(tree.path("Missing")), QStringLiteral("0"));
    EXPECT_EQ(folderSizeText(file), QStringLiteral("0")) << "a file is no folder";
}

TEST(FolderWalker, SizeCountsLinkedFilesAndSkipsDanglingLinks) {
    test::MusicTree tree;
    const QString target = tree.file("elsewhere/big.mp3", 4 * kMiB);
    tree.file("Album/01.mp3", kMiB);
    ASSERT_TRUE(tree.link(target, "Album/linked.mp3"));
    ASSERT_TRUE(tree.link(tree.path("nowhere"), "Album/dangling.mp3"));
    ASSERT_TRUE(tree.link(tree.path("elsewhere"), "Album/folderlink"));
    EXPECT_EQ(folderSizeText(tree.path("Album")), QStringLiteral("5"));
}

TEST(FolderWalker, UnreadableFolderMeasuresZero) {
    test::MusicTree tree;
    const QString locked = tree.album("Locked", 10 * kMiB);
    tree.lock("Locked");
    EXPECT_TRUE(test::holdsWithoutPrivileges([&] { return folderSizeText(locked) == "0"; }));
    tree.unlock("Locked");
}

TEST(FolderWalker, ListsEveryFolderDepthFirst) {
    test::MusicTree tree;
    tree.album("B/Album", kMiB);
    tree.folder("B/Album/CD1");
    tree.folder("B/Album/CD2");
    tree.folder("A");
    tree.folder(".hidden/Inner");
    tree.file("loose.mp3", kMiB);
    QStringList list = relative(allFolders(tree.root()), tree.root());
    // Pre-order: every folder comes before its sub-folders, and a subtree is not interrupted.
    for (int i = 0; i < list.size(); ++i) {
        const QString parent = list[i].section(u'/', 0, -2);
        if (!parent.isEmpty()) {
            EXPECT_LT(list.indexOf(parent), i) << list[i].toStdString();
        }
    }
    const auto subtreeEnd = [&list](const QString& top) {
        int i = list.indexOf(top) + 1;
        while (i < list.size() && list[i].startsWith(top + u'/'))
            ++i;
        return i;
    };
    EXPECT_EQ(subtreeEnd("B") - list.indexOf("B"), 4);
    list.sort();
    EXPECT_EQ(list, (QStringList{".hidden", ".hidden/Inner", "A", "B", "B/Album", "B/Album/CD1",
                                 "B/Album/CD2"}));
}

TEST(FolderWalker, RootWithOrWithoutTrailingSeparatorGivesTheSameList) {
    test::MusicTree tree;
    tree.album("G/A", kMiB);
    tree.album("G/B", kMiB);
    const QStringList plain = allFolders(tree.root());
    EXPECT_EQ(allFolders(tree.root() + u'/'), plain);
    EXPECT_EQ(plain.size(), 3);
    EXPECT_TRUE(plain.first().startsWith(tree.root() + u'/'));
    EXPECT_FALSE(plain.first().endsWith(u'/'));
}

TEST(FolderWalker, AppendsToTheCallersList) {
    test::MusicTree tree;
    tree.folder("G");
    QStringList list{QStringLiteral("earlier")};
    listAllFolders(tree.root(), list);
    EXPECT_EQ(list, (QStringList{"earlier", tree.path("G")}));
}

TEST(FolderWalker, MissingOrFileRootAddsNothing) {
    test::MusicTree tree;
    const QString file = tree.file("f.mp3", 10);
    for (const QString& root : {tree.path("missing"), file}) {
        QStringList list;
        listAllFolders(root, list);
        EXPECT_TRUE(list.isEmpty()) << root.toStdString();
    }
}

TEST(FolderWalker, LinksBackToAnAncestorAreLeftOut) {
    test::MusicTree tree;
    tree.album("G/Album", kMiB);
    ASSERT_TRUE(tree.link(tree.root(), "G/Album/to-root"));
    ASSERT_TRUE(tree.link(tree.path("G"), "G/Album/to-group"));
    ASSERT_TRUE(tree.link(tree.path("G/Album"), "G/Album/to-self"));
    ASSERT_TRUE(tree.link(".", "G/dot"));
    QStringList list = relative(allFolders(tree.root()), tree.root());
    list.sort();
    EXPECT_EQ(list, (QStringList{"G", "G/Album"}));
}

TEST(FolderWalker, LinksElsewhereAreFollowedAndCyclesEnd) {
    test::MusicTree tree;
    tree.album("A/Album", kMiB);
    tree.folder("B");
    // A/ToB -> B and B/ToA -> A: each side is entered once through the other; the link that
    // would lead back into the folder being walked is left out.
    ASSERT_TRUE(tree.link(tree.path("B"), "A/ToB"));
    ASSERT_TRUE(tree.link(tree.path("A"), "B/ToA"));
    QStringList list = relative(allFolders(tree.root()), tree.root());
    list.sort();
    EXPECT_EQ(list, (QStringList{"A", "A/Album", "A/ToB", "B", "B/ToA", "B/ToA/Album"}));
}

TEST(FolderWalker, LinkFarmIsWalkedWithEachTargetEnteredThroughOneLinkOnly) {
    // Twelve folders, each linking to every other: following every chain of links would take
    // 12! walks. Each folder is visited at its own path and once more through the first link
    // that reaches it; every later link to it is left out.
    constexpr int kFolders = 12;
    test::MusicTree tree;
    for (int i = 0; i < kFolders; ++i)
        tree.folder(QStringLiteral("F%1").arg(i));
    for (int i = 0; i < kFolders; ++i)
        for (int j = 0; j < kFolders; ++j)
            if (i != j) {
                ASSERT_TRUE(tree.link(tree.path(QStringLiteral("F%1").arg(j)),
                                      QStringLiteral("F%1/to%2").arg(i).arg(j)));
            }
    const QStringList list = relative(allFolders(tree.root()), tree.root());
    ASSERT_EQ(list.size(), 2 * kFolders) << list.join(u' ').toStdString();
    for (int j = 0; j < kFolders; ++j) {
        EXPECT_TRUE(list.contains(QStringLiteral("F%1").arg(j)));
        const QString link = QStringLiteral("/to%1").arg(j);
        EXPECT_EQ(std::count_if(list.begin(), list.end(),
                                [&](const QString& path) { return path.endsWith(link); }),
                  1);
    }
}

TEST(FolderWalker, UnreadableFolderIsListedButNotEntered) {
    test::MusicTree tree;
    tree.album("G/Locked/Inner", kMiB);
    tree.album("G/Open", kMiB);
    tree.lock("G/Locked");
    EXPECT_TRUE(test::holdsWithoutPrivileges([&] {
        QStringList list = relative(allFolders(tree.root()), tree.root());
        list.sort();
        return list == QStringList{"G", "G/Locked", "G/Open"};
    }));
    tree.unlock("G/Locked");
}

TEST(FolderWalker, AStopEndsEveryListingAtItsNextEntry) {
    test::MusicTree tree;
    tree.album("G/A", kMiB);
    tree.file("top.mp3", 1);
    std::stop_source source;
    source.request_stop();
    QStringList folders;
    QStringList others;
    listAllFolders(tree.root(), folders, source.get_token());
    listAllFolders(tree.root(), folders, others, source.get_token());
    EXPECT_TRUE(folders.isEmpty());
    EXPECT_TRUE(others.isEmpty());

    // The same walk not stopped finds them all.
    listAllFolders(tree.root(), folders, others, std::stop_source().get_token());
    EXPECT_EQ(folders.size(), 2);
    EXPECT_EQ(others.size(), 2);
}

// The categories are the walk's folders directly under the root: hidden ones and links too.
TEST(FolderWalker, CategoryFoldersAreDirectSubFoldersByName) {
    test::MusicTree tree;
    tree.album("Punk/G/A", kMiB);
    tree.folder("Ska");
    tree.folder(".hidden");
    tree.file("notes.txt", 10);
    ASSERT_TRUE(tree.link(tree.path("Ska"), "SkaLink"));
    QStringList names;
    for (const QString& folder : relative(allFolders(tree.root() + u'/'), tree.root())) {
        if (!folder.contains(u'/'))
            names << folder;
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{".hidden", "Punk", "Ska", "SkaLink"}));
}

TEST(FolderWalker, OddNames) {
    test::MusicTree tree;
    const QString longName(255, u'x');
    const QStringList names{QStringLiteral("Группа & Co #1 [live] (2001)"),
                            QStringLiteral(" space "), QStringLiteral("a\\b"),
                            QStringLiteral("Ёжик"), longName};
    for (const QString& name : names)
        tree.album(name, 4 * kMiB);
    QStringList list = relative(allFolders(tree.root()), tree.root());
    list.sort();
    QStringList expected = names;
    expected.sort();
    EXPECT_EQ(list, expected);
    for (const QString& name : names)
        EXPECT_EQ(folderSizeText(tree.path(name)), QStringLiteral("4")) << name.toStdString();
}

// The walk with requests in flight gives the serial walk's folders in its order, and for every
// folder the listing folderSizeText reads: names in order, kinds, sizes and times.
TEST(FolderWalker, AWalkInFlightGivesTheSerialFoldersAndEveryListing) {
    test::MusicTree tree;
    for (int g = 0; g < 6; ++g) {
        for (int a = 0; a < 5; ++a) {
            const QString album = QStringLiteral("G%1/A%2").arg(g).arg(a);
            tree.album(album, (g * 5 + a + 1) * 1000);
            tree.file(album + QStringLiteral("/.hidden"), 5000);
            if (a == 2)
                tree.folder(album + QStringLiteral("/CD1"));
        }
    }
    tree.file("G0/cover.jpg", 700);
    tree.folder(".hidden/Inner");
    ASSERT_TRUE(tree.link(tree.path("G1/A0/tracks.bin"), "G2/A1/linked.mp3"));
    ASSERT_TRUE(tree.link(tree.path("nowhere"), "G2/A1/dangling.mp3"));
    ASSERT_TRUE(tree.link(tree.path("G3"), "G4/ToG3"));
    ASSERT_TRUE(tree.link(tree.path("G3"), "G5/AlsoToG3"));
    ASSERT_TRUE(tree.link(tree.root(), "G5/A4/ToRoot"));

    const QStringList serial = allFolders(tree.root());
    for (const int inFlight : {1, 3, 8}) {
        SCOPED_TRACE(inFlight);
        RequestPool pool(inFlight);
        FolderWalk walk;
        walk.keepListings = true;
        walkFolders(tree.root() + u'/', walk, pool);
        EXPECT_EQ(walk.folders, serial);
        EXPECT_EQ(walk.listings.size(), serial.size() + 1) << "every folder and the root";
        for (const QString& folder : serial + QStringList{tree.root()}) {
            SCOPED_TRACE(folder.toStdString());
            ASSERT_TRUE(walk.listings.contains(folder));
            const std::vector<FolderEntry>& listing = walk.listings.value(folder);
            std::vector<FolderEntry> expected;
            const QString size = folderSizeText(folder, expected);
            ASSERT_EQ(listing.size(), expected.size());
            for (size_t i = 0; i < listing.size(); ++i) {
                EXPECT_EQ(listing[i].name, expected[i].name);
                EXPECT_EQ(listing[i].type, expected[i].type);
                EXPECT_EQ(listing[i].size, expected[i].size);
            }
            EXPECT_EQ(folderSignature(listing), folderSignature(expected));
            EXPECT_EQ(sizeTextOfBytes(listedBytes(listing)), size);
        }
    }
}

TEST(FolderWalker, AStoppedWalkInFlightEnds) {
    test::MusicTree tree;
    for (int g = 0; g < 20; ++g)
        tree.album(QStringLiteral("G%1/A").arg(g), 1000);
    std::stop_source source;
    source.request_stop();
    RequestPool pool(4);
    FolderWalk walk;
    walk.keepListings = true;
    walkFolders(tree.root(), walk, pool, source.get_token());
    EXPECT_TRUE(walk.folders.isEmpty());
}
