#include "settings/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

namespace korvane {
namespace {

QString withoutTrailingSeparators(QString dir) {
    while (dir.size() > 1 && dir.endsWith(QDir::separator()))
        dir.chop(1);
    return dir;
}

QString absoluteOr(const QString& path, const QString& fallback) {
    return !path.isEmpty() && QDir::isAbsolutePath(path) ? path : fallback;
}

} // namespace

QString userHome() {
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty() && QDir::isAbsolutePath(home))
        return home;
#ifdef Q_OS_WIN
    return QDir::homePath();
#else
    const passwd* entry = ::getpwuid(::getuid());
    if (entry != nullptr && entry->pw_dir != nullptr) {
        const QString fromDatabase = QFile::decodeName(entry->pw_dir);
        if (QDir::isAbsolutePath(fromDatabase))
            return fromDatabase;
    }
    throw std::runtime_error("no home folder: HOME is not set and the password database has no "
                             "home for this user");
#endif
}

UserFolders UserFolders::fromVariables(const QString& home, const QString& xdgConfigHome,
                                       const QString& xdgDataHome) {
    return {absoluteOr(xdgConfigHome, home + QStringLiteral("/.config")),
            absoluteOr(xdgDataHome, home + QStringLiteral("/.local/share"))};
}

UserFolders UserFolders::fromEnvironment() {
    return fromVariables(userHome(), qEnvironmentVariable("XDG_CONFIG_HOME"),
                         qEnvironmentVariable("XDG_DATA_HOME"));
}

ProgramFolder::ProgramFolder(QString dir) : ProgramFolder(dir, dir) {}

ProgramFolder::ProgramFolder(QString dir, QString settingsDir)
    : m_dir(withoutTrailingSeparators(std::move(dir))),
      m_settingsDir(withoutTrailingSeparators(std::move(settingsDir))), m_shippedDir(m_dir) {}

ProgramFolder ProgramFolder::installed(const UserFolders& user) {
    return ProgramFolder(user.data + QStringLiteral("/korvane"),
                         user.config + QStringLiteral("/korvane"));
}

ProgramFolder ProgramFolder::ofExecutable(const QString& executableDir) {
    const std::optional<QString> starters =
        installedStarterFolder(executableDir, QFileInfo(executableDir).isWritable());
    if (!starters)
        return ProgramFolder(executableDir);
    ProgramFolder folder = installed(UserFolders::fromEnvironment());
    folder.m_shippedDir = *starters;
    // A folder that cannot be made shows later, as the error of the write that needs it.
    QDir().mkpath(folder.settingsDir());
    QDir().mkpath(folder.dir());
    copyMissingStarterFiles(*starters, folder.dir());
    return folder;
}

QString ProgramFolder::dirWithSeparator() const {
    return withTrailingSeparator(m_dir);
}

QString ProgramFolder::file(const QString& name) const {
    return dirWithSeparator() + name;
}

QString ProgramFolder::shippedFile(const QString& name) const {
    return withTrailingSeparator(m_shippedDir) + name;
}

QString ProgramFolder::settingsPath() const {
    return withTrailingSeparator(m_settingsDir) + QStringLiteral("set.ini");
}

std::optional<QString> installedStarterFolder(const QString& executableDir,
                                              bool executableDirWritable) {
    const QString share = QDir::cleanPath(executableDir + QStringLiteral("/../share/korvane"));
    if (QFileInfo(share).isDir())
        return share;
    if (!executableDirWritable)
        return executableDir;
    return std::nullopt;
}

void copyMissingStarterFiles(const QString& starterDir, const QString& targetDir) {
    const QDir starters(starterDir);
    for (const QString& name : starters.entryList(QDir::Files)) {
        const QString target = QDir(targetDir).filePath(name);
        // A name the user has is left alone, even as a link that leads nowhere.
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
            continue;
        if (QFile::copy(starters.filePath(name), target))
            QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
}

QString withTrailingSeparator(const QString& folder) {
    return folder.endsWith(QDir::separator()) ? folder : folder + QDir::separator();
}

QString defaultSaveDir() {
#ifdef Q_OS_WIN
    return QStringLiteral("D:\\");
#else
    return withTrailingSeparator(QDir::toNativeSeparators(userHome()));
#endif
}

} // namespace korvane
