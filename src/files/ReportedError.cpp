#include "files/ReportedError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace korvane {
namespace {

// What stands in for an errno when the path is there but is no regular file, or a file that
// may not be written.
constexpr int kNotRegular = -1;
constexpr int kReadOnlyFile = -2;

// The cause when the failure gave no errno: what the file system shows now.
int probableCause(const FileProblem& problem) {
    const QByteArray path = QFile::encodeName(QFileInfo(problem.path).absoluteFilePath());
    struct stat info {};
    const bool exists = ::stat(path.constData(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode))
        return kNotRegular;
    if (problem.action == FileProblem::Action::Open) {
        if (!exists)
            return errno;
        return ::access(path.constData(), R_OK) != 0 ? errno : 0;
    }
    if (exists && ::access(path.constData(), W_OK) != 0)
        return kReadOnlyFile;
    const QByteArray folder = QFile::encodeName(QFileInfo(problem.path).absolutePath());
    if (::stat(folder.constData(), &info) != 0)
        return errno;
    if (!S_ISDIR(info.st_mode))
        return ENOTDIR;
    struct statvfs volume {};
    if (::statvfs(folder.constData(), &volume) == 0) {
        if ((volume.f_flag & ST_RDONLY) != 0)
            return EROFS;
        if (volume.f_bavail == 0)
            return ENOSPC;
    }
    return ::access(folder.constData(), W_OK) != 0 ? errno : 0;
}

// The cause and what to do, each a sentence.
QString causeAndAdvice(const FileProblem& problem, int code) {
    const bool create = problem.action == FileProblem::Action::Create;
    const QString folder = QDir::toNativeSeparators(QFileInfo(problem.path).absolutePath());
    switch (code) {
    case EACCES:
    case EPERM:
        return create ? QCoreApplication::translate(
                            "FileProblem",
                            "Нет прав на запись в папку \"%1\". Выберите другую папку или "
                            "разрешите запись в эту.")
                            .arg(folder)
                      : QCoreApplication::translate(
                            "FileProblem",
                            "Нет прав на чтение этого файла. Разрешите его чтение или выберите "
                            "другой файл.");
    case EROFS:
        return QCoreApplication::translate(
                   "FileProblem",
                   "Папка \"%1\" на диске, открытом только для чтения. Выберите папку на другом "
                   "диске.")
            .arg(folder);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QCoreApplication::translate(
            "FileProblem",
            "На диске не хватило места. Освободите место или выберите папку на другом "
            "диске.");
    case ENOTDIR:
        if (create)
            return QCoreApplication::translate("FileProblem",
                                               "\"%1\" не папка, а файл. Выберите другую папку.")
                .arg(folder);
        [[fallthrough]];
    case ENOENT:
        return create
                   ? QCoreApplication::translate(
                         "FileProblem", "Папки \"%1\" нет. Создайте её или выберите другую папку.")
                         .arg(folder)
                   : QCoreApplication::translate(
                         "FileProblem",
                         "Такого файла нет. Проверьте, что он на месте, или выберите другой.");
    case ENAMETOOLONG:
        return QCoreApplication::translate("FileProblem",
                                           "Имя файла слишком длинное. Выберите имя короче.");
    case ELOOP:
        return QCoreApplication::translate(
            "FileProblem",
            "Ссылки на этот файл ведут по кругу. Исправьте ссылки или выберите другое имя.");
    case EIO:
        return QCoreApplication::translate(
            "FileProblem", "Диск сообщил об ошибке. Проверьте диск и попробуйте ещё раз.");
    case kNotRegular:
        return create ? QCoreApplication::translate(
                            "FileProblem",
                            "Под этим именем уже есть папка или устройство. Выберите другое имя.")
                      : QCoreApplication::translate(
                            "FileProblem",
                            "Это не обычный файл, а папка или устройство. Выберите файл.");
    case kReadOnlyFile:
        return QCoreApplication::translate(
            "FileProblem",
            "Файл защищён от записи. Разрешите запись в него или выберите другое имя.");
    default:
        // Rare causes: the system's own words (or ours) at least say what happened.
        return QCoreApplication::translate(
                   "FileProblem", "Причина: %1. Проверьте файл и папку и попробуйте ещё раз.")
            .arg((code > 0 ? QString::fromLocal8Bit(std::strerror(code)) : problem.reason)
                     .trimmed()
                     .remove(QRegularExpression(QStringLiteral("\\.$"))));
    }
}

} // namespace

QString fileProblemText(const FileProblem& problem) {
    return (problem.action == FileProblem::Action::Create
                ? QStringLiteral("Cannot create file \"%1\". %2")
                : QStringLiteral("Cannot open file \"%1\". %2"))
        .arg(QDir::toNativeSeparators(problem.path), problem.reason);
}

QString explainFileProblem(const FileProblem& problem) {
    int code = problem.code != 0 ? problem.code : probableCause(problem);
    // A folder that is there but takes no new files (/proc, some mounts) answers "no such file".
    if (code == ENOENT && problem.action == FileProblem::Action::Create &&
        QFileInfo(QFileInfo(problem.path).absolutePath()).isDir())
        code = EACCES;
    const QString path = QDir::toNativeSeparators(problem.path);
    const QString what =
        problem.action == FileProblem::Action::Create
            ? QCoreApplication::translate("FileProblem", "Не удалось записать файл \"%1\".")
                  .arg(path)
            : QCoreApplication::translate("FileProblem", "Не удалось прочитать файл \"%1\".")
                  .arg(path);
    return what + u'\n' + causeAndAdvice(problem, code);
}

ReportedError::ReportedError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

ReportedError::ReportedError(const FileProblem& problem)
    : ReportedError(fileProblemText(problem), problem) {}

ReportedError::ReportedError(const QString& message, const FileProblem& problem)
    : ReportedError(message) {
    m_problem = problem;
}

QString ReportedError::userMessage() const {
    return m_problem ? explainFileProblem(*m_problem) : m_message;
}

} // namespace korvane
