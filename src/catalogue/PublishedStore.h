#pragma once

#include "catalogue/CatalogueStore.h"

#include <QDateTime>

#include <optional>
#include <vector>

namespace korvane {

// A list as it was when it was last published on a forum: its rows and the moment.
struct PublishedSnapshot {
    std::vector<CatalogueRow> rows;
    QDateTime at;
};

// The published snapshots, kept in korvane.db beside the stored lists in tables of their own,
// made when the first snapshot is saved. The file is opened through CatalogueStore first, so that
// a damaged, foreign or newer file is treated as the catalogue treats it.
class PublishedStore {
public:
    explicit PublishedStore(const QString& path);
    ~PublishedStore();
    PublishedStore(const PublishedStore&) = delete;
    PublishedStore& operator=(const PublishedStore&) = delete;

    bool isUsable() const { return m_open; }
    // Why the file cannot be used, or why the last save failed.
    QString message() const { return m_message; }

    // The snapshot of the list last published; nothing when it never was (no file is made for
    // asking).
    std::optional<PublishedSnapshot> load(StoredListName name);
    // Replaces the list's snapshot in one transaction; false when it could not be written.
    bool save(StoredListName name, const std::vector<CatalogueRow>& rows, const QDateTime& at);

private:
    QString m_path;
    QString m_connection;
    bool m_open = false;
    QString m_message;
};

} // namespace korvane
