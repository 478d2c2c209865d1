#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace korvane::test {

constexpr std::int64_t kMiB = 1024 * 1024;

// A collection tree in a temporary folder. Files are sparse: any size costs no disk.
class MusicTree {
public:
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
    // An album folder holding one file of the given size (no audio: the details stay "-").
    QString album(const QString& relative, std::int64_t bytes) const {
        file(relative + QStringLiteral("/tracks.bin"), bytes);
        return path(relative);
    }
    bool link(const QString& target, const QString& relative) const {
        return QFile::link(target, path(relative));
    }

private:
    QTemporaryDir m_dir;
};

} // namespace korvane::test
