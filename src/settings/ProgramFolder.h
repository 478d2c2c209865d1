#pragma once

#include <QString>

#include <optional>

// Where set.ini, the bases and the templates live. Portable: all of them beside the executable,
// as the program was designed. Installed (the executable in /usr/bin or another folder the user
// cannot write): set.ini in the user's config folder, the bases and templates in the user's data
// folder, copied there from the installation's share/korvane.
namespace korvane {

// The user's home folder: $HOME when it holds an absolute path, else the password database's
// entry for the user (cron jobs and `env -u HOME` run without HOME). Throws std::runtime_error
// when neither names one, rather than falling back to the root folder.
QString userHome();

// The user's folders for settings and data, as the XDG base directories name them.
struct UserFolders {
    QString config; // $XDG_CONFIG_HOME, ~/.config by default
    QString data;   // $XDG_DATA_HOME, ~/.local/share by default

    // The variables count only when they hold an absolute path, as the XDG rules say.
    static UserFolders fromVariables(const QString& home, const QString& xdgConfigHome,
                                     const QString& xdgDataHome);
    static UserFolders fromEnvironment();
};

class ProgramFolder {
public:
    // A portable program folder: set.ini, the bases and the templates all in dir.
    explicit ProgramFolder(QString dir);
    // set.ini in settingsDir, the bases and the templates in dir.
    ProgramFolder(QString dir, QString settingsDir);

    // The installed program's folders for this user: korvane/ in the config and data folders.
    static ProgramFolder installed(const UserFolders& user);
    // The program folder of the executables in executableDir, portable or installed. Installed,
    // it makes the user's folders and copies the starter files that the user has not got yet.
    static ProgramFolder ofExecutable(const QString& executableDir);

    // Where the bases and the templates are; also the folder the output folder falls back to.
    const QString& dir() const { return m_dir; }
    // The folder with a trailing separator, as save_dir stores folders.
    QString dirWithSeparator() const;
    // A file of the program folder: genrebd.txt, mp3blank.htm, ...
    QString file(const QString& name) const;
    const QString& settingsDir() const { return m_settingsDir; }
    QString settingsPath() const;
    // A file the program ships and the user never changes (the manual): read where the
    // installation keeps it, or from the portable folder, and never copied to the user's folder.
    QString shippedFile(const QString& name) const;

private:
    QString m_dir;
    QString m_settingsDir;
    QString m_shippedDir;
};

// Where an installed program takes its starter files from; nothing when the executables in
// executableDir run portable. Installed means: an installation's share/korvane sits beside the
// executables' folder (the starter files are there), or that folder cannot be written (the
// starter files are the ones beside the executables).
std::optional<QString> installedStarterFolder(const QString& executableDir,
                                              bool executableDirWritable);

// Copies every file of starterDir that targetDir lacks, writable by its owner. A file the user
// has is never replaced.
void copyMissingStarterFiles(const QString& starterDir, const QString& targetDir);

// A folder text with the native separator at its end, added when missing.
QString withTrailingSeparator(const QString& folder);

// The output folder when save_dir is absent: the root of drive D on Windows, the user's home
// folder elsewhere (userHome), with a trailing separator.
QString defaultSaveDir();

} // namespace korvane
