#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string_view>

namespace korvane::test {

// A temporary folder that lives as long as the test, with small helpers to write files in it.
class TempDir {
public:
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

    // Writes raw bytes (Windows-1251 texts included) and returns the full path.
    QString write(const QString& name, std::string_view bytes) const {
        const QString full = file(name);
        QDir().mkpath(QFileInfo(full).path());
        QFile out(full);
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        out.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return full;
    }

    QByteArray read(const QString& name) const {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
};

} // namespace korvane::test
