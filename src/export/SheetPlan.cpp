#include "export/SheetPlan.h"

#include "export/RowCells.h"
#include "music/MusicList.h"
#include "music/MusicRowFormat.h"

namespace korvane::exporter {
namespace {

using Scope = SheetRange::Scope;

// Sheet names the spreadsheet refuses: these characters, more than 31 characters, an apostrophe
// at either end, the reserved "History".
const QString kForbiddenInSheetName = QStringLiteral(":\\/?*[]");
constexpr qsizetype kMaxSheetName = 31;

QString columnLetter(int column) {
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters;
}

QString cellName(int row, int column) {
    return columnLetter(column) + QString::number(row + 1);
}

SheetRange cells(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    return {Scope::Cells, firstRow, firstColumn, lastRow, lastColumn};
}

// Builds the operations shared by both sheets, in their order.
class PlanBuilder {
public:
    PlanBuilder(SheetPlan& plan) : m_plan(plan) {}

    void set(const SheetRange& target, SheetProperty property, int value) {
        m_plan.operations.push_back({target, std::nullopt, property, value, {}});
    }
    void setFontName(const SheetRange& target, const QString& name) {
        m_plan.operations.push_back({target, std::nullopt, SheetProperty::FontName, 0, name});
    }
    void setCharacters(int row, int length, SheetProperty property, int value) {
        m_plan.operations.push_back(
            {cells(row, 0, row, 0), CharacterRun{1, length}, property, value, {}});
    }

    // Steps after the sheet's own alignments: the name column, the widths, the font, the
    // headings.
    void formatColumns(const std::vector<int>& widths) {
        const int last = m_plan.rowCount() - 1;
        const int lastColumn = m_plan.columnCount() - 1;
        set(cells(0, 0, last, 0), SheetProperty::FontColor, sheet::kColorBlack);
        set(cells(0, 0, last, 0), SheetProperty::HorizontalAlignment, sheet::kAlignLeft);
        for (int c = 0; c <= lastColumn; ++c)
            set(cells(0, c, last, c), SheetProperty::ColumnWidth, widths[static_cast<size_t>(c)]);
        setFontName(cells(0, 0, last, lastColumn), QStringLiteral("Verdana"));
        set(cells(0, 0, last, lastColumn), SheetProperty::FontSize, 8);
        for (int c = 0; c <= lastColumn; ++c) {
            const SheetRange heading = cells(0, c, 0, c);
            set(heading, SheetProperty::VerticalAlignment, sheet::kAlignCenter);
            set(heading, SheetProperty::FontColor, sheet::kColorBlue);
            set(heading, SheetProperty::FontBold, 1);
            set(heading, SheetProperty::FontItalic, 1);
        }
    }

private:
    SheetPlan& m_plan;
};

QString usableSheetName(const QString& wanted, const QString& fallback) {
    QString name = wanted;
    for (QChar& c : name) {
        if (kForbiddenInSheetName.contains(c))
            c = u'_';
    }
    name = name.left(kMaxSheetName);
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    if (name.isEmpty() || name.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        return fallback;
    return name;
}

// Headings, an empty row, then the list rows with the given cells after the caption.
SheetPlan gridPlan(const std::vector<CatalogueRow>& rows, const QString& sheetName,
                   const QStringList& headings, const std::vector<int>& cellOrder) {
    SheetPlan plan;
    plan.sheetName = sheetName;
    plan.grid.reserve(rows.size() + 2);
    plan.grid.push_back(headings);
    plan.grid.push_back(QStringList(headings.size(), QString()));
    for (const CatalogueRow& row : rows) {
        QStringList texts{row.caption};
        for (int c : cellOrder)
            texts << cell(row, c);
        plan.grid.push_back(texts);
    }
    return plan;
}

} // namespace

QString rangeText(const SheetRange& range) {
    switch (range.scope) {
    case Scope::AllColumns:
        return QStringLiteral("all columns");
    case Scope::AllRows:
        return QStringLiteral("all rows");
    case Scope::Cells:
        break;
    }
    const QString first = cellName(range.firstRow, range.firstColumn);
    const QString last = cellName(range.lastRow, range.lastColumn);
    return first == last ? first : first + u':' + last;
}

SheetPlan musicSheetPlan(const std::vector<CatalogueRow>& rows, const QString& sheetName,
                         const QString& separator, bool bold, bool categories, bool totals) {
    SheetPlan plan = gridPlan(rows, usableSheetName(sheetName, QStringLiteral("music")),
                              {QStringLiteral("Группа \\ Альбом"),
                               QStringLiteral("Битрейт\n(kbps)"), QStringLiteral("Размер\n(mb)"),
                               QStringLiteral("Стиль"), QStringLiteral("Страна")},
                              {BitrateCell, SizeCell, StyleCell, CountryCell});
    std::vector<int> widths{60, 10, 10, 25, 20};
    if (totals) {
        plan.grid[0] << kAlbumTotalsCaptions;
        plan.grid[1] << QString() << QString();
        for (size_t i = 0; i < rows.size(); ++i)
            plan.grid[i + 2] << albumTracksText(rows[i].values) << albumTimeText(rows[i].values);
        widths.insert(widths.end(), {8, 10});
    }
    PlanBuilder builder(plan);
    builder.set({Scope::AllColumns}, SheetProperty::HorizontalAlignment, sheet::kAlignCenter);
    builder.set({Scope::AllRows}, SheetProperty::VerticalAlignment, sheet::kAlignCenter);
    builder.formatColumns(widths);
    if (!bold)
        return plan;
    for (size_t i = 0; i < rows.size(); ++i) {
        const CatalogueRow& row = rows[i];
        const int sheetRow = static_cast<int>(i) + 2;
        if (categories && MusicList::isCategoryHeader(row)) {
            const int length = static_cast<int>(row.caption.size());
            builder.setCharacters(sheetRow, length, SheetProperty::FontBold, 1);
            builder.setCharacters(sheetRow, length, SheetProperty::FontSize, 10);
            builder.setCharacters(sheetRow, length, SheetProperty::FontColor, sheet::kColorRed);
            continue;
        }
        // The run ends on the separator's first character: the spreadsheet counts from 1.
        const qsizetype at = separator.isEmpty() ? -1 : row.caption.indexOf(separator);
        builder.setCharacters(sheetRow, static_cast<int>(at + 1), SheetProperty::FontBold, 1);
    }
    return plan;
}

SheetPlan videoSheetPlan(const std::vector<CatalogueRow>& rows, const QString& sheetName) {
    SheetPlan plan = gridPlan(rows, usableSheetName(sheetName, QStringLiteral("Video")),
                              {QStringLiteral("Имя файла"), QStringLiteral("Размер\n(mb)"),
                               QStringLiteral("Размер\nкартинки"), QStringLiteral("Время"),
                               QStringLiteral("Кадров\nв сек."), QStringLiteral("Кодек")},
                              {VideoSizeCell, ResolutionCell, DurationCell, FpsCell, CodecCell});
    PlanBuilder builder(plan);
    builder.set({Scope::AllColumns}, SheetProperty::HorizontalAlignment, sheet::kAlignCenter);
    builder.set({Scope::AllColumns}, SheetProperty::ColumnWidth, 15);
    builder.formatColumns({60, 8, 10, 8, 8, 20});
    return plan;
}

} // namespace korvane::exporter
