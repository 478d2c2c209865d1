// The window's message for a file we could not write or read: whole in the interface's language
// (the Russian source texts here, with no translator), naming the file, the cause and what to do;
// korvane-cli keeps its line.
#include "files/ReportedError.h"

#include "../music/MusicTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace korvane;

namespace {

const QString kNoPermission = QStringLiteral(
    "Нет прав на запись в папку \"%1\". Выберите другую папку или разрешите запись в эту.");

// The errno a plain create of `path` meets.
int createError(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY | O_EXCL, 0644);
    if (fd >= 0) {
        ::close(fd);
        ::unlink(QFile::encodeName(path).constData());
        return 0;
    }
    return errno;
}

FileProblem creating(const QString& path, int code, const QString& reason = {}) {
    return {FileProblem::Action::Create, path, code, reason};
}

QString written(const QString& path, const QString& cause) {
    return QStringLiteral("Не удалось записать файл \"%1\".\n").arg(path) + cause;
}

TEST(FileProblem, TheMessageNamesTheFileTheCauseAndWhatToDo) {
    const test::MusicTree tree;
    const QString plain = tree.write(QStringLiteral("plain"), "x");
    tree.folder(QStringLiteral("taken.txt"));
    const QString missing = tree.path(QStringLiteral("no such folder"));
    const QString longName = tree.path(QString(300, u'a'));
    struct Case {
        const char* what;
        FileProblem problem;
        QString expected;
    };
    const std::vector<Case> cases{
        {"a missing folder",
         creating(missing + QStringLiteral("/list.txt"),
                  createError(missing + QStringLiteral("/list.txt"))),
         written(missing + QStringLiteral("/list.txt"),
                 QStringLiteral("Папки \"%1\" нет. Создайте её или выберите другую папку.")
                     .arg(missing))},
        {"a missing folder, cause unknown: the folder is looked at",
         creating(missing + QStringLiteral("/list.txt"), 0, QStringLiteral("failed")),
         written(missing + QStringLiteral("/list.txt"),
                 QStringLiteral("Папки \"%1\" нет. Создайте её или выберите другую папку.")
                     .arg(missing))},
        {"a file where the folder should be",
         creating(plain + QStringLiteral("/list.txt"),
                  createError(plain + QStringLiteral("/list.txt"))),
         written(plain + QStringLiteral("/list.txt"),
                 QStringLiteral("\"%1\" не папка, а файл. Выберите другую папку.").arg(plain))},
        {"a folder where the file should be",
         creating(tree.path(QStringLiteral("taken.txt")), 0,
                  QStringLiteral("It is not a regular file.")),
         written(tree.path(QStringLiteral("taken.txt")),
                 QStringLiteral(
                     "Под этим именем уже есть папка или устройство. Выберите другое имя."))},
        {"a folder that takes no new files",
         creating(QStringLiteral("/proc/list.txt"), createError(QStringLiteral("/proc/list.txt"))),
         written(QStringLiteral("/proc/list.txt"), kNoPermission.arg(QStringLiteral("/proc")))},
        {"a name too long", creating(longName, createError(longName)),
         written(longName, QStringLiteral("Имя файла слишком длинное. Выберите имя короче."))},
        {"a full disk", creating(tree.path(QStringLiteral("list.txt")), ENOSPC),
         written(tree.path(QStringLiteral("list.txt")),
                 QStringLiteral("На диске не хватило места. Освободите место или выберите папку на "
                                "другом диске."))},
        {"a read-only file system", creating(tree.path(QStringLiteral("list.txt")), EROFS),
         written(tree.path(QStringLiteral("list.txt")),
                 QStringLiteral("Папка \"%1\" на диске, открытом только для чтения. Выберите "
                                "папку на другом диске.")
                     .arg(tree.root()))},
        {"a rare cause: the system's words", creating(tree.path(QStringLiteral("list.txt")), EBUSY),
         written(tree.path(QStringLiteral("list.txt")),
                 QStringLiteral("Причина: %1. Проверьте файл и папку и попробуйте ещё раз.")
                     .arg(QString::fromLocal8Bit(std::strerror(EBUSY))))},
        {"a missing file to read",
         {FileProblem::Action::Open, tree.path(QStringLiteral("gone.htm")), 0,
          QStringLiteral("No such file")},
         QStringLiteral("Не удалось прочитать файл \"%1\".\nТакого файла нет. Проверьте, что он "
                        "на месте, или выберите другой.")
             .arg(tree.path(QStringLiteral("gone.htm")))},
        {"a folder to read",
         {FileProblem::Action::Open, tree.path(QStringLiteral("taken.txt")), 0,
          QStringLiteral("Not a regular file")},
         QStringLiteral("Не удалось прочитать файл \"%1\".\nЭто не обычный файл, а папка или "
                        "устройство. Выберите файл.")
             .arg(tree.path(QStringLiteral("taken.txt")))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(explainFileProblem(c.problem), c.expected);
        EXPECT_EQ(ReportedError(c.problem).userMessage(), c.expected);
    }
}

// Permissions do not stop root: as root the checks run in a child switched to "nobody".
TEST(FileProblem, ARefusedFolderOrFileSaysSoWithItsCause) {
    const test::MusicTree tree;
    const QString locked = tree.folder(QStringLiteral("locked"));
    const QString kept = tree.write(QStringLiteral("kept.txt"), "x");
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(kept, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QString target = locked + QStringLiteral("/list.txt");
    EXPECT_TRUE(test::holdsWithoutPrivileges([&] {
        const int code = createError(target);
        const QString expected = written(target, kNoPermission.arg(locked));
        return code == EACCES && explainFileProblem(creating(target, code)) == expected &&
               explainFileProblem(creating(target, 0, QStringLiteral("?"))) == expected &&
               explainFileProblem(creating(kept, 0, QStringLiteral("?"))) ==
                   written(kept, QStringLiteral("Файл защищён от записи. Разрешите запись в "
                                                "него или выберите другое имя."));
    }));
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(FileProblem, TheCommandLineKeepsItsLine) {
    const FileProblem problem = creating(QStringLiteral("/x/list.txt"), ENOENT,
                                         QStringLiteral("No such file or directory"));
    EXPECT_EQ(fileProblemText(problem),
              QStringLiteral("Cannot create file \"/x/list.txt\". No such file or directory"));
    EXPECT_EQ(ReportedError(problem).message(), fileProblemText(problem));
    EXPECT_EQ(fileProblemText({FileProblem::Action::Open, QStringLiteral("/x/t.htm"), 0,
                               QStringLiteral("Not a regular file")}),
              QStringLiteral("Cannot open file \"/x/t.htm\". Not a regular file"));
    // A message of our own that names no file stays as it is in the window too.
    EXPECT_EQ(ReportedError(QStringLiteral("Шаблон: ошибка")).userMessage(),
              QStringLiteral("Шаблон: ошибка"));
}

} // namespace
