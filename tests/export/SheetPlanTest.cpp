#include "export/SheetPlan.h"

#include "ExportTestSupport.h"

#include <gtest/gtest.h>

namespace korvane::exporter {
namespace {

using test::album;
using test::category;
using test::clip;
using P = SheetProperty;

const QString kSep = QStringLiteral("  \\  ");

std::vector<CatalogueRow> tenAlbums() {
    std::vector<CatalogueRow> rows;
    for (int i = 0; i < 10; ++i)
        rows.push_back(album(QStringLiteral("Group%1  \\  Album").arg(i),
                             QStringLiteral("%1,5").arg(i), QStringLiteral("192"),
                             QStringLiteral("Rock"), QStringLiteral("UK")));
    return rows;
}

// One operation as "range property value" for compact comparisons.
QString describe(const SheetOperation& op) {
    static const char* names[] = {
        "HorizontalAlignment", "VerticalAlignment", "ColumnWidth", "FontName", "FontSize",
        "FontColor",           "FontBold",          "FontItalic"};
    QString text = rangeText(op.target);
    if (op.characters)
        text +=
            QStringLiteral(" chars(%1,%2)").arg(op.characters->start).arg(op.characters->length);
    text += u' ' + QLatin1String(names[static_cast<int>(op.property)]) + u' ';
    text += op.property == P::FontName ? op.text : QString::number(op.value);
    return text;
}

QStringList describeAll(const SheetPlan& plan) {
    QStringList lines;
    for (const SheetOperation& op : plan.operations)
        lines << describe(op);
    return lines;
}

QStringList headingSteps(const QString& lastColumn) {
    QStringList steps;
    for (QChar c = u'A'; c <= lastColumn[0]; c = QChar(c.unicode() + 1)) {
        const QString cell = QString(c) + u'1';
        steps << cell + QStringLiteral(" VerticalAlignment -4108")
              << cell + QStringLiteral(" FontColor 16711680")
              << cell + QStringLiteral(" FontBold 1") << cell + QStringLiteral(" FontItalic 1");
    }
    return steps;
}

TEST(SheetPlan, MusicGridOfTenRowsFillsSheetRowsOneToTwelve) {
    const SheetPlan plan = musicSheetPlan(tenAlbums(), QStringLiteral("music"), kSep, false, false);
    EXPECT_EQ(plan.sheetName, QStringLiteral("music"));
    ASSERT_EQ(plan.rowCount(), 12);
    EXPECT_EQ(plan.columnCount(), 5);
    EXPECT_EQ(plan.grid[0],
              (QStringList{QStringLiteral("Группа \\ Альбом"), QStringLiteral("Битрейт\n(kbps)"),
                           QStringLiteral("Размер\n(mb)"), QStringLiteral("Стиль"),
                           QStringLiteral("Страна")}));
    EXPECT_EQ(plan.grid[1], QStringList(5, QString()));
    // Folder, Bitrate, Size, Style, Country: not the list's own order.
    EXPECT_EQ(plan.grid[2],
              (QStringList{QStringLiteral("Group0  \\  Album"), QStringLiteral("192"),
                           QStringLiteral("0,5"), QStringLiteral("Rock"), QStringLiteral("UK")}));
    EXPECT_EQ(plan.grid[11][0], QStringLiteral("Group9  \\  Album"));
}

TEST(SheetPlan, MusicOperationsInOrder) {
    const SheetPlan plan = musicSheetPlan(tenAlbums(), QStringLiteral("music"), kSep, false, false);
    QStringList expected{
        QStringLiteral("all columns HorizontalAlignment -4108"),
        QStringLiteral("all rows VerticalAlignment -4108"),
        QStringLiteral("A1:A12 FontColor 0"),
        QStringLiteral("A1:A12 HorizontalAlignment -4131"),
        QStringLiteral("A1:A12 ColumnWidth 60"),
        QStringLiteral("B1:B12 ColumnWidth 10"),
        QStringLiteral("C1:C12 ColumnWidth 10"),
        QStringLiteral("D1:D12 ColumnWidth 25"),
        QStringLiteral("E1:E12 ColumnWidth 20"),
        QStringLiteral("A1:E12 FontName Verdana"),
        QStringLiteral("A1:E12 FontSize 8"),
    };
    expected << headingSteps(QStringLiteral("E"));
    EXPECT_EQ(describeAll(plan), expected);
}

TEST(SheetPlan, VideoGridAndOperationsInOrder) {
    std::vector<CatalogueRow> rows;
    for (int i = 0; i < 10; ++i)
        rows.push_back(clip(QStringLiteral("c%1.avi").arg(i), QStringLiteral("1"),
                            QStringLiteral("640x480"), QStringLiteral("1:00"), QStringLiteral("25"),
                            QStringLiteral("XviD")));
    const SheetPlan plan = videoSheetPlan(rows, QStringLiteral("Video"));
    ASSERT_EQ(plan.rowCount(), 12);
    EXPECT_EQ(plan.grid[0],
              (QStringList{QStringLiteral("Имя файла"), QStringLiteral("Размер\n(mb)"),
                           QStringLiteral("Размер\nкартинки"), QStringLiteral("Время"),
                           QStringLiteral("Кадров\nв сек."), QStringLiteral("Кодек")}));
    EXPECT_EQ(plan.grid[3],
              (QStringList{QStringLiteral("c1.avi"), QStringLiteral("1"), QStringLiteral("640x480"),
                           QStringLiteral("1:00"), QStringLiteral("25"), QStringLiteral("XviD")}));
    QStringList expected{
        QStringLiteral("all columns HorizontalAlignment -4108"),
        QStringLiteral("all columns ColumnWidth 15"),
        QStringLiteral("A1:A12 FontColor 0"),
        QStringLiteral("A1:A12 HorizontalAlignment -4131"),
        QStringLiteral("A1:A12 ColumnWidth 60"),
        QStringLiteral("B1:B12 ColumnWidth 8"),
        QStringLiteral("C1:C12 ColumnWidth 10"),
        QStringLiteral("D1:D12 ColumnWidth 8"),
        QStringLiteral("E1:E12 ColumnWidth 8"),
        QStringLiteral("F1:F12 ColumnWidth 20"),
        QStringLiteral("A1:F12 FontName Verdana"),
        QStringLiteral("A1:F12 FontSize 8"),
    };
    expected << headingSteps(QStringLiteral("F"));
    EXPECT_EQ(describeAll(plan), expected);
}

// The bold pass: what follows the formatting steps for each case of the options.
TEST(SheetPlan, BoldPass) {
    const std::vector<CatalogueRow> rows{
        category(QStringLiteral("Панк")),
        album(QStringLiteral("Abcde  \\  Album"), QStringLiteral("1"), QStringLiteral("1"),
              QStringLiteral("-")),
        album(QStringLiteral("NoSeparator"), QStringLiteral("1"), QStringLiteral("1"),
              QStringLiteral("-")),
    };
    struct Case {
        const char* name;
        bool bold;
        bool categories;
        QString separator;
        QStringList pass;
    };
    const std::vector<Case> cases{
        {"bold off: no pass", false, true, kSep, {}},
        {"bold and categories",
         true,
         true,
         kSep,
         {QStringLiteral("A3 chars(1,4) FontBold 1"), QStringLiteral("A3 chars(1,4) FontSize 10"),
          QStringLiteral("A3 chars(1,4) FontColor 255"),
          // A five-letter group: the group and the separator's leading blank.
          QStringLiteral("A4 chars(1,6) FontBold 1"),
          // No separator: a run of length 0 is requested.
          QStringLiteral("A5 chars(1,0) FontBold 1")}},
        {"bold without categories treats a category row like any other",
         true,
         false,
         kSep,
         {QStringLiteral("A3 chars(1,0) FontBold 1"), QStringLiteral("A4 chars(1,6) FontBold 1"),
          QStringLiteral("A5 chars(1,0) FontBold 1")}},
        {"a stored separator",
         true,
         false,
         QStringLiteral("e"),
         {QStringLiteral("A3 chars(1,0) FontBold 1"), QStringLiteral("A4 chars(1,5) FontBold 1"),
          QStringLiteral("A5 chars(1,4) FontBold 1")}},
    };
    const int formatting = static_cast<int>(
        musicSheetPlan(rows, QStringLiteral("m"), kSep, false, false).operations.size());
    for (const Case& c : cases) {
        const SheetPlan plan =
            musicSheetPlan(rows, QStringLiteral("m"), c.separator, c.bold, c.categories);
        EXPECT_EQ(describeAll(plan).mid(formatting), c.pass) << c.name;
    }
}

TEST(SheetPlan, SheetNamesTheSpreadsheetRefusesAreMadeUsable) {
    struct Case {
        const char* name;
        QString wanted;
        QString music;
        QString video;
    };
    const std::vector<Case> cases{
        {"ordinary", QStringLiteral("Мои альбомы"), QStringLiteral("Мои альбомы"),
         QStringLiteral("Мои альбомы")},
        {"forbidden characters", QStringLiteral("a/b\\c?d*e:f[g]"),
         QStringLiteral("a_b_c_d_e_f_g_"), QStringLiteral("a_b_c_d_e_f_g_")},
        {"longer than 31", QString(40, u'x'), QString(31, u'x'), QString(31, u'x')},
        {"apostrophes at the ends", QStringLiteral("'quoted'"), QStringLiteral("quoted"),
         QStringLiteral("quoted")},
        {"empty", QString(), QStringLiteral("music"), QStringLiteral("Video")},
        {"reserved", QStringLiteral("history"), QStringLiteral("music"), QStringLiteral("Video")},
    };
    const std::vector<CatalogueRow> one{album(QStringLiteral("A"), {}, {}, {})};
    for (const Case& c : cases) {
        EXPECT_EQ(musicSheetPlan(one, c.wanted, kSep, false, false).sheetName, c.music) << c.name;
        EXPECT_EQ(videoSheetPlan(one, c.wanted).sheetName, c.video) << c.name;
    }
}

TEST(SheetPlan, RangeTextBeyondColumnZ) {
    EXPECT_EQ(rangeText({SheetRange::Scope::Cells, 0, 25, 9, 26}), QStringLiteral("Z1:AA10"));
    EXPECT_EQ(rangeText({SheetRange::Scope::Cells, 4, 701, 4, 702}), QStringLiteral("ZZ5:AAA5"));
}

} // namespace
} // namespace korvane::exporter
