#include "catalogue/CatalogueStore.h"

#include "files/FileName.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>
#include <QVariant>

#include <cerrno>

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

// A row's values, packed; none for a row that holds only its texts.
QByteArray packValues(const RowValues& v) {
    if (v == RowValues{})
        return QByteArray("");
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    // Version 2 adds an album's totals; a row without them keeps version 1's bytes.
    const bool totals = v.tracks >= 0;
    stream << quint8(totals ? 2 : 1) << quint8(v.kind) << v.vbr << v.discs << v.artistLength
           << v.albumLength << v.bitrate << v.width << v.height << v.bytes << v.frameRate
           << v.category << v.names << v.format;
    if (totals)
        stream << v.tracks << v.seconds << v.mixedRates;
    return bytes;
}

std::optional<RowValues> unpackValues(const QByteArray& bytes) {
    RowValues v;
    if (bytes.isEmpty())
        return v;
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_6_0);
    quint8 version = 0;
    quint8 kind = 0;
    stream >> version >> kind >> v.vbr >> v.discs >> v.artistLength >> v.albumLength >> v.bitrate >>
        v.width >> v.height >> v.bytes >> v.frameRate >> v.category >> v.names >> v.format;
    if (version == 2)
        stream >> v.tracks >> v.seconds >> v.mixedRates;
    // The names' parts must lie inside them: a reader of the row takes them apart by length.
    if (stream.status() != QDataStream::Ok || (version != 1 && version != 2) ||
        (version == 2 && v.tracks < 0) || kind > quint8(RowValues::Kind::Video) ||
        !stream.atEnd() || v.artistLength < 0 || v.albumLength < 0 ||
        v.artistLength + v.albumLength > v.names.size())
        return std::nullopt;
    v.kind = RowValues::Kind(kind);
    return v;
}

std::optional<qint64> pragma(QSqlDatabase& db, const QString& name, QSqlError* error = nullptr) {
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA ") + name) || !query.next()) {
        if (error)
            *error = query.lastError();
        return std::nullopt;
    }
    return query.value(0).toLongLong();
}

bool execAll(QSqlDatabase& db, std::initializer_list<const char*> statements,
             QSqlError* error = nullptr) {
    QSqlQuery query(db);
    for (const char* statement : statements) {
        if (!query.exec(QString::fromLatin1(statement))) {
            if (error)
                *error = query.lastError();
            return false;
        }
    }
    return true;
}

// Only these say that the file itself is bad; a full disk, an I/O error, a missing permission or
// a lock leave a healthy file that must stay where it is.
bool isDamage(const QSqlError& error) {
    constexpr int kCorrupt = 11;      // SQLITE_CORRUPT
    constexpr int kNotADatabase = 26; // SQLITE_NOTADB
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == kCorrupt || code == kNotADatabase;
}

// Another connection holds the file for now (SQLITE_BUSY, SQLITE_LOCKED and their kinds).
bool isLocked(const QSqlError& error) {
    constexpr int kBusy = 5;
    constexpr int kLocked = 6;
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == kBusy || code == kLocked;
}

// How long opening waits for another process that holds the file, as the busy timeout does.
constexpr qint64 kLockWaitMilliseconds = 5000;

// SQLite's own words ("database or disk is full"), else Qt's.
// The file-system failures among SQLite's result codes, as the errno they stand for; 0 when
// the file system is to be looked at, nothing when the failure is SQLite's own.
std::optional<int> fileSystemCause(const QSqlError& error) {
    bool ok = false;
    const int primary = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (!ok)
        return std::nullopt;
    switch (primary) {
    case 3: // SQLITE_PERM
        return EACCES;
    case 13: // SQLITE_FULL
        return ENOSPC;
    case 8:  // SQLITE_READONLY
    case 10: // SQLITE_IOERR
    case 14: // SQLITE_CANTOPEN
        return 0;
    default:
        return std::nullopt;
    }
}

QString reasonOf(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return text.trimmed();
}

} // namespace

QByteArray storedNameBytes(const QString& name) {
    const QByteArray bytes = files::encodeFileName(name);
    return bytes.isNull() ? QByteArray("") : bytes;
}

QString nameFromStoredBytes(const QVariant& bytes) {
    const QByteArray name = bytes.toByteArray();
    return files::decodeFileName(std::string_view(name.constData(), size_t(name.size())));
}

CatalogueStore::CatalogueStore(const QString& path)
    : m_path(path), m_connection(QStringLiteral("catalogue-") + QUuid::createUuid().toString()) {
    if (!open() && m_state == State::SetAside && !open() && m_state == State::SetAside)
        unavailable(
            QCoreApplication::translate("CatalogueStore", "Не удалось открыть файл каталога %1.")
                .arg(m_path),
            {});
}

CatalogueStore::~CatalogueStore() {
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

// True when the file is ready for use. On false, m_state tells why: SetAside (open again to start
// a new file), Newer or Unavailable.
bool CatalogueStore::open() {
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    const QString cannotOpen =
        QCoreApplication::translate("CatalogueStore", "Не удалось открыть файл каталога %1.")
            .arg(m_path);
    if (!db.open())
        return unavailable(cannotOpen, db.lastError());
    QSqlError error;
    const auto failed = [this, &error](const QString& sentence) {
        return isDamage(error)
                   ? setAside(QCoreApplication::translate("CatalogueStore", "повреждён"))
                   : unavailable(sentence, error);
    };
    std::optional<qint64> applicationId, version, tables;
    // Another process making the file holds it for a moment, and SQLite does not wait for every
    // such lock by itself: look again for a few seconds before calling the file unavailable.
    QElapsedTimer waited;
    waited.start();
    const auto mayLookAgain = [&error, &waited] {
        if (!isLocked(error) || waited.elapsed() >= kLockWaitMilliseconds)
            return false;
        QThread::msleep(20);
        return true;
    };
    for (bool lookAgain = true; lookAgain;) {
        lookAgain = false;
        // Twice at most: another process may create the tables while this one waits to.
        for (int pass = 0; pass < 2; ++pass) {
            // The three in one read transaction: read one by one, they could straddle another
            // process's creation of the tables and describe a file that never was.
            if (execAll(db, {"BEGIN"}, &error)) {
                applicationId = pragma(db, QStringLiteral("application_id"), &error);
                version = applicationId ? pragma(db, QStringLiteral("user_version"), &error)
                                        : std::nullopt;
                tables = version ? pragma(db, QStringLiteral("schema_version"), &error)
                                 : std::nullopt; // 0 for a file without any table
                execAll(db, {"COMMIT"});
            } else {
                tables.reset();
            }
            if (!tables) {
                if ((lookAgain = mayLookAgain()))
                    break;
                return failed(cannotOpen);
            }
            const bool older =
                *applicationId == kApplicationId && *version >= 1 && *version < kSchemaVersion;
            if ((*applicationId != 0 || *tables != 0) && !older)
                break;
            if (!makeSchema(error)) {
                if ((lookAgain = mayLookAgain()))
                    break;
                return failed(QCoreApplication::translate("CatalogueStore",
                                                          "Не удалось создать файл каталога %1.")
                                  .arg(m_path));
            }
        }
    }
    if ((*applicationId == 0 && *tables == 0) ||
        (*applicationId == kApplicationId && *version >= 1 && *version < kSchemaVersion))
        return unavailable(
            QCoreApplication::translate("CatalogueStore", "Не удалось создать файл каталога %1.")
                .arg(m_path),
            {});
    if (*applicationId != kApplicationId || *version < 1)
        return setAside(
            QCoreApplication::translate("CatalogueStore", "не является каталогом Korvane"));
    if (*version > kSchemaVersion) {
        db.close();
        m_state = State::Newer;
        m_problem.reset();
        m_message =
            QCoreApplication::translate(
                "CatalogueStore", "Файл каталога %1 записан более новой версией Korvane. Списки "
                                  "не восстановлены и не будут сохранены.")
                .arg(m_path);
        return false;
    }
    // WAL: a reader never sees half a save, and a crash mid-save rolls back on the next open.
    while (!execAll(db, {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"}, &error)) {
        if (!mayLookAgain())
            return failed(cannotOpen);
    }
    if (m_state != State::SetAside)
        m_state = State::Ready;
    return true;
}

// One exclusive transaction that looks again before it creates or upgrades: of two first runs at
// once one makes the tables and the other finds them. The file itself is never removed, whoever
// made it.
bool CatalogueStore::makeSchema(QSqlError& error) {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!execAll(db, {"BEGIN EXCLUSIVE"}, &error))
        return false;
    const std::optional<qint64> applicationId =
        pragma(db, QStringLiteral("application_id"), &error);
    const std::optional<qint64> version = pragma(db, QStringLiteral("user_version"), &error);
    const std::optional<qint64> tables = pragma(db, QStringLiteral("schema_version"), &error);
    bool written = applicationId && version && tables;
    static_assert(kApplicationId == 1263687246 && kSchemaVersion == 4);
    // Version 2: roots and paths are bytes (BLOB); albums deleted by hand are remembered.
    // Version 3: each row's values beside its texts (empty for a row of texts alone).
    // Version 4: an album's values may hold its totals (tracks, playing time); an older Korvane
    // would take those for damage, so it must see the file as newer.
    constexpr const char* kRows =
        "CREATE TABLE rows(list TEXT NOT NULL, position INTEGER NOT NULL, caption TEXT NOT NULL, "
        "cells BLOB NOT NULL, root BLOB NOT NULL, relative BLOB NOT NULL, signature BLOB NOT "
        "NULL, edited INTEGER NOT NULL, new INTEGER NOT NULL, row_values BLOB NOT NULL DEFAULT "
        "x'', PRIMARY KEY(list, position)) WITHOUT ROWID";
    constexpr const char* kLeftOut =
        "CREATE TABLE left_out(list TEXT NOT NULL, root BLOB NOT NULL, relative BLOB NOT NULL, "
        "PRIMARY KEY(list, root, relative)) WITHOUT ROWID";
    if (written && *tables == 0) {
        written =
            execAll(db,
                    {"CREATE TABLE lists(name TEXT PRIMARY KEY, count INTEGER NOT NULL)", kRows,
                     kLeftOut, "PRAGMA application_id=1263687246", "PRAGMA user_version=4"},
                    &error);
    } else if (written && *applicationId == kApplicationId && *version == 1) {
        // Every stored list is kept: version 1's text columns hold UTF-8, the same bytes.
        written = execAll(db,
                          {"ALTER TABLE rows RENAME TO rows_1", kRows,
                           "INSERT INTO rows SELECT list, position, caption, cells, CAST(root AS "
                           "BLOB), CAST(relative AS BLOB), signature, edited, new, x'' FROM rows_1",
                           "DROP TABLE rows_1", kLeftOut, "PRAGMA user_version=4"},
                          &error);
    } else if (written && *applicationId == kApplicationId && *version == 2) {
        // The stored rows keep their texts; their values are what the texts tell on load.
        written = execAll(db,
                          {"ALTER TABLE rows ADD COLUMN row_values BLOB NOT NULL DEFAULT x''",
                           "PRAGMA user_version=4"},
                          &error);
    } else if (written && *applicationId == kApplicationId && *version == 3) {
        // Version 3's values are version 4's without totals.
        written = execAll(db, {"PRAGMA user_version=4"}, &error);
    }
    if (!written || !execAll(db, {"COMMIT"}, &error)) {
        execAll(db, {"ROLLBACK"});
        return false;
    }
    return true;
}

bool CatalogueStore::unavailable(const QString& sentence, const QSqlError& error) {
    QSqlDatabase::database(m_connection, false).close();
    m_state = State::Unavailable;
    const QString reason = reasonOf(error);
    m_message = reason.isEmpty() ? sentence : sentence + u' ' + reason + u'.';
    notePossibleFileProblem(error);
    return false;
}

bool CatalogueStore::setAside(const QString& reason) {
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
        if (QFileInfo::exists(from) && !QFile::rename(from, broken + QLatin1String(suffix)))
            return unavailable(
                QCoreApplication::translate("CatalogueStore",
                                            "Файл каталога %1 %2, и его не удалось отложить.")
                    .arg(m_path, reason),
                {});
    }
    m_state = State::SetAside;
    m_problem.reset();
    m_message =
        QCoreApplication::translate(
            "CatalogueStore", "Файл каталога %1 %2. Он сохранён как %3, списки начаты заново.")
            .arg(m_path, reason, broken);
    return false;
}

std::optional<StoredList> CatalogueStore::load(StoredListName name) {
    if (!isUsable())
        return std::nullopt;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const auto failed = [this, &query, &db](bool damaged = false) {
        const QSqlError error = query.lastError();
        query.finish();
        execAll(db, {"ROLLBACK"});
        if (!damaged && !isDamage(error)) {
            unavailable(QCoreApplication::translate("CatalogueStore",
                                                    "Не удалось прочитать файл каталога %1.")
                            .arg(m_path),
                        error);
            return std::nullopt;
        }
        if (!setAside(QCoreApplication::translate("CatalogueStore", "повреждён")) &&
            m_state == State::SetAside && !open() && m_state == State::SetAside)
            unavailable(QCoreApplication::translate("CatalogueStore",
                                                    "Не удалось открыть файл каталога %1.")
                            .arg(m_path),
                        {});
        return std::nullopt;
    };
    // One read transaction: the data version taken at its end is the one of the rows read.
    if (!query.exec(QStringLiteral("BEGIN")))
        return failed();
    std::optional<StoredList> list;
    query.prepare(QStringLiteral("SELECT count FROM lists WHERE name = ?"));
    query.addBindValue(listKey(name));
    if (!query.exec())
        return failed();
    if (query.next()) {
        list.emplace();
        list->count = query.value(0).toInt();
    }
    query.finish();
    query.prepare(QStringLiteral("SELECT caption, cells, root, relative, signature, edited, new, "
                                 "row_values FROM rows WHERE list = ? ORDER BY position"));
    query.addBindValue(listKey(name));
    if (list && !query.exec())
        return failed();
    while (list && query.next()) {
        std::optional<QStringList> cells = unpackCells(query.value(1).toByteArray());
        std::optional<RowValues> values = unpackValues(query.value(7).toByteArray());
        if (!cells || !values)
            return failed(true);
        CatalogueRow row{query.value(0).toString(), std::move(*cells)};
        row.origin = {nameFromStoredBytes(query.value(2)), nameFromStoredBytes(query.value(3)),
                      query.value(4).toByteArray()};
        row.editedColumns = static_cast<std::uint32_t>(query.value(5).toLongLong());
        row.isNew = query.value(6).toBool();
        row.values = std::move(*values);
        list->rows.push_back(std::move(row));
    }
    if (query.lastError().isValid())
        return failed();
    query.finish();
    query.prepare(QStringLiteral("SELECT root, relative FROM left_out WHERE list = ?"));
    query.addBindValue(listKey(name));
    if (list && !query.exec())
        return failed();
    while (list && query.next())
        list->leftOut.push_back(
            {nameFromStoredBytes(query.value(0)), nameFromStoredBytes(query.value(1)), {}});
    if (query.lastError().isValid())
        return failed();
    query.finish();
    m_readVersion = pragma(db, QStringLiteral("data_version"));
    if (!m_readVersion || !query.exec(QStringLiteral("COMMIT")))
        return failed();
    return list;
}

bool CatalogueStore::save(StoredListName name, const StoredList& list) {
    if (!isUsable())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    m_foundNewer = false;
    QSqlError error;
    // The write lock first, then the check: no other process can store in between.
    if (!execAll(db, {"BEGIN IMMEDIATE"}, &error))
        return saveFailed(error);
    if (m_readVersion) {
        const std::optional<qint64> version = pragma(db, QStringLiteral("data_version"), &error);
        if (!version) {
            execAll(db, {"ROLLBACK"});
            return saveFailed(error);
        }
        if (*version != *m_readVersion) {
            execAll(db, {"ROLLBACK"});
            m_foundNewer = true;
            m_problem.reset();
            m_message =
                QCoreApplication::translate(
                    "CatalogueStore", "Списки в файле каталога %1 сохранены другой программой "
                                      "Korvane после того, как были прочитаны. Ничего не "
                                      "сохранено.")
                    .arg(m_path);
            return false;
        }
    }
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
                                           "relative, signature, edited, new, row_values) "
                                           "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (size_t i = 0; written && i < list.rows.size(); ++i) {
        const CatalogueRow& row = list.rows[i];
        query.addBindValue(key);
        query.addBindValue(static_cast<qint64>(i));
        query.addBindValue(row.caption.isNull() ? QStringLiteral("") : row.caption);
        query.addBindValue(packCells(row.cells));
        query.addBindValue(storedNameBytes(row.origin.root));
        query.addBindValue(storedNameBytes(row.origin.relative));
        query.addBindValue(row.origin.signature.isNull() ? QByteArray("") : row.origin.signature);
        query.addBindValue(static_cast<qint64>(row.editedColumns));
        query.addBindValue(row.isNew ? 1 : 0);
        query.addBindValue(packValues(row.values));
        written = query.exec();
    }
    written = written && query.prepare(QStringLiteral("DELETE FROM left_out WHERE list = ?"));
    query.addBindValue(key);
    written = written && query.exec();
    written =
        written && query.prepare(QStringLiteral(
                       "INSERT OR IGNORE INTO left_out(list, root, relative) VALUES(?, ?, ?)"));
    for (size_t i = 0; written && i < list.leftOut.size(); ++i) {
        query.addBindValue(key);
        query.addBindValue(storedNameBytes(list.leftOut[i].root));
        query.addBindValue(storedNameBytes(list.leftOut[i].relative));
        written = query.exec();
    }
    if (!written) {
        error = query.lastError();
        query.finish();
        execAll(db, {"ROLLBACK"});
        return saveFailed(error);
    }
    if (!execAll(db, {"COMMIT"}, &error)) {
        execAll(db, {"ROLLBACK"});
        return saveFailed(error);
    }
    // Our own commits leave the data version as it was; only another process's change it.
    takeStoredVersion();
    return true;
}

bool CatalogueStore::isCurrent() {
    if (!isUsable() || !m_readVersion)
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    return pragma(db, QStringLiteral("data_version")) == m_readVersion;
}

void CatalogueStore::takeStoredVersion() {
    if (!isUsable())
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    m_readVersion = pragma(db, QStringLiteral("data_version"));
}

bool CatalogueStore::saveFailed(const QSqlError& error) {
    notePossibleFileProblem(error);
    m_message =
        QCoreApplication::translate("CatalogueStore", "Не удалось записать файл каталога %1: %2.")
            .arg(m_path, reasonOf(error));
    return false;
}

void CatalogueStore::notePossibleFileProblem(const QSqlError& error) {
    // The catalogue is written as well as read: the cause is looked for as for a write.
    const std::optional<int> cause = fileSystemCause(error);
    m_problem.reset();
    if (cause)
        m_problem = FileProblem{FileProblem::Action::Create, m_path, *cause, reasonOf(error)};
}

QString CatalogueStore::userMessage() const {
    return m_problem ? explainFileProblem(*m_problem) : m_message;
}

} // namespace korvane
