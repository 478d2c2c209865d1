#pragma once

#include "catalogue/CatalogueList.h"

#include <QStringList>

#include <optional>
#include <vector>

// The workbook of a list as plain data: the sheet name, the grid of texts and the formatting
// operations in the order they are applied. The xlsx adapter replays it; tests read it directly.
namespace korvane::exporter {

// The spreadsheet's own numbers for the values the export sets.
namespace sheet {
inline constexpr int kAlignCenter = -4108;
inline constexpr int kAlignLeft = -4131;
inline constexpr int kColorBlack = 0;
inline constexpr int kColorBlue = 16711680; // colour numbers hold red in the low byte
inline constexpr int kColorRed = 255;
} // namespace sheet

enum class SheetProperty {
    HorizontalAlignment,
    VerticalAlignment,
    ColumnWidth,
    FontName,
    FontSize,
    FontColor,
    FontBold,
    FontItalic,
};

// Cells from (firstRow, firstColumn) to (lastRow, lastColumn), 0-based; or every column, or
// every row, of the sheet.
struct SheetRange {
    enum class Scope { Cells, AllColumns, AllRows };
    Scope scope = Scope::Cells;
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = 0;
    int lastColumn = 0;

    bool operator==(const SheetRange&) const = default;
};

// A run of characters inside one cell: `start` is 1-based, as the spreadsheet counts.
struct CharacterRun {
    int start = 1;
    int length = 0;

    bool operator==(const CharacterRun&) const = default;
};

struct SheetOperation {
    SheetRange target;
    std::optional<CharacterRun> characters; // only for font properties of a single cell
    SheetProperty property = SheetProperty::FontBold;
    int value = 0; // alignment, width, size, colour; 1 / 0 for bold and italic
    QString text;  // the font name

    bool operator==(const SheetOperation&) const = default;
};

struct SheetPlan {
    QString sheetName;
    std::vector<QStringList> grid; // rows of texts, row 0 is sheet row 1
    std::vector<SheetOperation> operations;

    int rowCount() const { return static_cast<int>(grid.size()); }
    int columnCount() const { return grid.empty() ? 0 : static_cast<int>(grid.front().size()); }
};

// "A1:E12", "A12", "all columns", "all rows": for messages and tests.
QString rangeText(const SheetRange& range);

// The music sheet: columns Folder, Bitrate, Size, Style, Country. With `bold`, each album row's
// group name (up to and including the first character of `separator`) is bold; with
// `categories` too, category header rows are bold, 10 points and red. With `totals`, two more
// columns: the album's tracks and playing time.
SheetPlan musicSheetPlan(const std::vector<CatalogueRow>& rows, const QString& sheetName,
                         const QString& separator, bool bold, bool categories, bool totals = false);
// The video sheet: file name, size, picture size, duration, frame rate, codec.
SheetPlan videoSheetPlan(const std::vector<CatalogueRow>& rows, const QString& sheetName);

} // namespace korvane::exporter
