#pragma once

#include "catalogue/CatalogueList.h"

namespace korvane {

// A row of the music list: the Folder text as caption, then the cells Size, Bitrate, Style and
// Country ("-" marks a missing value). A category header row holds a category folder's name and
// exactly one blank in each of the four cells.
using MusicRow = CatalogueRow;

enum MusicCell { SizeCell = 0, BitrateCell = 1, StyleCell = 2, CountryCell = 3 };

// The list of the "music" page.
class MusicList : public CatalogueList {
    Q_OBJECT
public:
    // Data role telling the view that a row is a category header row (drawn bold red on the
    // button face, its cells invisible).
    static constexpr int CategoryHeaderRole = Qt::UserRole + 1;
    // Data role telling the view that the code page of some 8-bit text of the row was a close
    // call (the caption gets a mark; its tooltip names the texts).
    static constexpr int CloseCodePageRole = Qt::UserRole + 3;

    explicit MusicList(QObject* parent = nullptr);

    static bool isCategoryHeader(const MusicRow& row);
    static MusicRow categoryHeaderRow(const QString& name);
    bool isCategoryHeader(int index) const { return isCategoryHeader(row(index)); }
    void appendCategoryHeader(const QString& name);
    int categoryHeaderCount() const;
    // Rows with a close call on the code page of an 8-bit text.
    int closeCodePageCount() const;

    // With album totals on, two more columns after Country, tracks and playing time, made from
    // the rows' values (empty for a row without totals); columns() keeps the five of the cells.
    void setTotalsShown(bool shown);
    bool totalsShown() const { return m_totalsShown; }

    QString text(int index, int column) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // The first column past the cells, or -1 for one of theirs.
    int totalsColumn(int column) const;

    bool m_totalsShown = false;
};

} // namespace korvane
