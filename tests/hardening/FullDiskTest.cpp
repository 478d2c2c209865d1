// Writers on a disk that is really full: a small tmpfs mounted in a mount namespace of a child
// process (skipped where the machine does not allow one). The previous file stays, the error
// names the file and the system's reason, and once there is room again the write succeeds.
#include "bases/BaseWriter.h"
#include "catalogue/CatalogueStore.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"
#include "export/SheetPlan.h"
#include "export/WorkbookCheck.h"
#include "export/XlsxWorkbook.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingsFile.h"
#include "settings/Toggles.h"
#include "text/LocaleText.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::test {
namespace {

constexpr int kNoNamespace = 77;
const QByteArray kPrevious = "the file the user had before\r\n";

bool writeText(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_TRUNC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// A private mount namespace (a user namespace too when not root) in which `dir` is a small tmpfs.
bool mountSmallDisk(const std::string& dir, const char* size = "64k") {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        writeText("/proc/self/setgroups", "deny");
        writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    ::mkdir(dir.c_str(), 0700);
    const std::string options = std::string("size=") + size;
    return ::mount("korvane-full", dir.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// Fills the disk to the last byte with a ballast file.
void fill(const QString& dir) {
    QFile ballast(dir + QStringLiteral("/ballast"));
    ballast.open(QIODevice::WriteOnly);
    const QByteArray block(4096, 'b');
    while (ballast.write(block) == block.size() && ballast.flush()) {
    }
    const QByteArray byte(1, 'b');
    while (ballast.write(byte) == 1 && ballast.flush()) {
    }
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Runs `body` on a full disk in a child process; its failures come back as the exit status.
void onFullDisk(const std::function<bool(const QString& dir)>& body, const char* size = "64k") {
    const std::string dir = "/tmp/korvane-full-" + std::to_string(::getpid());
    const pid_t child = ::fork();
    if (child == 0) {
        if (!mountSmallDisk(dir, size))
            ::_exit(kNoNamespace);
        ::_exit(body(QString::fromStdString(dir)) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::rmdir(dir.c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoNamespace)
        GTEST_SKIP() << "no mount namespace here: the write-limit stand-in covers the full disk";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the child reported a failure (see its output above)";
}

// Prints why a check failed; the child has no gtest to report to.
bool check(bool condition, const char* what) {
    if (!condition)
        std::fprintf(stderr, "full disk: %s\n", what);
    return condition;
}

// Prepares the previous file and the settings, fills the disk, runs the write, then checks the
// previous file, the folder and the error; with room again the write must succeed.
bool failsThenWorks(const QString& dir, const QString& target,
                    const std::function<QString()>& write) {
    QFile previous(target);
    previous.open(QIODevice::WriteOnly);
    previous.write(kPrevious);
    previous.close();
    fill(dir);
    const QStringList before = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    const QString error = write();
    bool ok =
        check(error.startsWith(QStringLiteral("Cannot create file \"") + target +
                               QStringLiteral("\". ")),
              "the error names the file") &&
        check(error.endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))),
              "the error gives the system's reason") &&
        check(readAll(target) == kPrevious, "the previous file is intact") &&
        check(QDir(dir).entryList(QDir::Files | QDir::Hidden) == before, "no temporary file stays");
    QFile::remove(dir + QStringLiteral("/ballast"));
    ok = ok && check(write().isEmpty(), "with room again the write succeeds") &&
         check(readAll(target) != kPrevious, "the new file replaced the old one");
    return ok;
}

std::vector<CatalogueRow> rows(int count = 50) {
    std::vector<CatalogueRow> out;
    for (int i = 0; i < count; ++i)
        out.push_back(
            {QStringLiteral("Группа %1  \\  Альбом").arg(i), {"41,2", "192", "Rock", "-"}});
    return out;
}

// A set.ini that sends the exports into `dir`.
void writeSaveDirSettings(const QString& dir) {
    QFile ini(dir + QStringLiteral("/set.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(
        text::toCp1251(QStringLiteral("[options]\r\nsave_dir=") + dir + QStringLiteral("/\r\n"))
            .c_str());
}

TEST(FullDisk, ExportsKeepThePreviousFile) {
    onFullDisk([](const QString& dir) {
        writeSaveDirSettings(dir);
        SettingsFile settings(dir + QStringLiteral("/set.ini"));
        const auto txt = [&] {
            try {
                exporter::writeMusicTxt(rows(), settings, Toggles(), QDate(2026, 12, 10));
                return QString();
            } catch (const ReportedError& error) {
                return error.message();
            }
        };
        return failsThenWorks(dir, dir + QStringLiteral("/mp3list.txt"), txt);
    });
}

TEST(FullDisk, HtmlExportKeepsThePreviousFile) {
    onFullDisk([](const QString& dir) {
        writeSaveDirSettings(dir);
        QFile page(dir + QStringLiteral("/mp3blank.htm"));
        page.open(QIODevice::WriteOnly);
        page.write("<table>##\xD2\xC0\xC1\xCB\xC8\xD6\xC0##</table>\r\n");
        page.close();
        SettingsFile settings(dir + QStringLiteral("/set.ini"));
        const auto html = [&] {
            try {
                exporter::writeMusicHtml(rows(), settings, Toggles(), ProgramFolder(dir));
                return QString();
            } catch (const ReportedError& error) {
                return error.message();
            }
        };
        return failsThenWorks(dir, dir + QStringLiteral("/mp3list.htm"), html);
    });
}

// The library builds the workbook's parts in temporary files, which move from memory to the
// temporary folder once they grow past a megabyte: there the disk fills, while the target's
// folder has room. The library writes short parts without an error; the check of the written
// workbook must catch them before the rename.
TEST(FullDisk, WorkbookKeepsThePreviousFileWhenTheTemporaryFolderFills) {
    const std::string temporary = "/tmp";
    const pid_t child = ::fork();
    if (child == 0) {
        // A first workbook loads the module: a checkout under /tmp would be hidden by the small
        // disk, and the write would fail for the missing module instead of the full disk.
        const std::string first = "/tmp/korvane-first-" + std::to_string(::getpid()) + ".xlsx";
        try {
            exporter::writeWorkbook(exporter::musicSheetPlan(rows(1), QStringLiteral("music"),
                                                             QStringLiteral("  \\  "), true, false),
                                    QString::fromStdString(first));
        } catch (const ReportedError&) {
            check(false, "the workbook module loads");
            ::_exit(1);
        }
        ::unlink(first.c_str());
        // The small disk at /tmp itself, where the library's large temporary files go; a roomy
        // one inside it for the target.
        if (!mountSmallDisk(temporary, "16m"))
            ::_exit(kNoNamespace);
        const QString target = QStringLiteral("/tmp/target");
        ::mkdir("/tmp/target", 0700);
        if (::mount("korvane-room", "/tmp/target", "tmpfs", 0, "size=16m") != 0)
            ::_exit(kNoNamespace);
        QFile previous(target + QStringLiteral("/list.xlsx"));
        previous.open(QIODevice::WriteOnly);
        previous.write(kPrevious);
        previous.close();
        fill(QStringLiteral("/tmp"));
        const exporter::SheetPlan plan = exporter::musicSheetPlan(
            rows(20000), QStringLiteral("music"), QStringLiteral("  \\  "), true, false);
        QString error;
        try {
            exporter::writeWorkbook(plan, target + QStringLiteral("/list.xlsx"));
        } catch (const ReportedError& e) {
            error = e.message();
        }
        // The first failure is the writer's own, on the full disk: a check of the module's
        // presence would only say that it is missing.
        if (!error.isEmpty())
            std::fprintf(stderr, "full disk: the write said: %s\n", qPrintable(error));
        bool ok = check(!error.isEmpty(), "the write is reported as failed") &&
                  check(error.startsWith(QStringLiteral("Cannot create file \"") + target +
                                         QStringLiteral("/list.xlsx\". ")),
                        "the writer names the workbook it could not write") &&
                  check(!error.contains(QStringLiteral("korvane_xlsx")),
                        "the write failed for the full disk, not for the module") &&
                  check(readAll(target + QStringLiteral("/list.xlsx")) == kPrevious,
                        "the previous workbook is intact") &&
                  check(QDir(target).entryList(QDir::Files | QDir::Hidden) ==
                            QStringList{QStringLiteral("list.xlsx")},
                        "no temporary file stays");
        QFile::remove(QStringLiteral("/tmp/ballast"));
        try {
            exporter::writeWorkbook(plan, target + QStringLiteral("/list.xlsx"));
        } catch (const ReportedError&) {
            ok = check(false, "with room again the write succeeds");
        }
        ok = ok && check(exporter::workbookProblem(target + QStringLiteral("/list.xlsx")).isEmpty(),
                         "the new workbook is complete");
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoNamespace)
        GTEST_SKIP() << "no mount namespace here";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the child reported a failure (see its output above)";
}

TEST(FullDisk, BaseSaveKeepsThePreviousFile) {
    onFullDisk([](const QString& dir) {
        std::vector<std::string> lines;
        for (int i = 0; i < 200; ++i)
            lines.push_back("group " + std::to_string(i) + "=Rock");
        const QString target = dir + QStringLiteral("/genrebd.txt");
        return failsThenWorks(dir, target, [&] {
            const std::optional<FileProblem> problem = bases::writeBaseFile(target, lines);
            return problem ? fileProblemText(*problem) : QString();
        });
    });
}

TEST(FullDisk, SettingsWriteKeepsTheFile) {
    onFullDisk([](const QString& dir) {
        const QString path = dir + QStringLiteral("/set.ini");
        QFile ini(path);
        ini.open(QIODevice::WriteOnly);
        ini.write("[options]\r\nmin_limit=3\r\n");
        ini.close();
        fill(dir);
        SettingsFile settings(path);
        bool refused = false;
        try {
            settings.writeText(u"mp3dir", QString(3000, u'x'));
        } catch (const ReportedError& error) {
            refused = error.message() == QStringLiteral("Unable to write to ") + path;
        }
        return check(refused, "the write is refused with its message") &&
               check(readAll(path) == "[options]\r\nmin_limit=3\r\n", "set.ini is intact") &&
               check(settings.readInteger(u"min_limit", 0) == 3, "set.ini still reads");
    });
}

// A catalogue on a full disk is a healthy file that cannot be written: it stays where it is,
// the reason is given and nothing is stored; with room again its list is all there.
TEST(FullDisk, CatalogueIsLeftWhereItIsAndNothingStored) {
    onFullDisk(
        [](const QString& dir) {
            const QString path = dir + QStringLiteral("/korvane.db");
            const QString album = dir + QStringLiteral("/music/Group/Album");
            QDir().mkpath(album);
            QFile(album + QStringLiteral("/tracks.bin")).open(QIODevice::WriteOnly);
            StoredList list{rows(), 50, {}};
            {
                CatalogueStore store(path);
                if (!check(store.save(StoredListName::Music, list), "the list is stored"))
                    return false;
            }
            const QByteArray before = readAll(path);
            fill(dir);
            bool ok = true;
            {
                CatalogueStore store(path);
                std::optional<StoredList> loaded;
                if (store.isUsable())
                    loaded = store.load(StoredListName::Music);
                const bool saved = store.save(StoredListName::Music, StoredList{});
                ok = check(!saved, "nothing is stored") &&
                     check(store.state() != CatalogueStore::State::SetAside, "not set aside") &&
                     check(store.message().contains(QStringLiteral("disk is full")) ||
                               store.message().contains(QStringLiteral("disk I/O error")),
                           "the reason is given");
                if (!ok)
                    std::fprintf(stderr, "full disk: %s\n", qPrintable(store.message()));
            }
            // The command line the same way: exit 1, the reason on stderr, the file kept.
            QProcess cli;
            cli.start(QStringLiteral(KORVANE_BIN_DIR "/korvane-cli"),
                      {"--dir", dir, "music", dir + QStringLiteral("/music"), "--store"});
            cli.waitForFinished(60000);
            const QString err = QString::fromUtf8(cli.readAllStandardError());
            ok = check(cli.exitCode() == 1, "the command line fails") &&
                 check(err.contains(QStringLiteral("korvane.db")), "its message names the file") &&
                 ok;
            if (cli.exitCode() != 1)
                std::fprintf(stderr, "full disk: %s\n", qPrintable(err));
            ok = check(QDir(dir).entryList({QStringLiteral("*.broken*")}).isEmpty(),
                       "no file is set aside") &&
                 check(readAll(path) == before, "the catalogue is intact") && ok;
            QFile::remove(dir + QStringLiteral("/ballast"));
            CatalogueStore store(path);
            const std::optional<StoredList> kept = store.load(StoredListName::Music);
            return check(kept && kept->rows == list.rows,
                         "with room again the list is all there") &&
                   ok;
        },
        "512k");
}

} // namespace
} // namespace korvane::test
