#include "catalogue/CatalogueUpdate.h"

#include <QDir>

#include <gtest/gtest.h>

namespace korvane {
namespace {

CatalogueRow row(const QString& root, const QString& relative, const char* signature,
                 const QString& style, std::uint32_t edited = 0) {
    CatalogueRow r{relative,
                   {QStringLiteral("10"), QStringLiteral("320"), style, QStringLiteral("-")}};
    r.origin = {root, relative, QByteArray(signature)};
    r.editedColumns = edited;
    return r;
}

const QString kRoot = QStringLiteral("/music");

TEST(CatalogueUpdate, UnchangedRowsAreHandedBackOnlyForTheSameSignature) {
    const CatalogueUpdate update({row(kRoot, "A/One", "s1", "Rock")});
    const CatalogueRow* same = update.unchangedRow({kRoot, "A/One", "s1"});
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(same->cells.value(2), "Rock");
    EXPECT_EQ(update.unchangedRow({kRoot, "A/One", "s2"}), nullptr);
    EXPECT_EQ(update.unchangedRow({kRoot, "A/Two", "s1"}), nullptr);
    // The root is walked too, so another root's album at the same path is a new one.
    EXPECT_EQ(update.unchangedRow({"/mnt/music", "A/One", "s1"}), nullptr);
    // A collection that moved to a root named instead of its own is still known by its paths.
    const CatalogueUpdate moved({row(kRoot, "A/One", "s1", "Rock")}, {"/mnt/music"});
    EXPECT_NE(moved.unchangedRow({"/mnt/music", "A/One", "s1"}), nullptr);
}

TEST(CatalogueUpdate, FinishMarksNewKeepsHandEditsAndCountsTheVanished) {
    const std::uint32_t styleEdited = 1u << 3; // bit n+1 is cell n; the Style cell is cell 2
    const CatalogueUpdate update({
        row(kRoot, "A/Kept", "s", "Rock"),
        row(kRoot, "A/Changed", "old", "Punk", styleEdited),
        row(kRoot, "A/Gone", "s", "Ska"),
    });
    std::vector<CatalogueRow> scanned = {
        row(kRoot, "A/Kept", "s", "Rock"),
        row(kRoot, "A/Changed", "new", "Jazz"),
        row(kRoot, "A/Fresh", "s", "Pop"),
        {QStringLiteral("Category header"), {" ", " ", " ", " "}},
    };
    scanned[1].cells[0] = QStringLiteral("99");
    const UpdateCounts counts = update.finish(scanned);
    EXPECT_EQ(counts, (UpdateCounts{1, 1, 1, {}, {}, 0}));
    EXPECT_FALSE(scanned[0].isNew);
    EXPECT_FALSE(scanned[1].isNew);
    EXPECT_EQ(scanned[1].cells.value(2), "Punk") << "the hand-edited Style is kept";
    EXPECT_EQ(scanned[1].cells.value(0), "99") << "cells not edited by hand are read again";
    EXPECT_EQ(scanned[1].editedColumns, styleEdited);
    EXPECT_TRUE(scanned[2].isNew);
    EXPECT_FALSE(scanned[3].isNew);
}

TEST(CatalogueUpdate, RootsInTheirFirstOrderAndTheRowsOfOne) {
    const CatalogueUpdate update(
        {row("/b", "X/1", "s", "-"), row("/a", "X/1", "s", "-"), row("/b", "X/2", "s", "-")});
    EXPECT_EQ(update.roots(), (QStringList{"/b", "/a"}));
    ASSERT_EQ(update.rowsOf("/b").size(), 2u);
    EXPECT_EQ(update.rowsOf("/b")[1].origin.relative, "X/2");
    // The same path below two roots: only the exact root matches.
    EXPECT_EQ(update.unchangedRow({"/c", "X/1", "s"}), nullptr);
}

// The rows a root that is gone keeps: its own, each with the category header row above it.
TEST(CatalogueUpdate, RowsOfARootKeepTheirCategoryHeaders) {
    const CatalogueRow rock{QStringLiteral("Rock"), {}};
    const CatalogueRow jazz{QStringLiteral("Jazz"), {}};
    const CatalogueUpdate update({rock, row("/a", "Rock/G/1", "s", "-"),
                                  row("/b", "Rock/G/2", "s", "-"), jazz,
                                  row("/b", "Jazz/G/3", "s", "-")});
    std::vector<QString> captions;
    for (const CatalogueRow& r : update.rowsOf("/b"))
        captions.push_back(r.caption);
    EXPECT_EQ(captions, (std::vector<QString>{"Rock", "Rock/G/2", "Jazz", "Jazz/G/3"}));
    ASSERT_EQ(update.rowsOf("/a").size(), 2u);
    EXPECT_EQ(update.rowsOf("/a")[0].caption, "Rock");
}

TEST(CatalogueUpdate, ARootHoldsItsAlbumsWhenOneOfThemIsScannedAgain) {
    const CatalogueUpdate update({row("/a", "G/1", "s", "-"), row("/a", "G/2", "s", "-")});
    struct Case {
        const char* name;
        std::vector<CatalogueRow> scanned;
        QString root;
        bool holds;
    };
    for (const Case& c : {
             Case{"nothing found", {}, "/a", false},
             Case{"only new albums", {row("/a", "G/3", "s", "-")}, "/a", false},
             Case{"the same path elsewhere", {row("/b", "G/1", "s", "-")}, "/a", false},
             Case{"one album changed", {row("/a", "G/2", "t", "-")}, "/a", true},
             Case{"a root that had none", {}, "/c", true},
         }) {
        EXPECT_EQ(update.holdsItsAlbums(c.root, c.scanned, 0), c.holds) << c.name;
    }
}

TEST(CatalogueUpdate, SummaryText) {
    EXPECT_EQ(updateSummary({3, 1, 2, {}, {}, 0}), "Новых: 3, изменённых: 1, удалённых: 2");
    EXPECT_EQ(updateSummary({0, 0, 0, {"/mnt/disk"}, {}, 0}),
              "Новых: 0, изменённых: 0, удалённых: 0; недоступно: /mnt/disk");
    EXPECT_EQ(updateSummary({0, 0, 0, {"/mnt/disk"}, {}, 2}),
              "Новых: 0, изменённых: 0, удалённых: 0; исключённых: 2; недоступно: /mnt/disk");
}

// The albums left out are taken out of what the walk appended, counted, and never brought back.
TEST(CatalogueUpdate, AlbumsLeftOutStayOut) {
    const QString root = QDir::tempPath(); // a folder that is there
    const CatalogueUpdate update({row(root, "A/Kept", "s", "Rock")}, {root},
                                 {{root, "A/Deleted", {}}});
    CatalogueList into({{"Caption", 0, {}}});
    UpdateCounts counts;
    ASSERT_TRUE(update.scanRoots(into, {}, counts, [&](const QString&) {
        into.appendRow(row(root, "A/Kept", "s", "Rock"));
        into.appendRow(row(root, "A/Deleted", "s", "Rock"));
        into.appendRow(row("/other", "A/Deleted", "s", "Rock"));
        return true;
    }));
    ASSERT_EQ(into.count(), 2);
    EXPECT_EQ(into.row(1).origin.root, "/other");
    EXPECT_EQ(counts.leftOut, 1);
}

// A root scanned again: its rows and the category header rows above them give way to the fresh
// rows, where the first of them stood; other roots' rows and headers stay as they were.
TEST(CatalogueUpdate, RefreshedRootRowsTakeTheirPlace) {
    const auto header = [](const QString& name) { return CatalogueRow{name, {" ", " "}}; };
    const auto captions = [](const std::vector<CatalogueRow>& rows) {
        QStringList texts;
        for (const CatalogueRow& r : rows)
            texts << r.caption;
        return texts.join(u',');
    };
    const std::vector<CatalogueRow> rows = {
        header("Rock"),
        row("/other", "O/One", "s", "Rock"),
        header("Punk"),
        row(kRoot, "A/One", "s", "Punk"),
        row(kRoot, "A/Two", "s", "Punk"),
        header("Ska"),
        row("/other", "O/Two", "s", "Ska"),
        header("Jazz"),
        row(kRoot, "A/Three", "s", "Jazz"),
    };
    EXPECT_EQ(listedRoot(rows, kRoot + u'/'), kRoot);
    EXPECT_EQ(listedRoot(rows, "/else"), "");
    EXPECT_EQ(captions(rowsOfRoot(rows, kRoot)), "Punk,A/One,A/Two,Jazz,A/Three");
    const std::vector<CatalogueRow> fresh = {header("Punk"), row(kRoot, "A/New", "s", "Punk")};
    EXPECT_EQ(captions(replaceRootRows(rows, kRoot, fresh)), "Rock,O/One,Punk,A/New,Ska,O/Two");
    // A root the rows do not hold: its rows go after the others.
    EXPECT_EQ(captions(replaceRootRows(rows, "/else", fresh)),
              "Rock,O/One,Punk,A/One,A/Two,Ska,O/Two,Jazz,A/Three,Punk,A/New");
}

} // namespace
} // namespace korvane
