#include "bases/BaseWriter.h"

#include "bases/BaseFill.h"
#include "music/MusicList.h"
#include "text/LocaleText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace korvane::bases {
namespace {

using Lines = std::vector<std::string>;

const QString kSeparator = QStringLiteral("  \\  ");

// One album row with the same text in the Style and the Country cell.
MusicRow album(const QString& group, const QString& value) {
    return {group + kSeparator + QStringLiteral("Album"),
            {QStringLiteral("100"), QStringLiteral("192"), value, value}};
}

struct Row {
    const char* group;
    const char* value;
};

void fillList(MusicList& list, const std::vector<Row>& rows) {
    for (const Row& row : rows)
        list.appendRow(album(QString::fromUtf8(row.group), QString::fromUtf8(row.value)));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(BaseWriter, LinesFromTheList) {
    const struct {
        const char* name;
        BaseKind kind;
        std::vector<Row> rows;
        Lines lines;
    } cases[] = {
        {"plain group", BaseKind::GenreBase, {{"Grey Owls", "Punk"}}, {"grey owls=Punk"}},
        {"leading the gives three forms",
         BaseKind::GenreBase,
         {{"The Owls", "Punk"}},
         {"owls, the=Punk", "owls=Punk", "the owls=Punk"}},
        {"trailing , the gives three forms",
         BaseKind::GenreBase,
         {{"Owls, The", "Punk"}},
         {"owls, the=Punk", "owls=Punk", "the owls=Punk"}},
        {"both forms at once",
         BaseKind::GenreBase,
         {{"The Owls, The", "Punk"}},
         {"owls, the, the=Punk", "owls, the=Punk", "the owls, the=Punk", "the owls=Punk",
          "the the owls=Punk"}},
        {"the inside a name is no form",
         BaseKind::GenreBase,
         {{"Bathe Owls", "Punk"}},
         {"bathe owls=Punk"}},
        {"several albums of a group give one line",
         BaseKind::GenreBase,
         {{"Owls", "Punk"}, {"Owls", "Punk"}, {"OWLS", "Punk"}},
         {"owls=Punk"}},
        {"a difference in case only: the first stays",
         BaseKind::GenreBase,
         {{"Owls", "punk"}, {"Owls", "PUNK"}},
         {"owls=punk"}},
        {"two genres of a group give two sorted lines",
         BaseKind::GenreBase,
         {{"Owls", "Rock"}, {"Owls", "Punk"}},
         {"owls=Punk", "owls=Rock"}},
        {"whole lines sorted, case ignored",
         BaseKind::CountryBase,
         {{"b", "x"}, {"A", "y"}, {"c", "z"}},
         {"a=y", "b=x", "c=z"}},
        {"various artists, various artist and va in any case skipped; various kept",
         BaseKind::GenreBase,
         {{"Various Artists", "Pop"},
          {"VARIOUS ARTIST", "Pop"},
          {"VA", "Pop"},
          {"va", "Pop"},
          {"Various", "Pop"}},
         {"various=Pop"}},
        {"no-value marks and empty values skipped",
         BaseKind::GenreBase,
         {{"a", "~"}, {"b", "-"}, {"c", ""}, {"d", " "}},
         {"d= "}},
        {"Other skipped for genres only, case-sensitively",
         BaseKind::GenreBase,
         {{"a", "Other"}, {"b", "other"}},
         {"b=other"}},
        {"Other kept for countries", BaseKind::CountryBase, {{"a", "Other"}}, {"a=Other"}},
        {"characters outside the code page become ?",
         BaseKind::CountryBase,
         {{"Björk", "Ísland"}},
         {"bj?rk=?sland"}},
        {"Cyrillic group lower-cased in Windows-1251",
         BaseKind::CountryBase,
         {{"КИНО", "Россия"}},
         {"\xEA\xE8\xED\xEE=\xD0\xEE\xF1\xF1\xE8\xFF"}},
        // A group "The " would give the form "" and a line "=Punk", which the fill would hand to
        // every category header row.
        {"no line with an empty key",
         BaseKind::GenreBase,
         {{"The ", "Punk"}},
         {", the=Punk", "the =Punk"}},
    };
    for (const auto& c : cases) {
        MusicList list;
        fillList(list, c.rows);
        EXPECT_EQ(collectBaseLines(list, c.kind, kSeparator), c.lines) << c.name;
    }
}

TEST(BaseWriter, CategoryRowsSkipped) {
    MusicList list;
    list.appendCategoryHeader(QStringLiteral("Punk"));
    list.appendRow(album(QStringLiteral("Owls"), QStringLiteral("Punk")));
    EXPECT_EQ(collectBaseLines(list, BaseKind::GenreBase, kSeparator), Lines{"owls=Punk"});
}

TEST(BaseWriter, SortedByTheLocaleOrder) {
    MusicList list;
    fillList(list, {{"Кино", "Rock"},
                    {"Zebra", "Rock"},
                    {"ABBA", "Pop"},
                    {"ёлка", "Pop"},
                    {"Алиса", "Rock"},
                    {"ac/dc", "Rock"}});
    const Lines lines = collectBaseLines(list, BaseKind::GenreBase, kSeparator);
    ASSERT_EQ(lines.size(), 6u);
    const text::CaseInsensitiveOrder order;
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_LT(order.compare(text::fromCp1251(lines[i - 1]), text::fromCp1251(lines[i])), 0)
            << lines[i - 1] << " / " << lines[i];
}

TEST(BaseWriter, TargetPath) {
    const struct {
        const char* name;
        QString chosen;
        QString target;
    } cases[] = {
        {"preset without extension", QStringLiteral("/p/genrebd"),
         QStringLiteral("/p/genrebd.txt")},
        {".txt kept", QStringLiteral("/p/mine.txt"), QStringLiteral("/p/mine.txt")},
        {".TXT differs in case", QStringLiteral("/p/mine.TXT"), QStringLiteral("/p/mine.TXT.txt")},
        {".Txt differs in case", QStringLiteral("/p/mine.Txt"), QStringLiteral("/p/mine.Txt.txt")},
        {"other extension", QStringLiteral("/p/mine.bak"), QStringLiteral("/p/mine.bak.txt")},
        {"last extension counts", QStringLiteral("/p/a.txt.bak"),
         QStringLiteral("/p/a.txt.bak.txt")},
        {"dot of a folder does not count", QStringLiteral("/p.txt/base"),
         QStringLiteral("/p.txt/base.txt")},
        {"name that is only the extension", QStringLiteral("/p/.txt"), QStringLiteral("/p/.txt")},
        {"trailing dot", QStringLiteral("/p/base."), QStringLiteral("/p/base..txt")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(baseTargetPath(c.chosen), c.target) << c.name;
}

class BaseFileWriting : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
};

TEST_F(BaseFileWriting, Windows1251WithCrLfAfterEveryLine) {
    const QString path = m_dir.filePath(QStringLiteral("out.txt"));
    EXPECT_EQ(writeBaseFile(path, {"a=1", "\xEA\xE8\xED\xEE=x"}), std::nullopt);
    EXPECT_EQ(readFile(path), QByteArray("a=1\r\n\xEA\xE8\xED\xEE=x\r\n"));
}

TEST_F(BaseFileWriting, ReplacesAnExistingFileAndLeavesNoTemporaryFile) {
    const QString path = m_dir.filePath(QStringLiteral("genrebd.txt"));
    ASSERT_EQ(writeBaseFile(path, {"old=1", "older=2"}), std::nullopt);
    ASSERT_EQ(writeBaseFile(path, {"new=1"}), std::nullopt);
    EXPECT_EQ(readFile(path), QByteArray("new=1\r\n"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("genrebd.txt")});
}

TEST_F(BaseFileWriting, SaveKeepsThePreviousBaseAsBakReplacingAnOlderBak) {
    MusicList list;
    fillList(list, {{"Owls", "Punk"}});
    const QString path = m_dir.filePath(QStringLiteral("genrebd.txt"));
    const QString backup = backupPath(path);
    EXPECT_EQ(backup, path + QStringLiteral(".bak"));

    ASSERT_TRUE(saveBase(list, BaseKind::GenreBase, kSeparator, path).error().isEmpty());
    EXPECT_FALSE(QFile::exists(backup)) << "nothing to keep the first time";
    for (const QByteArray& previous : {QByteArray("first=1\r\n"), QByteArray("second=2\r\n")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(previous);
        file.close();
        ASSERT_TRUE(saveBase(list, BaseKind::GenreBase, kSeparator, path).error().isEmpty());
        EXPECT_EQ(readFile(backup), previous);
        EXPECT_EQ(readFile(path), QByteArray("owls=Punk\r\n"));
    }
}

// A failed write of the new base is the disk-full case of the window fault tests.
TEST_F(BaseFileWriting, ABaseThatCannotBeCopiedAsideIsKeptWithItsOlderBackup) {
    MusicList list;
    fillList(list, {{"Owls", "Punk"}});
    const QString path = m_dir.filePath(QStringLiteral("genrebd.txt"));
    const QString backup = backupPath(path);
    ASSERT_EQ(writeBaseFile(path, {"old=1"}), std::nullopt);
    ASSERT_EQ(writeBaseFile(backup, {"older=1"}), std::nullopt);
    // Something else holds the name of the copy.
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("genrebd.txt.bak.new/inside")));
    const SaveResult saved = saveBase(list, BaseKind::GenreBase, kSeparator, path);
    EXPECT_TRUE(saved.error().startsWith(QStringLiteral("Cannot create file \"") + backup))
        << saved.error().toStdString();
    EXPECT_EQ(readFile(path), QByteArray("old=1\r\n"));
    EXPECT_EQ(readFile(backup), QByteArray("older=1\r\n"));
}

TEST_F(BaseFileWriting, AllRowsSkippedWritesAnEmptyFile) {
    MusicList list;
    fillList(list, {{"VA", "Pop"}, {"Owls", "-"}});
    const SaveResult saved =
        saveBase(list, BaseKind::GenreBase, kSeparator, m_dir.filePath(QStringLiteral("genrebd")));
    EXPECT_TRUE(saved.error().isEmpty()) << saved.error().toStdString();
    EXPECT_EQ(saved.path, m_dir.filePath(QStringLiteral("genrebd.txt")));
    ASSERT_TRUE(QFile::exists(saved.path));
    EXPECT_EQ(readFile(saved.path), QByteArray());
}

TEST_F(BaseFileWriting, UnwritableTargetGivesTheCreateError) {
    const QString path = m_dir.filePath(QStringLiteral("no such folder/genrebd.txt"));
    const std::optional<FileProblem> problem = writeBaseFile(path, {"a=1"});
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->code, ENOENT);
    const QString error = fileProblemText(*problem);
    const QString prefix = QStringLiteral("Cannot create file \"") + path + QStringLiteral("\". ");
    EXPECT_TRUE(error.startsWith(prefix)) << error.toStdString();
    EXPECT_GT(error.size(), prefix.size()) << "the system's reason follows";
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(BaseFileWriting, TargetThatIsAFolderKeepsTheFolder) {
    const QString path = m_dir.filePath(QStringLiteral("taken.txt"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("taken.txt")));
    EXPECT_TRUE(writeBaseFile(path, {"a=1"}).has_value());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(BaseFileWriting, SavedBaseFillsTheListBack) {
    MusicList source;
    fillList(source, {{"The Owls", "Punk"}, {"Кино", "Rock"}, {"Owls, The", "Ska"}});
    const SaveResult saved = saveBase(source, BaseKind::GenreBase, kSeparator,
                                      m_dir.filePath(QStringLiteral("genrebd.txt")));
    ASSERT_TRUE(saved.error().isEmpty());

    MusicList list;
    for (const char* group : {"OWLS", "the owls", "Owls, the", "кино"})
        list.appendRow(
            {QString::fromUtf8(group) + kSeparator + QStringLiteral("X"),
             {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("-"), QStringLiteral("-")}});
    BaseFill fill;
    fill.run({BaseKind::GenreBase, FillMode::OnlyMissing, saved.path, kSeparator}, list);
    // "owls=Punk" and "owls=Ska" are both in the file; the first in file order wins.
    QStringList styles;
    for (const MusicRow& row : list.rows())
        styles << row.cells.value(StyleCell);
    EXPECT_EQ(styles, (QStringList{QStringLiteral("Punk"), QStringLiteral("Punk"),
                                   QStringLiteral("Punk"), QStringLiteral("Rock")}));
}

TEST(BaseWriter, SavedStatusText) {
    EXPECT_EQ(savedStatusText(QStringLiteral("/p/genrebd.txt")),
              QStringLiteral("База сохранена в \"/p/genrebd.txt\""));
}

} // namespace
} // namespace korvane::bases
