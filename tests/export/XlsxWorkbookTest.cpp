#include "export/XlsxWorkbook.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"

#include "ExportTestSupport.h"

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace korvane::exporter {
namespace {

using test::album;
using test::category;
using test::clip;

const QString kSep = QStringLiteral("  \\  ");

std::vector<CatalogueRow> musicRows() {
    return {
        category(QStringLiteral("Панк")),
        album(QStringLiteral("Abcde  \\  Первый альбом"), QStringLiteral("41,2"),
              QStringLiteral("VBR 192"), QStringLiteral("Punk"), QStringLiteral("Россия")),
        album(QStringLiteral("Solo"), QStringLiteral("7"), QStringLiteral("128"),
              QStringLiteral("R&B <soul>"), QStringLiteral("-")),
    };
}

// One part of the workbook's zip, as text.
QString part(const QString& workbook, const QString& name) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), workbook, name});
    if (!unzip.waitForFinished(30000))
        return {};
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

class Workbook : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
            GTEST_SKIP() << "unzip is not installed";
    }
    test::TempDir dir;
};

TEST_F(Workbook, SheetNameTextsAndFormatsAreWritten) {
    const QString path = dir.file(QStringLiteral("music.xlsx"));
    writeWorkbook(musicSheetPlan(musicRows(), QStringLiteral("Моя музыка"), kSep, true, true),
                  path);
    EXPECT_TRUE(part(path, QStringLiteral("xl/workbook.xml"))
                    .contains(QStringLiteral("name=\"Моя музыка\"")));
    const QString strings = part(path, QStringLiteral("xl/sharedStrings.xml"));
    for (const QString& text : {QStringLiteral("Группа \\ Альбом"),
                                QStringLiteral("Битрейт\n(kbps)"), QStringLiteral("VBR 192"),
                                QStringLiteral("R&amp;B &lt;soul&gt;"), QStringLiteral("Россия")})
        EXPECT_TRUE(strings.contains(text)) << text.toStdString();
    // The bold run "Abcde " is a run of its own, bold, followed by the rest of the text.
    EXPECT_TRUE(strings.contains(QStringLiteral("<b/>")));
    EXPECT_TRUE(strings.contains(QStringLiteral("<t xml:space=\"preserve\">Abcde </t>")));
    EXPECT_TRUE(strings.contains(QStringLiteral(" \\  Первый альбом</t>")));
    const QString styles = part(path, QStringLiteral("xl/styles.xml"));
    EXPECT_TRUE(styles.contains(QStringLiteral("Verdana")));
    EXPECT_TRUE(styles.contains(QStringLiteral("wrapText=\"1\"")));
    EXPECT_TRUE(styles.contains(QStringLiteral("<color rgb=\"FF0000FF\"/>"))) << "blue headings";
    EXPECT_TRUE(styles.contains(QStringLiteral("<color rgb=\"FFFF0000\"/>"))) << "red category";
    const QString sheet = part(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<col min=\"1\" max=\"1\" width=\"60.7109375\"")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<dimension ref=\"A1:E5\"/>")));
}

TEST_F(Workbook, VideoSheetSetsTheWidthOfTheColumnsBeyondTheGrid) {
    const QString path = dir.file(QStringLiteral("video.xlsx"));
    writeWorkbook(
        videoSheetPlan({clip(QStringLiteral("a.avi"), QStringLiteral("1"), QStringLiteral("1x1"),
                             QStringLiteral("0:01"), QStringLiteral("25"), QStringLiteral("XviD"))},
                       QStringLiteral("Video")),
        path);
    const QString sheet = part(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(
        sheet.contains(QStringLiteral("<col min=\"7\" max=\"16384\" width=\"15.7109375\"")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<col min=\"6\" max=\"6\" width=\"20.7109375\"")));
}

TEST_F(Workbook, ReplacesThePreviousWorkbookAndLeavesNoTemporaryFile) {
    const QString path = dir.write(QStringLiteral("list.xlsx"), "previous");
    writeWorkbook(
        videoSheetPlan({clip(QStringLiteral("a.avi"), {}, {}, {}, {}, {})}, QStringLiteral("V")),
        path);
    EXPECT_TRUE(dir.read(QStringLiteral("list.xlsx")).startsWith("PK"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("list.xlsx")});
}

TEST_F(Workbook, FailedWriteLeavesThePreviousWorkbook) {
    const QString path = dir.write(QStringLiteral("list.xlsx"), "previous");
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(
        writeWorkbook(musicSheetPlan(musicRows(), QStringLiteral("m"), kSep, true, true), path),
        ExportError);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(dir.read(QStringLiteral("list.xlsx")), "previous");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("list.xlsx")});
}

TEST_F(Workbook, MissingFolderIsReported) {
    const QString path = dir.file(QStringLiteral("nowhere/list.xlsx"));
    try {
        writeWorkbook(
            videoSheetPlan({clip(QStringLiteral("a"), {}, {}, {}, {}, {})}, QStringLiteral("V")),
            path);
        FAIL() << "no error";
    } catch (const ExportError& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Cannot create file \"") + path +
                                               QStringLiteral("\". ")))
            << error.what();
    }
}

TEST_F(Workbook, TemporaryFolderCopyIsNamedAfterTheSheet) {
    const QString path = writeWorkbookToTemporaryFolder(
        videoSheetPlan({clip(QStringLiteral("a"), {}, {}, {}, {}, {})}, QStringLiteral("Клипы")));
    EXPECT_TRUE(path.endsWith(QStringLiteral("/Клипы.xlsx"))) << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(path));
    QDir(QFileInfo(path).path()).removeRecursively();
}

TEST(StaleWorkbookFolders, OnlyWorkbookFoldersOlderThanADayGo) {
    QTemporaryDir temp;
    const QDateTime now = QDateTime::currentDateTime();
    const auto make = [&](const QString& name, const QStringList& files, int hoursOld) {
        const QString folder = temp.filePath(name);
        QDir().mkpath(folder);
        for (const QString& file : files) {
            QFile out(folder + u'/' + file);
            EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        }
        const auto when =
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(hoursOld);
        std::filesystem::last_write_time(QFile::encodeName(folder).toStdString(), when);
        return folder;
    };
    const QString stale = make(QStringLiteral("korvane-a1B2c3"), {QStringLiteral("mp3.xlsx")}, 25);
    const QString emptyStale = make(QStringLiteral("korvane-zzzzzz"), {}, 48);
    const QString fresh =
        make(QStringLiteral("korvane-d4E5f6"), {QStringLiteral("Video.xlsx")}, 23);
    const QString foreign = make(QStringLiteral("korvane-g7H8i9"),
                                 {QStringLiteral("a.xlsx"), QStringLiteral("notes.txt")}, 72);
    const QString otherName = make(QStringLiteral("korvane-build"), {QStringLiteral("x.xlsx")}, 72);
    const QString otherProgram =
        make(QStringLiteral("other-a1B2c3"), {QStringLiteral("x.xlsx")}, 72);

    EXPECT_EQ(removeStaleWorkbookFolders(temp.path(), now), 2);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_FALSE(QFileInfo::exists(emptyStale));
    for (const QString& kept : {fresh, foreign, otherName, otherProgram})
        EXPECT_TRUE(QFileInfo(kept).isDir()) << kept.toStdString();
}

// A real spreadsheet application reads the workbook back.
class LibreOffice : public Workbook {
protected:
    void SetUp() override {
        Workbook::SetUp();
        if (IsSkipped())
            return;
        m_office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
        if (m_office.isEmpty())
            GTEST_SKIP() << "libreoffice is not installed";
    }
    // Converts the workbook with the given filter and returns the converted file's bytes.
    QByteArray convert(const QString& workbook, const QString& filter, const QString& suffix) {
        QProcess office;
        // A profile of its own, so that a running instance or a shared profile cannot interfere.
        office.start(m_office, {QStringLiteral("-env:UserInstallation=file://") +
                                    dir.file(QStringLiteral("profile")),
                                QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                filter, QStringLiteral("--outdir"), dir.path(), workbook});
        if (!office.waitForFinished(180000))
            return {};
        QFile out(dir.file(QFileInfo(workbook).completeBaseName() + u'.' + suffix));
        return out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray();
    }
    QString m_office;
};

TEST_F(LibreOffice, ShowsTheSheetNameTheHeadingsAndEveryText) {
    const QString path = dir.file(QStringLiteral("music.xlsx"));
    writeWorkbook(musicSheetPlan(musicRows(), QStringLiteral("Коллекция"), kSep, true, true), path);
    // Text CSV: comma separated, texts in double quotes where needed, UTF-8 (76).
    const QString csv = QString::fromUtf8(convert(
        path, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("csv")));
    ASSERT_FALSE(csv.isEmpty()) << "no conversion";
    EXPECT_EQ(csv,
              QStringLiteral("Группа \\ Альбом,\"Битрейт\n(kbps)\",\"Размер\n(mb)\",Стиль,Страна\n"
                             ",,,,\n"
                             "Панк, , , , \n"
                             "Abcde  \\  Первый альбом,VBR 192,\"41,2\",Punk,Россия\n"
                             "Solo,128,7,R&B <soul>,-\n"));
    // The flat document format keeps the sheet's name and the bold run inside the cell.
    const QString document =
        QString::fromUtf8(convert(path, QStringLiteral("fods"), QStringLiteral("fods")));
    EXPECT_TRUE(document.contains(QStringLiteral("table:name=\"Коллекция\"")))
        << "sheet name missing";
    const QRegularExpression boldRun(
        QStringLiteral("<text:p><text:span text:style-name=\"(T\\d+)\">Abcde </text:span>"));
    const QRegularExpressionMatch run = boldRun.match(document);
    ASSERT_TRUE(run.hasMatch()) << "no run of its own for the group name";
    const qsizetype style =
        document.indexOf(QStringLiteral("style:name=\"") + run.captured(1) + u'"');
    ASSERT_GE(style, 0);
    EXPECT_TRUE(document.mid(style, 400).contains(QStringLiteral("fo:font-weight=\"bold\"")));
}

} // namespace
} // namespace korvane::exporter
