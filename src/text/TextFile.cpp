#include "text/TextFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::text {
namespace {

std::optional<QByteArray> failure(QString* error, const QString& reason) {
    if (error != nullptr)
        *error = reason;
    return std::nullopt;
}

QString systemReason(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

std::optional<QByteArray> readTextFile(const QString& path, QString* error, qint64 maxBytes) {
    // Non-blocking, so that opening a FIFO returns at once; what it is shows on the open file.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure(error, systemReason(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int code = errno;
        ::close(fd);
        return failure(error, systemReason(code));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return failure(error, QStringLiteral("Not a regular file"));
    }
    const QString tooLarge =
        QStringLiteral("File is larger than %1 MiB").arg(maxBytes / (1024 * 1024));
    if (info.st_size > maxBytes) {
        ::close(fd);
        return failure(error, tooLarge);
    }
    // The size may change while reading: read at most one byte more than allowed.
    QByteArray bytes;
    bytes.resize(static_cast<qsizetype>(info.st_size) + 1);
    qsizetype filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            if (bytes.size() > maxBytes) {
                ::close(fd);
                return failure(error, tooLarge);
            }
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, maxBytes + 1));
        }
        const ssize_t got =
            ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int code = errno;
            ::close(fd);
            return failure(error, systemReason(code));
        }
        if (got == 0)
            break;
        filled += got;
    }
    ::close(fd);
    bytes.truncate(filled);
    return bytes;
}

} // namespace korvane::text
