#include "catalogue/CatalogueStore.h"

#include "TempDir.h"
#include "files/FileName.h"

#include <QDataStream>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

namespace korvane {
namespace {

using test::TempDir;

CatalogueRow albumRow(const QString& caption, const QString& size, std::uint32_t edited = 0,
                      bool isNew = false) {
    CatalogueRow row{caption,
                     {size, QStringLiteral("320"), QStringLiteral("Rock"), QStringLiteral("-")}};
    row.origin = {QStringLiteral("/music"), caption, QByteArray("\x01\x00\xff", 3)};
    row.editedColumns = edited;
    row.isNew = isNew;
    return row;
}

StoredList sampleMusic() {
    StoredList list;
    list.rows.push_back({QStringLiteral("Панк"), {" ", " ", " ", " "}}); // a category header
    list.rows.push_back(albumRow(QStringLiteral("Группа  \\  Альбом"), "12,5", 1u << 3, true));
    list.rows.push_back(albumRow(QStringLiteral("B \x1f tab\there"), "0", 0));
    list.rows.push_back({QStringLiteral("short"), {QStringLiteral("1")}}); // fewer cells
    list.count = 3;
    return list;
}

// Rows equal in everything the catalogue keeps, not only in their texts.
void expectSameList(const StoredList& actual, const StoredList& expected) {
    ASSERT_EQ(actual.rows.size(), expected.rows.size());
    EXPECT_EQ(actual.count, expected.count);
    for (size_t i = 0; i < expected.rows.size(); ++i) {
        SCOPED_TRACE(i);
        const CatalogueRow& a = actual.rows[i];
        const CatalogueRow& e = expected.rows[i];
        EXPECT_EQ(a.caption, e.caption);
        EXPECT_EQ(a.cells, e.cells);
        EXPECT_EQ(a.origin, e.origin);
        EXPECT_EQ(a.editedColumns, e.editedColumns);
        EXPECT_EQ(a.isNew, e.isNew);
        EXPECT_EQ(a.values, e.values);
    }
}

void runSql(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        for (const QString& statement : statements)
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("raw");
}

TEST(CatalogueStore, ListsComeBackAfterARestartExactlyAsSaved) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    StoredList video;
    video.rows.push_back({QStringLiteral("clip.avi"), {"700", "640x480", "01:00", "25", "XVID"}});
    video.count = 1;
    {
        CatalogueStore store(path);
        ASSERT_EQ(store.state(), CatalogueStore::State::Ready);
        EXPECT_FALSE(store.load(StoredListName::Music)) << "nothing stored yet";
        ASSERT_TRUE(store.save(StoredListName::Music, sampleMusic()));
        ASSERT_TRUE(store.save(StoredListName::Video, video));
    }
    CatalogueStore store(path);
    ASSERT_EQ(store.state(), CatalogueStore::State::Ready);
    expectSameList(store.load(StoredListName::Music).value(), sampleMusic());
    expectSameList(store.load(StoredListName::Video).value(), video);

    // A later save replaces the list; the other list stays.
    ASSERT_TRUE(store.save(StoredListName::Music, StoredList{}));
    expectSameList(store.load(StoredListName::Music).value(), StoredList{});
    expectSameList(store.load(StoredListName::Video).value(), video);
}

// Roots and paths are the file system's bytes, whatever they are: a Windows-1251 name, bytes that
// are no text at all, a NUL-free mix with valid UTF-8.
TEST(CatalogueStore, RootsAndPathsComeBackAsTheBytesTheyAre) {
    const std::vector<std::string> names = {
        "/music/\xcc\xf3\xe7\xfb\xea\xe0",                   // "Музыка" in Windows-1251
        "\xc3\xf0\xf3\xef\xef\xe0/\xc0\xeb\xfc\xe1\xee\xec", // "Группа/Альбом" in Windows-1251
        "\xff\xfe\x80\x81",                                  // no encoding at all
        "\xd0\x93\xd1\x80 mixed \xe9t\xe9",                  // UTF-8 and Latin-1 in one name
        "\xed\xb3\x80 surrogate-like",                       // the UTF-8 of a lone surrogate
    };
    TempDir dir;
    const QString path = dir.file("korvane.db");
    StoredList list;
    for (const std::string& name : names) {
        CatalogueRow row = albumRow(QStringLiteral("row"), "1");
        row.origin.root = files::decodeFileName(name);
        row.origin.relative = files::decodeFileName(name + "/Album");
        list.rows.push_back(row);
        list.leftOut.push_back({row.origin.root, files::decodeFileName(name + "/Gone"), {}});
    }
    list.count = static_cast<int>(names.size());
    {
        CatalogueStore store(path);
        ASSERT_TRUE(store.save(StoredListName::Music, list));
    }
    CatalogueStore store(path);
    const StoredList loaded = store.load(StoredListName::Music).value();
    expectSameList(loaded, list);
    ASSERT_EQ(loaded.leftOut.size(), names.size());
    std::set<std::string> leftOut;
    for (const RowOrigin& origin : loaded.leftOut)
        leftOut.insert(files::encodeFileName(origin.relative).toStdString());
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(files::encodeFileName(loaded.rows[i].origin.root).toStdString(), names[i]);
        EXPECT_TRUE(leftOut.count(names[i] + "/Gone"));
    }
}

// A catalogue of the first schema (text roots and paths, no albums left out) is upgraded in
// place when it is opened, and every stored list is kept.
TEST(CatalogueStore, ACatalogueOfTheFirstSchemaKeepsEveryList) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    runSql(path,
           {"CREATE TABLE lists(name TEXT PRIMARY KEY, count INTEGER NOT NULL)",
            "CREATE TABLE rows(list TEXT NOT NULL, position INTEGER NOT NULL, caption TEXT NOT "
            "NULL, cells BLOB NOT NULL, root TEXT NOT NULL, relative TEXT NOT NULL, signature "
            "BLOB NOT NULL, edited INTEGER NOT NULL, new INTEGER NOT NULL, PRIMARY KEY(list, "
            "position)) WITHOUT ROWID",
            "PRAGMA application_id=1263687246", "PRAGMA user_version=1",
            "PRAGMA journal_mode=WAL"});
    {
        // The lists as the first schema's store wrote them: texts for the roots and paths.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "first");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        const StoredList music = sampleMusic();
        for (const auto& [name, list] :
             {std::pair{"music", music}, std::pair{"video", StoredList{{music.rows[1]}, 1, {}}}}) {
            query.prepare("INSERT INTO lists VALUES(?, ?)");
            query.addBindValue(QString::fromLatin1(name));
            query.addBindValue(list.count);
            ASSERT_TRUE(query.exec());
            for (size_t i = 0; i < list.rows.size(); ++i) {
                const CatalogueRow& row = list.rows[i];
                QByteArray cells;
                QDataStream stream(&cells, QIODevice::WriteOnly);
                stream.setVersion(QDataStream::Qt_6_0);
                stream << row.cells;
                query.prepare("INSERT INTO rows VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
                for (const QVariant& value :
                     {QVariant(QString::fromLatin1(name)), QVariant(qint64(i)),
                      QVariant(row.caption), QVariant(cells),
                      QVariant(row.origin.root.isNull() ? QString("") : row.origin.root),
                      QVariant(row.origin.relative.isNull() ? QString("") : row.origin.relative),
                      QVariant(row.origin.signature.isNull() ? QByteArray("")
                                                             : row.origin.signature),
                      QVariant(qint64(row.editedColumns)), QVariant(row.isNew ? 1 : 0)})
                    query.addBindValue(value);
                ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("first");
    CatalogueStore store(path);
    ASSERT_EQ(store.state(), CatalogueStore::State::Ready) << store.message().toStdString();
    EXPECT_TRUE(store.message().isEmpty());
    expectSameList(store.load(StoredListName::Music).value(), sampleMusic());
    expectSameList(store.load(StoredListName::Video).value(), {{sampleMusic().rows[1]}, 1, {}});
    StoredList withLeftOut = sampleMusic();
    withLeftOut.leftOut.push_back({QStringLiteral("/music"), QStringLiteral("Gone"), {}});
    ASSERT_TRUE(store.save(StoredListName::Music, withLeftOut));
    EXPECT_EQ(store.load(StoredListName::Music).value().leftOut.size(), 1u);
    runSql(path, {"SELECT 1 FROM left_out"});
}

// Rows that a scan made: what each is, beside its texts.
StoredList musicWithValues() {
    StoredList list = sampleMusic();
    RowValues& header = list.rows[0].values;
    header.kind = RowValues::Kind::Header;
    header.category = QStringLiteral("Панк");
    RowValues& album = list.rows[1].values;
    album.kind = RowValues::Kind::Album;
    album.vbr = true;
    album.discs = 2;
    album.bitrate = 245;
    album.bytes = 13107200;
    album.category = QStringLiteral("Панк");
    album.setNames(QStringLiteral("Группа"), QStringLiteral("Альбом \x01"), QStringLiteral("1994"));
    album.format = QStringLiteral("mp3");
    RowValues& clip = list.rows[2].values;
    clip.kind = RowValues::Kind::Video;
    clip.bytes = 0;
    clip.width = 640;
    clip.height = 480;
    clip.frameRate = 29.97;
    return list;
}

TEST(CatalogueStore, RowValuesComeBackAsSaved) {
    TempDir dir;
    {
        CatalogueStore store(dir.file("korvane.db"));
        ASSERT_TRUE(store.save(StoredListName::Music, musicWithValues()));
    }
    CatalogueStore store(dir.file("korvane.db"));
    expectSameList(store.load(StoredListName::Music).value(), musicWithValues());
}

// The schema the catalogue had before rows kept their values, as that Korvane made it.
const QStringList kSecondSchema = {
    "CREATE TABLE lists(name TEXT PRIMARY KEY, count INTEGER NOT NULL)",
    "CREATE TABLE rows(list TEXT NOT NULL, position INTEGER NOT NULL, caption TEXT NOT NULL, "
    "cells BLOB NOT NULL, root BLOB NOT NULL, relative BLOB NOT NULL, signature BLOB NOT NULL, "
    "edited INTEGER NOT NULL, new INTEGER NOT NULL, PRIMARY KEY(list, position)) WITHOUT ROWID",
    "CREATE TABLE left_out(list TEXT NOT NULL, root BLOB NOT NULL, relative BLOB NOT NULL, "
    "PRIMARY KEY(list, root, relative)) WITHOUT ROWID",
    "PRAGMA application_id=1263687246",
    "PRAGMA user_version=2",
    "PRAGMA journal_mode=WAL"};

// A catalogue that rows of texts alone were stored in loads them with their texts, and takes rows
// with values from then on.
TEST(CatalogueStore, ACatalogueOfTheSecondSchemaKeepsItsRows) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    runSql(path, kSecondSchema);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "second");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        const StoredList music = sampleMusic();
        query.prepare("INSERT INTO lists VALUES('music', ?)");
        query.addBindValue(music.count);
        ASSERT_TRUE(query.exec());
        for (size_t i = 0; i < music.rows.size(); ++i) {
            const CatalogueRow& row = music.rows[i];
            QByteArray cells;
            QDataStream stream(&cells, QIODevice::WriteOnly);
            stream.setVersion(QDataStream::Qt_6_0);
            stream << row.cells;
            query.prepare("INSERT INTO rows VALUES('music', ?, ?, ?, ?, ?, ?, ?, ?)");
            for (const QVariant& value :
                 {QVariant(qint64(i)), QVariant(row.caption), QVariant(cells),
                  QVariant(storedNameBytes(row.origin.root)),
                  QVariant(storedNameBytes(row.origin.relative)),
                  QVariant(row.origin.signature.isNull() ? QByteArray("") : row.origin.signature),
                  QVariant(qint64(row.editedColumns)), QVariant(row.isNew ? 1 : 0)})
                query.addBindValue(value);
            ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("second");
    {
        CatalogueStore store(path);
        ASSERT_EQ(store.state(), CatalogueStore::State::Ready) << store.message().toStdString();
        EXPECT_TRUE(store.message().isEmpty());
        expectSameList(store.load(StoredListName::Music).value(), sampleMusic());
        ASSERT_TRUE(store.save(StoredListName::Music, musicWithValues()));
    }
    CatalogueStore store(path);
    expectSameList(store.load(StoredListName::Music).value(), musicWithValues());
    EXPECT_FALSE(QFileInfo::exists(path + ".broken"));
}

// Rows stored before albums had totals load as they were; from then on an album's totals are kept
// too, while a row without them keeps the bytes of before.
TEST(CatalogueStore, ACatalogueOfTheThirdSchemaTakesAlbumTotals) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    {
        CatalogueStore store(path);
        ASSERT_TRUE(store.save(StoredListName::Music, musicWithValues()));
    }
    runSql(path, {"PRAGMA user_version=3"});
    StoredList counted = musicWithValues();
    RowValues& album = counted.rows[1].values;
    album.tracks = 12;
    album.seconds = 3753.4;
    album.mixedRates = QStringLiteral("mp3 128-320");
    {
        CatalogueStore store(path);
        ASSERT_EQ(store.state(), CatalogueStore::State::Ready) << store.message().toStdString();
        expectSameList(store.load(StoredListName::Music).value(), musicWithValues());
        ASSERT_TRUE(store.save(StoredListName::Music, counted));
    }
    CatalogueStore store(path);
    const StoredList loaded = store.load(StoredListName::Music).value();
    expectSameList(loaded, counted);
    EXPECT_EQ(loaded.rows[1].values, album);
    EXPECT_EQ(loaded.rows[2].values.tracks, -1);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "third");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec("PRAGMA user_version") && query.next());
        EXPECT_EQ(query.value(0).toInt(), CatalogueStore::kSchemaVersion);
        ASSERT_TRUE(query.exec("SELECT hex(substr(row_values, 1, 1)) FROM rows WHERE list = "
                               "'music' ORDER BY position"));
        QStringList versions;
        while (query.next())
            versions << query.value(0).toString();
        EXPECT_EQ(versions, QStringList({"01", "02", "01", ""})) << "none for a row of texts";
    }
    QSqlDatabase::removeDatabase("third");
}

// Values that cannot be read back are damage, as cells that cannot are.
TEST(CatalogueStore, DamagedRowValuesSetTheFileAside) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    {
        CatalogueStore store(path);
        ASSERT_TRUE(store.save(StoredListName::Music, musicWithValues()));
    }
    runSql(path, {"UPDATE rows SET row_values = x'0102' WHERE position = 1"});
    CatalogueStore store(path);
    EXPECT_FALSE(store.load(StoredListName::Music));
    EXPECT_EQ(store.state(), CatalogueStore::State::SetAside);
    EXPECT_TRUE(QFileInfo::exists(path + ".broken"));
}

TEST(CatalogueStore, AFileThatIsNoCatalogueIsSetAsideAndANewOneStarted) {
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"garbage bytes",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray(5000, 'x'));
         }},
        {"another program's SQLite file",
         [](const QString& path) { runSql(path, {"CREATE TABLE notes(text TEXT)"}); }},
        {"our file with its pages cut short",
         [](const QString& path) {
             {
                 CatalogueStore store(path);
                 StoredList big;
                 for (int i = 0; i < 2000; ++i)
                     big.rows.push_back(albumRow(QString::number(i), "1"));
                 ASSERT_TRUE(store.save(StoredListName::Music, big));
             }
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             const QByteArray head = file.read(4096);
             file.resize(0);
             file.write(head);
             file.write(QByteArray(8192, '\xAB'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const QString path = dir.file("korvane.db");
        c.make(path);
        const QByteArray before = dir.read("korvane.db");
        CatalogueStore store(path);
        std::optional<StoredList> music = store.load(StoredListName::Music);
        EXPECT_EQ(store.state(), CatalogueStore::State::SetAside);
        EXPECT_TRUE(store.message().contains("korvane.db.broken")) << store.message().toStdString();
        EXPECT_FALSE(music);
        EXPECT_EQ(dir.read("korvane.db.broken"), before);
        // The new file works.
        ASSERT_TRUE(store.save(StoredListName::Music, sampleMusic()));
        expectSameList(store.load(StoredListName::Music).value(), sampleMusic());
    }
}

// A set-aside file may be the only copy of a list: a later one takes the next number.
TEST(CatalogueStore, SetAsideFilesAreNeverReplaced) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    const QStringList names{"korvane.db.broken", "korvane.db.broken.1", "korvane.db.broken.2"};
    for (int round = 0; round < names.size(); ++round) {
        SCOPED_TRACE(round);
        dir.write("korvane.db", std::string(5000, static_cast<char>('a' + round)));
        CatalogueStore store(path);
        EXPECT_EQ(store.state(), CatalogueStore::State::SetAside);
        EXPECT_TRUE(store.message().contains(dir.file(names[round])))
            << store.message().toStdString();
    }
    for (int round = 0; round < names.size(); ++round)
        EXPECT_EQ(dir.read(names[round]), QByteArray(5000, static_cast<char>('a' + round)));
}

// The window read the lists, the command line stored newer ones: the window's store is refused
// until it reads again or takes the stored version on purpose.
TEST(CatalogueStore, AListStoredByAnotherConnectionAfterThisOneReadIsNotOverwritten) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    CatalogueStore window(path);
    ASSERT_TRUE(window.save(StoredListName::Music, StoredList{}));
    ASSERT_TRUE(window.load(StoredListName::Music));
    // Its own saves never count as another's.
    ASSERT_TRUE(window.save(StoredListName::Music, StoredList{}));
    {
        CatalogueStore other(path);
        ASSERT_TRUE(other.save(StoredListName::Music, sampleMusic()));
    }
    EXPECT_FALSE(window.save(StoredListName::Music, StoredList{}));
    EXPECT_TRUE(window.foundNewer());
    EXPECT_TRUE(window.message().contains(QStringLiteral("сохранены другой программой")))
        << window.message().toStdString();
    expectSameList(window.load(StoredListName::Music).value(), sampleMusic());
    // What was just read may be replaced.
    EXPECT_TRUE(window.save(StoredListName::Music, StoredList{}));
    EXPECT_FALSE(window.foundNewer());
    {
        CatalogueStore other(path);
        ASSERT_TRUE(other.save(StoredListName::Music, sampleMusic()));
    }
    window.takeStoredVersion();
    EXPECT_TRUE(window.save(StoredListName::Music, StoredList{}));
}

// Only damage sets a file aside: a file that cannot be read for another reason (here a lock held
// by another process) stays where it is and the store says why.
TEST(CatalogueStore, AFileThatIsOnlyLockedIsLeftWhereItIs) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    {
        CatalogueStore store(path);
        ASSERT_TRUE(store.save(StoredListName::Music, sampleMusic()));
    }
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Holds the file in exclusive locking mode for longer than the store waits.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "locker");
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec("PRAGMA locking_mode=EXCLUSIVE");
        query.exec("BEGIN EXCLUSIVE");
        query.exec("UPDATE lists SET count = count");
        (void)!write(ready[1], "x", 1);
        sleep(30);
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    {
        CatalogueStore store(path);
        std::optional<StoredList> list;
        if (store.isUsable())
            list = store.load(StoredListName::Music);
        EXPECT_FALSE(list);
        EXPECT_EQ(store.state(), CatalogueStore::State::Unavailable);
        EXPECT_TRUE(store.message().contains(QStringLiteral("database is locked")))
            << store.message().toStdString();
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_FALSE(QFileInfo::exists(path + ".broken"));
    CatalogueStore store(path);
    ASSERT_EQ(store.state(), CatalogueStore::State::Ready);
    expectSameList(store.load(StoredListName::Music).value(), sampleMusic());
}

TEST(CatalogueStore, ANewerKorvanesFileIsRefusedAndLeftAlone) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    {
        CatalogueStore store(path);
        ASSERT_TRUE(store.save(StoredListName::Music, sampleMusic()));
    }
    runSql(path,
           {QStringLiteral("PRAGMA user_version=%1").arg(CatalogueStore::kSchemaVersion + 1)});
    const QByteArray before = dir.read("korvane.db");
    CatalogueStore store(path);
    EXPECT_EQ(store.state(), CatalogueStore::State::Newer);
    EXPECT_FALSE(store.message().isEmpty());
    EXPECT_FALSE(store.load(StoredListName::Music));
    EXPECT_FALSE(store.save(StoredListName::Music, StoredList{}));
    EXPECT_EQ(dir.read("korvane.db"), before);
    EXPECT_FALSE(QFileInfo::exists(path + ".broken"));
}

TEST(CatalogueStore, AFolderThatCannotHoldTheFileLeavesTheStoreUnavailable) {
    CatalogueStore store(QStringLiteral("/nonexistent-folder/korvane.db"));
    EXPECT_EQ(store.state(), CatalogueStore::State::Unavailable);
    EXPECT_FALSE(store.save(StoredListName::Music, sampleMusic()));
}

// The window tells a failure of the file system by its cause, whole in its language, not by
// SQLite's English reason; korvane-cli keeps the message with that reason.
TEST(CatalogueStore, TheWindowsMessageSaysTheCauseAndWhatToDo) {
    TempDir dir;
    struct Case {
        const char* what;
        QString path;
        QString cause;
    };
    QDir(dir.path()).mkdir(QStringLiteral("korvane.db"));
    const std::vector<Case> cases{
        {"a missing folder", dir.file(QStringLiteral("gone/korvane.db")),
         QStringLiteral("Папки \"%1\" нет. Создайте её или выберите другую папку.")
             .arg(dir.file(QStringLiteral("gone")))},
        {"a folder in the file's place", dir.file(QStringLiteral("korvane.db")),
         QStringLiteral("Под этим именем уже есть папка или устройство. Выберите другое имя.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CatalogueStore store(c.path);
        EXPECT_EQ(store.state(), CatalogueStore::State::Unavailable);
        EXPECT_TRUE(store.message().startsWith(
            QStringLiteral("Не удалось открыть файл каталога %1. ").arg(c.path)))
            << store.message().toStdString();
        EXPECT_EQ(store.userMessage(),
                  QStringLiteral("Не удалось записать файл \"%1\".\n").arg(c.path) + c.cause);
    }
}

// A child process saves two different lists in turn and is killed at a random moment: the
// catalogue then holds one of them whole, never a mix.
// A save that fails says why, in the user's language; the list stored before stays.
TEST(CatalogueStore, AFailedSaveGivesTheReason) {
    TempDir dir;
    const QString path = dir.file(QStringLiteral("korvane.db"));
    CatalogueStore store(path);
    ASSERT_TRUE(store.save(StoredListName::Music, sampleMusic()));
    runSql(path, {QStringLiteral("DROP TABLE rows")});
    store.takeStoredVersion(); // the drop is not a newer list
    EXPECT_FALSE(store.save(StoredListName::Music, sampleMusic()));
    EXPECT_EQ(
        store.message(),
        QStringLiteral("Не удалось записать файл каталога %1: no such table: rows.").arg(path));
    EXPECT_EQ(store.userMessage(), store.message()) << "SQLite's own failure keeps its text";
}

TEST(CatalogueStore, KilledInTheMiddleOfASaveLeavesTheBeforeOrTheAfterList) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    StoredList first, second;
    for (int i = 0; i < 3000; ++i) {
        first.rows.push_back(albumRow(QStringLiteral("first %1").arg(i), "1"));
        second.rows.push_back(albumRow(QStringLiteral("second %1").arg(i), "2", 2, true));
    }
    second.rows.pop_back();
    first.count = 3000;
    second.count = 2999;
    {
        CatalogueStore store(path);
        ASSERT_TRUE(store.save(StoredListName::Music, first));
    }
    std::mt19937 random(20261210);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CatalogueStore store(path);
            for (int i = 0;; ++i)
                store.save(StoredListName::Music, i % 2 ? first : second);
        }
        usleep(20000 + random() % 200000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        CatalogueStore store(path);
        ASSERT_EQ(store.state(), CatalogueStore::State::Ready);
        const StoredList kept = store.load(StoredListName::Music).value();
        expectSameList(kept, kept.count == first.count ? first : second);
    }
}

} // namespace
} // namespace korvane
