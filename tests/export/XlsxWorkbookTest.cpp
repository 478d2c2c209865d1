#include "export/XlsxWorkbook.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"
#include "export/WorkbookCheck.h"

#include "ExportTestSupport.h"
#include "OfficeConvert.h"

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

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

std::vector<ZipPart> parts(const QString& workbook) {
    QFile file(workbook);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readZipParts(file.readAll(), nullptr).value_or(std::vector<ZipPart>());
}

// One part of the workbook's zip, as text.
QString part(const QString& workbook, const QString& name) {
    for (const ZipPart& part : parts(workbook)) {
        if (part.name == name.toStdString())
            return QString::fromUtf8(part.data);
    }
    return {};
}

class Workbook : public ::testing::Test {
protected:
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
        ReportedError);
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
    } catch (const ReportedError& error) {
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

// The control characters a folder name or tag may hold, in a bold group name (a rich string,
// which the library writes unescaped) and in plain cells.
TEST_F(Workbook, ControlCharactersNeverMakeTheSheetUnreadable) {
    const QString path = dir.file(QStringLiteral("music.xlsx"));
    QString noise;
    for (char16_t c = 0x01; c < 0x20; ++c)
        noise += QChar(c);
    noise += QChar(0xFFFE);
    noise += QChar(0xD800); // a lone surrogate
    const std::vector<CatalogueRow> rows{
        album(QStringLiteral("Груп") + noise + QStringLiteral("па  \\  Аль") + noise +
                  QStringLiteral("бом"),
              QStringLiteral("1"), QStringLiteral("128"), QStringLiteral("Ro") + noise + u'k'),
        album(QStringLiteral("Later  \\  Row"), QStringLiteral("2"), QStringLiteral("128"),
              QStringLiteral("Punk")),
    };
    writeWorkbook(musicSheetPlan(rows, QStringLiteral("m") + noise, kSep, true, false), path);
    EXPECT_EQ(workbookProblem(path), QString());
    const QString strings = part(path, QStringLiteral("xl/sharedStrings.xml"));
    for (const QString& kept : {QStringLiteral("Груп"), QStringLiteral("бом"), QStringLiteral("Ro"),
                                QStringLiteral("Later ")})
        EXPECT_TRUE(strings.contains(kept)) << kept.toStdString();
    EXPECT_FALSE(strings.contains(QChar(0x01)));
}

TEST_F(Workbook, TextsLongerThanACellHoldsAreCut) {
    const QString path = dir.file(QStringLiteral("music.xlsx"));
    const QString genre(40000, u'g');
    const QString folder = QString(40000, u'a') + QStringLiteral("  \\  album");
    writeWorkbook(musicSheetPlan({album(folder, QStringLiteral("1"), QStringLiteral("128"), genre)},
                                 QStringLiteral("m"), kSep, true, false),
                  path);
    const QString strings = part(path, QStringLiteral("xl/sharedStrings.xml"));
    EXPECT_TRUE(strings.contains(u'>' + QString(32767, u'g') + QStringLiteral("</t>")));
    EXPECT_TRUE(strings.contains(u'>' + QString(32767, u'a') + QStringLiteral("</t>")))
        << "the bold group name is cut too";
}

// The spreadsheet's numbers (column widths, margins) must not follow the C library's locale,
// which Qt sets from the environment: LibreOffice reads "60,7109375" as a wrong width.
TEST_F(Workbook, IsTheSameUnderARussianLocale) {
    const SheetPlan plan = musicSheetPlan(musicRows(), QStringLiteral("m"), kSep, true, true);
    const QString inC = dir.file(QStringLiteral("c.xlsx"));
    writeWorkbook(plan, inC);
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "ru_RU.UTF-8") == nullptr) {
        GTEST_SKIP() << "ru_RU.UTF-8 is not generated here (scripts/install-deps makes it)";
    }
    const QString inRussian = dir.file(QStringLiteral("ru.xlsx"));
    writeWorkbook(plan, inRussian);
    std::setlocale(LC_ALL, previous.c_str());
    const std::vector<ZipPart> expected = parts(inC);
    const std::vector<ZipPart> written = parts(inRussian);
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < written.size(); ++i) {
        // Only the creation time may differ.
        if (written[i].name != "docProps/core.xml") {
            EXPECT_EQ(written[i].data, expected[i].data) << written[i].name;
        }
    }
    EXPECT_TRUE(part(inRussian, QStringLiteral("xl/worksheets/sheet1.xml"))
                    .contains(QStringLiteral("width=\"60.7109375\"")));
}

TEST_F(Workbook, StaleTemporaryOfAKilledRunIsRemovedOnTheNextWrite) {
    const QString path = dir.write(QStringLiteral("list.xlsx"), "previous");
    dir.write(QStringLiteral(".list.xlsx.Ab12Cd"), "");
    dir.write(QStringLiteral(".other.xlsx.Ab12Cd"), "not ours");
    dir.write(QStringLiteral(".list.xlsx.keep"), "not of our naming");
    writeWorkbook(
        videoSheetPlan({clip(QStringLiteral("a.avi"), {}, {}, {}, {}, {})}, QStringLiteral("V")),
        path);
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left,
              (QStringList{QStringLiteral(".list.xlsx.keep"), QStringLiteral(".other.xlsx.Ab12Cd"),
                           QStringLiteral("list.xlsx")}));
}

// What stands at the target decides: a link is followed, anything but a regular file is refused
// and left as it was.
TEST_F(Workbook, WritesThroughALinkAndRefusesAFifo) {
    const SheetPlan plan =
        videoSheetPlan({clip(QStringLiteral("a.avi"), {}, {}, {}, {}, {})}, QStringLiteral("V"));
    const QString real = dir.write(QStringLiteral("real.xlsx"), "previous");
    const QString link = dir.file(QStringLiteral("link.xlsx"));
    ASSERT_EQ(::symlink("real.xlsx", QFile::encodeName(link).constData()), 0);
    writeWorkbook(plan, link);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(dir.read(QStringLiteral("real.xlsx")).startsWith("PK"));

    const QString fifo = dir.file(QStringLiteral("fifo.xlsx"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_THROW(writeWorkbook(plan, fifo), ReportedError);
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// Built by hand: stored parts, so that each fault is one edit of the bytes.
class ZipBuilder {
public:
    void add(const std::string& name, const QByteArray& data, bool wrongCrc = false) {
        const uint32_t crc =
            static_cast<uint32_t>(::crc32(0, reinterpret_cast<const Bytef*>(data.constData()),
                                          static_cast<uInt>(data.size()))) ^
            (wrongCrc ? 1u : 0u);
        QByteArray local;
        put32(local, 0x04034b50);
        put16(local, 20), put16(local, 0), put16(local, 0), put16(local, 0), put16(local, 0);
        put32(local, crc), put32(local, static_cast<uint32_t>(data.size())),
            put32(local, static_cast<uint32_t>(data.size()));
        put16(local, static_cast<uint16_t>(name.size())), put16(local, 0);
        local += QByteArray::fromStdString(name) + data;
        QByteArray entry;
        put32(entry, 0x02014b50);
        put16(entry, 20), put16(entry, 20), put16(entry, 0), put16(entry, 0), put16(entry, 0),
            put16(entry, 0);
        put32(entry, crc), put32(entry, static_cast<uint32_t>(data.size())),
            put32(entry, static_cast<uint32_t>(data.size()));
        put16(entry, static_cast<uint16_t>(name.size()));
        for (int i = 0; i < 4; ++i)
            put16(entry, 0);
        put32(entry, 0);
        put32(entry, static_cast<uint32_t>(m_body.size()));
        entry += QByteArray::fromStdString(name);
        m_body += local;
        m_directory += entry;
        ++m_count;
    }
    QByteArray bytes() const {
        QByteArray out = m_body + m_directory;
        put32(out, 0x06054b50);
        put16(out, 0), put16(out, 0), put16(out, m_count), put16(out, m_count);
        put32(out, static_cast<uint32_t>(m_directory.size()));
        put32(out, static_cast<uint32_t>(m_body.size()));
        put16(out, 0);
        return out;
    }

private:
    static void put16(QByteArray& out, uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    }
    static void put32(QByteArray& out, uint32_t v) {
        put16(out, static_cast<uint16_t>(v & 0xFFFF));
        put16(out, static_cast<uint16_t>(v >> 16));
    }
    QByteArray m_body;
    QByteArray m_directory;
    uint16_t m_count = 0;
};

TEST_F(Workbook, CheckFindsEveryKindOfDamage) {
    const QByteArray xml = "<?xml version=\"1.0\"?><a>x</a>";
    const auto complete = [&](ZipBuilder& zip) {
        zip.add("[Content_Types].xml", xml);
        zip.add("xl/workbook.xml", xml);
    };
    struct Case {
        const char* name;
        std::function<QByteArray()> bytes;
        QString problem; // the start of the reason; empty for a sound workbook
    };
    const std::vector<Case> cases{
        {"sound",
         [&] {
             ZipBuilder z;
             complete(z);
             z.add("xl/worksheets/sheet1.xml", xml);
             return z.bytes();
         },
         {}},
        {"empty file", [] { return QByteArray(); }, QStringLiteral("The file is too short")},
        {"no directory", [] { return QByteArray(100, 'x'); },
         QStringLiteral("The zip directory is missing")},
        {"short part",
         [&] {
             ZipBuilder z;
             complete(z);
             z.add("xl/worksheets/sheet1.xml", "<a>", false);
             QByteArray b = z.bytes();
             return b;
         },
         QStringLiteral("The part \"xl/worksheets/sheet1.xml\" is not well-formed")},
        {"empty part",
         [&] {
             ZipBuilder z;
             complete(z);
             z.add("xl/worksheets/sheet1.xml", "");
             return z.bytes();
         },
         QStringLiteral("The part \"xl/worksheets/sheet1.xml\" is not well-formed")},
        {"control character",
         [&] {
             ZipBuilder z;
             complete(z);
             z.add("xl/worksheets/sheet1.xml", "<a>\x01</a>");
             return z.bytes();
         },
         QStringLiteral("The part \"xl/worksheets/sheet1.xml\" is not well-formed")},
        {"wrong CRC",
         [&] {
             ZipBuilder z;
             complete(z);
             z.add("xl/worksheets/sheet1.xml", xml, true);
             return z.bytes();
         },
         QStringLiteral("The part \"xl/worksheets/sheet1.xml\" is incomplete")},
        {"cut off",
         [&] {
             ZipBuilder z;
             complete(z);
             z.add("xl/worksheets/sheet1.xml", xml);
             QByteArray b = z.bytes();
             return b.left(40) + b.mid(b.size() - 22);
         },
         QStringLiteral("The zip directory is damaged")},
        {"sheet missing",
         [&] {
             ZipBuilder z;
             complete(z);
             return z.bytes();
         },
         QStringLiteral("The part \"xl/worksheets/sheet1.xml\" is missing")},
    };
    for (const Case& c : cases) {
        const QString path = dir.file(QStringLiteral("check.xlsx"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes());
        file.close();
        const QString problem = workbookProblem(path);
        if (c.problem.isEmpty())
            EXPECT_EQ(problem, QString()) << c.name;
        else
            EXPECT_TRUE(problem.startsWith(c.problem)) << c.name << ": " << problem.toStdString();
    }
}

// A real spreadsheet application reads the workbook back.
class LibreOffice : public Workbook {
protected:
    void SetUp() override {
        Workbook::SetUp();
        if (IsSkipped())
            return;
        m_office = test::officeProgram();
        if (m_office.isEmpty())
            GTEST_SKIP() << "libreoffice is not installed";
    }
    // Converts the workbook with the given filter and returns the converted file's bytes.
    QByteArray convert(const QString& workbook, const QString& filter, const QString& suffix) {
        if (!test::convertWithOffice(m_office, dir.file(QStringLiteral("profile")),
                                     {QStringLiteral("--convert-to"), filter}, dir.path(),
                                     {workbook})
                 .isEmpty())
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
