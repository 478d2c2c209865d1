#pragma once

#include "catalogue/CatalogueList.h"

#include <QString>

#include <optional>
#include <vector>

class QSqlError;

namespace korvane {

// A list as the catalogue keeps it between runs: its rows in order and the caption's count.
struct StoredList {
    std::vector<CatalogueRow> rows;
    int count = 0;
};

enum class StoredListName { Music, Video };

// The catalogue file korvane.db: an SQLite database (WAL journal) that holds both lists. Each
// save is one transaction, so a crash leaves the list as it was before or after it. A file that
// is no catalogue of ours (damaged, or another program's) is set aside as "<file>.broken" and a
// new one started; a file written by a newer Korvane is left alone and nothing is stored.
class CatalogueStore {
public:
    enum class State {
        Ready,       // the file was opened or created
        SetAside,    // the file was damaged or foreign: kept as .broken, a new one started
        Newer,       // written by a newer Korvane: refused, nothing loaded or saved
        Unavailable, // could not be opened or created (a folder that cannot be written)
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

    // The stored list; nothing when none is stored. A list that cannot be read sets the file
    // aside (state() becomes SetAside) and gives nothing.
    std::optional<StoredList> load(StoredListName name);
    // Replaces the stored list in one transaction; false when it could not be written (the
    // previous list stays).
    bool save(StoredListName name, const StoredList& list);

    static constexpr int kSchemaVersion = 1;

private:
    bool open();
    bool createSchema();
    void setAside(const QString& reason);
    bool saveFailed(const QSqlError& error);

    QString m_path;
    QString m_connection;
    State m_state = State::Unavailable;
    QString m_message;
};

} // namespace korvane
