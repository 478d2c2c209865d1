// The window when the system refuses: exports and base saves whose write fails, a set.ini that
// cannot be written on close, and music scans of trees that fight back. The user's previous file
// stays as it was, the error is shown, the window goes on (or closes when asked).
#include "app/MainWindow.h"
#include "music/MusicList.h"
#include "music/MusicScan.h"
#include "text/LocaleText.h"
#include "video/VideoList.h"

#include "FakeDesktop.h"
#include "JobWait.h"
#include "MusicTree.h"
#include "TempDir.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::test {
namespace {

const QString kSep = kDefaultGroupAlbumSeparator;
const QByteArray kPrevious = "the list the user had before\r\n";

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A file size limit makes every write past it fail, for root too: the stand-in for a full disk.
class WriteLimit {
public:
    explicit WriteLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~WriteLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// The six commands that write a file of the user's.
enum class Writer { MusicTxt, MusicHtml, VideoTxt, VideoHtml, GenreBase, CountryBase };

const char* nameOf(Writer writer) {
    switch (writer) {
    case Writer::MusicTxt:
        return "music TXT";
    case Writer::MusicHtml:
        return "music HTML";
    case Writer::VideoTxt:
        return "video TXT";
    case Writer::VideoHtml:
        return "video HTML";
    case Writer::GenreBase:
        return "genre base";
    case Writer::CountryBase:
        return "country base";
    }
    return "";
}

// A window with both lists filled, writing to `target` (a full path ending in .txt or .htm).
class WritingWindow {
public:
    WritingWindow(Writer writer, const QString& target) : m_writer(writer) {
        for (const char* name : {"mp3blank.htm", "videoblank.htm"})
            QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/") + QLatin1String(name),
                        m_program.file(QLatin1String(name)));
        const QFileInfo info(target);
        const QString key = writer == Writer::MusicTxt    ? QStringLiteral("mp3list_name_txt")
                            : writer == Writer::MusicHtml ? QStringLiteral("mp3list_name_htm")
                            : writer == Writer::VideoTxt  ? QStringLiteral("videolist_name_txt")
                                                          : QStringLiteral("videolist_name_htm");
        const QString saveDir = target.left(target.size() - info.fileName().size());
        m_program.write(QStringLiteral("set.ini"),
                        text::toCp1251(QStringLiteral("[options]\r\nsave_dir=") + saveDir +
                                       QStringLiteral("\r\n") + key + u'=' + info.fileName() +
                                       QStringLiteral("\r\n")));
        m_desktop.saveFileAnswers.push_back(target);
        m_desktop.replaceAnswers.push_back(true); // a base saved over an existing file
        m_window = std::make_unique<MainWindow>(ProgramFolder(m_program.path()), m_desktop);
        // Rows long enough that no write of them fits under the write limit.
        for (int i = 0; i < 40; ++i) {
            m_window->musicList().appendRow(
                {QStringLiteral("Группа %1").arg(i) + kSep + QStringLiteral("Альбом"),
                 {"41,2", "192", "Rock", "СССР"}});
            m_window->videoList().appendRow(
                {QStringLiteral("clip%1.avi").arg(i), {"1", "640 x 480", "01:00", "25", "XviD"}});
        }
        m_window->setStatusText(QStringLiteral("before"));
    }

    void run() {
        const auto& ui = m_window->ui();
        switch (m_writer) {
        case Writer::MusicTxt:
            ui.musicExportPopup->actions()[1]->trigger();
            break;
        case Writer::MusicHtml:
            ui.musicExportPopup->actions()[0]->trigger();
            break;
        case Writer::VideoTxt:
            ui.videoExportPopup->actions()[1]->trigger();
            break;
        case Writer::VideoHtml:
            ui.videoExportPopup->actions()[0]->trigger();
            break;
        case Writer::GenreBase:
            ui.basesMenu->actions()[4]->trigger();
            break;
        case Writer::CountryBase:
            ui.basesMenu->actions()[5]->trigger();
            break;
        }
        // The exports write on the list's job.
        EXPECT_TRUE(test::waitForJob(m_window->musicJob()));
        EXPECT_TRUE(test::waitForJob(m_window->videoJob()));
    }

    MainWindow& window() { return *m_window; }
    FakeDesktop& desktop() { return m_desktop; }

private:
    Writer m_writer;
    TempDir m_program;
    FakeDesktop m_desktop;
    std::unique_ptr<MainWindow> m_window;
};

// An expected cause with the folder put in where it names one.
QString withFolder(const QString& cause, const QString& folder) {
    return cause.contains(QLatin1String("%1")) ? cause.arg(folder) : cause;
}

struct Fault {
    const char* what;
    // The message's second line, the cause and what to do; %1 is the target's folder.
    QString cause;
    bool needsNonRoot;
    // Prepares the fault in `dir` and returns the target path; `previous` is where the user's
    // earlier file lies (empty when the fault leaves no room for one).
    std::function<QString(const QString& dir, QString& previous)> prepare;
    std::function<void(const QString& dir)> undo = [](const QString&) {};
    rlim_t writeLimit = 0; // 0: none
};

std::vector<Fault> faults(const QString& name) {
    return {
        {"the target is a folder",
         QStringLiteral("Под этим именем уже есть папка или устройство. Выберите другое имя."),
         false,
         [name](const QString& dir, QString& previous) {
             QDir(dir).mkpath(name + QStringLiteral("/inside"));
             writeAll(dir + u'/' + name + QStringLiteral("/inside/keep.txt"), kPrevious);
             previous = dir + u'/' + name + QStringLiteral("/inside/keep.txt");
             return dir + u'/' + name;
         }},
        {"the folder is missing",
         QStringLiteral("Папки \"%1\" нет. Создайте её или выберите другую папку."), false,
         [name](const QString& dir, QString&) {
             return dir + QStringLiteral("/no such folder/") + name;
         }},
        {"the folder is a file", QStringLiteral("\"%1\" не папка, а файл. Выберите другую папку."),
         false,
         [name](const QString& dir, QString& previous) {
             previous = dir + QStringLiteral("/plain");
             writeAll(previous, kPrevious);
             return previous + u'/' + name;
         }},
        {"the disk is full (write limit)",
         QStringLiteral("На диске не хватило места. Освободите место или выберите папку на другом "
                        "диске."),
         false,
         [name](const QString& dir, QString& previous) {
             previous = dir + u'/' + name;
             writeAll(previous, kPrevious);
             return previous;
         },
         [](const QString&) {}, 200},
        {"a folder nobody may write",
         QStringLiteral("Нет прав на запись в папку \"%1\". Выберите другую папку или разрешите "
                        "запись в эту."),
         false, [name](const QString&, QString&) { return QStringLiteral("/proc/") + name; }},
        {"a read-only folder",
         QStringLiteral("Нет прав на запись в папку \"%1\". Выберите другую папку или разрешите "
                        "запись в эту."),
         true,
         [name](const QString& dir, QString& previous) {
             previous = dir + QStringLiteral("/locked/") + name;
             QDir(dir).mkdir(QStringLiteral("locked"));
             writeAll(previous, kPrevious);
             QFile::setPermissions(dir + QStringLiteral("/locked"),
                                   QFileDevice::ReadOwner | QFileDevice::ExeOwner);
             return previous;
         },
         [](const QString& dir) {
             QFile::setPermissions(dir + QStringLiteral("/locked"), QFileDevice::ReadOwner |
                                                                        QFileDevice::WriteOwner |
                                                                        QFileDevice::ExeOwner);
         }},
    };
}

TEST(WindowFaults, FailedWritesKeepThePreviousFileAndShowTheError) {
    for (const Writer writer : {Writer::MusicTxt, Writer::MusicHtml, Writer::VideoTxt,
                                Writer::VideoHtml, Writer::GenreBase, Writer::CountryBase}) {
        const bool base = writer == Writer::GenreBase || writer == Writer::CountryBase;
        const bool html = writer == Writer::MusicHtml || writer == Writer::VideoHtml;
        const QString name = base   ? QStringLiteral("genrebd.txt")
                             : html ? QStringLiteral("list.htm")
                                    : QStringLiteral("list.txt");
        for (const Fault& fault : faults(name)) {
            SCOPED_TRACE(std::string(nameOf(writer)) + ", " + fault.what);
            if (fault.needsNonRoot && ::geteuid() == 0)
                continue; // permissions do not stop root
            TempDir dir;
            QString previous;
            const QString target = fault.prepare(dir.path(), previous);
            // The folder around the target looks as before (/proc changes on its own).
            const QString around = QFileInfo(target).path();
            const bool ours = around.startsWith(dir.path());
            const QStringList before = ours ? entries(around) : QStringList();
            WritingWindow w(writer, target);
            {
                std::unique_ptr<WriteLimit> limit;
                if (fault.writeLimit > 0)
                    limit = std::make_unique<WriteLimit>(fault.writeLimit);
                w.run();
            }
            fault.undo(dir.path());

            ASSERT_EQ(w.desktop().errors.size(), 1);
            // Whole in the interface's language: the file, the cause, what to do.
            EXPECT_EQ(w.desktop().errors[0],
                      QStringLiteral("Не удалось записать файл \"%1\".\n").arg(target) +
                          withFolder(fault.cause, QFileInfo(target).absolutePath()));
            if (!previous.isEmpty()) {
                EXPECT_EQ(readAll(previous), kPrevious);
            }
            if (ours) {
                EXPECT_EQ(entries(around), before) << "a temporary file stayed";
            }
            EXPECT_EQ(w.window().statusText(), QStringLiteral("before"));
            EXPECT_FALSE(w.window().lastWrittenFile.created);
            // The next write, once the fault is gone, works.
            if (fault.writeLimit > 0) {
                w.desktop().saveFileAnswers.push_back(target);
                w.desktop().replaceAnswers.push_back(true);
                w.run();
                EXPECT_EQ(w.desktop().errors.size(), 1);
                EXPECT_NE(readAll(previous), kPrevious);
            }
        }
    }
}

// ---- set.ini on close ----

TEST(WindowFaults, RefusedSettingsWriteShowsTheErrorAndTheWindowCloses) {
    struct Case {
        const char* what;
        // The message's second line, or how it starts; %1 is the program folder.
        QString cause;
        bool needsNonRoot;
        // Called after start-up; returns the set.ini bytes expected afterwards ("" for none).
        std::function<QByteArray(const QString& programDir)> breakIt;
        rlim_t writeLimit = 0;
    };
    const QByteArray settings = "[options]\r\nmin_limit=3\r\nmp3dir=/music/\r\n";
    const std::vector<Case> cases = {
        {"set.ini is a folder",
         QStringLiteral("Под этим именем уже есть папка или устройство. Выберите другое имя."),
         false,
         [](const QString& dir) {
             QFile::remove(dir + QStringLiteral("/set.ini"));
             QDir(dir).mkdir(QStringLiteral("set.ini"));
             return QByteArray();
         }},
        {"the program folder vanished",
         QStringLiteral("Папки \"%1\" нет. Создайте её или выберите другую папку."), false,
         [](const QString& dir) {
             QDir(dir).removeRecursively();
             return QByteArray();
         }},
        {"the disk is full (write limit)", QStringLiteral("Причина: "), false,
         [settings](const QString&) { return settings; }, 16},
        {"set.ini is read-only",
         QStringLiteral("Файл защищён от записи. Разрешите запись в него или выберите другое "
                        "имя."),
         true,
         [settings](const QString& dir) {
             QFile::setPermissions(dir + QStringLiteral("/set.ini"), QFileDevice::ReadOwner);
             return settings;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsNonRoot && ::geteuid() == 0)
            continue;
        TempDir program;
        writeAll(program.file(QStringLiteral("set.ini")), settings);
        FakeDesktop desktop;
        MainWindow window(ProgramFolder(program.path()), desktop);
        window.show();
        const QByteArray expected = c.breakIt(program.path());
        bool closed = false;
        {
            std::unique_ptr<WriteLimit> limit;
            if (c.writeLimit > 0)
                limit = std::make_unique<WriteLimit>(c.writeLimit);
            closed = window.close();
        }
        EXPECT_TRUE(closed);
        EXPECT_FALSE(window.isVisible());
        ASSERT_EQ(desktop.errors.size(), 1) << "one error, not one per key";
        EXPECT_TRUE(
            desktop.errors[0].startsWith(QStringLiteral("Не удалось записать файл \"%1\".\n")
                                             .arg(program.file(QStringLiteral("set.ini"))) +
                                         withFolder(c.cause, program.path())))
            << desktop.errors[0].toStdString();
        if (!expected.isEmpty()) {
            EXPECT_EQ(readAll(program.file(QStringLiteral("set.ini"))), expected);
        }
        QFile::setPermissions(program.file(QStringLiteral("set.ini")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
}

// ---- Music scans of hostile trees ----

// A folder chain below `root` whose full path is longer than `length` bytes, made step by step
// relative to the previous folder, since the whole path may be too long for one call. Returns
// the chain's components.
QStringList deepChain(const QString& root, const QString& component, std::size_t length) {
    QStringList chain;
    int fd = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY);
    std::size_t total = QFile::encodeName(root).size();
    const QByteArray name = QFile::encodeName(component);
    while (fd >= 0 && total <= length) {
        if (::mkdirat(fd, name.constData(), 0755) != 0)
            break;
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        chain << component;
        total += 1 + static_cast<std::size_t>(name.size());
    }
    if (fd >= 0) {
        // The bottom folder holds an album's worth of data.
        const int file = ::openat(fd, "tracks.bin", O_WRONLY | O_CREAT, 0644);
        if (file >= 0) {
            EXPECT_EQ(0, ::ftruncate(file, 5 * kMiB));
            ::close(file);
        }
        ::close(fd);
    }
    return chain;
}

// Removes what deepChain made, bottom up and relative to each parent, since the whole path may be
// too long for QDir.
void removeChain(const QString& root, const QStringList& chain) {
    std::vector<int> fds{::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY)};
    for (const QString& component : chain)
        fds.push_back(
            ::openat(fds.back(), QFile::encodeName(component).constData(), O_RDONLY | O_DIRECTORY));
    ::unlinkat(fds.back(), "tracks.bin", 0);
    for (qsizetype i = chain.size() - 1; i >= 0; --i)
        ::unlinkat(fds[static_cast<size_t>(i)], QFile::encodeName(chain[i]).constData(),
                   AT_REMOVEDIR);
    for (const int fd : fds)
        ::close(fd);
}

struct ScanWindow {
    TempDir program;
    FakeDesktop desktop;
    std::unique_ptr<MainWindow> window;

    ScanWindow() {
        window = std::make_unique<MainWindow>(ProgramFolder(program.path()), desktop);
        window->mainLoad();
    }
    void scan(const QString& root) {
        desktop.folderAnswers.push_back(root);
        window->ui().musicScanButton->click();
        EXPECT_TRUE(test::waitForJob(window->musicJob()));
    }
    std::multiset<QString> captions() const {
        std::multiset<QString> out;
        for (const MusicRow& row : window->musicList().rows())
            out.insert(row.caption);
        return out;
    }
};

TEST(WindowFaults, ScanOfAHostileTreeFinishesWithTheRowsItCouldRead) {
    MusicTree tree;
    std::multiset<QString> expected;
    const auto album = [&](const QString& relative) {
        tree.album(relative, 5 * kMiB);
        QString caption = relative;
        expected.insert(caption.replace(u'/', kSep));
    };
    album(QStringLiteral("Group/Album"));
    // Links back to the root, to the folder itself and to a parent: left out, the walk ends.
    tree.link(tree.root(), QStringLiteral("Group/Album/root"));
    tree.link(tree.path(QStringLiteral("Group/Album")), QStringLiteral("Group/Album/self"));
    tree.link(tree.path(QStringLiteral("Group")), QStringLiteral("Group/Album/up"));
    // Two folders linking to each other, and links to nowhere and to themselves.
    tree.folder(QStringLiteral("Loops/A"));
    tree.folder(QStringLiteral("Loops/B"));
    tree.link(tree.path(QStringLiteral("Loops/B")), QStringLiteral("Loops/A/toB"));
    tree.link(tree.path(QStringLiteral("Loops/A")), QStringLiteral("Loops/B/toA"));
    tree.link(tree.path(QStringLiteral("nowhere")), QStringLiteral("Loops/dangling"));
    tree.link(tree.path(QStringLiteral("Loops/knot")), QStringLiteral("Loops/knot"));
    // A link farm: ten folders each linking to every other (every chain of links would be 10!).
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 10; ++j) {
            tree.link(tree.folder(QStringLiteral("Farm/F%1").arg(j)),
                      QStringLiteral("Farm/F%1/to%2").arg(i).arg(j));
        }
    }
    // Names of 255 bytes, the most a component may have: Latin, and Cyrillic (2 bytes each).
    album(QStringLiteral("Long/") + QString(255, u'x'));
    album(QString(127, u'Ж') + QStringLiteral("z/Album"));
    // A path of more than 300 characters, and one longer than the system lets a call name: the
    // part within reach is read, the rest is left out.
    const QStringList deep = deepChain(tree.folder(QStringLiteral("Deep")), QString(40, u'd'), 330);
    expected.insert(QStringLiteral("Deep") + kSep + deep.join(kSep));
    const QStringList tooDeep =
        deepChain(tree.folder(QStringLiteral("TooDeep")), QString(200, u't'), 4300);
    ASSERT_GT(tooDeep.size(), 20);
    // Album folders whose audio file is no file, or no audio: the row comes with "-" details.
    album(QStringLiteral("Odd/Pipe"));
    ::mkfifo(QFile::encodeName(tree.path(QStringLiteral("Odd/Pipe/01.mp3"))).constData(), 0600);
    album(QStringLiteral("Odd/Folder"));
    tree.folder(QStringLiteral("Odd/Folder/01.mp3"));
    album(QStringLiteral("Odd/Empty"));
    tree.file(QStringLiteral("Odd/Empty/01.mp3"), 0);
    album(QStringLiteral("Odd/Dangling"));
    tree.link(tree.path(QStringLiteral("gone.wma")), QStringLiteral("Odd/Dangling/01.wma"));
    album(QStringLiteral("Zeta/Last"));
    // Unreadable folders measure 0 and are not entered (root reads them all the same).
    if (::geteuid() != 0) {
        tree.album(QStringLiteral("Locked/Album"), 5 * kMiB);
        tree.album(QStringLiteral("Shut/Inside/Album"), 5 * kMiB);
        QFile::setPermissions(tree.path(QStringLiteral("Locked/Album")), {});
        QFile::setPermissions(tree.path(QStringLiteral("Shut")), {});
    }

    ScanWindow s;
    s.scan(tree.root());
    if (::geteuid() != 0) {
        const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        QFile::setPermissions(tree.path(QStringLiteral("Locked/Album")), all);
        QFile::setPermissions(tree.path(QStringLiteral("Shut")), all);
    }

    removeChain(tree.path(QStringLiteral("Deep")), deep);
    removeChain(tree.path(QStringLiteral("TooDeep")), tooDeep);

    // The unreadable and empty folders are left out as too small; how many depends on how deep
    // the chains could go below this checkout's temporary folder.
    EXPECT_TRUE(s.window->statusText().startsWith(
        QStringLiteral(" Генерация листа закончена, выберите способ сохранения (HTML, TXT, EXCEL); "
                       "пропущено маленьких папок: ")))
        << s.window->statusText().toStdString();
    EXPECT_EQ(s.captions(), expected);
    EXPECT_EQ(s.window->windowTitle(),
              QStringLiteral("В music коллекции: %1 позиций").arg(expected.size()));
    // An audio file that cannot be read is still the album's file: its reader's failure result,
    // bitrate 0, fills the row.
    const std::map<QString, QStringList> odd = {
        {QStringLiteral("Odd") + kSep + QStringLiteral("Pipe"), {"5", "0", "-", "-"}},
        {QStringLiteral("Odd") + kSep + QStringLiteral("Folder"), {"5", "0", "-", "-"}},
        {QStringLiteral("Odd") + kSep + QStringLiteral("Empty"), {"5", "0", "-", "-"}},
        {QStringLiteral("Odd") + kSep + QStringLiteral("Dangling"), {"5", "wma 0", "-", "-"}},
    };
    for (const MusicRow& row : s.window->musicList().rows()) {
        if (const auto found = odd.find(row.caption); found != odd.end()) {
            EXPECT_EQ(row.cells, found->second) << row.caption.toStdString();
        }
    }
}

// Entries that change after the folder list was made: the album phase meets the files as they are
// then, with the sizes the walk took (each entry is measured once, when its folder is listed).
TEST(WindowFaults, ScanOfATreeThatChangesBehindItsBack) {
    MusicTree tree;
    struct Change {
        const char* album;
        std::function<void()> apply;
        bool row; // whether the album still gives a row
    };
    const QByteArray mp3 =
        readAll(QStringLiteral(KORVANE_FUZZ_SEEDS "/mp3/lame-cbr-id3v1-id3v2.mp3"));
    ASSERT_FALSE(mp3.isEmpty());
    const auto albumWithMp3 = [&](const QString& relative) {
        tree.album(relative, 5 * kMiB);
        writeAll(tree.path(relative + QStringLiteral("/01.mp3")), mp3);
    };
    const std::vector<Change> changes = {
        {"G/Vanished", [&] { QDir(tree.path(QStringLiteral("G/Vanished"))).removeRecursively(); },
         false},
        {"G/Mp3Gone", [&] { QFile::remove(tree.path(QStringLiteral("G/Mp3Gone/01.mp3"))); }, true},
        {"G/Mp3Cut", [&] { QFile(tree.path(QStringLiteral("G/Mp3Cut/01.mp3"))).resize(7); }, true},
        {"G/Mp3Pipe",
         [&] {
             const QString path = tree.path(QStringLiteral("G/Mp3Pipe/01.mp3"));
             QFile::remove(path);
             ::mkfifo(QFile::encodeName(path).constData(), 0600);
         },
         true},
        {"G/Shrunk", [&] { QFile(tree.path(QStringLiteral("G/Shrunk/tracks.bin"))).resize(10); },
         true},
        {"G/Replaced",
         [&] {
             QDir(tree.path(QStringLiteral("G/Replaced"))).removeRecursively();
             writeAll(tree.path(QStringLiteral("G/Replaced")), kPrevious);
         },
         false},
    };
    for (const Change& change : changes)
        albumWithMp3(QString::fromLatin1(change.album));

    // The scan runs on the window's job; its host hears of the album phase on the scan's own
    // thread, after the listing and before the first album is measured: the changes land there.
    class Changer final : public MusicScanHost {
    public:
        explicit Changer(const std::vector<Change>& changes) : m_changes(changes) {}
        void albumPhaseBegan() override {
            for (const Change& change : m_changes)
                change.apply();
            changed = true;
        }
        bool changed = false;

    private:
        const std::vector<Change>& m_changes;
    } changer(changes);
    ScanWindow s;
    MusicList list;
    const MusicScanResult result = scanMusic(
        tree.root(),
        readMusicScanOptions(s.window->settings(), s.window->toggles(), s.window->testersMode),
        list, changer);
    ASSERT_TRUE(changer.changed);

    std::multiset<QString> expected;
    for (const Change& change : changes) {
        if (change.row)
            expected.insert(QString::fromLatin1(change.album).replace(u'/', kSep));
    }
    std::multiset<QString> captions;
    for (const MusicRow& row : list.rows())
        captions.insert(row.caption);
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(result.count, static_cast<int>(expected.size()));
}

} // namespace
} // namespace korvane::test
