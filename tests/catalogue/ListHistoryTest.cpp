#include "catalogue/ListHistory.h"

#include <gtest/gtest.h>

#include <functional>

using namespace korvane;

namespace {

CatalogueList makeList() {
    return CatalogueList({{QStringLiteral("Папка"), 360, Qt::AlignLeft},
                          {QStringLiteral("Размер (mb)"), 0, Qt::AlignHCenter}});
}

CatalogueRow scanned(const char* caption, const char* size) {
    CatalogueRow row{QString::fromUtf8(caption), {QString::fromUtf8(size)}};
    row.origin = {QStringLiteral("/music"), QString::fromUtf8(caption), QByteArray("sig")};
    return row;
}

QStringList captions(const CatalogueList& list) {
    QStringList out;
    for (const CatalogueRow& row : list.rows())
        out << row.caption;
    return out;
}

// Every command a user undoes, one after another, then all undone and all redone: each step
// brings back exactly the rows, their order, their hand edits and the albums left out.
TEST(ListHistory, UndoesAndRedoesEachCommandInTurn) {
    CatalogueList list = makeList();
    for (const char* name : {"Кино", "Аквариум", "ДДТ"})
        list.appendRow(scanned(name, "100,0"));
    ListHistory history;
    std::vector<std::vector<CatalogueRow>> states{list.rows()};
    std::vector<std::size_t> leftOut{0};
    const auto command = [&](const std::function<void()>& change) {
        history.record(list);
        change();
        states.push_back(list.rows());
        leftOut.push_back(list.leftOut().size());
    };
    command([&] { list.sortByColumn(0); });
    command([&] {
        CatalogueRow edited{QStringLiteral("Кино (1988)"), {}};
        list.applyEdit(2, edited);
    });
    command([&] {
        list.leaveOut(list.row(0).origin);
        list.removeRowAt(0);
    });
    command([&] { list.setCell(0, 0, QStringLiteral("1,0")); });
    command([&] { list.clear(); });
    ASSERT_TRUE(list.isEmpty());

    for (std::size_t step = states.size() - 1; step > 0; --step) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(history.undo(list));
        EXPECT_EQ(list.rows(), states[step - 1]);
        EXPECT_EQ(list.leftOut().size(), leftOut[step - 1]);
    }
    EXPECT_FALSE(history.undo(list));
    EXPECT_EQ(captions(list), (QStringList{"Кино", "Аквариум", "ДДТ"}));

    for (std::size_t step = 1; step < states.size(); ++step) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(history.redo(list));
        EXPECT_EQ(list.rows(), states[step]);
    }
    EXPECT_FALSE(history.redo(list));
    EXPECT_TRUE(list.isEmpty());
}

// The hand-edit marks and origins come back too, not only the texts that rows compare by.
TEST(ListHistory, UndoKeepsWhatRowsCarry) {
    CatalogueList list = makeList();
    list.appendRow(scanned("Кино", "100,0"));
    ListHistory history;
    history.record(list);
    list.applyEdit(0, CatalogueRow{QStringLiteral("Кино!"), {}});
    ASSERT_NE(list.row(0).editedColumns, 0u);
    history.record(list);
    list.removeRowAt(0);
    history.undo(list);
    EXPECT_EQ(list.row(0).caption, QStringLiteral("Кино!"));
    EXPECT_NE(list.row(0).editedColumns, 0u);
    history.undo(list);
    EXPECT_EQ(list.row(0).editedColumns, 0u);
    EXPECT_EQ(list.row(0).origin, scanned("Кино", "100,0").origin);
}

TEST(ListHistory, ANewCommandForgetsWhatCouldBeRedone) {
    CatalogueList list = makeList();
    list.appendRow(scanned("a", "1"));
    list.appendRow(scanned("b", "2"));
    ListHistory history;
    history.record(list);
    list.removeRowAt(0);
    history.undo(list);
    ASSERT_TRUE(history.canRedo());
    history.record(list);
    list.removeRowAt(1);
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.redo(list));
    EXPECT_EQ(captions(list), QStringList{"a"});
}

TEST(ListHistory, KeepsTheLatestStepsWithinItsLimits) {
    CatalogueList list = makeList();
    list.appendRow(scanned("row", "0"));
    ListHistory history;
    for (int step = 1; step <= ListHistory::kStepLimit + 5; ++step) {
        history.record(list);
        list.setCell(0, 0, QString::number(step));
    }
    int undone = 0;
    while (history.undo(list))
        ++undone;
    EXPECT_EQ(undone, ListHistory::kStepLimit);
    // The oldest steps went: the earliest state left is after the first five commands.
    EXPECT_EQ(list.row(0).cells.value(0), QStringLiteral("5"));

    history.clear();
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
}

} // namespace
