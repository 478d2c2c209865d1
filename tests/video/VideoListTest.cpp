#include "video/VideoList.h"
#include "video/VideoCells.h"
#include "video/VideoInfo.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

namespace korvane {
namespace {

VideoRow row(const QString& caption, const QString& size = QStringLiteral("1")) {
    return {caption, {size, QStringLiteral("0 x 0"), QString(), QStringLiteral("0"), QString()}};
}

TEST(VideoList, Columns) {
    VideoList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const struct {
        const char* caption;
        int width;
        Qt::Alignment alignment;
    } expected[] = {
        {"Имя файла", 300, Qt::AlignLeft},    {"Размер (mb)", 40, Qt::AlignHCenter},
        {"Разрешение", 70, Qt::AlignHCenter}, {"Длительность", 0, Qt::AlignHCenter},
        {"fps", 40, Qt::AlignHCenter},        {"Кодек", 100, Qt::AlignLeft},
    };
    ASSERT_EQ(list.columnCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(list.headerData(i, Qt::Horizontal).toString(),
                  QString::fromUtf8(expected[i].caption));
        EXPECT_EQ(list.columns()[size_t(i)].width, expected[i].width);
        EXPECT_EQ(list.columns()[size_t(i)].alignment, expected[i].alignment);
    }
}

TEST(VideoList, AppendsProbeCellsAsText) {
    VideoList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    video::VideoCells cells{"2", "640 x 480", "01:02:05", "25", "MPEG-1"};
    list.appendVideoRow(QStringLiteral("Live  \\  Show.avi"), cells);
    cells.codec = "\xC1\xE0"; // code page bytes of a compression code
    list.appendVideoRow(QStringLiteral("b.avi"), cells);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.row(0).caption, QStringLiteral("Live  \\  Show.avi"));
    EXPECT_EQ(list.row(0).cells, (QStringList{"2", "640 x 480", "01:02:05", "25", "MPEG-1"}));
    EXPECT_EQ(list.text(1, 5), QStringLiteral("Ба"));
}

// A scanned file's row holds its length and what the probe found; its texts are the cells the
// probe's rules give, and follow the separator when rows are made again, but for a typed text.
TEST(VideoList, ARowIsMadeFromItsValues) {
    const QString separator = QStringLiteral("  \\  ");
    video::VideoStreamInfo stream;
    stream.codec = "YUV 4:1:1 Raw";
    stream.duration = "01:02:05";
    stream.frameRate = 29.97;
    stream.width = 720;
    stream.height = 576;
    const std::uint64_t length = 5 * 1048576 + 7;
    std::vector<VideoRow> rows{
        VideoList::videoRow(QStringLiteral("Live/Show.avi"), separator, length, stream,
                            {QStringLiteral("/video"), QStringLiteral("Live/Show.avi"), {}}),
        VideoList::videoRow(QStringLiteral("Live/Clip.avi"), separator, 0, {},
                            {QStringLiteral("/video"), QStringLiteral("Live/Clip.avi"), {}})};
    const video::VideoCells cells = video::videoCells(length, stream);
    EXPECT_EQ(rows[0].caption, QStringLiteral("Live  \\  Show.avi"));
    EXPECT_EQ(rows[0].cells, (QStringList{QString::fromStdString(cells.size), "720 x 576",
                                          "01:02:05", "30", "MPEG-1"}));
    EXPECT_EQ(rows[1].cells, (QStringList{"1", "0 x 0", "", "0", ""}));
    EXPECT_EQ(rows[0].values.bytes, static_cast<qint64>(length));
    EXPECT_EQ(rows[0].values.frameRate, 29.97);

    rows[1].caption = QStringLiteral("Typed");
    rows[1].editedColumns = 1u;
    VideoList::remakeVideoRows(rows, QStringLiteral(" / "), codepage::Choice::Auto);
    EXPECT_EQ(rows[0].caption, QStringLiteral("Live / Show.avi"));
    EXPECT_EQ(rows[1].caption, QStringLiteral("Typed"));
    EXPECT_EQ(rows[1].cells.value(VideoResolutionCell), QStringLiteral("0 x 0"));
}

TEST(VideoList, EditReplacesOnlyFilledFields) {
    VideoList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.appendRow({"a.avi", {"1", "0 x 0", "", "0", "XVID MPEG-4"}});
    list.applyEdit(0, {"new.avi", {"", "720 x 576", "", "25", ""}});
    EXPECT_EQ(list.row(0).caption, QStringLiteral("new.avi"));
    EXPECT_EQ(list.row(0).cells, (QStringList{"1", "720 x 576", "", "25", "XVID MPEG-4"}));
    list.applyEdit(0, {"", {"", "", "", "", ""}});
    EXPECT_EQ(list.row(0).caption, QStringLiteral("new.avi"));
    list.applyEdit(5, {"x", {"x", "x", "x", "x", "x"}}); // no such row: nothing happens
    EXPECT_EQ(list.count(), 1);
}

TEST(VideoList, SortIsOrdinalOnTheText) {
    VideoList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.appendRow(row("b.avi", "9"));
    list.appendRow(row("B.avi", "10"));
    list.appendRow(row("a.avi", "2"));
    list.sortByColumn(1);
    EXPECT_EQ(list.row(0).cells[0], QStringLiteral("10"));
    EXPECT_EQ(list.row(1).cells[0], QStringLiteral("2"));
    EXPECT_EQ(list.row(2).cells[0], QStringLiteral("9"));
    list.sortByColumn(1);
    EXPECT_EQ(list.row(0).cells[0], QStringLiteral("10"));
    list.sortByColumn(0);
    EXPECT_EQ(list.row(0).caption, QStringLiteral("B.avi")); // upper case first
    EXPECT_EQ(list.row(1).caption, QStringLiteral("a.avi"));
}

} // namespace
} // namespace korvane
