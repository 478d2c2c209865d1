#include "bases/BaseFill.h"

#include "music/MusicList.h"
#include "music/MusicRowFormat.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane::bases {
namespace {

const QString kSeparator = QStringLiteral("  \\  ");

MusicRow album(const QString& caption, const QString& style, const QString& country) {
    return {caption, {QStringLiteral("100,5"), QStringLiteral("192"), style, country}};
}

MusicRow header(const QString& name) {
    return {name,
            {QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")}};
}

void fillList(MusicList& list, const std::vector<MusicRow>& rows) {
    for (const MusicRow& row : rows)
        list.appendRow(row);
}

QStringList cells(const MusicList& list, BaseKind kind) {
    QStringList out;
    for (const MusicRow& row : list.rows())
        out << row.cells.value(targetCell(kind));
    return out;
}

class BaseFillTest : public ::testing::Test {
protected:
    QString writeBase(const std::string& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("base.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }
    FillRequest request(BaseKind kind, FillMode mode, const std::string& base) {
        return {kind, mode, writeBase(base), kSeparator};
    }

    QTemporaryDir m_dir;
};

TEST_F(BaseFillTest, FillsTheTargetCells) {
    const QString rock = QStringLiteral("Rock");
    const QString dash = QStringLiteral("-");
    const QString blank = QStringLiteral(" ");
    const struct {
        const char* name;
        BaseKind kind;
        FillMode mode;
        std::string base;
        std::vector<MusicRow> rows;
        QStringList expected;
    } cases[] = {
        {"upper-case group matches its lower-cased key",
         BaseKind::CountryBase,
         FillMode::OnlyMissing,
         "Grey Owls=Canada\r\n",
         {album(QStringLiteral("GREY OWLS  \\  First Flight"), dash, dash)},
         {QStringLiteral("Canada")}},
        {"genre base fills the Style cell",
         BaseKind::GenreBase,
         FillMode::OnlyMissing,
         "grey owls=Punk\r\n",
         {album(QStringLiteral("Grey Owls  \\  First Flight"), dash, dash)},
         {QStringLiteral("Punk")}},
        {"Cyrillic key and value",
         BaseKind::CountryBase,
         FillMode::All,
         "\xCA\xE8\xED\xEE=\xD0\xEE\xF1\xF1\xE8\xFF\r\n", // Кино=Россия
         {album(QStringLiteral("КИНО  \\  Группа крови"), dash, dash)},
         {QStringLiteral("Россия")}},
        {"key with a trailing blank does not match",
         BaseKind::GenreBase,
         FillMode::All,
         "owls =Punk\r\n",
         {album(QStringLiteral("Owls  \\  X"), dash, dash)},
         {dash}},
        {"group with a trailing blank does not match",
         BaseKind::GenreBase,
         FillMode::All,
         "owls=Punk\r\n",
         {album(QStringLiteral("Owls   \\  X"), dash, dash)},
         {dash}},
        {"first of two keys wins",
         BaseKind::GenreBase,
         FillMode::All,
         "owls=Punk\r\nOWLS=Rock\r\n",
         {album(QStringLiteral("Owls  \\  X"), dash, dash)},
         {QStringLiteral("Punk")}},
        {"value keeps further = and blanks",
         BaseKind::GenreBase,
         FillMode::All,
         "abc=rock=pop \r\n",
         {album(QStringLiteral("ABC  \\  X"), dash, dash)},
         {QStringLiteral("rock=pop ")}},
        {"only missing: text kept, dash filled, unknown dash kept, empty and blank kept",
         BaseKind::GenreBase,
         FillMode::OnlyMissing,
         "a=Punk\nb=Punk\nd=Punk\ne=Punk\n",
         {album(QStringLiteral("A  \\  X"), rock, dash),
          album(QStringLiteral("B  \\  X"), dash, dash),
          album(QStringLiteral("C  \\  X"), dash, dash),
          album(QStringLiteral("D  \\  X"), QString(), dash),
          album(QStringLiteral("E  \\  X"), blank, dash)},
         {rock, QStringLiteral("Punk"), dash, QString(), blank}},
        {"all: text replaced, unknown group kept",
         BaseKind::GenreBase,
         FillMode::All,
         "a=Punk\n",
         {album(QStringLiteral("A  \\  X"), rock, dash),
          album(QStringLiteral("C  \\  X"), rock, dash)},
         {QStringLiteral("Punk"), rock}},
        {"only missing never touches category rows",
         BaseKind::GenreBase,
         FillMode::OnlyMissing,
         "no equals here\n",
         {header(QStringLiteral("Punk"))},
         {blank}},
        {"all: category row takes a line without =",
         BaseKind::GenreBase,
         FillMode::All,
         "a=Rock\nno equals here\n=second\n",
         {header(QStringLiteral("Punk")), album(QStringLiteral("A  \\  X"), dash, dash)},
         {QStringLiteral("no equals here"), rock}},
        {"all: category row takes a line starting with =",
         BaseKind::CountryBase,
         FillMode::All,
         "=Nowhere\n",
         {header(QStringLiteral("Punk"))},
         {QStringLiteral("Nowhere")}},
        {"all: category row takes an empty line's empty value",
         BaseKind::GenreBase,
         FillMode::All,
         "a=Rock\n\nb=Pop\n",
         {header(QStringLiteral("Punk"))},
         {QString()}},
        {"all: category row without an empty key kept",
         BaseKind::GenreBase,
         FillMode::All,
         "a=Rock\n",
         {header(QStringLiteral("Punk"))},
         {blank}},
        {"empty base changes nothing",
         BaseKind::GenreBase,
         FillMode::All,
         "",
         {album(QStringLiteral("A  \\  X"), rock, dash)},
         {rock}},
        {"BOM keeps the first line from matching",
         BaseKind::GenreBase,
         FillMode::All,
         "\xEF\xBB\xBF"
         "a=Punk\r\nb=Punk\r\n",
         {album(QStringLiteral("A  \\  X"), dash, dash),
          album(QStringLiteral("B  \\  X"), dash, dash)},
         {dash, QStringLiteral("Punk")}},
        {"CR-only base",
         BaseKind::GenreBase,
         FillMode::All,
         "a=Punk\rb=Ska\r",
         {album(QStringLiteral("A  \\  X"), dash, dash),
          album(QStringLiteral("B  \\  X"), dash, dash)},
         {QStringLiteral("Punk"), QStringLiteral("Ska")}},
    };
    for (const auto& c : cases) {
        MusicList list;
        fillList(list, c.rows);
        BaseFill fill;
        fill.run(request(c.kind, c.mode, c.base), list);
        EXPECT_EQ(cells(list, c.kind), c.expected) << c.name;
        EXPECT_EQ(fill.state(), FillState::Done) << c.name;
        EXPECT_EQ(fill.label(), QStringLiteral("ОК")) << c.name;
        // The other cell is never written.
        const BaseKind other =
            c.kind == BaseKind::GenreBase ? BaseKind::CountryBase : BaseKind::GenreBase;
        QStringList untouched;
        for (const MusicRow& row : c.rows)
            untouched << row.cells.value(targetCell(other));
        EXPECT_EQ(cells(list, other), untouched) << c.name;
    }
}

// A filled text is the album's style or country from then on: the row made again with any
// toggles (an update, a restore) shows it.
TEST_F(BaseFillTest, AFilledTextStaysWhenTheRowIsMadeAgain) {
    MusicRow scanned = album(QStringLiteral("Grey Owls  \\  First Flight"), QStringLiteral("-"),
                             QStringLiteral("-"));
    scanned.values.kind = RowValues::Kind::Album;
    scanned.values.bytes = 105381888;
    MusicList list;
    fillList(list, {scanned});
    BaseFill fill;
    for (const BaseKind kind : {BaseKind::GenreBase, BaseKind::CountryBase})
        fill.run(
            request(kind, FillMode::OnlyMissing,
                    kind == BaseKind::GenreBase ? "grey owls=Punk\r\n" : "grey owls=Canada\r\n"),
            list);
    std::vector<MusicRow> rows = list.rows();
    Toggles toggles;
    toggles.artistFromID3 = true;
    remakeMusicRows(rows, toggles, kSeparator);
    EXPECT_EQ(rows[0].cells, (QStringList{"100,5", "-", "Punk", "Canada"}));
}

TEST_F(BaseFillTest, SeparatorOfAnAbsentSettingFindsTheGroup) {
    MusicList list;
    list.appendRow(album(QStringLiteral("Grey Owls  \\  First Flight"), QStringLiteral("-"),
                         QStringLiteral("-")));
    BaseFill fill;
    FillRequest r = request(BaseKind::CountryBase, FillMode::OnlyMissing, "grey owls=Canada\n");
    r.separator = QStringLiteral("  \\");
    fill.run(r, list);
    EXPECT_EQ(list.text(0, CountryCell + 1), QStringLiteral("Canada"));
}

TEST_F(BaseFillTest, ReportsReadingThenFilling) {
    MusicList list;
    fillList(list, {album(QStringLiteral("A  \\  X"), QStringLiteral("-"), QStringLiteral("-")),
                    album(QStringLiteral("B  \\  X"), QStringLiteral("-"), QStringLiteral("-"))});
    BaseFill fill;
    QStringList seen;
    fill.run(request(BaseKind::GenreBase, FillMode::All, "a=1\nb=2\nc=3\n"), list, {}, [&] {
        seen << QStringLiteral("%1 %2/%3")
                    .arg(fill.label())
                    .arg(fill.progressPosition())
                    .arg(fill.progressMaximum());
    });
    EXPECT_EQ(seen,
              (QStringList{
                  QStringLiteral("Чтение базы... 1/3"), QStringLiteral("Чтение базы... 2/3"),
                  QStringLiteral("Чтение базы... 3/3"), QStringLiteral("Заполнение жанров... 1/2"),
                  QStringLiteral("Заполнение жанров... 2/2"),
                  QStringLiteral("Заполнение жанров... 2/2"), // the last report before "ОК"
              }));
    EXPECT_EQ(fill.state(), FillState::Done);
    EXPECT_EQ(fill.progressPosition(), 2);
}

TEST_F(BaseFillTest, CountryBaseUsesTheSameFillingLabel) {
    MusicList list;
    list.appendRow(album(QStringLiteral("A  \\  X"), QStringLiteral("-"), QStringLiteral("-")));
    BaseFill fill;
    QString filling;
    fill.run(request(BaseKind::CountryBase, FillMode::All, "a=1\n"), list, {}, [&] {
        if (fill.state() == FillState::Filling)
            filling = fill.label();
    });
    EXPECT_EQ(filling, QStringLiteral("Заполнение жанров..."));
}

TEST_F(BaseFillTest, EmptyListStillReadsTheBaseAndEndsDone) {
    MusicList list;
    BaseFill fill;
    int reports = 0;
    fill.run(request(BaseKind::GenreBase, FillMode::All, "a=1\nb=2\n"), list, {},
             [&] { ++reports; });
    EXPECT_EQ(reports, 3); // two lines, then the final report
    EXPECT_EQ(fill.state(), FillState::Done);
    EXPECT_EQ(fill.progressMaximum(), 0);
}

TEST_F(BaseFillTest, StopWhileReadingChangesNothing) {
    for (int stopAt : {1, 2, 3}) {
        MusicList list;
        list.appendRow(album(QStringLiteral("A  \\  X"), QStringLiteral("-"), QStringLiteral("-")));
        BaseFill fill;
        int lines = 0;
        std::stop_source stop;
        fill.run(request(BaseKind::GenreBase, FillMode::All, "a=1\nb=2\nc=3\n"), list,
                 stop.get_token(), [&] {
                     if (++lines == stopAt)
                         stop.request_stop();
                 });
        EXPECT_EQ(lines, stopAt);
        EXPECT_EQ(fill.state(), FillState::Stopped);
        EXPECT_EQ(fill.label(), QStringLiteral("Чтение базы..."));
        EXPECT_EQ(fill.progressPosition(), 0);
        EXPECT_EQ(list.text(0, StyleCell + 1), QStringLiteral("-")) << "stop at line " << stopAt;
    }
}

TEST_F(BaseFillTest, StopWhileFillingKeepsTheRowsAlreadyFilled) {
    MusicList list;
    for (const char* group : {"A", "B", "C", "D"})
        list.appendRow(album(QString::fromLatin1(group) + kSeparator + QStringLiteral("X"),
                             QStringLiteral("-"), QStringLiteral("-")));
    BaseFill fill;
    std::stop_source stop;
    fill.run(request(BaseKind::GenreBase, FillMode::OnlyMissing, "a=1\nb=2\nc=3\nd=4\n"), list,
             stop.get_token(), [&] {
                 if (fill.state() == FillState::Filling && fill.progressPosition() == 2)
                     stop.request_stop();
             });
    EXPECT_EQ(cells(list, BaseKind::GenreBase),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("-"),
                           QStringLiteral("-")}));
    EXPECT_EQ(fill.state(), FillState::Done);
    EXPECT_EQ(fill.label(), QStringLiteral("ОК"));
    EXPECT_EQ(fill.progressPosition(), 2);
}

TEST_F(BaseFillTest, NextRunWithAFreshTokenRunsToTheEnd) {
    MusicList list;
    list.appendRow(album(QStringLiteral("A  \\  X"), QStringLiteral("-"), QStringLiteral("-")));
    BaseFill fill;
    const FillRequest r = request(BaseKind::GenreBase, FillMode::All, "a=1\n");
    std::stop_source stop;
    stop.request_stop();
    fill.run(r, list, stop.get_token());
    ASSERT_EQ(fill.state(), FillState::Stopped);
    fill.run(r, list);
    EXPECT_EQ(fill.state(), FillState::Done);
    EXPECT_EQ(list.text(0, StyleCell + 1), QStringLiteral("1"));
}

TEST_F(BaseFillTest, MissingBaseFailsWithTheOpenErrorAndChangesNothing) {
    MusicList list;
    list.appendRow(album(QStringLiteral("A  \\  X"), QStringLiteral("-"), QStringLiteral("-")));
    BaseFill fill;
    const QString path = m_dir.filePath(QStringLiteral("genrebd.txt"));
    int reports = 0;
    fill.run({BaseKind::GenreBase, FillMode::All, path, kSeparator}, list, {}, [&] { ++reports; });
    EXPECT_EQ(fill.state(), FillState::Failed);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(fill.label(), QStringLiteral("Чтение базы..."));
    const QString prefix = QStringLiteral("Cannot open file \"") + path + QStringLiteral("\". ");
    EXPECT_TRUE(fill.error().startsWith(prefix)) << fill.error().toStdString();
    EXPECT_GT(fill.error().size(), prefix.size()) << "the system's reason follows";
    EXPECT_EQ(list.text(0, StyleCell + 1), QStringLiteral("-"));
}

} // namespace
} // namespace korvane::bases
