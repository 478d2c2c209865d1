#include "music/MusicRowFormat.h"

#include "settings/Settings.h"

#include "MusicToggles.h"
#include "MusicTree.h"

#include <gtest/gtest.h>

using namespace korvane;
using enum test::MusicOption;
using test::kMiB;
using test::toggles;

namespace {

const QString kSep = kDefaultGroupAlbumSeparator;
const QString kFolder = "Band" + kSep + "2001 - Best";

RowValues album(const QString& format, const QString& artist = QStringLiteral("Кино"),
                const QString& year = QStringLiteral("1988")) {
    RowValues v;
    v.kind = RowValues::Kind::Album;
    v.bytes = 45 * kMiB + 1;
    v.format = format;
    v.setNames(artist, QStringLiteral("Группа крови"), year);
    v.bitrate = 245;
    v.vbr = true;
    return v;
}

QString texts(const MusicRow& row) {
    return (QStringList{row.caption} + row.cells).join(u'|');
}

// Style and Country are texts of their own: the formatter leaves them as they are.
MusicRow formatted(const RowValues& values, const Toggles& t, std::uint32_t edited = 0,
                   const QString& caption = {},
                   const QStringList& cells = {
                       {}, {}, QStringLiteral("Рок"), QStringLiteral("СССР")}) {
    MusicRow row{caption, cells};
    row.values = values;
    row.editedColumns = edited;
    formatMusicRow(row, kFolder, t, kSep);
    return row;
}

TEST(MusicRowFormat, TheTogglesShapeTheTextsOfAnAlbum) {
    const QString names = "Кино" + kSep + "Группа крови";
    RowValues folded = album(QStringLiteral("mp3"));
    folded.discs = 3;
    RowValues noFile;
    noFile.kind = RowValues::Kind::Album;
    noFile.bytes = 45 * kMiB + 1;
    struct Case {
        const char* name;
        RowValues values;
        int options;
        QString expected;
    };
    const std::vector<Case> cases{
        {"mp3, no toggle", album("mp3"), 0, kFolder + "|45,0|245|Рок|СССР"},
        {"mp3, every toggle", album("mp3"), Names | Capitals | Year | Vbr,
         "КИНО" + kSep + "Группа крови (1988)|45,0|VBR 245|Рок|СССР"},
        {"mp3 keeps its names under the mp3-only rule", album("mp3"), Names | Mp3NamesOnly,
         names + "|45,0|245|Рок|СССР"},
        {"a blank artist keeps the folder name", album("mp3", QStringLiteral(" \t")), Names | Year,
         kFolder + " (1988)|45,0|245|Рок|СССР"},
        {"a blank year adds nothing", album("mp3", QStringLiteral("Кино"), QStringLiteral(" ")),
         Names | Year, names + "|45,0|245|Рок|СССР"},
        {"the capitals reach the folder name too", album("mp3"), Capitals,
         "BAND" + kSep + "2001 - Best|45,0|245|Рок|СССР"},
        {"flac shows its kind, never VBR", album("flac"), Names | Vbr,
         names + "|45,0|flac 245|Рок|СССР"},
        {"flac under the mp3-only rule", album("flac"), Names | Capitals | Year | Mp3NamesOnly,
         kFolder + " (1988)|45,0|flac 245|Рок|СССР"},
        {"the disc count after the year", folded, Names | Year,
         names + " (1988) [3CD]|45,0|245|Рок|СССР"},
        {"no audio file", noFile, Names | Capitals | Year | Vbr, kFolder + "|45,0|-|Рок|СССР"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts(formatted(c.values, toggles(c.options))), c.expected) << c.name;
}

TEST(MusicRowFormat, AColumnEditedByHandKeepsTheUsersText) {
    const QStringList typed{QStringLiteral("10"), QStringLiteral("320"), QStringLiteral("Панк"),
                            QStringLiteral("Россия")};
    for (int column = 0; column <= 4; ++column) {
        const MusicRow row =
            formatted(album("mp3"), toggles(Names), 1u << column, QStringLiteral("Моё"), typed);
        QStringList expected{"Кино" + kSep + "Группа крови", "45,0", "245", typed[2], typed[3]};
        expected[column] = (QStringList{QStringLiteral("Моё")} + typed)[column];
        EXPECT_EQ(texts(row), expected.join(u'|')) << column;
    }
}

TEST(MusicRowFormat, AHeaderRowShowsItsCategory) {
    MusicRow row = MusicList::categoryHeaderRow(QStringLiteral("Панк"));
    row.caption.clear();
    row.cells.clear();
    formatMusicRow(row, kFolder, toggles(Names), kSep);
    EXPECT_TRUE(MusicList::isCategoryHeader(row));
    EXPECT_EQ(row.caption, QStringLiteral("Панк"));
}

// Rows stored by an older Korvane hold their texts alone: their texts stay, and what they tell
// becomes their values.
TEST(MusicRowFormat, RowsOfTextsAloneTakeTheCategoryOfTheHeaderAbove) {
    std::vector<MusicRow> rows{
        {"Before" + kSep + "Any", {"5", "-", "-", "-"}},
        MusicList::categoryHeaderRow(QStringLiteral("Панк")),
        {"Ramones" + kSep + "Ramones", {"71,0", "23", "Punk", "-"}},
        {QStringLiteral("Ska"), {" ", " ", " ", " "}},
        {"Madness" + kSep + "One Step Beyond", {"48,0", "wma 32", "-", "-"}},
    };
    rows[1].values = {};
    const std::vector<MusicRow> before = rows;
    remakeMusicRows(rows, toggles(Names | Year), kSep);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(texts(rows[i]), texts(before[i])) << i;
    }
    const std::vector<std::pair<RowValues::Kind, QString>> expected{
        {RowValues::Kind::Texts, QString()},
        {RowValues::Kind::Header, QStringLiteral("Панк")},
        {RowValues::Kind::Texts, QStringLiteral("Панк")},
        {RowValues::Kind::Header, QStringLiteral("Ska")},
        {RowValues::Kind::Texts, QStringLiteral("Ska")},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].values.kind, expected[i].first) << i;
        EXPECT_EQ(rows[i].values.category, expected[i].second) << i;
    }
}

} // namespace
