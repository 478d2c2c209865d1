#include "music/MusicListView.h"

#include "music/MusicList.h"

#include <QHeaderView>
#include <QImage>
#include <QTableView>

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvane;

namespace {

// A list view as the music page has it, drawn into an image.
struct DrawnList {
    MusicList list;
    QTableView view;

    DrawnList() {
        view.setModel(&list);
        view.setItemDelegate(new MusicListDelegate(&view));
        view.setShowGrid(true);
        view.verticalHeader()->hide();
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.resize(700, 200);
        for (int c = 0; c < 5; ++c)
            view.setColumnWidth(c, 120);
    }
    QImage draw() {
        view.show();
        return view.viewport()->grab().toImage();
    }
    // The pixels inside one cell, grid lines left out.
    QList<QColor> cell(const QImage& image, int row, int column) {
        const QRect rect = view.visualRect(list.index(row, column)).adjusted(2, 2, -2, -2);
        QList<QColor> pixels;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                pixels << image.pixelColor(x, y);
        return pixels;
    }
};

bool hasRed(const QList<QColor>& pixels) {
    return std::any_of(pixels.begin(), pixels.end(), [](const QColor& c) {
        return c.red() > 200 && c.green() < 80 && c.blue() < 80;
    });
}

} // namespace

TEST(MusicListView, ColumnsCaptionsWidthsAndAlignment) {
    MusicList list;
    const QStringList captions{"Папка", "Размер (mb)", "Битрейт", "Стиль", "Страна"};
    const int widths[] = {360, 0, 60, 140, 100};
    ASSERT_EQ(list.columnCount(), 5);
    list.appendRow({"G", {"5", "192", "Punk", "Россия"}});
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(list.headerData(c, Qt::Horizontal).toString(), captions[c]);
        EXPECT_EQ(list.columns()[static_cast<size_t>(c)].width, widths[c]);
        const auto alignment = list.index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, c == 0 ? Qt::AlignLeft : Qt::AlignHCenter);
    }
}

TEST(MusicListView, CategoryHeaderRowsDrawnOnTheButtonFaceInRed) {
    DrawnList d;
    d.list.appendCategoryHeader("PUNK HEADER");
    d.list.appendRow({"Group  \\  Album", {"50", "192", "Punk", "Россия"}});
    d.list.appendRow({"Not a header", {" ", " ", " ", "-"}}); // three blanks only
    const QImage image = d.draw();
    const QColor face = d.view.palette().color(QPalette::Button);

    EXPECT_TRUE(hasRed(d.cell(image, 0, 0))) << "the category name is red";
    for (int c = 1; c < 5; ++c) {
        const QList<QColor> pixels = d.cell(image, 0, c);
        EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(),
                                [&face](const QColor& p) { return p == face; }))
            << "cell " << c << " of a header row looks empty";
    }
    for (int row : {1, 2}) {
        EXPECT_FALSE(hasRed(d.cell(image, row, 0))) << row;
        EXPECT_NE(d.cell(image, row, 4).first(), face)
            << "album rows keep the list's own background";
    }
}

TEST(MusicListView, SelectedHeaderRowKeepsItsLook) {
    DrawnList d;
    d.list.appendCategoryHeader("PUNK");
    d.view.selectRow(0);
    const QImage image = d.draw();
    const QColor face = d.view.palette().color(QPalette::Button);
    EXPECT_TRUE(hasRed(d.cell(image, 0, 0)));
    EXPECT_EQ(d.cell(image, 0, 3).first(), face);
}
