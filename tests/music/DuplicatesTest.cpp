#include "music/Duplicates.h"

#include "music/AlbumIdentity.h"

#include "MusicTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace korvane;

namespace {

const QString kSep = QStringLiteral("  \\  ");

MusicRow albumRow(const QString& caption, const QString& bitrate = QStringLiteral("320")) {
    return {caption, {QStringLiteral("100"), bitrate, QStringLiteral("-"), QStringLiteral("-")}};
}

// The groups as lists of row indices.
std::vector<std::vector<int>> groupsOf(const std::vector<MusicRow>& rows) {
    std::vector<std::vector<int>> out;
    for (const DuplicateGroup& group : findDuplicates(rows, kSep))
        out.push_back(group.rows);
    return out;
}

} // namespace

TEST(AlbumIdentity, ArtistTitleAndYearOfACaption) {
    struct Case {
        QString caption;
        QString artist;
        QString title;
        int year;
    };
    const Case cases[] = {
        {"Кино" + kSep + "1988 - Группа крови", "Кино", "Группа крови", 1988},
        {"Кино" + kSep + "Группа крови (1988)", "Кино", "Группа крови", 1988},
        {"Rock" + kSep + "Кино" + kSep + "1988 - Группа крови", "Кино", "Группа крови", 1988},
        {"G" + kSep + "1999. Album [2CD]", "G", "Album", 1999},
        {"G" + kSep + "1999 – Album (1999) [12CD]", "G", "Album", 1999},
        {"G" + kSep + "Live 1999", "G", "Live 1999", 0},
        {"Rush" + kSep + "1976 - 2112", "Rush", "2112", 1976},
        {"Rush" + kSep + "2112", "Rush", "2112", 0},
        {"G" + kSep + "1812 - Overture", "G", "1812 - Overture", 0}, // no year of recordings
        {"G" + kSep + "Album [CD]", "G", "Album [CD]", 0},
        {"Кино" + kSep + "1988 - Группа крови (FLAC)", "Кино", "Группа крови", 1988},
        {"Кино" + kSep + "Группа крови (1988) [MP3 320 kbps] {24bit}", "Кино", "Группа крови",
         1988},
        {"G" + kSep + "Album (Live)", "G", "Album (Live)", 0},
        {"G" + kSep + "Album (Deluxe Edition)", "G", "Album (Deluxe Edition)", 0},
        {"Group alone", "", "Group alone", 0},
    };
    for (const Case& c : cases) {
        const AlbumIdentity identity = albumIdentity(c.caption, kSep);
        EXPECT_EQ(identity.artist, c.artist) << c.caption.toStdString();
        EXPECT_EQ(identity.title, c.title) << c.caption.toStdString();
        EXPECT_EQ(identity.year, c.year) << c.caption.toStdString();
    }
}

TEST(Duplicates, PairsThatAreAndAreNotTheSameAlbum) {
    struct Case {
        const char* name;
        QString first;
        QString second;
        bool same;
    };
    const Case cases[] = {
        {"case", "Кино" + kSep + "Группа крови", "КИНО" + kSep + "группа КРОВИ", true},
        {"ё and е", "Гражданская оборона" + kSep + "Всё идёт по плану",
         "Гражданская оборона" + kSep + "Все идет по плану", true},
        {"punctuation", "AC/DC" + kSep + "Back in Black!", "AC-DC" + kSep + "Back In Black", true},
        {"spacing", "Sex Pistols" + kSep + "Never  Mind the Bollocks",
         "Sex Pistols " + kSep + " Never Mind The Bollocks ", true},
        {"a leading year", "Madness" + kSep + "1979 - One Step Beyond",
         "Madness" + kSep + "One Step Beyond...", true},
        {"the year from the tags", "Madness" + kSep + "One Step Beyond (1979)",
         "Madness" + kSep + "1979 - One Step Beyond", true},
        {"across categories", "Ska" + kSep + "Madness" + kSep + "One Step Beyond",
         "Madness" + kSep + "One Step Beyond", true},
        {"the format noted after the album", "Кино" + kSep + "1988 - Группа крови (FLAC)",
         "Кино" + kSep + "1988 - Группа крови", true},
        {"an edition is another album", "G" + kSep + "Album (Deluxe Edition)", "G" + kSep + "Album",
         false},
        {"a folded and an unfolded copy", "G" + kSep + "Album [2CD]", "G" + kSep + "Album", true},
        {"a year inside the title", "Nirvana" + kSep + "Live", "Nirvana" + kSep + "Live 1999",
         false},
        {"two leading years", "Nirvana" + kSep + "1992 - Live", "Nirvana" + kSep + "1994 - Live",
         false},
        {"another artist", "Кино" + kSep + "Greatest Hits", "Ramones" + kSep + "Greatest Hits",
         false},
        {"another album", "Кино" + kSep + "Группа крови", "Кино" + kSep + "Звезда по имени Солнце",
         false},
        {"a volume number", "G" + kSep + "Hits Vol. 1", "G" + kSep + "Hits Vol. 2", false},
        {"disc folders left unfolded", "G" + kSep + "A" + kSep + "CD1",
         "G" + kSep + "A" + kSep + "CD2", false},
        {"no artist", "Album", "Album", false},
    };
    for (const Case& c : cases) {
        const std::vector<MusicRow> rows{albumRow(c.first), albumRow(c.second, "flac 900")};
        const auto expected =
            c.same ? std::vector<std::vector<int>>{{0, 1}} : std::vector<std::vector<int>>{};
        EXPECT_EQ(groupsOf(rows), expected) << c.name;
    }
}

TEST(Duplicates, GroupsInListOrderWithYearsAndHeaders) {
    MusicList list;
    list.appendCategoryHeader(QStringLiteral("Live"));
    const QStringList captions{
        "Nirvana" + kSep + "1992 - Live",      // 1
        "Кино" + kSep + "Группа крови",        // 2
        "Nirvana" + kSep + "1994 - Live",      // 3
        "Nirvana" + kSep + "Live",             // 4: no year, with two years around
        "Nirvana" + kSep + "Live (1994)",      // 5
        "Nirvana" + kSep + "LIVE",             // 6
        "Кино" + kSep + "1988 - Группа крови", // 7
        "Nirvana" + kSep + "1992 - Live",      // 8
    };
    std::vector<MusicRow> rows = list.rows();
    for (const QString& caption : captions)
        rows.push_back(albumRow(caption));
    rows.push_back(rows.front()); // a second header of the same name is no duplicate
    EXPECT_EQ(groupsOf(rows), (std::vector<std::vector<int>>{{1, 8}, {2, 7}, {3, 5}, {4, 6}}));
}

TEST(Duplicates, TheGroupsAsJson) {
    std::vector<MusicRow> rows{albumRow("Кино" + kSep + "1988 - Группа крови"),
                               albumRow("Ramones" + kSep + "Ramones"),
                               albumRow("КИНО" + kSep + "Группа крови (1988)", "flac 912")};
    rows[0].origin = {QStringLiteral("/music"), QStringLiteral("Кино/1988 - Группа крови"), {}};
    rows[2].origin = {QStringLiteral("/flac"), QStringLiteral("Кино/Группа крови"), {}};
    const QByteArray json = duplicatesJson(rows, findDuplicates(rows, kSep), kSep);
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonArray groups = root.value("groups").toArray();
    ASSERT_EQ(groups.size(), 1);
    const QJsonObject group = groups.at(0).toObject();
    EXPECT_EQ(group.value("artist").toString(), QStringLiteral("Кино"));
    EXPECT_EQ(group.value("album").toString(), QStringLiteral("Группа крови"));
    const QJsonArray members = group.value("rows").toArray();
    ASSERT_EQ(members.size(), 2);
    EXPECT_EQ(members.at(0).toObject().value("row").toInt(), 0);
    EXPECT_EQ(members.at(1).toObject().value("row").toInt(), 2);
    EXPECT_EQ(members.at(1).toObject().value("root").toString(), QStringLiteral("/flac"));
    EXPECT_EQ(members.at(1).toObject().value("path").toString(),
              QStringLiteral("Кино/Группа крови"));
    EXPECT_EQ(members.at(1).toObject().value("cells").toArray().at(1).toString(),
              QStringLiteral("flac 912"));
    EXPECT_EQ(members.at(0).toObject().value("caption").toString(),
              "Кино" + kSep + "1988 - Группа крови");

    EXPECT_EQ(QJsonDocument::fromJson(duplicatesJson(rows, {}, kSep)).object(),
              (QJsonObject{{"groups", QJsonArray()}}));
}
