#include "export/OutputFile.h"

#include "text/LocaleText.h"
#include "text/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::exporter {
namespace {

// Links followed before giving up, as the kernel's own limit for a path.
constexpr int kMaxLinkHops = 40;

QString systemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

[[noreturn]] void failToCreate(const QString& path, int code) {
    throw ReportedError(FileProblem{FileProblem::Action::Create, path, code, systemReason(code)});
}

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

// ".name.XXXXXX" beside the target: the hidden name the temporary files of a write get.
QString temporaryPrefix(const QString& target) {
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + u'.';
}

// A run killed half-way leaves its temporary behind; the next write to the target removes it.
void removeStaleTemporaries(const QString& target) {
    const QFileInfo info(target);
    const QRegularExpression ours(QStringLiteral("^\\.") +
                                  QRegularExpression::escape(info.fileName()) +
                                  QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    const QDir folder = info.absoluteDir();
    const QString pattern = u'.' + info.fileName() + QStringLiteral(".??????");
    for (const QString& name : folder.entryList({pattern}, QDir::Files | QDir::Hidden |
                                                               QDir::NoSymLinks | QDir::System)) {
        if (ours.match(name).hasMatch())
            QFile::remove(folder.filePath(name));
    }
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Bytes gathered before they go to the file: large enough that the file sees few writes.
constexpr size_t kBufferSize = 1 << 16;

} // namespace

void failToCreate(const QString& path, const QString& reason) {
    throw ReportedError(FileProblem{FileProblem::Action::Create, path, 0, reason});
}

QStringList collectLines(const std::function<void(const LineSink&)>& write) {
    QStringList lines;
    write([&lines](const QString& line) { lines << line; });
    return lines;
}

std::string cp1251Lines(const QStringList& lines) {
    std::string bytes;
    for (const QString& line : lines) {
        bytes += text::toCp1251(line);
        bytes += "\r\n";
    }
    return bytes;
}

QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines << text.mid(start, i - start);
        i += (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString replaceableTarget(const QString& path) {
    QString target = QFileInfo(path).absoluteFilePath();
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(nativePath(target).constData(), &info) != 0) {
            if (errno == ENOENT)
                return target; // a new file
            failToCreate(path, errno);
        }
        if (S_ISREG(info.st_mode))
            return target;
        if (!S_ISLNK(info.st_mode))
            failToCreate(path, QStringLiteral("It is not a regular file."));
        // One hop: the absolute path of what the link names, relative links read from the
        // link's own folder.
        const QString linked = QFile::symLinkTarget(target);
        if (linked.isEmpty())
            failToCreate(path, QStringLiteral("The link cannot be read."));
        target = QFileInfo(linked).absoluteFilePath();
    }
    failToCreate(path, ELOOP);
}

ReplacementFile::ReplacementFile(const QString& path)
    : m_path(path), m_target(replaceableTarget(path)) {
    removeStaleTemporaries(m_target);
    QByteArray name = nativePath(temporaryPrefix(m_target) + QStringLiteral("XXXXXX"));
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0)
        failToCreate(m_path, errno);
    m_temporaryPath = QFile::decodeName(name);
}

ReplacementFile::~ReplacementFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(nativePath(m_temporaryPath).constData());
}

void ReplacementFile::write(std::string_view bytes) {
    m_buffer += bytes;
    if (m_buffer.size() >= kBufferSize)
        flushBuffer();
}

void ReplacementFile::writeText(const QString& text) {
    write(text::toCp1251(text));
}

void ReplacementFile::writeLine(const QString& line, bool utf8) {
    if (utf8)
        write(line.toStdString());
    else
        writeText(line);
    write("\r\n");
}

void ReplacementFile::flushBuffer() {
    std::string_view bytes = m_buffer;
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            failToCreate(m_path, written < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    m_buffer.clear();
}

void ReplacementFile::commit() {
    flushBuffer();
    struct stat existing {};
    const QByteArray target = nativePath(m_target);
    const mode_t mode = ::stat(target.constData(), &existing) == 0 ? (existing.st_mode & 07777)
                                                                   : (0666 & ~currentUmask());
    const int fd = m_fd;
    m_fd = -1;
    const QByteArray temporary = nativePath(m_temporaryPath);
    // Some file systems report a full disk only when the file is closed. The mode is set by name:
    // a library writing the file by name may have made it anew.
    if (::close(fd) != 0 || ::chmod(temporary.constData(), mode) != 0)
        failToCreate(m_path, errno);
    if (::rename(temporary.constData(), target.constData()) != 0)
        failToCreate(m_path, errno);
    m_committed = true;
}

void replaceFile(const QString& path, std::string_view bytes) {
    ReplacementFile file(path);
    file.write(bytes);
    file.commit();
}

QString readCp1251File(const QString& path) {
    QString reason;
    const std::optional<QByteArray> bytes = text::readTextFile(path, &reason);
    if (!bytes)
        throw ReportedError(FileProblem{FileProblem::Action::Open, path, 0, reason});
    return text::fromCp1251(
        std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())));
}

} // namespace korvane::exporter
