#include "catalogue/CatalogueStore.h"

#include "TempDir.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <csignal>
#include <random>

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

TEST(CatalogueStore, ANewerKorvanesFileIsRefusedAndLeftAlone) {
    TempDir dir;
    const QString path = dir.file("korvane.db");
    {
        CatalogueStore store(path);
        ASSERT_TRUE(store.save(StoredListName::Music, sampleMusic()));
    }
    runSql(path, {"PRAGMA user_version=2"});
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

// A child process saves two different lists in turn and is killed at a random moment: the
// catalogue then holds one of them whole, never a mix.
// A save that fails says why, in the user's language; the list stored before stays.
TEST(CatalogueStore, AFailedSaveGivesTheReason) {
    TempDir dir;
    const QString path = dir.file(QStringLiteral("korvane.db"));
    CatalogueStore store(path);
    ASSERT_TRUE(store.save(StoredListName::Music, sampleMusic()));
    runSql(path, {QStringLiteral("DROP TABLE rows")});
    EXPECT_FALSE(store.save(StoredListName::Music, sampleMusic()));
    EXPECT_EQ(
        store.message(),
        QStringLiteral("Не удалось записать файл каталога %1: no such table: rows.").arg(path));
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
