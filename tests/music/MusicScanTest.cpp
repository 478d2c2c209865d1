#include "music/MusicScan.h"

#include "catalogue/CatalogueStore.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"

#include "../tags/TagBytes.h"
#include "MusicTree.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvane;
using test::kMiB;

namespace {

const QString kSep = kDefaultGroupAlbumSeparator;

// Records what the scan shows; stops it when a test wants.
struct RecordingHost : MusicScanHost {
    std::stop_source stop;
    std::function<void()> onAlbumPhase;
    std::function<void(const QString&)> onStatus;
    int maximum = -1;
    QList<int> positions;
    QStringList statuses;
    int albumPhases = 0;
    int stopsHonoured = 0;

    void setStatusText(const QString& text) override {
        statuses << text;
        if (onStatus)
            onStatus(text);
    }
    void setProgressMaximum(int value) override { maximum = value; }
    void setProgressPosition(int value) override { positions << value; }
    void albumPhaseBegan() override {
        ++albumPhases;
        if (onAlbumPhase)
            onAlbumPhase();
    }
    void stopHonoured() override { ++stopsHonoured; }
};

MusicScanOptions options(bool categories = false, bool groups = false, int minLimit = 3) {
    MusicScanOptions o;
    o.toggles.musicInCat = categories;
    o.toggles.showGroupNotAlbum = groups;
    o.minLimit = minLimit;
    return o;
}

// Rows as "caption|cell|cell|...", headers as "[name]".
QStringList rows(const MusicList& list) {
    QStringList out;
    for (const MusicRow& row : list.rows())
        out << (MusicList::isCategoryHeader(row)
                    ? u'[' + row.caption + u']'
                    : QStringList{row.caption, row.cells.join(u'|')}.join(u'|'));
    return out;
}

QString album(const QString& folderText, const QString& size) {
    return folderText + u'|' + size + QStringLiteral("|-|-|-");
}

MusicScanResult scan(const QString& root, const MusicScanOptions& o, MusicList& list) {
    RecordingHost host;
    return scanMusic(root, o, list, host);
}

} // namespace

TEST(MusicScan, OneAlbumRow) {
    test::MusicTree tree;
    tree.album("Group/Album", 50 * kMiB);
    MusicList list;
    RecordingHost host;
    const MusicScanResult result = scanMusic(tree.root(), options(), list, host);
    EXPECT_EQ(rows(list), QStringList{album("Group" + kSep + "Album", "50")});
    EXPECT_EQ(result.count, 1);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(host.albumPhases, 1);
    EXPECT_EQ(host.maximum, 1);
    EXPECT_EQ(host.positions, QList<int>{1});
    EXPECT_EQ(host.statuses, QStringList{u' ' + tree.root() + QStringLiteral("/Group/Album")});
}

TEST(MusicScan, RootWithTrailingSeparatorAndCustomSeparator) {
    test::MusicTree tree;
    tree.album("Group/2001 - Album", 4 * kMiB);
    MusicScanOptions o = options();
    o.separator = QStringLiteral(" / ");
    MusicList list;
    scan(tree.root() + u'/', o, list);
    EXPECT_EQ(rows(list), QStringList{album("Group / 2001 - Album", "4")});
}

TEST(MusicScan, DepthFilterWithAndWithoutCategoriesAndGroups) {
    test::MusicTree tree;
    tree.file("G1/tracks.bin", 10 * kMiB); // a group holding its files directly
    tree.album("G1/A1", 10 * kMiB);
    tree.album("G1/A1/CD1", 10 * kMiB);
    tree.album("Cat/G2/A2", 10 * kMiB);
    tree.file("loose.mp3", 10 * kMiB);
    struct Case {
        bool categories;
        bool groups;
        QStringList expected;
        int count;
    };
    const Case cases[] = {
        {false,
         false,
         {album("Cat" + kSep + "G2" + kSep + "A2", "10"), album("G1" + kSep + "A1", "10"),
          album("G1" + kSep + "A1" + kSep + "CD1", "10")},
         3},
        {false,
         true,
         {album("Cat" + kSep + "G2" + kSep + "A2", "10"), album("G1", "10"),
          album("G1" + kSep + "A1", "10"), album("G1" + kSep + "A1" + kSep + "CD1", "10")},
         4},
        {true,
         false,
         {"[Cat]", album("G2" + kSep + "A2", "10"), "[G1]", album("A1" + kSep + "CD1", "10")},
         2},
        // Every folder stays: the group folder G1 comes before its category's header row, and
        // the header of Cat comes with Cat/G2, which is too small for a row.
        {true,
         true,
         {"[Cat]", album("G2" + kSep + "A2", "10"), album("G1", "10"), "[G1]", album("A1", "10"),
          album("A1" + kSep + "CD1", "10")},
         4},
    };
    for (const Case& c : cases) {
        MusicList list;
        MusicScanOptions o = options(c.categories, c.groups);
        o.toggles.foldDiscs = false; // CD1 stays a folder of its own
        const MusicScanResult result = scan(tree.root(), o, list);
        EXPECT_EQ(rows(list), c.expected) << c.categories << c.groups;
        EXPECT_EQ(result.count, c.count) << c.categories << c.groups;
    }
}

TEST(MusicScan, AlbumWithDiscFoldersGivesOneRowPerDiscWithoutFolding) {
    test::MusicTree tree;
    tree.album("Group/Album/CD1", 20 * kMiB);
    tree.album("Group/Album/CD2", 21 * kMiB);
    MusicList list;
    MusicScanOptions o = options();
    o.toggles.foldDiscs = false;
    scan(tree.root(), o, list);
    EXPECT_EQ(rows(list), (QStringList{album("Group" + kSep + "Album" + kSep + "CD1", "20"),
                                       album("Group" + kSep + "Album" + kSep + "CD2", "21")}));
}

// The disc layouts of real collections, with disc folders folded (the default).
TEST(MusicScan, DiscFoldersAreOneRowOfTheWholeAlbum) {
    const std::string mp3 = tags::test::mpegFrames(12); // 5004 bytes at 128 kbit/s, no tags
    struct File {
        QString path;
        std::int64_t bytes; // -1: the mp3 above
    };
    struct Case {
        const char* name;
        std::vector<File> files;
        bool categories;
        QStringList expected;
    };
    const QString ga = "G" + kSep + "A";
    const Case cases[] = {
        {"CD1 and CD2",
         {{"G/A/CD1/tracks.bin", 20 * kMiB}, {"G/A/CD2/tracks.bin", 21 * kMiB}},
         false,
         {album(ga + " [2CD]", "41")}},
        {"Disc 1 of 2",
         {{"G/A/Disc 1 of 2/tracks.bin", 20 * kMiB}, {"G/A/Disc 2 of 2/tracks.bin", 21 * kMiB}},
         false,
         {album(ga + " [2CD]", "41")}},
        {"a single CD1 has no mark", {{"G/A/CD1/tracks.bin", 20 * kMiB}}, false, {album(ga, "20")}},
        {"discs beside loose tracks: the loose tracks are a disc and give the details",
         {{"G/A/01.mp3", -1}, {"G/A/tracks.bin", 10 * kMiB}, {"G/A/CD2/tracks.bin", 20 * kMiB}},
         false,
         {ga + " [2CD]|30,0|128|-|-"}},
        {"other folders of the album count in its size, not as discs",
         {{"G/A/CD1/tracks.bin", 10 * kMiB},
          {"G/A/CD2/tracks.bin", 10 * kMiB},
          {"G/A/Scans/tracks.bin", 5 * kMiB}},
         false,
         {album(ga + " [2CD]", "25")}},
        {"discs too small alone make an album above the limit",
         {{"G/A/CD1/tracks.bin", 2 * kMiB}, {"G/A/CD2/tracks.bin", 2 * kMiB}},
         false,
         {album(ga + " [2CD]", "4")}},
        {"an album with and one without discs",
         {{"G/A/CD1/tracks.bin", 10 * kMiB},
          {"G/A/CD2/tracks.bin", 10 * kMiB},
          {"G/A - Live/tracks.bin", 10 * kMiB}},
         false,
         {album(ga + " [2CD]", "20"), album(ga + " - Live", "10")}},
        {"nested categories",
         {{"Rock/Russian/G/A/Диск 1/tracks.bin", 10 * kMiB},
          {"Rock/Russian/G/A/Диск 2/tracks.bin", 10 * kMiB},
          {"Rock/Russian/G/B/tracks.bin", 10 * kMiB}},
         true,
         {"[Rock]", album("Russian" + kSep + ga + " [2CD]", "20"),
          album("Russian" + kSep + "G" + kSep + "B", "10")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::MusicTree tree;
        for (const File& file : c.files) {
            if (file.bytes < 0)
                tree.write(file.path, mp3);
            else
                tree.file(file.path, file.bytes);
        }
        MusicList list;
        RecordingHost host;
        const MusicScanResult result = scanMusic(tree.root(), options(c.categories), list, host);
        EXPECT_EQ(rows(list), c.expected);
        EXPECT_EQ(result.count, c.expected.size() - (c.categories ? 1 : 0));
    }
}

// An ID3v2.3 tag with artist, album, year and genre, before frames at the bitrate header4 says.
std::string taggedMp3(std::string_view artist, std::string_view year, std::string_view header4,
                      std::size_t frameLength) {
    namespace bytes = tags::test;
    const auto text = [](std::string_view value) {
        return std::string(1, '\0') + std::string(value);
    };
    const std::string frames =
        bytes::frameV3("TPE1", text(artist)) + bytes::frameV3("TALB", text("Album")) +
        bytes::frameV3("TYER", text(year)) + bytes::frameV3("TCON", text("Rock"));
    return bytes::id3v2Tag(3, frames) + bytes::mpegFrames(12, header4, frameLength);
}

TEST(MusicScan, AFoldedAlbumReadsItsFirstDisc) {
    test::MusicTree tree;
    // Disc 10 sorts before disc 2 by name, and disc 2 before disc 10 by number.
    tree.write("G/A/CD10/01.mp3", taggedMp3("Tenth", "2010", tags::test::kFrame128, 417));
    tree.write("G/A/CD2/01.mp3", taggedMp3("Second", "2002", tags::test::kFrame128, 417));
    tree.write("G/A/CD1 - Live/01.mp3",
               taggedMp3("Artist", "1999", tags::test::bytes({0xFF, 0xFB, 0xB0, 0x64}), 626));
    tree.file("G/A/CD1 - Live/tracks.bin", 10 * kMiB);
    MusicScanOptions o = options();
    o.toggles.artistFromID3 = true;
    o.toggles.yearInColumn = true;
    MusicList list;
    RecordingHost host;
    scanMusic(tree.root(), o, list, host);
    EXPECT_EQ(host.maximum, 1) << "the progress counts albums, not folders";
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.row(0).caption, "Artist" + kSep + "Album (1999) [3CD]");
    EXPECT_EQ(list.row(0).cells, (QStringList{"10,0", "192", "Rock", "-"}));
    EXPECT_EQ(list.row(0).origin.relative, QStringLiteral("G/A"));

    // Without folding, the same folders are three rows as before.
    o.toggles.foldDiscs = false;
    MusicList unfolded;
    scan(tree.root(), o, unfolded);
    EXPECT_EQ(unfolded.count(), 1) << "only the first disc is above the size limit";
    EXPECT_EQ(unfolded.row(0).caption, "Artist" + kSep + "Album (1999)");
}

TEST(MusicScan, TheUpdateReadsAFoldedAlbumAgainWhenAnyDiscChanged) {
    test::MusicTree tree;
    tree.album("G/A/CD1", 10 * kMiB);
    tree.album("G/A/CD2", 10 * kMiB);
    tree.album("G/B", 10 * kMiB);
    MusicList list;
    RecordingHost host;
    scanMusic(tree.root(), options(), list, host);
    ASSERT_EQ(rows(list),
              (QStringList{album("G" + kSep + "A [2CD]", "20"), album("G" + kSep + "B", "10")}));
    list.setCell(0, StyleCell, QStringLiteral("kept when unchanged"));

    MusicUpdateResult result = updateMusic(list, {}, options(), host);
    EXPECT_EQ(result.counts, UpdateCounts{});
    EXPECT_EQ(list.row(0).cells.value(StyleCell), QStringLiteral("kept when unchanged"));

    tree.file("G/A/CD2/tracks.bin", 15 * kMiB);
    result = updateMusic(list, {}, options(), host);
    EXPECT_EQ(result.counts.changed, 1);
    EXPECT_EQ(result.counts.added + result.counts.removed, 0);
    EXPECT_EQ(rows(list),
              (QStringList{album("G" + kSep + "A [2CD]", "25"), album("G" + kSep + "B", "10")}));

    // Switched off, the discs are rows of their own and the folded album is gone.
    MusicScanOptions unfolded = options();
    unfolded.toggles.foldDiscs = false;
    result = updateMusic(list, {}, unfolded, host);
    EXPECT_EQ(result.counts.added, 2);
    EXPECT_EQ(result.counts.removed, 1);
    EXPECT_EQ(rows(list), (QStringList{album("G" + kSep + "A" + kSep + "CD1", "10"),
                                       album("G" + kSep + "A" + kSep + "CD2", "15"),
                                       album("G" + kSep + "B", "10")}));
}

// Store with one toggle setting, change it, update with nothing changed on disk: every row is
// made again as a fresh scan with the new toggles makes it, but for the text the user typed.
TEST(MusicScan, AnUpdateMakesEveryRowWithTodaysToggles) {
    test::MusicTree tree;
    tree.write("Punk/G/A/01.mp3", taggedMp3("Artist", "1999", tags::test::kFrame128, 417));
    tree.file("Punk/G/A/tracks.bin", 10 * kMiB);
    tree.write("Punk/G/B/01.mp3", taggedMp3("Other", "2001", tags::test::kFrame128, 417));
    tree.file("Punk/G/B/tracks.bin", 10 * kMiB);
    tree.write("Ska/H/C/01.mp3", taggedMp3("Third", "1979", tags::test::kFrame128, 417));
    tree.file("Ska/H/C/tracks.bin", 10 * kMiB);
    const MusicScanOptions before = options(true);
    MusicScanOptions after = options(true);
    after.toggles.artistFromID3 = true;
    after.toggles.yearInColumn = true;
    after.toggles.albumUppercase = true;
    after.separator = QStringLiteral(" / ");

    MusicList list;
    scan(tree.root(), before, list);
    ASSERT_EQ(list.count(), 5);
    ASSERT_EQ(list.row(1).caption, "G" + kSep + "A");
    MusicRow typed;
    typed.caption = QStringLiteral("Typed by hand");
    list.applyEdit(2, typed);
    QTemporaryDir folder;
    {
        CatalogueStore store(folder.filePath("korvane.db"));
        ASSERT_TRUE(store.save(StoredListName::Music, {list.rows(), 3, {}}));
    }
    CatalogueStore store(folder.filePath("korvane.db"));
    MusicList restored;
    restored.resetRows(store.load(StoredListName::Music).value().rows);

    RecordingHost host;
    const MusicUpdateResult result = updateMusic(restored, {}, after, host);
    EXPECT_EQ(result.counts, UpdateCounts{}) << "nothing changed on disk";
    MusicList fresh;
    scan(tree.root(), after, fresh);
    QStringList expected = rows(fresh);
    ASSERT_EQ(expected.size(), 5);
    EXPECT_EQ(expected[1].section(u'|', 0, 0), "ARTIST / Album (1999)");
    expected[2] = "Typed by hand|" + expected[2].section(u'|', 1);
    EXPECT_EQ(rows(restored), expected);

    // A restore makes the rows again the same way.
    std::vector<MusicRow> again = store.load(StoredListName::Music).value().rows;
    remakeMusicRows(again, after.toggles, after.separator);
    MusicList remade;
    remade.resetRows(std::move(again));
    EXPECT_EQ(rows(remade), expected);
}

// The category is the album's own: a sort, the delete of its header row and an update leave it.
TEST(MusicScan, ARowKeepsItsCategoryThroughSortDeleteAndUpdate) {
    test::MusicTree tree;
    tree.album("Punk/G/Big", 30 * kMiB);
    tree.album("Punk/G/Small", 5 * kMiB);
    tree.album("Ska/H/Middle", 10 * kMiB);
    MusicList list;
    scan(tree.root(), options(true), list);
    const auto categories = [&list] {
        QStringList out;
        for (const MusicRow& row : list.rows())
            out << row.caption + u'=' + row.values.category;
        return out;
    };
    const QString big = "G" + kSep + "Big=Punk";
    const QString small = "G" + kSep + "Small=Punk";
    const QString middle = "H" + kSep + "Middle=Ska";
    ASSERT_EQ(categories(), (QStringList{"Punk=Punk", big, small, "Ska=Ska", middle}));
    list.sortByColumn(SizeCell + 1);
    ASSERT_EQ(categories().mid(2), (QStringList{middle, big, small})) << "sorted as texts";
    list.removeRowAt(0);
    RecordingHost host;
    updateMusic(list, {}, options(true), host);
    EXPECT_TRUE(categories().contains(big) && categories().contains(small) &&
                categories().contains(middle))
        << categories().join(u',').toStdString();
}

TEST(MusicScan, SizeLimitBoundary) {
    struct Case {
        std::int64_t bytes;
        int minLimit;
        bool row;
    };
    const Case cases[] = {
        {3 * kMiB, 3, false}, // 3 is not above 3
        {3198156, 3, false},  // 3.05 MiB reads 3,0
        {3250586, 3, true},   // 3.1 MiB reads 3,1
        {0, 0, false},        // an empty folder is never above 0
        {0, -1, true},        // ... but is above a negative limit
        {100 * kMiB, 100, false},
        {101 * kMiB, 100, true},
    };
    for (const Case& c : cases) {
        test::MusicTree tree;
        tree.album("G/A", c.bytes);
        MusicList list;
        scan(tree.root(), options(false, false, c.minLimit), list);
        EXPECT_EQ(list.count(), c.row ? 1 : 0) << c.bytes << " bytes, limit " << c.minLimit;
    }
}

TEST(MusicScan, CategoryHeaderRowsAndTheCount) {
    test::MusicTree tree;
    tree.album("Punk/GroupA/Album1", 10 * kMiB);
    tree.album("Punk/GroupB/Album2", 10 * kMiB);
    tree.album("Ska/GroupC/Album3", 10 * kMiB);
    tree.file("Jazz/GroupD/tracks.bin", 10 * kMiB); // no album folder: no header row
    MusicList list;
    const MusicScanResult result = scan(tree.root(), options(true), list);
    EXPECT_EQ(rows(list), (QStringList{"[Punk]", album("GroupA" + kSep + "Album1", "10"),
                                       album("GroupB" + kSep + "Album2", "10"), "[Ska]",
                                       album("GroupC" + kSep + "Album3", "10")}));
    // The count leaves out the header rows actually shown, not every category name.
    EXPECT_EQ(result.count, 3);
    for (int i : {0, 3})
        EXPECT_EQ(list.row(i).cells, QStringList(4, QStringLiteral(" ")));
}

TEST(MusicScan, HeaderAgainWhenTheSortedEntriesReturnToACategory) {
    // Folder names differ in case only: the case-insensitive sort interleaves them, the exact
    // comparison tells them apart.
    test::MusicTree tree;
    tree.album("punk/A/Album", 5 * kMiB);
    tree.album("Punk/C/Album", 5 * kMiB);
    tree.album("punk/E/Album", 5 * kMiB);
    MusicList list;
    const MusicScanResult result = scan(tree.root(), options(true), list);
    EXPECT_EQ(rows(list), (QStringList{"[punk]", album("A" + kSep + "Album", "5"), "[Punk]",
                                       album("C" + kSep + "Album", "5"), "[punk]",
                                       album("E" + kSep + "Album", "5")}));
    EXPECT_EQ(result.count, 3);
}

TEST(MusicScan, StopTakesEffectAfterTheNextAppendedRow) {
    test::MusicTree tree;
    for (const char* small : {"G/A1", "G/A2", "G/A3", "G/A4", "G/A5"})
        tree.album(small, kMiB);
    tree.album("G/B1", 10 * kMiB);
    tree.album("G/B2", 10 * kMiB);
    MusicList list;
    RecordingHost host;
    // Pressed as soon as the scan button became the stop button.
    host.onAlbumPhase = [&host] { host.stop.request_stop(); };
    const MusicScanResult result =
        scanMusic(tree.root(), options(), list, host, host.stop.get_token());
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(host.stopsHonoured, 1);
    EXPECT_EQ(rows(list), QStringList{album("G" + kSep + "B1", "10")});
    EXPECT_EQ(host.positions, (QList<int>{1, 2, 3, 4, 5, 6})) << "skipped folders do not stop";
    EXPECT_EQ(result.count, 1);

    // The next scan runs to its end and appends after the rows of the stopped one.
    const MusicScanResult next = scan(tree.root(), options(), list);
    EXPECT_FALSE(next.stopped);
    EXPECT_EQ(rows(list),
              (QStringList{album("G" + kSep + "B1", "10"), album("G" + kSep + "B1", "10"),
                           album("G" + kSep + "B2", "10")}));
    EXPECT_EQ(next.count, 3);
}

// With reads in flight ahead of the rows, a stop still ends the scan right after the row of the
// album it was pressed on, and the reads begun ahead are left.
TEST(MusicScan, StopWithReadsInFlightEndsAfterTheAlbumShown) {
    test::MusicTree tree;
    for (int i = 0; i < 60; ++i)
        tree.album(QStringLiteral("G/A%1").arg(i, 3, 10, QLatin1Char('0')), 10 * kMiB);
    for (const int inFlight : {1, 8}) {
        SCOPED_TRACE(inFlight);
        MusicList list;
        RecordingHost host;
        host.onStatus = [&host](const QString& status) {
            if (status.endsWith(QStringLiteral("/G/A005")))
                host.stop.request_stop();
        };
        MusicScanOptions o = options();
        o.requestsInFlight = inFlight;
        const MusicScanResult result = scanMusic(tree.root(), o, list, host, host.stop.get_token());
        EXPECT_TRUE(result.stopped);
        EXPECT_EQ(host.stopsHonoured, 1);
        EXPECT_EQ(list.count(), 6);
        EXPECT_EQ(host.positions.size(), 6) << "progress counts the albums shown";
    }
}

TEST(MusicScan, SecondScanAppendsItsRows) {
    test::MusicTree first;
    first.album("Z/Last", 5 * kMiB);
    test::MusicTree second;
    second.album("A/First", 6 * kMiB);
    MusicList list;
    scan(first.root(), options(), list);
    const MusicScanResult result = scan(second.root(), options(), list);
    EXPECT_EQ(rows(list),
              (QStringList{album("Z" + kSep + "Last", "5"), album("A" + kSep + "First", "6")}));
    EXPECT_EQ(result.count, 2);
}

TEST(MusicScan, TestersPassRemovesSmallMarkedRowsOfTheWholeList) {
    MusicList list;
    const auto add = [&list](const QString& caption, const QString& size) {
        list.appendRow({caption, {size, "-", "-", "-"}});
    };
    add("G" + kSep + "xxxx - Unsorted", "12");
    add("G" + kSep + "xxxx - Unsorted", "25");
    add("G" + kSep + "2001 - Album [--]", "5");
    add("G" + kSep + "2001 - Album [--]", "5");
    add("G" + kSep + "Fine", "5");
    add("G" + kSep + "xxxx - unsorted", "5"); // the marks are case-sensitive
    add("G" + kSep + "Album[--]", "5");       // " [--]" needs its blank
    add("G" + kSep + "Edited [--]", "abc");   // a hand-edited size that is no number stays
    add("G" + kSep + "Exactly [--]", "20");   // not below the limit
    list.appendCategoryHeader("xxxx - Unsorted [--]");
    add("H" + kSep + "Last [--]", "19,9"); // the last row is examined like the others

    MusicList untouched;
    for (const MusicRow& row : list.rows())
        untouched.appendRow(row);
    test::MusicTree empty;
    MusicScanOptions o = options();
    o.testersMode = true;
    o.testersMinLimit = 20;
    const MusicScanResult result = scan(empty.root(), o, list);
    EXPECT_EQ(
        rows(list),
        (QStringList{album("G" + kSep + "xxxx - Unsorted", "25"), album("G" + kSep + "Fine", "5"),
                     album("G" + kSep + "xxxx - unsorted", "5"),
                     album("G" + kSep + "Album[--]", "5"), album("G" + kSep + "Edited [--]", "abc"),
                     album("G" + kSep + "Exactly [--]", "20"), "[xxxx - Unsorted [--]]"}));
    EXPECT_EQ(result.count, 7);

    o.testersMode = false;
    scan(empty.root(), o, untouched);
    EXPECT_EQ(untouched.count(), 11);
}

// A stop during the folder walk (the window closing) ends the scan there: no album is measured.
TEST(MusicScan, StopDuringTheFolderWalkEndsTheScanThere) {
    test::MusicTree tree;
    tree.album("G/A", 10 * kMiB);
    MusicList list;
    RecordingHost host;
    host.stop.request_stop();
    const MusicScanResult result =
        scanMusic(tree.root(), options(true), list, host, host.stop.get_token());
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(host.albumPhases, 0);
    EXPECT_EQ(host.stopsHonoured, 0);
    EXPECT_TRUE(host.statuses.isEmpty());
}

TEST(MusicScan, RootsWithoutAlbums) {
    test::MusicTree tree;
    const QString file = tree.file("file.mp3", 10 * kMiB);
    tree.folder("empty");
    for (const QString& root : {tree.path("missing"), file, tree.path("empty")}) {
        MusicList list;
        list.appendRow({"Earlier", {"5", "-", "-", "-"}});
        RecordingHost host;
        const MusicScanResult result = scanMusic(root, options(), list, host);
        EXPECT_EQ(list.count(), 1) << root.toStdString();
        EXPECT_EQ(result.count, 1) << "the caption counts the rows the list holds";
        EXPECT_EQ(host.albumPhases, 1);
        EXPECT_EQ(host.maximum, 0);
    }
}

TEST(MusicScan, OddFolderNames) {
    test::MusicTree tree;
    const QString longName(255, u'z');
    tree.album(QStringLiteral("Группа & Co #1/Альбом [live] (2001)"), 5 * kMiB);
    tree.album(QStringLiteral(" spaced / album "), 5 * kMiB);
    tree.album("G/" + longName, 5 * kMiB);
    MusicList list;
    scan(tree.root(), options(), list);
    QStringList captions;
    for (const MusicRow& row : list.rows())
        captions << row.caption;
    captions.sort();
    QStringList expected{" spaced " + kSep + " album ", "G" + kSep + longName,
                         QStringLiteral("Группа & Co #1") + kSep +
                             QStringLiteral("Альбом [live] (2001)")};
    expected.sort();
    EXPECT_EQ(captions, expected);
}

TEST(MusicScan, NamesThatAreNotUtf8GiveTheirRowsShownAsWindows1251) {
    // Collections unpacked from old Windows archives name folders in Windows-1251 bytes. The scan
    // must still measure them and read their audio; the rows show the names as Cyrillic.
    test::MusicTree tree;
    tree.album("G/Fine", 10 * kMiB);
    const QByteArray root = QFile::encodeName(tree.root());
    const QByteArray group = root + "/\xC0\xEA\xE2\xE0\xF0\xE8\xF3\xEC"; // "Аквариум"
    const QByteArray albums[] = {group +
                                     "/1987 - \xD0\xE0\xE2\xED\xEE\xE4\xE5\xED\xF1\xF2\xE2\xE8\xE5",
                                 root + "/G/Bad \xff\xfe name"};
    std::vector<QByteArray> made{group};
    ASSERT_EQ(mkdir(group.constData(), 0755), 0);
    for (const QByteArray& folder : albums) {
        ASSERT_EQ(mkdir(folder.constData(), 0755), 0);
        const int fd = open((folder + "/tracks.bin").constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 10 * kMiB), 0);
        close(fd);
        made.push_back(folder);
    }
    const std::string mp3 = tags::test::mpegFrames(12); // 128 kbit/s, no tags
    const int fd = open((albums[0] + "/01.mp3").constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(write(fd, mp3.data(), mp3.size()), static_cast<ssize_t>(mp3.size()));
    close(fd);

    MusicList list;
    const MusicScanResult result = scan(tree.root(), options(), list);

    unlink((albums[0] + "/01.mp3").constData()); // QTemporaryDir cannot remove them
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder) {
        unlink((*folder + "/tracks.bin").constData());
        rmdir(folder->constData());
    }
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(rows(list),
              (QStringList{QStringLiteral("G") + kSep + QStringLiteral("Bad яю name|10|-|-|-"),
                           QStringLiteral("G") + kSep + QStringLiteral("Fine|10|-|-|-"),
                           QStringLiteral("Аквариум") + kSep +
                               QStringLiteral("1987 - Равноденствие|10,0|128|-|-")}));
}

TEST(MusicScan, FolderThatVanishesBeforeItIsMeasuredIsSkipped) {
    test::MusicTree tree;
    tree.album("G/A", 10 * kMiB);
    tree.album("G/Gone", 10 * kMiB);
    tree.album("G/Z", 10 * kMiB);
    MusicList list;
    RecordingHost host;
    host.onStatus = [&tree](const QString& status) {
        if (status.endsWith(QStringLiteral("/G/Gone")))
            QDir(tree.path("G/Gone")).removeRecursively();
    };
    // One request at a time: with more, the pool may have read the album before it went.
    MusicScanOptions serial = options();
    serial.requestsInFlight = 1;
    scanMusic(tree.root(), serial, list, host);
    EXPECT_EQ(rows(list),
              (QStringList{album("G" + kSep + "A", "10"), album("G" + kSep + "Z", "10")}));
}

TEST(MusicScan, UnreadableFoldersAreSkippedAndTheScanGoesOn) {
    test::MusicTree tree;
    tree.album("G/A", 10 * kMiB);
    tree.album("G/Locked", 10 * kMiB);
    tree.album("H/Locked/Inner", 10 * kMiB);
    tree.album("H/Z", 10 * kMiB);
    tree.lock("G/Locked");
    tree.lock("H/Locked");
    // As root the rows are compared where they were made, in a child process.
    const bool asExpected = test::holdsWithoutPrivileges([&] {
        MusicList list;
        const MusicScanResult result = scan(tree.root(), options(), list);
        return result.count == 2 && rows(list) == QStringList{album("G" + kSep + "A", "10"),
                                                              album("H" + kSep + "Z", "10")};
    });
    tree.unlock("G/Locked");
    tree.unlock("H/Locked");
    EXPECT_TRUE(asExpected);
}

TEST(MusicScan, OptionsReadFromTheSettingsFile) {
    test::MusicTree dir;
    const QString ini = dir.path("set.ini");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[options]\r\nmin_limit=5\r\nseparator_G_A=\" - \"\r\nnotdead_min_limit=30\r\n");
    file.close();
    Toggles toggles;
    toggles.musicInCat = true;
    SettingsFile settings(ini);
    const MusicScanOptions o = readMusicScanOptions(settings, toggles, "1");
    EXPECT_EQ(o.minLimit, 5);
    EXPECT_EQ(o.separator, QStringLiteral(" - "));
    EXPECT_EQ(o.testersMinLimit, 30);
    EXPECT_TRUE(o.testersMode);
    EXPECT_TRUE(o.toggles.musicInCat);

    SettingsFile absent(dir.path("absent.ini"));
    const MusicScanOptions defaults = readMusicScanOptions(absent, Toggles{}, " 1");
    EXPECT_EQ(defaults.minLimit, 3);
    EXPECT_EQ(defaults.separator, kDefaultGroupAlbumSeparator);
    EXPECT_EQ(defaults.testersMinLimit, 20);
    EXPECT_FALSE(defaults.testersMode) << "testers mode needs exactly \"1\"";
}
