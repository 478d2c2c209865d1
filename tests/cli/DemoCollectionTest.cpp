// The demo collection in data/demo gives the lists the README shows: every album with its
// category, size, style and country, names and years from the Russian tags, the bases filling
// what the tags lack, and the three clips.
#include "CliRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace korvane::cli {
namespace {

// The build tree's copy of data/demo, beside bin/, where the build put the size fillers.
const QString kDemo = QDir::cleanPath(QStringLiteral(KORVANE_BIN_DIR "/../demo"));

struct Row {
    QString caption, size, bitrateKind, style, country;
};

// The bitrate's kind only ("wma ", "ogg ", "flac ", "m4a ", "VBR " or a bare number): the figure
// itself belongs to the reader tests.
QString bitrateKind(const QString& cell) {
    const qsizetype blank = cell.indexOf(u' ');
    return blank < 0 ? QStringLiteral("") : cell.left(blank + 1);
}

std::vector<Row> rowsOf(const std::string& printed) {
    std::vector<Row> rows;
    for (const QString& line : QString::fromStdString(printed).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList cells = line.split(u'\t');
        EXPECT_EQ(cells.size(), 5) << line.toStdString();
        if (cells.size() == 5)
            rows.push_back({cells[0], cells[1], bitrateKind(cells[2]), cells[3], cells[4]});
    }
    return rows;
}

class DemoCollection : public ::testing::Test {
protected:
    QTemporaryDir program;

    void SetUp() override {
        ASSERT_TRUE(QFile::exists(
            kDemo + QStringLiteral("/music/Rock/Кино/1988 - Группа крови/filler.bin")))
            << "the build makes the demo with its fillers in " << kDemo.toStdString();
        // A program folder of its own with the starter bases: set.ini defaults (min_limit 3).
        for (const char* base : {"genrebd.txt", "countrybd.txt"})
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/") + base, program.filePath(base)));
    }
    CliOutcome music(const QStringList& options) {
        return runCli(QStringList{"--dir", program.path(), "music", kDemo + "/music"} + options);
    }
};

void expectRows(const std::vector<Row>& got, const std::vector<Row>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(want[i].caption.toStdString());
        EXPECT_EQ(got[i].caption, want[i].caption);
        EXPECT_EQ(got[i].size, want[i].size);
        EXPECT_EQ(got[i].bitrateKind, want[i].bitrateKind);
        EXPECT_EQ(got[i].style, want[i].style);
        EXPECT_EQ(got[i].country, want[i].country);
    }
}

TEST_F(DemoCollection, EveryAlbumIsAboveTheDefaultSizeLimit) {
    const CliOutcome outcome = music({"--print"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const QString s = QStringLiteral("  \\  ");
    expectRows(
        rowsOf(outcome.out),
        {
            {"Rock" + s + "Аквариум" + s + "1987 - Равноденствие", "83,0", "", "Рок", "СССР"},
            {"Rock" + s + "ДДТ" + s + "1992 - Актриса Весна", "310,0", "flac ", "Рок", "Россия"},
            {"Rock" + s + "Кино" + s + "1988 - Группа крови", "45,0", "", "Рок", "-"},
            {"Rock" + s + "Кино" + s + "1989 - Звезда по имени Солнце", "39,0", "wma ", "Рок", "-"},
            {"Rock" + s + "Сплин" + s + "1998 - Гранатовый альбом", "95,0", "m4a ", "Рок", "-"},
            {"Ska" + s + "Distemper" + s + "2003 - Четыре", "64,0", "ogg ", "Ska-Punk", "-"},
            {"Ska" + s + "Madness" + s + "1979 - One Step Beyond", "48,0", "wma ", "-", "-"},
            {"Панк" + s + "Ramones" + s + "1976 - Ramones", "71,0", "", "Punk", "-"},
            {"Панк" + s + "Гражданская оборона" + s + "1988 - Всё идёт по плану", "52,0", "",
             "Панк", "Россия"},
            // A FLAC image: its genre from the image, the country from the cue sheet.
            {"Панк" + s + "Король и Шут" + s + "1996 - Будь как дома, путник", "280,0", "flac ",
             "Панк", "Россия"},
        });
}

TEST_F(DemoCollection, CategoriesTagsAndBases) {
    const CliOutcome outcome =
        music({"--categories", "--artist-from-tags", "--year", "--vbr", "--fill", "genre:missing",
               "--fill", "country:missing", "--print"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const QString s = QStringLiteral("  \\  ");
    expectRows(
        rowsOf(outcome.out),
        {
            {"Rock", " ", " ", " ", " "},
            {"Аквариум" + s + "Равноденствие (1987)", "83,0", "", "Рок", "СССР"},
            {"ДДТ" + s + "Актриса Весна (1992)", "310,0", "flac ", "Рок", "Россия"},
            // FFmpeg's ID3v2.4 in UTF-8 keeps its year.
            {"Кино" + s + "Группа крови (1988)", "45,0", "", "Рок", "Россия"},
            // wma and ogg albums take their names from their tags too.
            {"Кино" + s + "Звезда по имени Солнце (1989)", "39,0", "wma ", "Рок", "Россия"},
            {"Сплин" + s + "Гранатовый альбом (1998)", "95,0", "m4a ", "Рок", "Россия"},
            {"Ska", " ", " ", " ", " "},
            {"Distemper" + s + "Четыре (2003)", "64,0", "ogg ", "Ska-Punk", "Россия"},
            {"Madness" + s + "One Step Beyond (1979)", "48,0", "wma ", "Ska", "Великобритания"},
            {"Панк", " ", " ", " ", " "},
            {"Ramones" + s + "Ramones (1976)", "71,0", "VBR ", "Punk", "США"},
            {"Гражданская оборона" + s + "Всё идёт по плану (1988)", "52,0", "", "Панк", "Россия"},
            // Names and year from the Windows-1251 cue sheet.
            {"Король и Шут" + s + "Будь как дома, путник (1996)", "280,0", "flac ", "Панк",
             "Россия"},
        });
}

// Without the other formats the scan behaves as before: their albums have no audio file.
TEST_F(DemoCollection, WithoutTheOtherFormats) {
    const CliOutcome outcome = music({"--no-other-formats", "--print"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    for (const Row& row : rowsOf(outcome.out)) {
        if (row.caption.contains(QStringLiteral("ДДТ")) ||
            row.caption.contains(QStringLiteral("Сплин")) ||
            row.caption.contains(QStringLiteral("Король и Шут"))) {
            EXPECT_EQ(row.bitrateKind, QString()) << row.caption.toStdString();
            EXPECT_EQ(row.style, QStringLiteral("-")) << row.caption.toStdString();
            EXPECT_EQ(row.country, QStringLiteral("-")) << row.caption.toStdString();
        }
    }
}

TEST_F(DemoCollection, Clips) {
    const CliOutcome outcome =
        runCli({"--dir", program.path(), "video", kDemo + "/video", "--print"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const QStringList lines = QString::fromStdString(outcome.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Test MPEG-1.mpg\t")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Клипы  \\  Test WMV.wmv\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Клипы  \\  Тест XviD.avi\t")) << lines[2].toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(line.contains("\t160 x 120\t00:02\t25\t")) << line.toStdString();
}

} // namespace
} // namespace korvane::cli
