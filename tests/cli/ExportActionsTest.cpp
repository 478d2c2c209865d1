#include "cli/Cli.h"
#include "cli/ListActions.h"

#include "settings/Settings.h"
#include "video/VideoList.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

// --txt, --html, --xlsx, --bbcode, --csv and --json: the window's exports as list actions.
namespace korvane::cli {
namespace {

constexpr qint64 kMiB = 1024 * 1024;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// A program folder with the shipped templates, a set.ini whose save_dir is its "out/" folder,
// and a music collection beside it.
struct ExportFixture {
    QTemporaryDir programDir;
    QTemporaryDir collection;

    ExportFixture() {
        QDir(programDir.path()).mkpath(QStringLiteral("out"));
        for (const char* name : {"mp3blank.htm", "videoblank.htm"})
            QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/") + QLatin1String(name),
                        programDir.filePath(QLatin1String(name)));
        settings({});
    }
    QString out(const QString& name = {}) const {
        return programDir.filePath(QStringLiteral("out/")) + name;
    }
    void settings(const QByteArray& lines) {
        QFile file(programDir.filePath("set.ini"));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("[options]\r\nsave_dir=" + out().toUtf8() + "\r\n" + lines);
    }
    void album(const QString& relative, qint64 bytes) {
        const QString folder = collection.filePath(relative);
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/tracks.bin"));
        file.open(QIODevice::WriteOnly);
        file.resize(bytes);
    }
    QByteArray read(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    Outcome run(const QStringList& actions) {
        QStringList args{QStringLiteral("--dir"), programDir.path(), QStringLiteral("music"),
                         collection.path()};
        args << actions;
        std::ostringstream outStream, errStream;
        const int status = cli::run(args, QString(), outStream, errStream, false);
        return {status, outStream.str(), errStream.str()};
    }
};

TEST(ExportActions, MusicListIntoAllThreeFormats) {
    ExportFixture f;
    f.settings("mp3list_name_txt=list.txt\r\nmp3list_name_htm=list.htm\r\n");
    f.album(QStringLiteral("AC&DC/Live <1991>"), 30 * kMiB);
    f.album(QStringLiteral("Кино/Звезда"), 20 * kMiB);
    const QString workbook = f.out(QStringLiteral("book.xlsx"));
    const Outcome o = f.run({QStringLiteral("--sort"), QStringLiteral("0"), QStringLiteral("--txt"),
                             QStringLiteral("--html"), QStringLiteral("--xlsx"), workbook});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    // Each written file is named on stderr, stdout stays for --print; the window's hint for the
    // double click has no place on a command line.
    const std::string status = "\" создан\n";
    EXPECT_EQ(o.err, "файл \"" + f.out(QStringLiteral("list.txt")).toStdString() +
                         "\" создан в кодировке Windows-1251\n" + "файл \"" +
                         f.out(QStringLiteral("list.htm")).toStdString() + status +
                         "written: " + workbook.toStdString() + "\n");
    EXPECT_EQ(o.out, "");

    const QByteArray txt = f.read(f.out(QStringLiteral("list.txt")));
    EXPECT_TRUE(txt.startsWith("~~~ mp3 collection ~~~\r\n")) << txt.toStdString();
    EXPECT_TRUE(txt.endsWith(
        "AC&DC  \\  Live <1991>\t[ - kbps | 30 mb | - ]\r\n"
        "\xCA\xE8\xED\xEE  \\  \xC7\xE2\xE5\xE7\xE4\xE0      \t[ - kbps | 20 mb | - ]\r\n"))
        << txt.toStdString();

    const QByteArray html = f.read(f.out(QStringLiteral("list.htm")));
    // Bold group names are on unless set.ini turns them off; the names are escaped.
    EXPECT_TRUE(html.contains("\t<td class=\"artist\" id=\"artisttd0\"><b>AC&amp;DC</b>  \\  Live "
                              "&lt;1991&gt;</td>\r\n"));
    EXPECT_TRUE(html.contains("MarkRow(1)"));
    EXPECT_FALSE(html.contains("##"));

    EXPECT_TRUE(f.read(workbook).startsWith("PK"));
}

// The TXT list in UTF-8 keeps what Windows-1251 lacks; set.ini or the command line chooses.
TEST(ExportActions, TxtEncoding) {
    struct Case {
        const char* name;
        QByteArray settings;
        QStringList options;
        bool utf8;
    };
    const Case cases[] = {
        {"Windows-1251 by default", {}, {}, false},
        {"UTF-8 by set.ini", "txtUtf8=1\r\n", {}, true},
        {"UTF-8 by the command line", {}, {"--txt-encoding", "utf-8"}, true},
        {"the command line over set.ini", "txtUtf8=1\r\n", {"--txt-encoding", "cp1251"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExportFixture f;
        f.settings("mp3list_name_txt=list.txt\r\n" + c.settings);
        f.album(QStringLiteral("Björk/坂本龍一"), 30 * kMiB);
        const Outcome o = f.run(c.options + QStringList{QStringLiteral("--txt")});
        ASSERT_EQ(o.status, kExitOk) << o.err;
        EXPECT_EQ(o.err, "файл \"" + f.out(QStringLiteral("list.txt")).toStdString() +
                             "\" создан в кодировке " + (c.utf8 ? "UTF-8" : "Windows-1251") + "\n");
        const QByteArray line =
            c.utf8 ? QStringLiteral("Björk  \\  坂本龍一").toUtf8() : QByteArray("Bj?rk  \\  ????");
        EXPECT_TRUE(f.read(f.out(QStringLiteral("list.txt")))
                        .endsWith(line + "\t[ - kbps | 30 mb | - ]\r\n"))
            << f.read(f.out(QStringLiteral("list.txt"))).toStdString();
    }
    ExportFixture f;
    f.settings({});
    f.album(QStringLiteral("A/B"), 30 * kMiB);
    const Outcome bad = f.run({QStringLiteral("--txt-encoding"), QStringLiteral("koi8-r")});
    EXPECT_EQ(bad.status, kExitUsage);
    EXPECT_NE(bad.err.find("--txt-encoding takes utf-8 or cp1251"), std::string::npos) << bad.err;
}

TEST(ExportActions, FailuresExitWithTheWindowsErrorText) {
    struct Case {
        const char* name;
        QByteArray settings;
        bool removeTemplate;
        QStringList actions;
        std::string message;
    };
    const std::vector<Case> cases{
        {"missing output folder",
         "mp3list_name_txt=gone/list.txt\r\n",
         false,
         {QStringLiteral("--txt")},
         "korvane-cli: Cannot create file \""},
        {"missing template",
         {},
         true,
         {QStringLiteral("--html")},
         "korvane-cli: Cannot open file \""},
        {"workbook in a missing folder",
         {},
         false,
         {QStringLiteral("--xlsx"), QStringLiteral("/nonexistent-korvane-folder/book.xlsx")},
         "korvane-cli: Cannot create file \"/nonexistent-korvane-folder/book.xlsx\". "},
    };
    for (const Case& c : cases) {
        ExportFixture f;
        f.settings(c.settings);
        if (c.removeTemplate)
            QFile::remove(f.programDir.filePath(QStringLiteral("mp3blank.htm")));
        f.album(QStringLiteral("Group/Album"), 20 * kMiB);
        const Outcome o = f.run(c.actions);
        EXPECT_EQ(o.status, kExitFailure) << c.name;
        EXPECT_EQ(o.err.rfind(c.message, 0), 0u) << c.name << ": " << o.err;
        EXPECT_TRUE(QDir(f.out()).isEmpty()) << c.name;
    }
}

TEST(ExportActions, XlsxNeedsAFile) {
    ExportFixture f;
    f.album(QStringLiteral("Group/Album"), 20 * kMiB);
    EXPECT_EQ(f.run({QStringLiteral("--xlsx")}).status, kExitUsage);
}

TEST(ExportActions, UnicodeExportsGoToSaveDirAFileOrStandardOutput) {
    ExportFixture f;
    f.settings("mp3list_name_csv=list.csv\r\n");
    f.album(QStringLiteral("Кино/Звезда"), 20 * kMiB);
    const QString json = f.out(QStringLiteral("named.json"));
    const QString bbcode = f.out(QStringLiteral("post.txt"));
    // The optional FILE never swallows the next action.
    const Outcome o =
        f.run({QStringLiteral("--csv"), QStringLiteral("--print"), QStringLiteral("--json"), json,
               QStringLiteral("--bbcode"), bbcode, QStringLiteral("--csv"), QStringLiteral("-")});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    const std::string status = "\" создан\n";
    EXPECT_EQ(o.err, "файл \"" + f.out(QStringLiteral("list.csv")).toStdString() + status +
                         "файл \"" + json.toStdString() + status + "файл \"" +
                         bbcode.toStdString() + status);
    const std::string row = "Кино  \\  Звезда,20,-,-,-\r\n";
    const std::string printed = "Кино  \\  Звезда\t20\t-\t-\t-\n";
    // The file starts with a byte-order mark for spreadsheets; standard output does not.
    EXPECT_EQ(f.read(f.out(QStringLiteral("list.csv"))).toStdString(),
              "\xEF\xBB\xBFПапка,Размер (mb),Битрейт,Стиль,Страна\r\n" + row);
    EXPECT_EQ(o.out, printed + "Папка,Размер (mb),Битрейт,Стиль,Страна\r\n" + row);
    EXPECT_TRUE(f.read(json).startsWith("{\n  \"kind\": \"music\",\n"));
    EXPECT_TRUE(f.read(bbcode).startsWith("[b]mp3 collection"));
}

// --template FILE and --post-limit N steer the forum posts of one run; --plain writes the plain
// text post.
TEST(ExportActions, ForumPostsFromATemplateAndInParts) {
    ExportFixture f;
    f.album(QStringLiteral("Кино/Звезда"), 20 * kMiB);
    f.album(QStringLiteral("Ария/Герой"), 30 * kMiB);
    const QString mine = f.programDir.filePath(QStringLiteral("mine.tpl"));
    {
        QFile file(mine);
        file.open(QIODevice::WriteOnly);
        file.write("{{#row}}\n* {{group}}: {{album}} ({{size}} mb)\n{{/row}}\n");
    }
    Outcome o = f.run({QStringLiteral("--sort"), QStringLiteral("0"), QStringLiteral("--template"),
                       mine, QStringLiteral("--bbcode"), QStringLiteral("-"),
                       QStringLiteral("--plain"), QStringLiteral("-")});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    const std::string post = "* Ария: Герой (30 mb)\r\n* Кино: Звезда (20 mb)\r\n";
    EXPECT_EQ(o.out, post + post);

    o = f.run({QStringLiteral("--sort"), QStringLiteral("0"), QStringLiteral("--post-limit"),
               QStringLiteral("110"), QStringLiteral("--bbcode")});
    ASSERT_EQ(o.status, kExitOk) << o.err;
    const QString first = f.out(QStringLiteral("mp3list.bbcode.1.txt"));
    const QString second = f.out(QStringLiteral("mp3list.bbcode.2.txt"));
    EXPECT_EQ(o.err, "файл \"" + first.toStdString() + "\" создан\nфайл \"" + second.toStdString() +
                         "\" создан\n");
    EXPECT_EQ(f.read(second).toStdString(),
              "(часть 2 из 2)\r\n[b]Кино[/b]  \\  Звезда | 20 mb | - kbps | - | -\r\n");

    {
        QFile file(mine);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("{{#row}}\n{{artist}}\n{{/row}}\n");
    }
    o = f.run({QStringLiteral("--template"), mine, QStringLiteral("--plain")});
    EXPECT_EQ(o.status, kExitFailure);
    EXPECT_EQ(o.err, "korvane-cli: Шаблон \"" + mine.toStdString() +
                         "\", строка 2: неизвестная метка {{artist}}. Ничего не записано.\n");
    EXPECT_FALSE(QFileInfo::exists(f.out(QStringLiteral("mp3list.forum.txt"))));

    for (const char* bad : {"-1", "many"}) {
        o = f.run({QStringLiteral("--post-limit"), QString::fromLatin1(bad)});
        EXPECT_EQ(o.status, kExitUsage) << bad;
        EXPECT_EQ(o.err.rfind("korvane-cli: --post-limit needs a number of characters", 0), 0u)
            << o.err;
    }
}

TEST(ExportActions, UnicodeExportFailures) {
    struct Case {
        const char* name;
        QStringList actions;
        int status;
        std::string message;
    };
    const std::vector<Case> cases{
        {"a folder as FILE",
         {QStringLiteral("--json"), QDir::tempPath()},
         kExitUsage,
         "korvane-cli: an output file is needed, not the folder "},
        {"a missing folder",
         {QStringLiteral("--bbcode"), QStringLiteral("/nonexistent-korvane/a")},
         kExitFailure,
         "korvane-cli: Cannot create file \"/nonexistent-korvane/a\". "},
    };
    for (const Case& c : cases) {
        ExportFixture f;
        f.album(QStringLiteral("Group/Album"), 20 * kMiB);
        const Outcome o = f.run(c.actions);
        EXPECT_EQ(o.status, c.status) << c.name;
        EXPECT_EQ(o.err.rfind(c.message, 0), 0u) << c.name << ": " << o.err;
        EXPECT_TRUE(QDir(f.out()).isEmpty()) << c.name;
    }
}

// The real korvane-cli with its standard output on a full device: the write or the flush fails,
// and the run must say so instead of exiting 0.
TEST(ExportActions, StandardOutputOnAFullDeviceFails) {
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    ExportFixture f;
    f.album(QStringLiteral("Кино/Звезда"), 20 * kMiB);
    const QStringList list{QStringLiteral("--dir"), f.programDir.path(), QStringLiteral("music"),
                           f.collection.path()};
    const std::vector<QStringList> cases{
        list + QStringList{QStringLiteral("--print")},
        list + QStringList{QStringLiteral("--csv"), QStringLiteral("-")},
        list + QStringList{QStringLiteral("--json"), QStringLiteral("-")},
        list + QStringList{QStringLiteral("--bbcode"), QStringLiteral("-")},
        {QStringLiteral("--help")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        QProcess cli;
        cli.setStandardOutputFile(QStringLiteral("/dev/full"));
        cli.start(QStringLiteral(KORVANE_BIN_DIR "/korvane-cli"), args);
        ASSERT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli.exitCode(), kExitFailure);
        // One line naming the cause; the reason's wording follows the locale.
        const std::string err = cli.readAllStandardError().toStdString();
        EXPECT_EQ(err.rfind("korvane-cli: standard output could not be written", 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

TEST(ExportActions, VideoListUsesTheVideoLayoutsAndNames) {
    ExportFixture f;
    std::ostringstream out, err;
    Context context{out, err};
    const ProgramFolder folder(f.programDir.path());
    SettingsFile settingsFile(folder.settingsPath());
    const Settings settings(settingsFile);
    VideoList list;
    list.appendRow({QStringLiteral("a.avi"),
                    {QStringLiteral("1"), QStringLiteral("640x480"), QStringLiteral("1:00"),
                     QStringLiteral("25"), QStringLiteral("XviD")}});
    const QString workbook = f.out(QStringLiteral("clips.xlsx"));
    const QStringList args{QStringLiteral("--txt"),    QStringLiteral("--html"),
                           QStringLiteral("--xlsx"),   workbook,
                           QStringLiteral("--bbcode"), QStringLiteral("--json")};
    std::vector<ListAction> actions;
    for (int i = 0; i < args.size();)
        ASSERT_TRUE(takeListAction(args, i, list, actions));
    ListActionTarget target{ListKind::Video, list, context, folder, settings, Toggles{}};
    runListActions(actions, target);
    EXPECT_TRUE(f.read(f.out(QStringLiteral("VideoList.txt")))
                    .endsWith("a.avi\t[ 1 mb | 640x480 | 1:00 min | 25 | XviD ]\r\n"));
    EXPECT_TRUE(f.read(f.out(QStringLiteral("VideoList.htm"))).contains("\t<td>XviD</td>\r\n"));
    EXPECT_TRUE(f.read(workbook).startsWith("PK"));
    EXPECT_TRUE(f.read(f.out(QStringLiteral("videolist.bbcode.txt")))
                    .endsWith("a.avi | 1 mb | 640x480 | 1:00 min | 25 | XviD\r\n"));
    EXPECT_TRUE(f.read(f.out(QStringLiteral("videolist.json"))).contains("\"kind\": \"video\""));
}

TEST(ExportActions, EmptyListWritesNothing) {
    ExportFixture f;
    std::ostringstream out, err;
    Context context{out, err};
    const ProgramFolder folder(f.programDir.path());
    SettingsFile settingsFile(folder.settingsPath());
    const Settings settings(settingsFile);
    VideoList list;
    const QStringList args{QStringLiteral("--txt"),  QStringLiteral("--html"),
                           QStringLiteral("--xlsx"), f.out(QStringLiteral("x.xlsx")),
                           QStringLiteral("--csv"),  QStringLiteral("--json"),
                           QStringLiteral("-")};
    std::vector<ListAction> actions;
    for (int i = 0; i < args.size();)
        ASSERT_TRUE(takeListAction(args, i, list, actions));
    ListActionTarget target{ListKind::Video, list, context, folder, settings, Toggles{}};
    runListActions(actions, target);
    EXPECT_TRUE(QDir(f.out()).isEmpty());
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(), "");
}

} // namespace
} // namespace korvane::cli
