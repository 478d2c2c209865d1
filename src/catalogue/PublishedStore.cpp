#include "catalogue/PublishedStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace korvane {
namespace {

QString listKey(StoredListName name) {
    return name == StoredListName::Music ? QStringLiteral("music") : QStringLiteral("video");
}

QString cellsText(const QStringList& cells) {
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(cells)).toJson(QJsonDocument::Compact));
}

// A null string would be bound as NULL; rows without an origin (category headers, rows added by
// hand) hold empty texts.
QString notNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QStringList cellsOf(const QString& text) {
    QStringList cells;
    for (const QJsonValue& value : QJsonDocument::fromJson(text.toUtf8()).array())
        cells << value.toString();
    return cells;
}

} // namespace

PublishedStore::PublishedStore(const QString& path)
    : m_path(path), m_connection(QStringLiteral("published-") + QUuid::createUuid().toString()) {
    if (!QFileInfo::exists(path)) {
        m_open = true; // made by the first save
        return;
    }
    const CatalogueStore catalogue(path);
    if (!catalogue.isUsable()) {
        m_message = catalogue.message();
        return;
    }
    m_open = true;
}

PublishedStore::~PublishedStore() {
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

std::optional<PublishedSnapshot> PublishedStore::load(StoredListName name) {
    if (!m_open || !QFileInfo::exists(m_path))
        return std::nullopt;
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    if (!db.isOpen() && !db.open())
        return std::nullopt;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT at FROM published_lists WHERE name = ?"));
    query.addBindValue(listKey(name));
    // No table yet: nothing was ever published.
    if (!query.exec() || !query.next())
        return std::nullopt;
    PublishedSnapshot snapshot;
    snapshot.at = QDateTime::fromString(query.value(0).toString(), Qt::ISODate);
    query.prepare(QStringLiteral("SELECT caption, cells, root, relative FROM published_rows "
                                 "WHERE list = ? ORDER BY position"));
    query.addBindValue(listKey(name));
    if (!query.exec())
        return std::nullopt;
    while (query.next()) {
        CatalogueRow row;
        row.caption = query.value(0).toString();
        row.cells = cellsOf(query.value(1).toString());
        row.origin.root = nameFromStoredBytes(query.value(2));
        row.origin.relative = nameFromStoredBytes(query.value(3));
        snapshot.rows.push_back(std::move(row));
    }
    return snapshot;
}

bool PublishedStore::save(StoredListName name, const std::vector<CatalogueRow>& rows,
                          const QDateTime& at) {
    if (!m_open)
        return false;
    // A new file gets the catalogue's own tables first, so that it is known as ours.
    if (!QFileInfo::exists(m_path)) {
        const CatalogueStore catalogue(m_path);
        if (!catalogue.isUsable()) {
            m_message = catalogue.message();
            return false;
        }
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    const auto failed = [this, &db](const QSqlError& error) {
        db.rollback();
        m_message = QCoreApplication::translate(
                        "PublishedStore", "Не удалось сохранить публикацию в файле каталога %1: %2")
                        .arg(m_path, error.text());
        return false;
    };
    if (!db.isOpen() && !db.open())
        return failed(db.lastError());
    if (!db.transaction())
        return failed(db.lastError());
    QSqlQuery query(db);
    for (const char* statement :
         {"CREATE TABLE IF NOT EXISTS published_lists(name TEXT PRIMARY KEY, at TEXT NOT NULL)",
          "CREATE TABLE IF NOT EXISTS published_rows(list TEXT NOT NULL, position INTEGER NOT "
          "NULL, caption TEXT NOT NULL, cells TEXT NOT NULL, root TEXT NOT NULL, relative TEXT "
          "NOT NULL, PRIMARY KEY(list, position)) WITHOUT ROWID"}) {
        if (!query.exec(QString::fromLatin1(statement)))
            return failed(query.lastError());
    }
    query.prepare(QStringLiteral("DELETE FROM published_rows WHERE list = ?"));
    query.addBindValue(listKey(name));
    if (!query.exec())
        return failed(query.lastError());
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO published_lists(name, at) VALUES(?, ?)"));
    query.addBindValue(listKey(name));
    query.addBindValue(at.toString(Qt::ISODate));
    if (!query.exec())
        return failed(query.lastError());
    query.prepare(QStringLiteral("INSERT INTO published_rows(list, position, caption, cells, root, "
                                 "relative) VALUES(?, ?, ?, ?, ?, ?)"));
    for (size_t i = 0; i < rows.size(); ++i) {
        const CatalogueRow& row = rows[i];
        query.addBindValue(listKey(name));
        query.addBindValue(static_cast<qint64>(i));
        query.addBindValue(notNull(row.caption));
        query.addBindValue(cellsText(row.cells));
        query.addBindValue(storedNameBytes(row.origin.root));
        query.addBindValue(storedNameBytes(row.origin.relative));
        if (!query.exec())
            return failed(query.lastError());
    }
    if (!db.commit())
        return failed(db.lastError());
    return true;
}

} // namespace korvane
