// The window and korvane-cli drive one catalogue session: the same commands on the same
// collection give the same rows and the same stored catalogue.
#include "app/MainWindow.h"
#include "catalogue/CatalogueStore.h"
#include "music/MusicList.h"

#include "FakeDesktop.h"
#include "JobWait.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

using namespace korvane;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// An ID3v1 tag: title, artist, album, year, comment and genre in their fixed fields.
QByteArray id3v1(const QByteArray& artist, const QByteArray& album, const QByteArray& year,
                 unsigned char genre) {
    const auto field = [](QByteArray text, int size) {
        text.resize(size, '\0');
        return text;
    };
    return "TAG" + field("Track", 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
           field("", 30) + QByteArray(1, static_cast<char>(genre));
}

struct Collection {
    test::TempDir root;

    // An album folder of `bytes`, its first file tagged when a tag is given.
    void album(const QString& relative, qint64 bytes, const QByteArray& tag = {}) {
        QDir().mkpath(root.file(relative));
        QFile file(root.file(relative + "/01.mp3"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(bytes - tag.size()));
        ASSERT_TRUE(file.seek(bytes - tag.size()));
        file.write(tag);
    }
};

std::vector<QStringList> texts(const std::vector<CatalogueRow>& rows) {
    std::vector<QStringList> out;
    for (const CatalogueRow& row : rows)
        out.push_back(QStringList{row.caption} + row.cells);
    return out;
}

// The rows as korvane-cli --print gives them: the caption and the cells, tab-separated.
std::vector<QStringList> printed(const QByteArray& out) {
    std::vector<QStringList> rows;
    for (const QString& line : QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts))
        rows.push_back(line.split(u'\t'));
    return rows;
}

StoredList stored(const test::TempDir& program) {
    CatalogueStore store(program.file("korvane.db"));
    return store.load(StoredListName::Music).value_or(StoredList{});
}

} // namespace

TEST(SessionParity, TheWindowAndTheCommandLineListAndStoreAlike) {
    Collection c;
    c.album("Punk/Ramones/Rocket to Russia", 41 * kMiB,
            id3v1("Ramones", "Rocket to Russia", "1977", 43));
    c.album("Punk/Buzzcocks/Another Music", 12 * kMiB);
    c.album("Ska/Skatalites/Ska Authentic", 25 * kMiB + kMiB / 2,
            id3v1("The Skatalites", "Ska Authentic", "1964", 13));
    c.album("Ska/Madness/One Step Beyond", 7 * kMiB);
    c.album("Ska/Tiny/Left Out", 1 * kMiB); // below min_limit: no row on either side
    const QByteArray settings = "[options]\r\nmusicInCat=1\r\nyearInColumn=1\r\n";
    test::TempDir cliProgram, windowProgram;
    cliProgram.write("set.ini", settings.toStdString());
    windowProgram.write("set.ini", settings.toStdString());

    // The real program: scan and store, then the sort by the size column, printed.
    QProcess cli;
    cli.start(
        QStringLiteral(KORVANE_BIN_DIR "/korvane-cli"),
        {"--dir", cliProgram.path(), "music", c.root.path(), "--store", "--sort", "1", "--print"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const std::vector<QStringList> cliRows = printed(cli.readAllStandardOutput());

    // The window: the same scan from the folder picker, stored, then the header's click.
    test::FakeDesktop desktop;
    desktop.folderAnswers.push_back(c.root.path());
    MainWindow window(ProgramFolder(windowProgram.path()), desktop);
    window.mainLoad();
    window.ui().musicScanButton->click();
    ASSERT_TRUE(test::waitForJob(window.musicJob()));
    window.storeLists();
    desktop.yesNoAnswers.push_back(true); // mixing the categories is what the sort is for
    window.ui().musicView->horizontalHeader()->sectionClicked(1);

    ASSERT_EQ(cliRows.size(), 6u) << "two categories and four albums";
    EXPECT_EQ(texts(window.musicList().rows()), cliRows);
    EXPECT_EQ(window.windowTitle(), "В music коллекции: 4 позиций");

    const StoredList fromCli = stored(cliProgram);
    const StoredList fromWindow = stored(windowProgram);
    EXPECT_EQ(texts(fromWindow.rows), texts(fromCli.rows));
    ASSERT_EQ(fromWindow.rows.size(), fromCli.rows.size());
    for (size_t i = 0; i < fromCli.rows.size(); ++i) {
        EXPECT_EQ(fromWindow.rows[i].origin, fromCli.rows[i].origin) << i;
        EXPECT_EQ(fromWindow.rows[i].values.bytes, fromCli.rows[i].values.bytes) << i;
    }
    EXPECT_EQ(fromCli.count, 4);
    EXPECT_EQ(fromWindow.count, fromCli.count);
    EXPECT_EQ(fromWindow.leftOut, fromCli.leftOut);
}
