#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QStringList>

#include <cstdint>

#include <vector>

namespace korvane {

// Where a scanned row came from, so that an update can tell what changed: the root the scan
// was given, the album folder's (or the video file's) path below it, and a digest of what the
// file system says about it. Empty for rows no scan made (category header rows).
struct RowOrigin {
    QString root;
    QString relative;
    QByteArray signature;

    bool operator==(const RowOrigin&) const = default;
};

// Whether two spellings name the same root folder ("/music" and "/music/").
bool isSameRoot(const QString& a, const QString& b);

// An 8-bit text of a row's file whose code page was a close call: its bytes and how it was read.
struct CloseText {
    QByteArray bytes;
    QString text;
    bool operator==(const CloseText&) const = default;
};

// One row of a list: its caption (the first column) and its cells, in column order. Cells are
// appended one by one while a scan completes a row, so a row may briefly hold fewer cells than
// the list has columns.
struct CatalogueRow {
    QString caption;
    QStringList cells;
    RowOrigin origin = {};
    // Bit 0 the caption, bit n+1 the n-th cell: what the user changed by hand in a row editor.
    std::uint32_t editedColumns = 0;
    bool isNew = false; // appeared in the last update
    // 8-bit texts of the row's file whose code page was a close call; not stored.
    QList<CloseText> closeTexts = {};

    // Rows are equal when they show the same texts; where they came from is bookkeeping.
    bool operator==(const CatalogueRow& other) const {
        return caption == other.caption && cells == other.cells;
    }
};

// The table model behind both lists: a thin QAbstractTableModel over a vector of rows, with the
// operations the commands need. No widgets: the views live in the window.
class CatalogueList : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString caption;
        int width; // pixels; 0 for the view's default
        Qt::Alignment alignment;
    };

    explicit CatalogueList(std::vector<Column> columns, QObject* parent = nullptr);

    const std::vector<Column>& columns() const { return m_columns; }
    int count() const { return static_cast<int>(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    const CatalogueRow& row(int index) const { return m_rows.at(static_cast<size_t>(index)); }
    const std::vector<CatalogueRow>& rows() const { return m_rows; }

    void appendRow(CatalogueRow row);
    // A batch of rows at once: one insertion for the views.
    void appendRows(std::vector<CatalogueRow> rows);
    // Room for that many more rows, so that a scan's batches never wait while every row moves
    // to a larger block.
    void reserveRows(int more);
    void setCaption(int index, const QString& caption);
    void setCloseTexts(int index, const QList<CloseText>& texts);
    // Column 0 is the caption, column n the n-th cell.
    QString text(int index, int column) const;
    void setCell(int index, int cell, const QString& value);
    void appendCell(int index, const QString& value);
    // A row editor's outcome: each non-empty field replaces its part of the row, an emptied
    // field leaves it as it was, and each replaced column is marked as edited by hand. An index
    // past the end changes nothing.
    void applyEdit(int index, const CatalogueRow& edited);
    void removeRowAt(int index);
    // Removes the rows whose flag is set (one flag per row; missing flags keep their rows), each
    // run of neighbouring rows in one step, so that a block of thousands of rows is one removal
    // for the views. Past a few dozen runs the views start over instead (a model reset): every
    // removal costs them a pass over their rows and selection.
    void removeFlaggedRows(const std::vector<bool>& doomed);
    // Empties the list and forgets the albums left out.
    void clear();
    // Replaces every row at once (a restored or updated list).
    void resetRows(std::vector<CatalogueRow> rows);

    // Albums the user deleted from the list: an update does not bring them back. Rows no scan
    // made (category header rows) have nothing to remember.
    const std::vector<RowOrigin>& leftOut() const { return m_leftOut; }
    void setLeftOut(std::vector<RowOrigin> origins) { m_leftOut = std::move(origins); }
    void leaveOut(const RowOrigin& origin);
    // A root scanned afresh brings its albums back: those of it left out are forgotten.
    void forgetLeftOut(const QString& root);

    // Ascending by column (0 the caption, n the n-th cell), comparing the Windows-1251 bytes of
    // the texts ordinally: "123,4" < "23,4" < "3", "Z" < "a", Latin before Cyrillic.
    void sortByColumn(int column);

    // Data role telling the view that a row appeared in the last update (drawn bold).
    static constexpr int NewRowRole = Qt::UserRole + 2;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void emitRowChanged(int index);

    std::vector<Column> m_columns;
    std::vector<CatalogueRow> m_rows;
    std::vector<RowOrigin> m_leftOut;
};

} // namespace korvane
