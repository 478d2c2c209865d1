#include "catalogue/CatalogueUpdate.h"

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
    // A collection that moved to another root is still known by its paths.
    EXPECT_NE(update.unchangedRow({"/mnt/music", "A/One", "s1"}), nullptr);
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
    EXPECT_EQ(counts, (UpdateCounts{1, 1, 1, {}}));
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

TEST(CatalogueUpdate, SummaryText) {
    EXPECT_EQ(updateSummary({3, 1, 2, {}}), "Новых: 3, изменённых: 1, удалённых: 2");
    EXPECT_EQ(updateSummary({0, 0, 0, {"/mnt/disk"}}),
              "Новых: 0, изменённых: 0, удалённых: 0; недоступно: /mnt/disk");
}

} // namespace
} // namespace korvane
