#include "settings/ProgramFolder.h"

#include <QDir>

namespace korvane {

ProgramFolder::ProgramFolder(QString dir) : m_dir(std::move(dir)) {
    while (m_dir.size() > 1 && m_dir.endsWith(QDir::separator()))
        m_dir.chop(1);
}

QString ProgramFolder::dirWithSeparator() const {
    return withTrailingSeparator(m_dir);
}

QString ProgramFolder::file(const QString& name) const {
    return dirWithSeparator() + name;
}

QString withTrailingSeparator(const QString& folder) {
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

QString defaultSaveDir() {
#ifdef Q_OS_WIN
    return QStringLiteral("D:\\");
#else
    return withTrailingSeparator(QDir::toNativeSeparators(QDir::homePath()));
#endif
}

} // namespace korvane
