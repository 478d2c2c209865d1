#include "cli/Cli.h"
#include "cli/ListActions.h"

#include "export/ExportFormats.h"
#include "music/MusicList.h"
#include "settings/Settings.h"
#include "video/VideoList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

// --fill and --save-base: the base commands of the window as list actions.
namespace korvane::cli {
namespace {

const QString kSeparator = QStringLiteral("  \\  ");

class BaseActionsTest : public ::testing::Test {
protected:
    BaseActionsTest()
        : m_context{m_out, m_err}, m_folder(m_dir.path()), m_settings(m_folder.settingsPath()) {
        for (const char* group : {"The Owls", "Kino", "VA"})
            m_list.appendRow({QString::fromUtf8(group) + kSeparator + QStringLiteral("Album"),
                              {QStringLiteral("10"), QStringLiteral("192"), QStringLiteral("-"),
                               QStringLiteral("-")}});
    }

    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    std::vector<ListAction> take(const QStringList& args, const CatalogueList& list) {
        std::vector<ListAction> actions;
        for (int i = 0; i < args.size();) {
            if (!takeListAction(args, i, list, actions))
                ADD_FAILURE() << args.at(i).toStdString() << " is no list action";
        }
        return actions;
    }
    void run(const QStringList& args) {
        const Toggles toggles;
        const Settings settings(m_settings);
        ListActionTarget target{ListKind::Music, m_list, m_context, m_folder, settings, toggles};
        runListActions(take(args, m_list), target);
    }
    QStringList column(int cell) {
        QStringList out;
        for (const MusicRow& row : m_list.rows())
            out << row.cells.value(cell);
        return out;
    }

    QTemporaryDir m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
    Context m_context;
    ProgramFolder m_folder;
    SettingsFile m_settings;
    MusicList m_list;
};

TEST_F(BaseActionsTest, FillFromTheProgramFolderBases) {
    writeFile(QStringLiteral("genrebd.txt"), "the owls=Punk\r\nkino=Rock\r\n");
    writeFile(QStringLiteral("countrybd.txt"), "the owls=Canada\r\nkino=USSR\r\n");
    m_list.setCell(1, StyleCell, QStringLiteral("Post-Punk"));
    run({QStringLiteral("--fill"), QStringLiteral("genre:missing")});
    EXPECT_EQ(column(StyleCell), (QStringList{QStringLiteral("Punk"), QStringLiteral("Post-Punk"),
                                              QStringLiteral("-")}));
    run({QStringLiteral("--fill"), QStringLiteral("genre:all"), QStringLiteral("--fill"),
         QStringLiteral("country:missing")});
    EXPECT_EQ(column(StyleCell),
              (QStringList{QStringLiteral("Punk"), QStringLiteral("Rock"), QStringLiteral("-")}));
    EXPECT_EQ(column(CountryCell),
              (QStringList{QStringLiteral("Canada"), QStringLiteral("USSR"), QStringLiteral("-")}));
}

TEST_F(BaseActionsTest, MissingBaseFails) {
    try {
        run({QStringLiteral("--fill"), QStringLiteral("country:all")});
        FAIL() << "no error";
    } catch (const CommandError& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what())
                        .startsWith(QStringLiteral("Cannot open file \"") +
                                    m_dir.filePath(QStringLiteral("countrybd.txt"))));
    }
    EXPECT_EQ(column(CountryCell), QStringList(3, QStringLiteral("-")));
}

TEST_F(BaseActionsTest, SaveAfterFillInTheOrderGiven) {
    writeFile(QStringLiteral("genrebd.txt"), "the owls=Punk\r\nkino=Rock\r\nva=Pop\r\n");
    const QString path = m_dir.filePath(QStringLiteral("mine"));
    run({QStringLiteral("--fill"), QStringLiteral("genre:missing"), QStringLiteral("--save-base"),
         QStringLiteral("genre:") + path});
    EXPECT_EQ(readFile(path + QStringLiteral(".txt")),
              QByteArray("kino=Rock\r\nowls, the=Punk\r\nowls=Punk\r\nthe owls=Punk\r\n"));
    EXPECT_EQ(
        m_err.str(),
        (QStringLiteral("База сохранена в \"") + path + QStringLiteral(".txt\"\n")).toStdString());
}

TEST_F(BaseActionsTest, SaveErrorFails) {
    const QString path = m_dir.filePath(QStringLiteral("no folder/genrebd.txt"));
    EXPECT_THROW(run({QStringLiteral("--save-base"), QStringLiteral("country:") + path}),
                 CommandError);
    EXPECT_TRUE(m_err.str().empty());
}

TEST_F(BaseActionsTest, SaveOfAnEmptyListWritesNothing) {
    m_list.clear();
    const QString path = m_dir.filePath(QStringLiteral("genrebd.txt"));
    run({QStringLiteral("--save-base"), QStringLiteral("genre:") + path});
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(BaseActionsTest, WrongArgumentsAreUsageErrors) {
    const QStringList cases[] = {
        {QStringLiteral("--fill")},
        {QStringLiteral("--fill"), QStringLiteral("genre")},
        {QStringLiteral("--fill"), QStringLiteral("genre:")},
        {QStringLiteral("--fill"), QStringLiteral("genre:some")},
        {QStringLiteral("--fill"), QStringLiteral("style:all")},
        {QStringLiteral("--fill"), QStringLiteral("Genre:all")},
        {QStringLiteral("--save-base")},
        {QStringLiteral("--save-base"), QStringLiteral("genre")},
        {QStringLiteral("--save-base"), QStringLiteral("genre:")},
        {QStringLiteral("--save-base"), QStringLiteral("bands:/tmp/x")},
    };
    for (const QStringList& args : cases) {
        std::vector<ListAction> actions;
        int i = 0;
        EXPECT_THROW(takeListAction(args, i, m_list, actions), UsageError)
            << args.join(u' ').toStdString();
    }
}

TEST_F(BaseActionsTest, VideoListRefused) {
    VideoList videos;
    for (const QStringList& args :
         {QStringList{QStringLiteral("--fill"), QStringLiteral("genre:all")},
          QStringList{QStringLiteral("--save-base"), QStringLiteral("genre:/tmp/x")}}) {
        std::vector<ListAction> actions;
        int i = 0;
        EXPECT_THROW(takeListAction(args, i, videos, actions), UsageError)
            << args.join(u' ').toStdString();
    }
}

TEST_F(BaseActionsTest, ListedInTheHelp) {
    const QString usage = listActionsUsage();
    EXPECT_TRUE(usage.contains(QStringLiteral("--fill genre|country:missing|all")));
    EXPECT_TRUE(usage.contains(QStringLiteral("--save-base genre|country:PATH")));
    // Every help text starts in one column, at least two blanks right of its action.
    const QStringList lines = usage.split(u'\n', Qt::SkipEmptyParts);
    const qsizetype column = lines.first().indexOf(QStringLiteral("sort by"));
    ASSERT_GT(column, 0);
    for (const QString& line : lines) {
        EXPECT_EQ(line.mid(column - 2, 2), QStringLiteral("  ")) << line.toStdString();
        EXPECT_NE(line.at(column), u' ') << line.toStdString();
    }
}

// The exports' lines come from their table, in its order for the command line.
TEST_F(BaseActionsTest, TheExportsInTheHelpComeFromTheirTable) {
    const QString usage = listActionsUsage();
    qsizetype previous = -1;
    for (int place = 0; place < static_cast<int>(exporter::exportFormats().size()); ++place) {
        const auto row = std::find_if(
            exporter::exportFormats().begin(), exporter::exportFormats().end(),
            [place](const exporter::ExportFormatRow& r) { return r.helpOrder == place; });
        QString words = QString::fromUtf8(row->flag);
        if (row->flagArgument != nullptr)
            words += u' ' + QString::fromUtf8(row->flagArgument);
        const qsizetype at = usage.indexOf(QStringLiteral("    ") + words + u' ');
        ASSERT_GT(at, previous) << row->flag;
        EXPECT_EQ(usage.indexOf(QString::fromUtf8(row->flagHelp) + u'\n', at),
                  usage.indexOf(u'\n', at) - qsizetype(qstrlen(row->flagHelp)))
            << row->flag;
        previous = at;
    }
}

// A tag may hold line breaks and tabs; in the line-based outputs they become spaces, so that a
// row stays one line and a saved base gets no line the tag made up.
TEST_F(BaseActionsTest, LineBreaksInTextsStayOnTheirLine) {
    m_list.setCell(1, StyleCell, QStringLiteral("Rock\r\nkino=Hacked"));
    m_list.setCaption(0, QStringLiteral("The\tOwls") + kSeparator + QStringLiteral("Al\nbum"));
    const QString path = m_dir.filePath(QStringLiteral("saved.txt"));
    run({QStringLiteral("--print"), QStringLiteral("--save-base"),
         QStringLiteral("genre:") + path});
    const QStringList printed =
        QString::fromStdString(m_out.str()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(printed.size(), 3) << m_out.str();
    for (const QString& line : printed)
        EXPECT_EQ(line.count(u'\t'), 4) << line.toStdString();
    EXPECT_EQ(printed.at(0).section(u'\t', 0, 0), QStringLiteral("The Owls  \\  Al bum"));
    EXPECT_EQ(readFile(path), QByteArray("kino=Rock  kino=Hacked\r\n"));
}

// A base that is a FIFO, a link to a device or a huge file is refused, never read until the
// program hangs or runs out of memory.
TEST_F(BaseActionsTest, FillRefusesABaseThatIsNoRegularFile) {
    const QByteArray base = QFile::encodeName(m_dir.filePath(QStringLiteral("genrebd.txt")));
    ASSERT_EQ(::mkfifo(base.constData(), 0600), 0);
    try {
        run({QStringLiteral("--fill"), QStringLiteral("genre:all")});
        FAIL() << "no error";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot open file \"" + std::string(base.constData()) + "\". Not a regular file");
    }
}

TEST_F(BaseActionsTest, CommandLineScanFillPrintSave) {
    writeFile(QStringLiteral("set.ini"), "[options]\r\nmin_limit=0\r\n");
    writeFile(QStringLiteral("genrebd.txt"), "the owls=Punk\r\nkino=Rock\r\n");
    const QDir root(m_dir.filePath(QStringLiteral("root")));
    for (const QString& album :
         {QStringLiteral("The Owls/First Flight"), QStringLiteral("Kino/Gruppa")}) {
        ASSERT_TRUE(root.mkpath(album));
        QFile file(root.filePath(album + QStringLiteral("/a.bin")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(200'000, 'x'));
    }
    const QString saved = m_dir.filePath(QStringLiteral("out"));
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run({QStringLiteral("--dir"), m_dir.path(), QStringLiteral("music"),
                                 root.path(), QStringLiteral("--fill"),
                                 QStringLiteral("genre:missing"), QStringLiteral("--print"),
                                 QStringLiteral("--save-base"), QStringLiteral("genre:") + saved},
                                m_dir.path(), out, err);
    ASSERT_EQ(status, kExitOk) << err.str();
    const QStringList printed = QString::fromStdString(out.str()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(printed.size(), 2);
    for (const QString& line : printed) {
        const QStringList fields = line.split(u'\t');
        ASSERT_EQ(fields.size(), 5);
        EXPECT_EQ(fields[StyleCell + 1], fields[0].startsWith(QStringLiteral("Kino"))
                                             ? QStringLiteral("Rock")
                                             : QStringLiteral("Punk"));
    }
    EXPECT_EQ(readFile(saved + QStringLiteral(".txt")),
              QByteArray("kino=Rock\r\nowls, the=Punk\r\nowls=Punk\r\nthe owls=Punk\r\n"));
}

} // namespace
} // namespace korvane::cli
