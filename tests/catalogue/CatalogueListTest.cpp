#include "catalogue/CatalogueList.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

using namespace korvane;

namespace {

CatalogueList makeList() {
    return CatalogueList({{QStringLiteral("Папка"), 360, Qt::AlignLeft},
                          {QStringLiteral("Размер (mb)"), 0, Qt::AlignHCenter}});
}

QStringList captions(const CatalogueList& list) {
    QStringList out;
    for (const CatalogueRow& row : list.rows())
        out << row.caption;
    return out;
}

} // namespace

TEST(CatalogueList, SortsOnWindows1251BytesAscending) {
    CatalogueList list = makeList();
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char* caption : {"Ария", "zebra", "Zebra", "3", "123,4", "23,4", "abc", "Ёж", "ёж"})
        list.appendRow({QString::fromUtf8(caption), {QString::fromUtf8(caption)}});
    list.sortByColumn(0);
    // Digits, then upper-case Latin, lower-case Latin, then Cyrillic in code page order
    // (Ё 0xA8 before ё 0xB8 before А 0xC0).
    EXPECT_EQ(captions(list),
              (QStringList{"123,4", "23,4", "3", "Zebra", "abc", "zebra", "Ёж", "ёж", "Ария"}));
    const QStringList once = captions(list);
    list.sortByColumn(1);
    EXPECT_EQ(captions(list), once);
}

TEST(CatalogueList, SortByCellTreatsMissingCellsAsEmpty) {
    CatalogueList list = makeList();
    list.appendRow({QStringLiteral("b"), {QStringLiteral("2")}});
    list.appendRow({QStringLiteral("a"), {}});
    list.sortByColumn(1);
    EXPECT_EQ(captions(list), (QStringList{"a", "b"}));
}

TEST(CatalogueList, EditsRemovesAndClears) {
    CatalogueList list = makeList();
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.appendRow({QStringLiteral("a"), {}});
    list.appendCell(0, QStringLiteral("50"));
    list.appendRow({QStringLiteral("b"), {QStringLiteral("1")}});
    list.setCell(1, 0, QStringLiteral("7"));
    list.setCaption(1, QStringLiteral("c"));
    EXPECT_EQ(list.text(0, 1), QStringLiteral("50"));
    EXPECT_EQ(list.text(1, 0), QStringLiteral("c"));
    EXPECT_EQ(list.data(list.index(1, 1)).toString(), QStringLiteral("7"));
    list.removeRowAt(0);
    list.removeRowAt(5);
    EXPECT_EQ(list.count(), 1);
    list.clear();
    EXPECT_TRUE(list.isEmpty());
}

TEST(CatalogueList, RemovesFlaggedRowsRunByRun) {
    struct Case {
        const char* name;
        std::vector<bool> doomed;
        QStringList kept;
        int removals;
    };
    const Case cases[] = {
        {"nothing", {}, {"a", "b", "c", "d", "e"}, 0},
        {"one block", {false, true, true, true}, {"a", "e"}, 1},
        {"scattered", {true, false, true, false, true}, {"b", "d"}, 3},
        {"everything", {true, true, true, true, true}, {}, 1},
        {"flags past the end are ignored",
         {false, false, false, false, true, true},
         {"a", "b", "c", "d"},
         1},
    };
    for (const Case& c : cases) {
        CatalogueList list = makeList();
        QAbstractItemModelTester tester(&list,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        for (const char* caption : {"a", "b", "c", "d", "e"})
            list.appendRow({QString::fromUtf8(caption), {}});
        int removals = 0;
        QObject::connect(&list, &QAbstractItemModel::rowsRemoved, [&removals] { ++removals; });
        list.removeFlaggedRows(c.doomed);
        EXPECT_EQ(captions(list), c.kept) << c.name;
        EXPECT_EQ(removals, c.removals) << c.name;
    }
}

// Every other row of 200: a hundred runs are one reset, not a hundred removals.
TEST(CatalogueList, RemovesManyScatteredRowsInOneReset) {
    CatalogueList list = makeList();
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<bool> doomed;
    QStringList kept;
    for (int i = 0; i < 200; ++i) {
        list.appendRow({QString::number(i), {}});
        doomed.push_back(i % 2 == 0);
        if (i % 2 != 0)
            kept << QString::number(i);
    }
    int removals = 0;
    int resets = 0;
    QObject::connect(&list, &QAbstractItemModel::rowsRemoved, [&removals] { ++removals; });
    QObject::connect(&list, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    list.removeFlaggedRows(doomed);
    EXPECT_EQ(captions(list), kept);
    EXPECT_EQ(removals, 0);
    EXPECT_EQ(resets, 1);
}

TEST(CatalogueList, AnEditMarksOnlyTheColumnsItChanged) {
    struct Case {
        const char* name;
        CatalogueRow edited;
        std::uint32_t marks;
    };
    const Case cases[] = {
        {"the editor's own texts back", {"A", {"1"}}, 0},
        {"an emptied field", {"", {""}}, 0},
        {"a new caption", {"B", {"1"}}, 1u},
        {"a new cell", {"A", {"2"}}, 1u << 1},
        {"both", {"B", {"2"}}, 1u | 1u << 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogueList list = makeList();
        list.appendRow({"A", {"1"}});
        list.applyEdit(0, c.edited);
        EXPECT_EQ(list.row(0).editedColumns, c.marks);
    }
}

TEST(CatalogueList, NewRowsAreToldByTheirRole) {
    CatalogueList list = makeList();
    CatalogueRow fresh{"B", {"2"}};
    fresh.isNew = true;
    list.resetRows({{"A", {"1"}}, fresh});
    EXPECT_FALSE(list.index(0, 1).data(CatalogueList::NewRowRole).toBool());
    EXPECT_TRUE(list.index(1, 1).data(CatalogueList::NewRowRole).toBool());
}
