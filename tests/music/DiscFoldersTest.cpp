#include "music/DiscFolders.h"

#include "MusicTree.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(DiscFolders, DiscNumberOfAFolderName) {
    struct Case {
        const char* name;
        std::optional<int> number;
    };
    const Case cases[] = {
        {"CD1", 1},
        {"CD 2", 2},
        {"CD-03", 3},
        {"cd1", 1},
        {"Disc 1", 1},
        {"DISC2", 2},
        {"Disk 2", 2},
        {"disc_4", 4},
        {"Диск 1", 1},
        {"ДИСК3", 3},
        {"CD1 - Live", 1},
        {"Disc 1 of 2", 1},
        {"CD 2 (Bonus)", 2},
        {"CD10", 10},
        {"Cd 01", 1},
        {"CD - 1", 1},
        {"Discography", std::nullopt},
        {"CD", std::nullopt},
        {"CDs", std::nullopt},
        {"CD1a", std::nullopt},
        {"CD1Live", std::nullopt},
        {"Disco 2", std::nullopt},
        {"Диски", std::nullopt},
        {"Live CD 1", std::nullopt},
        {"CD 1234", std::nullopt}, // a catalogue number
        {"", std::nullopt},
        {"Scans", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(discNumber(QString::fromUtf8(c.name)), c.number) << c.name;
}

TEST(DiscFolders, FoldingTheScansFolderList) {
    struct Row {
        QString folder;
        QStringList inner;
        QStringList discs;
    };
    struct Case {
        const char* name;
        QStringList folders;
        std::vector<Row> rows;
        int albumSeparators = 1;
    };
    const Case cases[] = {
        {"two discs",
         {"G/A", "G/A/CD1", "G/A/CD2"},
         {{"G/A", {"G/A/CD1", "G/A/CD2"}, {"G/A/CD1", "G/A/CD2"}}}},
        {"Disc 1 of 2",
         {"G/A", "G/A/Disc 1 of 2", "G/A/Disc 2 of 2"},
         {{"G/A", {"G/A/Disc 1 of 2", "G/A/Disc 2 of 2"}, {"G/A/Disc 1 of 2", "G/A/Disc 2 of 2"}}}},
        {"a single CD1", {"G/A", "G/A/CD1"}, {{"G/A", {"G/A/CD1"}, {"G/A/CD1"}}}},
        {"discs in their numbers' order",
         {"G/A", "G/A/CD1", "G/A/CD10", "G/A/CD2"},
         {{"G/A", {"G/A/CD1", "G/A/CD10", "G/A/CD2"}, {"G/A/CD1", "G/A/CD2", "G/A/CD10"}}}},
        {"other folders of the album are taken in, not counted as discs",
         {"G/A", "G/A/CD1", "G/A/CD1/Covers", "G/A/CD2", "G/A/Scans"},
         {{"G/A", {"G/A/CD1", "G/A/CD1/Covers", "G/A/CD2", "G/A/Scans"}, {"G/A/CD1", "G/A/CD2"}}}},
        {"a sibling sorted between the album and its discs stays a row",
         {"G/A", "G/A - Live", "G/A/CD1", "G/B"},
         {{"G/A", {"G/A/CD1"}, {"G/A/CD1"}}, {"G/A - Live", {}, {}}, {"G/B", {}, {}}}},
        {"an album without disc folders keeps its sub-folders as rows",
         {"G/A", "G/A/Scans"},
         {{"G/A", {}, {}}, {"G/A/Scans", {}, {}}}},
        {"a group shown as a row keeps its albums and its disc folders",
         {"G", "G/A", "G/CD1"},
         {{"G", {}, {}}, {"G/A", {}, {}}, {"G/CD1", {}, {}}}},
        {"in categories, a group is no album either",
         {"C/G", "C/G/A", "C/G/A/CD1", "C/G/CD1"},
         {{"C/G", {}, {}}, {"C/G/A", {"C/G/A/CD1"}, {"C/G/A/CD1"}}, {"C/G/CD1", {}, {}}},
         2},
        {"a disc folder whose parent is no row of the scan stays a row",
         {"G/CD1", "G/CD2"},
         {{"G/CD1", {}, {}}, {"G/CD2", {}, {}}}},
        {"the outermost album takes in discs within discs",
         {"G/A", "G/A/CD1", "G/A/CD1/CD1"},
         {{"G/A", {"G/A/CD1", "G/A/CD1/CD1"}, {"G/A/CD1"}}}},
        {"nested categories",
         {"Rock/Russian/G/A", "Rock/Russian/G/A/Диск 1", "Rock/Russian/G/A/Диск 2",
          "Rock/Russian/G/B"},
         {{"Rock/Russian/G/A",
           {"Rock/Russian/G/A/Диск 1", "Rock/Russian/G/A/Диск 2"},
           {"Rock/Russian/G/A/Диск 1", "Rock/Russian/G/A/Диск 2"}},
          {"Rock/Russian/G/B", {}, {}}}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<AlbumFolders> rows = foldDiscFolders(c.folders, c.albumSeparators);
        ASSERT_EQ(rows.size(), c.rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].folder, c.rows[i].folder);
            EXPECT_EQ(rows[i].inner, c.rows[i].inner);
            EXPECT_EQ(rows[i].discs, c.rows[i].discs);
        }
    }
}

TEST(DiscFolders, TheMarkOfTheDiscCount) {
    EXPECT_EQ(discCountMark(0), QString());
    EXPECT_EQ(discCountMark(1), QString());
    EXPECT_EQ(discCountMark(2), QStringLiteral(" [2CD]"));
    EXPECT_EQ(discCountMark(12), QStringLiteral(" [12CD]"));
}
