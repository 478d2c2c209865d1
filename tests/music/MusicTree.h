#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace korvane::test {

constexpr std::int64_t kMiB = 1024 * 1024;

// A collection tree in a temporary folder. Files are sparse: any size costs no disk.
class MusicTree {
public:
    // Open to every user, so that a check run as another user reaches the folders inside.
    MusicTree() {
        QFile::setPermissions(root(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    }
    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    QString folder(const QString& relative) const {
        QDir().mkpath(path(relative));
        return path(relative);
    }
    // A file of the given size at relative (folders made as needed).
    QString file(const QString& relative, std::int64_t bytes) const {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).path());
        QFile out(full);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.resize(bytes);
        return full;
    }
    // A file holding contents at relative (folders made as needed).
    QString write(const QString& relative, const std::string& contents) const {
        const QString full = path(relative);
        QDir().mkpath(QFileInfo(full).path());
        QFile out(full);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(contents.data(), static_cast<qint64>(contents.size()));
        return full;
    }
    // An album folder holding one file of the given size (no audio: the details stay "-").
    QString album(const QString& relative, std::int64_t bytes) const {
        file(relative + QStringLiteral("/tracks.bin"), bytes);
        return path(relative);
    }
    bool link(const QString& target, const QString& relative) const {
        return QFile::link(target, path(relative));
    }
    // Takes every right away from a folder (and gives them back).
    void lock(const QString& relative) const {
        QFile::setPermissions(path(relative), QFileDevice::Permissions());
    }
    void unlock(const QString& relative) const {
        QFile::setPermissions(path(relative), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
    }

private:
    QTemporaryDir m_dir;
};

// Runs check where folder rights hold: directly for an ordinary user; as root (who reads every
// folder) in a child process switched to the user "nobody".
inline bool holdsWithoutPrivileges(const std::function<bool()>& check) {
    if (geteuid() != 0)
        return check();
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace korvane::test
