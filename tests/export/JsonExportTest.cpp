#include "export/JsonExport.h"
#include "export/ListExport.h"
#include "video/VideoInfo.h"

#include "FixedLists.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace korvane::exporter {
namespace {

using test::ExportFolder;

QByteArray writtenJson(const CatalogueList& list, const Toggles& toggles,
                       const QStringList& settingLines = {}) {
    ExportFolder folder(settingLines);
    SettingsFile settings(folder.file(QStringLiteral("set.ini")));
    const auto path = writeListText(TextFormat::Json, list, settings, toggles, test::fixedMoment(),
                                    textOutputPath(TextFormat::Json, list, settings));
    return path ? folder.read(QFileInfo(*path).fileName().prepend(QStringLiteral("out/")))
                : QByteArray();
}

TEST(JsonExport, MusicFileIsWrittenByteForByte) {
    const QString head = QStringLiteral(
        "{\n"
        "  \"kind\": \"music\",\n"
        "  \"generated\": \"2026-12-10T13:44:27+03:00\",\n"
        "  \"columns\": [\"Папка\", \"Размер (mb)\", \"Битрейт\", \"Стиль\", \"Страна\"],\n"
        "  \"rows\": [\n");
    struct Case {
        const char* name;
        bool categories;
        QString rows;
    };
    const std::vector<Case> cases{
        {"categories", true,
         QStringLiteral(
             "    {\"caption\": \"Панк\", \"cells\": [\"\", \"\", \"\", \"\"], \"category\": "
             "\"Панк\", \"header\": true},\n"
             "    {\"caption\": \"Ramones  \\\\  Rocket to Russia\", \"cells\": [\"41,2\", "
             "\"192\", \"Punk\", \"USA\"], \"category\": \"Панк\", \"header\": false},\n"
             "    {\"caption\": \"Кино  \\\\  Группа крови [Live]\", \"cells\": [\"87\", \"VBR "
             "245\", \"Rock \\\"alt\\\"\", \"\"], \"category\": \"Панк\", \"header\": false},\n"
             "    {\"caption\": \"Ska, Reggae\", \"cells\": [\"\", \"\", \"\", \"\"], "
             "\"category\": \"Ska, Reggae\", \"header\": true},\n"
             "    {\"caption\": \"[b]Fake[/b]\", \"cells\": [\"0,5\", \"-\", \"-\", \"-\"], "
             "\"category\": \"Ska, Reggae\", \"header\": false}\n")},
        {"no categories", false,
         QStringLiteral(
             "    {\"caption\": \"Панк\", \"cells\": [\"\", \"\", \"\", \"\"], \"category\": "
             "null, \"header\": true},\n"
             "    {\"caption\": \"Ramones  \\\\  Rocket to Russia\", \"cells\": [\"41,2\", "
             "\"192\", \"Punk\", \"USA\"], \"category\": null, \"header\": false},\n"
             "    {\"caption\": \"Кино  \\\\  Группа крови [Live]\", \"cells\": [\"87\", \"VBR "
             "245\", \"Rock \\\"alt\\\"\", \"\"], \"category\": null, \"header\": false},\n"
             "    {\"caption\": \"Ska, Reggae\", \"cells\": [\"\", \"\", \"\", \"\"], "
             "\"category\": null, \"header\": true},\n"
             "    {\"caption\": \"[b]Fake[/b]\", \"cells\": [\"0,5\", \"-\", \"-\", \"-\"], "
             "\"category\": null, \"header\": false}\n")},
    };
    for (const Case& c : cases) {
        MusicList list;
        test::fillMusic(list);
        Toggles toggles;
        toggles.musicInCat = c.categories;
        EXPECT_EQ(writtenJson(list, toggles), (head + c.rows + QStringLiteral("  ]\n}\n")).toUtf8())
            << c.name;
    }
}

TEST(JsonExport, VideoFileIsWrittenByteForByte) {
    VideoList list;
    test::fillVideo(list);
    EXPECT_EQ(writtenJson(list, Toggles{}),
              QStringLiteral(
                  "{\n"
                  "  \"kind\": \"video\",\n"
                  "  \"generated\": \"2026-12-10T13:44:27+03:00\",\n"
                  "  \"columns\": [\"Имя файла\", \"Размер (mb)\", \"Разрешение\", "
                  "\"Длительность\", \"fps\", \"Кодек\"],\n"
                  "  \"rows\": [\n"
                  "    {\"caption\": \"clips  \\\\  intro [1080p].avi\", \"cells\": [\"12,3\", "
                  "\"640x480\", \"3:05\", \"25\", \"DivX 5\"]},\n"
                  "    {\"caption\": \"Ёжик в \\\"тумане\\\", 1975.mkv\", \"cells\": [\"700\", "
                  "\"1280x720\", \"95:00\", \"23,976\", \"\"]}\n"
                  "  ]\n"
                  "}\n")
                  .toUtf8());
}

// Rows a scan made carry their values as typed members, and name their own category wherever
// they stand (here under another category's header, as after a sort).
TEST(JsonExport, ScannedRowsCarryTheirValues) {
    MusicRow header = MusicList::categoryHeaderRow(QStringLiteral("Панк"));
    MusicRow album{QStringLiteral("Madness  \\  One Step Beyond (1979)"),
                   {QStringLiteral("48,0"), QStringLiteral("VBR 245"), QStringLiteral("Ska"),
                    QStringLiteral("UK")}};
    RowValues& v = album.values;
    v.kind = RowValues::Kind::Album;
    v.category = QStringLiteral("Ska");
    v.bytes = 50331649;
    v.setNames(QStringLiteral("Madness"), QStringLiteral("One Step \"Beyond\""),
               QStringLiteral("1979"));
    v.format = QStringLiteral("mp3");
    v.bitrate = 245;
    v.vbr = true;
    MusicRow noFile{
        QStringLiteral("G  \\  A"),
        {QStringLiteral("5,0"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")}};
    noFile.values.kind = RowValues::Kind::Album;
    noFile.values.category = QStringLiteral("Ska");
    noFile.values.bytes = 5242880;
    const QStringList captions{"Папка", "Размер (mb)", "Битрейт", "Стиль", "Страна"};
    const QString json = musicJson(captions, {header, album, noFile}, true, test::fixedMoment());
    EXPECT_TRUE(json.contains(QStringLiteral(
        "    {\"caption\": \"Панк\", \"cells\": [\"\", \"\", \"\", \"\"], \"category\": "
        "\"Панк\", \"header\": true},\n")))
        << json.toStdString();
    EXPECT_TRUE(json.contains(QStringLiteral(
        "    {\"caption\": \"Madness  \\\\  One Step Beyond (1979)\", \"cells\": [\"48,0\", "
        "\"VBR 245\", \"Ska\", \"UK\"], \"category\": \"Ska\", \"header\": false, "
        "\"size_bytes\": 50331649, \"artist\": \"Madness\", \"album\": \"One Step "
        "\\\"Beyond\\\"\", \"year\": \"1979\", \"bitrate_kind\": \"mp3\", "
        "\"bitrate_kbps\": 245, \"vbr\": true},\n")))
        << json.toStdString();
    EXPECT_TRUE(json.contains(QStringLiteral(
        "\"category\": \"Ska\", \"header\": false, \"size_bytes\": 5242880, \"artist\": "
        "null, \"album\": null, \"year\": null, \"bitrate_kind\": null, \"bitrate_kbps\": "
        "null, \"vbr\": null}\n")))
        << json.toStdString();
    // Without categories no row names one.
    EXPECT_FALSE(musicJson(captions, {header, album}, false, test::fixedMoment())
                     .contains(QStringLiteral("\"category\": \"")));

    VideoRow clip = VideoList::videoRow(QStringLiteral("a/b.avi"), QStringLiteral(" - "), 1048577,
                                        {"DivX 5", "01:02", 23.976, 640, 480}, {});
    const QStringList videoCaptions{"Имя файла",    "Размер (mb)", "Разрешение",
                                    "Длительность", "fps",         "Кодек"};
    EXPECT_TRUE(videoJson(videoCaptions, {clip}, test::fixedMoment())
                    .contains(QStringLiteral(
                        "{\"caption\": \"a - b.avi\", \"cells\": [\"2\", \"640 x 480\", "
                        "\"01:02\", \"24\", \"DivX 5\"], \"size_bytes\": 1048577, "
                        "\"width\": 640, \"height\": 480, \"frame_rate\": 23.976}")));
}

TEST(JsonExport, StringsEscapeWhatJsonForbids) {
    struct Case {
        const char* name;
        QString text;
        QString json;
    };
    for (const Case& c : {
             Case{"plain", QStringLiteral("Кино"), QStringLiteral("\"Кино\"")},
             Case{"quote and backslash", QStringLiteral("a\"b\\c"),
                  QStringLiteral("\"a\\\"b\\\\c\"")},
             Case{"named controls", QStringLiteral("\n\r\t"), QStringLiteral("\"\\n\\r\\t\"")},
             Case{"other controls", QString(QChar(0x01)) + QChar(0x1F) + QChar(0x08),
                  QStringLiteral("\"\\u0001\\u001f\\u0008\"")},
             Case{"slash and DEL stay", QStringLiteral("a/b\x7F"), QStringLiteral("\"a/b\x7F\"")},
         }) {
        EXPECT_EQ(jsonString(c.text), c.json) << c.name;
    }
}

// Any text a list may hold: controls, characters beyond the BMP, a lone surrogate, blanks.
TEST(JsonExport, StrictParserReadsBackTheList) {
    MusicList list;
    test::fillMusic(list);
    list.appendRow(test::album(QStringLiteral("tab\there\x01  \\  🎵 \u2028"), QString(),
                               QStringLiteral("\\"), QStringLiteral("{\"a\": [1]}")));
    Toggles toggles;
    toggles.musicInCat = true;
    const QByteArray bytes = writtenJson(list, toggles);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = document.object();
    EXPECT_EQ(root.keys(), (QStringList{QStringLiteral("columns"), QStringLiteral("generated"),
                                        QStringLiteral("kind"), QStringLiteral("rows")}));
    EXPECT_EQ(QDateTime::fromString(root[QStringLiteral("generated")].toString(), Qt::ISODate),
              test::fixedMoment());
    const QJsonArray rows = root[QStringLiteral("rows")].toArray();
    ASSERT_EQ(rows.size(), list.count());
    QString category;
    for (int i = 0; i < list.count(); ++i) {
        const CatalogueRow& row = list.row(i);
        const QJsonObject object = rows[i].toObject();
        const bool header = MusicList::isCategoryHeader(row);
        if (header)
            category = row.caption;
        EXPECT_EQ(object[QStringLiteral("caption")].toString(), row.caption) << i;
        QStringList cells;
        for (const QJsonValue& cell : object[QStringLiteral("cells")].toArray())
            cells << cell.toString();
        EXPECT_EQ(cells, header ? QStringList(4, QString()) : row.cells) << i;
        EXPECT_EQ(object[QStringLiteral("header")].toBool(), header) << i;
        EXPECT_EQ(object[QStringLiteral("category")].toString(), category) << i;
    }
}

TEST(JsonExport, LoneSurrogateStillGivesValidUtf8) {
    VideoList list;
    list.appendRow(test::clip(QStringLiteral("a") + QChar(0xDC80) + QStringLiteral("b.avi"),
                              QStringLiteral("1"), {}, {}, {}, {}));
    const QByteArray bytes = writtenJson(list, Toggles{});
    QJsonParseError error{};
    QJsonDocument::fromJson(bytes, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_TRUE(QString::fromUtf8(bytes).toUtf8() == bytes);
}

} // namespace
} // namespace korvane::exporter
