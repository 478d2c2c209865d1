#include "catalogue/CatalogueStore.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

namespace korvane {
namespace {

// "KRVN": tells our catalogue from any other SQLite file.
constexpr qint64 kApplicationId = 0x4B52564E;

QString listKey(StoredListName name) {
    return name == StoredListName::Music ? QStringLiteral("music") : QStringLiteral("video");
}

QByteArray packCells(const QStringList& cells) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    stream << cells;
    return bytes;
}

std::optional<QStringList> unpackCells(const QByteArray& bytes) {
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_6_0);
    QStringList cells;
    stream >> cells;
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    return cells;
}

std::optional<qint64> pragma(QSqlDatabase& db, const QString& name) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA ") + name) || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

bool execAll(QSqlDatabase& db, std::initializer_list<const char*> statements) {
    QSqlQuery query(db);
    for (const char* statement : statements) {
        if (!query.exec(QString::fromLatin1(statement)))
            return false;
    }
    return true;
}

} // namespace

CatalogueStore::CatalogueStore(const QString& path)
    : m_path(path), m_connection(QStringLiteral("catalogue-") + QUuid::createUuid().toString()) {
    if (!open() && m_state == State::SetAside && !open()) {
        m_state = State::Unavailable;
        m_message = QStringLiteral("Не удалось открыть файл каталога %1.").arg(m_path);
    }
}

CatalogueStore::~CatalogueStore() {
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

// True when the file is ready for use. On false, m_state tells why: SetAside (open again to start
// a new file), Newer or Unavailable.
bool CatalogueStore::open() {
    const bool existed = QFileInfo::exists(m_path);
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        m_state = State::Unavailable;
        m_message = QStringLiteral("Не удалось открыть файл каталога %1.").arg(m_path);
        return false;
    }
    const std::optional<qint64> applicationId = pragma(db, QStringLiteral("application_id"));
    const std::optional<qint64> version = pragma(db, QStringLiteral("user_version"));
    const std::optional<qint64> tables =
        pragma(db, QStringLiteral("schema_version")); // 0 for a file without any table
    if (!applicationId || !version || !tables) {
        setAside(QStringLiteral("повреждён"));
        return false;
    }
    if (*applicationId == 0 && *tables == 0) {
        if (!createSchema()) {
            db.close();
            if (!existed)
                QFile::remove(m_path);
            m_state = State::Unavailable;
            m_message = QStringLiteral("Не удалось создать файл каталога %1.").arg(m_path);
            return false;
        }
    } else if (*applicationId != kApplicationId || *version < 1) {
        setAside(QStringLiteral("не является каталогом Korvane"));
        return false;
    } else if (*version > kSchemaVersion) {
        db.close();
        m_state = State::Newer;
        m_message = QStringLiteral("Файл каталога %1 записан более новой версией Korvane. Списки "
                                   "не восстановлены и не будут сохранены.")
                        .arg(m_path);
        return false;
    }
    // WAL: a reader never sees half a save, and a crash mid-save rolls back on the next open.
    if (!execAll(db, {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"})) {
        setAside(QStringLiteral("повреждён"));
        return false;
    }
    if (m_state != State::SetAside)
        m_state = State::Ready;
    return true;
}

bool CatalogueStore::createSchema() {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return false;
    const bool created =
        execAll(db, {"CREATE TABLE lists(name TEXT PRIMARY KEY, count INTEGER NOT NULL)",
                     "CREATE TABLE rows(list TEXT NOT NULL, position INTEGER NOT NULL, "
                     "caption TEXT NOT NULL, cells BLOB NOT NULL, root TEXT NOT NULL, "
                     "relative TEXT NOT NULL, signature BLOB NOT NULL, edited INTEGER NOT NULL, "
                     "new INTEGER NOT NULL, PRIMARY KEY(list, position)) WITHOUT ROWID",
                     "PRAGMA application_id=1263687246", "PRAGMA user_version=1"});
    static_assert(kApplicationId == 1263687246 && kSchemaVersion == 1);
    if (!created) {
        db.rollback();
        return false;
    }
    return db.commit();
}

void CatalogueStore::setAside(const QString& reason) {
    QSqlDatabase::database(m_connection, false).close();
    // An earlier set-aside file may be the only copy of a list: never replaced, the next one is
    // numbered (.broken, .broken.1, ...).
    QString broken = m_path + QStringLiteral(".broken");
    for (int number = 1; QFileInfo(broken).exists() || QFileInfo(broken).isSymLink() ||
                         QFileInfo::exists(broken + QStringLiteral("-wal"));
         ++number)
        broken = m_path + QStringLiteral(".broken.") + QString::number(number);
    // The journal files go along under the names SQLite looks for beside the .broken file.
    for (const char* suffix : {"", "-wal", "-shm"}) {
        const QString from = m_path + QLatin1String(suffix);
        const QString to = broken + QLatin1String(suffix);
        if (QFileInfo::exists(from))
            QFile::rename(from, to);
    }
    m_state = State::SetAside;
    m_message = QStringLiteral("Файл каталога %1 %2. Он сохранён как %3, списки начаты заново.")
                    .arg(m_path, reason, broken);
}

std::optional<StoredList> CatalogueStore::load(StoredListName name) {
    if (!isUsable())
        return std::nullopt;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const auto failed = [this] {
        setAside(QStringLiteral("повреждён"));
        if (!open()) {
            m_state = State::Unavailable;
            m_message = QStringLiteral("Не удалось открыть файл каталога %1.").arg(m_path);
        }
        return std::nullopt;
    };
    query.prepare(QStringLiteral("SELECT count FROM lists WHERE name = ?"));
    query.addBindValue(listKey(name));
    if (!query.exec())
        return failed();
    if (!query.next())
        return std::nullopt;
    StoredList list;
    list.count = query.value(0).toInt();
    query.finish();
    query.prepare(QStringLiteral("SELECT caption, cells, root, relative, signature, edited, new "
                                 "FROM rows WHERE list = ? ORDER BY position"));
    query.addBindValue(listKey(name));
    if (!query.exec())
        return failed();
    while (query.next()) {
        std::optional<QStringList> cells = unpackCells(query.value(1).toByteArray());
        if (!cells)
            return failed();
        CatalogueRow row{query.value(0).toString(), std::move(*cells)};
        row.origin = {query.value(2).toString(), query.value(3).toString(),
                      query.value(4).toByteArray()};
        row.editedColumns = static_cast<std::uint32_t>(query.value(5).toLongLong());
        row.isNew = query.value(6).toBool();
        list.rows.push_back(std::move(row));
    }
    if (query.lastError().isValid())
        return failed();
    return list;
}

bool CatalogueStore::save(StoredListName name, const StoredList& list) {
    if (!isUsable())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction())
        return saveFailed(db.lastError());
    const QString key = listKey(name);
    QSqlQuery query(db);
    bool written = query.prepare(QStringLiteral("DELETE FROM rows WHERE list = ?"));
    query.addBindValue(key);
    written = written && query.exec();
    written =
        written &&
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO lists(name, count) VALUES(?, ?)"));
    query.addBindValue(key);
    query.addBindValue(list.count);
    written = written && query.exec();
    written = written &&
              query.prepare(QStringLiteral("INSERT INTO rows(list, position, caption, cells, root, "
                                           "relative, signature, edited, new) "
                                           "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (size_t i = 0; written && i < list.rows.size(); ++i) {
        const CatalogueRow& row = list.rows[i];
        query.addBindValue(key);
        query.addBindValue(static_cast<qint64>(i));
        query.addBindValue(row.caption.isNull() ? QStringLiteral("") : row.caption);
        query.addBindValue(packCells(row.cells));
        query.addBindValue(row.origin.root.isNull() ? QStringLiteral("") : row.origin.root);
        query.addBindValue(row.origin.relative.isNull() ? QStringLiteral("") : row.origin.relative);
        query.addBindValue(row.origin.signature.isNull() ? QByteArray("") : row.origin.signature);
        query.addBindValue(static_cast<qint64>(row.editedColumns));
        query.addBindValue(row.isNew ? 1 : 0);
        written = query.exec();
    }
    if (!written) {
        const QSqlError error = query.lastError();
        db.rollback();
        return saveFailed(error);
    }
    return db.commit() || saveFailed(db.lastError());
}

bool CatalogueStore::saveFailed(const QSqlError& error) {
    const QString reason = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    m_message = QStringLiteral("Не удалось записать файл каталога %1: %2.").arg(m_path, reason);
    return false;
}

} // namespace korvane
