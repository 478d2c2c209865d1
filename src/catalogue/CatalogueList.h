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

// What a row is, as values: a list's formatter (formatMusicRow, VideoList::formatVideoRow) makes
// the texts the list shows and the exports write from them. Texts that no rule shapes (a music
// row's Style and Country, a clip's Duration and Codec) are their own values, kept in the cells.
struct RowValues {
    enum class Kind : quint8 {
        Texts,  // only the texts are known: a row of an older catalogue, or one made by hand
        Album,  // a music album a scan read
        Header, // a category header row of the music list
        Video,  // a video file a scan probed
    };
    Kind kind = Kind::Texts;
    bool vbr = false;        // music: the audio file's bitrate varies
    qint16 discs = 0;        // music: a folded album's disc folders (its loose tracks one more)
    qint16 artistLength = 0; // of names
    qint16 albumLength = 0;  // of names
    qint32 bitrate = 0;      // music: kbit/s of the audio file
    qint32 tracks = -1;      // music: the album's tracks when its totals were read; -1 unread
    qint32 width = 0;        // video
    qint32 height = 0;       // video
    qint64 bytes = -1;       // the album's (or the file's) size; -1 unknown
    double frameRate = 0;    // video
    double seconds = 0;      // music: how long the album plays, with its tracks
    QString category;        // music: the album's category folder as shown; empty outside them
    // music: artist, album and year from the tags as read, one after the other (one block of
    // memory for the three)
    QString names;
    QString format; // music: the audio file's kind ("mp3", "flac"...), empty without one
    // music, with the tracks: the Bitrate text of an album whose files differ in format or rate
    // ("mp3 128-320"); empty when they do not
    QString mixedRates;

    QStringView artist() const { return QStringView(names).left(artistLength); }
    QStringView album() const { return QStringView(names).mid(artistLength, albumLength); }
    QStringView year() const { return QStringView(names).mid(artistLength + albumLength); }
    // Each at most 32,767 characters.
    void setNames(const QString& artist, const QString& album, const QString& year) {
        artistLength = static_cast<qint16>(artist.size());
        albumLength = static_cast<qint16>(album.size());
        names = artist + album + year;
    }

    bool operator==(const RowValues&) const = default;
};

// One row of a list: its caption (the first column) and its cells, in column order, made from
// its values (a row restored from an older catalogue holds only the texts). Cells are appended
// one by one while a row is built by hand, so a row may briefly hold fewer cells than the list
// has columns.
struct CatalogueRow {
    QString caption;
    QStringList cells;
    RowOrigin origin = {};
    RowValues values = {};
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

// Sets a column of a row (0 the caption, n the n-th cell) to what its values give, unless the
// user edited it by hand: then it keeps the user's text. Missing cells before it are added empty.
void setUneditedText(CatalogueRow& row, int column, const QString& text);

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
    // Column 0 is the caption, column n the n-th cell; a list may show columns past its cells,
    // made from the rows' values.
    virtual QString text(int index, int column) const;
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
