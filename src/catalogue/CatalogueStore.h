#pragma once

#include "files/ReportedError.h"

#include "catalogue/CatalogueList.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class QSqlError;
class QVariant;

namespace korvane {

// A list as the catalogue keeps it between runs: its rows in order and the caption's count.
struct StoredList {
    std::vector<CatalogueRow> rows;
    int count = 0;
    std::vector<RowOrigin> leftOut; // albums deleted by hand: an update does not bring them back
};

enum class StoredListName { Music, Video };

// Roots and paths as the catalogue keeps them: the bytes the file system gave, since a name that
// is not UTF-8 would not survive SQLite's text columns.
QByteArray storedNameBytes(const QString& name);
QString nameFromStoredBytes(const QVariant& bytes);

// The catalogue file korvane.db: an SQLite database (WAL journal) that holds both lists. Each
// save is one transaction, so a crash leaves the list as it was before or after it. A file that
// SQLite finds damaged, or another program's, is set aside as "<file>.broken" (numbered, none
// replaced) and a new one started; a file that cannot be used for any other reason (a full disk,
// an I/O error, a permission, a lock) stays where it is and nothing is stored; a file written by
// a newer Korvane is left alone and nothing is stored.
class CatalogueStore {
public:
    enum class State {
        Ready,       // the file was opened or created
        SetAside,    // the file was damaged or foreign: kept as .broken, a new one started
        Newer,       // written by a newer Korvane: refused, nothing loaded or saved
        Unavailable, // could not be opened, created or read (message() says why); left alone
    };

    explicit CatalogueStore(const QString& path);
    ~CatalogueStore();
    CatalogueStore(const CatalogueStore&) = delete;
    CatalogueStore& operator=(const CatalogueStore&) = delete;

    State state() const { return m_state; }
    bool isUsable() const { return m_state == State::Ready || m_state == State::SetAside; }
    // A sentence for the user when the file was set aside, refused or unavailable, or when the
    // last save failed (with SQLite's reason).
    QString message() const { return m_message; }
    // The same for the window: a failure of the file system (no permission, a full or read-only
    // disk, a missing folder) told by explainFileProblem, whole in the window's language, instead
    // of SQLite's English reason.
    QString userMessage() const;

    // The stored list; nothing when none is stored. A list that cannot be read sets the file
    // aside (state() becomes SetAside) and gives nothing.
    std::optional<StoredList> load(StoredListName name);
    // Replaces the stored list in one transaction; false when it could not be written (the
    // previous list stays, message() says why) or when another process stored after this one
    // last read, stored or took the stored version (then foundNewer()). A store that has done
    // none of those replaces whatever is stored.
    bool save(StoredListName name, const StoredList& list);
    bool foundNewer() const { return m_foundNewer; }
    // What is stored now counts as read: the next save may replace it.
    void takeStoredVersion();
    // Nobody stored since this one last read, stored or took the stored version.
    bool isCurrent();

    static constexpr int kSchemaVersion = 4;

private:
    bool open();
    bool makeSchema(QSqlError& error);
    bool setAside(const QString& reason);
    bool unavailable(const QString& sentence, const QSqlError& error);
    bool saveFailed(const QSqlError& error);
    void notePossibleFileProblem(const QSqlError& error);

    QString m_path;
    QString m_connection;
    State m_state = State::Unavailable;
    QString m_message;
    std::optional<FileProblem> m_problem;
    // SQLite's data version when this connection last read or stored: only another
    // connection's commit changes it.
    std::optional<qint64> m_readVersion;
    bool m_foundNewer = false;
};

} // namespace korvane
