#include "export/ExportFormats.h"
#include "music/MusicList.h"
#include "video/VideoList.h"

#include "ExportTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <set>

using namespace korvane;
using namespace korvane::exporter;

namespace {

const QString kName = QStringLiteral("Кино");

struct Lists {
    MusicList music;
    VideoList video;
    Lists() {
        music.appendCategoryHeader(QStringLiteral("Рок"));
        music.appendRow(test::album(kName + QStringLiteral("  \\  Группа крови"),
                                    QStringLiteral("41,2"), QStringLiteral("192"),
                                    QStringLiteral("Rock")));
        video.appendRow(test::clip(kName + QStringLiteral(".avi"), QStringLiteral("1"),
                                   QStringLiteral("640x480"), QStringLiteral("1:00"),
                                   QStringLiteral("25"), QStringLiteral("XviD")));
    }
};

// A save_dir with the HTML templates beside set.ini, and the lists to write.
struct WriterFolder {
    test::ExportFolder folder;
    SettingsFile file;
    Settings settings;
    ProgramFolder programFolder;
    Lists lists;

    WriterFolder()
        : file(folder.file(QStringLiteral("set.ini"))), settings(file),
          programFolder(folder.path()) {
        for (const char* name : {"mp3blank.htm", "videoblank.htm"})
            QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/") + QLatin1String(name),
                        folder.file(QLatin1String(name)));
    }
    const CatalogueList& list(bool music) const {
        return music ? static_cast<const CatalogueList&>(lists.music) : lists.video;
    }
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Each row's writer, through the one signature: the file under the row's name in save_dir (the
// workbook where it is sent), its bytes in the row's encoding.
TEST(ExportFormats, EachWriterWritesItsFileUnderItsNameInItsEncoding) {
    const QByteArray cp1251 = QByteArray::fromStdString(text::toCp1251(kName));
    const QByteArray utf8 = kName.toUtf8();
    for (const ExportFormatRow& row : exportFormats()) {
        for (const bool music : {true, false}) {
            const WriterFolder setup;
            const test::ExportFolder& folder = setup.folder;
            const Settings& settings = setup.settings;
            const ProgramFolder& programFolder = setup.programFolder;
            const CatalogueList& list = setup.list(music);
            const Toggles toggles;
            const bool workbook = row.encoding == Encoding::Workbook;
            const QString expected = workbook ? folder.outDir() + QStringLiteral("sent.xlsx")
                                              : folder.outDir() + row.name(music).fallback;
            const ExportRequest request{list,
                                        settings,
                                        toggles,
                                        programFolder,
                                        QDateTime(QDate(2026, 12, 10), QTime(12, 0)),
                                        workbook ? expected : QString()};
            const std::string what = std::string(row.flag) + (music ? " music" : " video");
            ASSERT_EQ(row.write(request), QStringList{expected}) << what;
            const QByteArray bytes = readFile(expected);
            switch (row.encoding) {
            case Encoding::Cp1251:
            case Encoding::Cp1251OrUtf8:
                EXPECT_TRUE(bytes.contains(cp1251)) << what;
                EXPECT_FALSE(bytes.contains(utf8)) << what;
                break;
            case Encoding::Utf8:
            case Encoding::Utf8WithBom:
                EXPECT_TRUE(bytes.contains(utf8)) << what;
                EXPECT_EQ(bytes.startsWith("\xEF\xBB\xBF"), row.encoding == Encoding::Utf8WithBom)
                    << what;
                break;
            case Encoding::Workbook:
                EXPECT_TRUE(bytes.startsWith("PK")) << what;
                break;
            }

            // An empty list writes nothing, and leaves the file of the last export.
            const MusicList emptyMusic;
            const VideoList emptyVideo;
            const ExportRequest empty{music ? static_cast<const CatalogueList&>(emptyMusic)
                                            : emptyVideo,
                                      settings,
                                      toggles,
                                      programFolder,
                                      request.now,
                                      request.path};
            EXPECT_TRUE(row.write(empty).isEmpty()) << what;
            EXPECT_EQ(readFile(expected), bytes) << what;
        }
    }
}

// What the menus, the dialog and --help are made from: every format once, every flag and key
// once, the command line's order a permutation of the menus'.
TEST(ExportFormats, EachFormatFlagAndKeyIsOneRow) {
    std::set<ExportFormat> formats;
    std::set<std::string> flags;
    std::set<QString> keys;
    std::set<int> helpOrder;
    for (const ExportFormatRow& row : exportFormats()) {
        EXPECT_TRUE(formats.insert(row.format).second);
        EXPECT_EQ(&exportFormat(row.format), &row);
        EXPECT_TRUE(flags.insert(row.flag).second) << row.flag;
        for (const bool music : {true, false})
            EXPECT_TRUE(keys.insert(row.name(music).key.toString()).second) << row.flag;
        EXPECT_TRUE(helpOrder.insert(row.helpOrder).second) << row.flag;
    }
    EXPECT_EQ(formats.size(), 7u);
    EXPECT_EQ(*helpOrder.begin(), 0);
    EXPECT_EQ(*helpOrder.rbegin(), static_cast<int>(exportFormats().size()) - 1);
}

// Given a file, every writer (TXT and HTML too) writes there, with the bytes it writes under the
// fixed name, and nothing into save_dir.
TEST(ExportFormats, EachWriterHonoursTheGivenPath) {
    for (const ExportFormatRow& row : exportFormats()) {
        if (row.encoding == Encoding::Workbook)
            continue; // always written to its given path, above
        for (const bool music : {true, false}) {
            const WriterFolder setup;
            const test::ExportFolder& folder = setup.folder;
            const Settings& settings = setup.settings;
            const ProgramFolder& programFolder = setup.programFolder;
            const CatalogueList& list = setup.list(music);
            const QDateTime now(QDate(2026, 12, 10), QTime(12, 0));
            const std::string what = std::string(row.flag) + (music ? " music" : " video");
            const ExportRequest fixed{list, settings, Toggles{}, programFolder, now};
            const QStringList fixedFiles = row.write(fixed);
            ASSERT_EQ(fixedFiles.size(), 1) << what;
            const QByteArray fixedBytes = readFile(fixedFiles.first());
            QFile::remove(fixedFiles.first());

            const QString chosen = folder.file(QStringLiteral("chosen.out"));
            const ExportRequest given{list, settings, Toggles{}, programFolder, now, chosen};
            EXPECT_EQ(row.write(given), QStringList{chosen}) << what;
            EXPECT_EQ(readFile(chosen), fixedBytes) << what;
            EXPECT_TRUE(QDir(folder.outDir()).isEmpty()) << what;
        }
    }
}
