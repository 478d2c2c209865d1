#include "CliRun.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/PublishedStore.h"
#include "text/LocaleText.h"

#include "TempDir.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

// --mark-published and --since-published: what is new since the list was last posted.
namespace korvane::cli {
namespace {

using test::TempDir;

constexpr qint64 kMiB = 1024 * 1024;

using Collection = CliCollection;

// Added, changed (retagged or grown in place) and removed albums, through a scan and through an
// update of the stored list: only the added ones are new, the removed ones come in a second block,
// the changed one in neither.
TEST(PublishedCommand, SinceThePostAfterAddingChangingAndRemovingAlbums) {
    for (const bool update : {false, true}) {
        Collection c;
        c.album("Group/Kept", 5 * kMiB);
        c.album("Group/Changed", 5 * kMiB);
        c.album("Group/Gone", 5 * kMiB);
        // Never published: everything, under the list's own title.
        CliOutcome o = c.run("music", {c.collection.path(), "--store", "--since-published",
                                       "--plain", "-", "--mark-published"});
        ASSERT_EQ(o.status, kExitOk) << o.err;
        EXPECT_NE(o.out.find("mp3 collection — альбомов: 3,"), std::string::npos) << o.out;

        c.album("Group/Changed", 2 * kMiB, "bonus.bin");
        c.album("Group/Fresh", 7 * kMiB);
        QDir(c.collection.file("Group/Gone")).removeRecursively();
        const QStringList scan =
            update ? QStringList{"--update"} : QStringList{c.collection.path()};
        o = c.run("music", scan + QStringList{"--since-published", "--bbcode", "-"});
        ASSERT_EQ(o.status, kExitOk) << o.err;
        const std::string today = text::shortDate(QDate::currentDate()).toStdString();
        EXPECT_EQ(o.out, "[b]mp3 collection — новое с " + today +
                             " — альбомов: 1[/b]\r\n"
                             "\r\n"
                             "[b]Group[/b]  \\  Fresh | 7 mb | - kbps | - | -\r\n"
                             "\r\n"
                             "Удалено с " +
                             today +
                             "\r\n"
                             "[b]Group[/b]  \\  Gone | 5 mb | - kbps | - | -\r\n")
            << (update ? "update" : "scan");
        // Not marked this time: the same again; any format, here the printed rows.
        o = c.run("music", scan + QStringList{"--since-published", "--print"});
        EXPECT_EQ(o.out, "Group  \\  Fresh\t7\t-\t-\t-\nУдалено с " + today +
                             "\t \t \t \t \nGroup  \\  Gone\t5\t-\t-\t-\n");
        // Marked: nothing is new any more.
        c.run("music", scan + QStringList{"--mark-published"});
        o = c.run("music", scan + QStringList{"--since-published", "--print"});
        EXPECT_EQ(o.out, "");
    }
}

// The snapshot lives in tables of its own, made by the first mark: the stored lists and the
// schema version stay as they were, and a file that is no catalogue is not touched.
TEST(PublishedCommand, SnapshotKeepsToItsOwnTables) {
    Collection c;
    c.album("Group/Album", 5 * kMiB);
    ASSERT_EQ(c.run("music", {c.collection.path(), "--store"}).status, kExitOk);
    const auto tables = [&c] {
        QStringList names;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "published-test");
            db.setDatabaseName(c.database());
            EXPECT_TRUE(db.open());
            QSqlQuery query("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name",
                            db);
            while (query.next())
                names << query.value(0).toString();
            query.exec("PRAGMA user_version");
            query.next();
            names << "version " + query.value(0).toString();
        }
        QSqlDatabase::removeDatabase("published-test");
        return names;
    };
    const QString version = QStringLiteral("version %1").arg(CatalogueStore::kSchemaVersion);
    const QStringList catalogueTables{"left_out", "lists", "rows", version};
    EXPECT_EQ(tables(), catalogueTables);
    ASSERT_EQ(c.run("music", {c.collection.path(), "--since-published", "--print"}).status,
              kExitOk);
    EXPECT_EQ(tables(), catalogueTables); // asking makes nothing
    ASSERT_EQ(c.run("music", {c.collection.path(), "--mark-published"}).status, kExitOk);
    EXPECT_EQ(tables(), (QStringList{"left_out", "lists", "published_lists", "published_rows",
                                     "rows", version}));
    CatalogueStore store(c.database());
    EXPECT_EQ(store.state(), CatalogueStore::State::Ready);
    ASSERT_TRUE(store.load(StoredListName::Music));
    EXPECT_EQ(store.load(StoredListName::Music)->rows.size(), 1u);
    EXPECT_FALSE(PublishedStore(c.database()).load(StoredListName::Video));

    // A foreign file is set aside by the catalogue's rules, never written as it is.
    TempDir other;
    other.write("korvane.db", "not a database at all, but long enough to look like a file....");
    const CliOutcome o = runCli(
        QStringList{"--dir", other.path(), "music", c.collection.path(), "--mark-published"});
    EXPECT_EQ(o.status, kExitOk) << o.err;
    EXPECT_TRUE(QFile::exists(other.file("korvane.db.broken")));
}

// A catalogue of a newer Korvane cannot keep the snapshot: the run fails before any action
// writes its file.
TEST(PublishedCommand, MarkingInANewerCatalogueFailsBeforeTheActions) {
    Collection c;
    c.album("Group/Album", 5 * kMiB);
    ASSERT_EQ(c.run("music", {c.collection.path(), "--store"}).status, kExitOk);
    c.markCatalogueNewer();
    const QString json = c.program.file("list.json");
    const CliOutcome marked =
        c.run("music", {c.collection.path(), "--json", json, "--mark-published"});
    EXPECT_EQ(marked.status, kExitFailure);
    EXPECT_NE(marked.err.find("более новой версией"), std::string::npos) << marked.err;
    EXPECT_FALSE(QFileInfo::exists(json));
}

} // namespace
} // namespace korvane::cli
