#pragma once

#include "catalogue/CatalogueStore.h"
#include "cli/Cli.h"

#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace korvane::cli {

// One run of the command line with its exit status and what it wrote.
struct CliOutcome {
    int status;
    std::string out;
    std::string err;
};

// Runs a command line with the build's bin folder as the default program folder.
inline CliOutcome runCli(const QStringList& args) {
    std::ostringstream out, err;
    const int status = run(args, QStringLiteral(KORVANE_BIN_DIR), out, err);
    return {status, out.str(), err.str()};
}

// A program folder and a collection of album folders filled with sparse files; runs of
// `korvane-cli --dir PROGRAM COMMAND ...`.
struct CliCollection {
    test::TempDir program;
    test::TempDir collection;

    void album(const QString& relative, qint64 bytes, const QString& name = "tracks.bin") {
        QDir().mkpath(collection.file(relative));
        QFile file(collection.file(relative + u'/' + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.resize(bytes);
    }
    CliOutcome run(const QString& command, QStringList args) {
        return runCli(QStringList{"--dir", program.path(), command} + args);
    }
    QString database() const { return program.file("korvane.db"); }
    // The stored catalogue as a newer Korvane leaves it: a schema this one does not know.
    void markCatalogueNewer() const {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
            db.setDatabaseName(database());
            ASSERT_TRUE(db.open());
            ASSERT_TRUE(QSqlQuery(db).exec(
                QStringLiteral("PRAGMA user_version=%1").arg(CatalogueStore::kSchemaVersion + 1)));
            db.close();
        }
        QSqlDatabase::removeDatabase("raw");
    }
};

} // namespace korvane::cli
