#pragma once

#include <QString>

// The folder beside the executable that holds set.ini, the bases and the templates.
namespace korvane {

class ProgramFolder {
public:
    explicit ProgramFolder(QString dir);

    const QString& dir() const { return m_dir; }
    // The folder with a trailing separator, as save_dir stores folders.
    QString dirWithSeparator() const;
    // A file of the program folder: set.ini, genrebd.txt, mp3blank.htm, ...
    QString file(const QString& name) const;
    QString settingsPath() const { return file(QStringLiteral("set.ini")); }

private:
    QString m_dir;
};

// A folder text with the native separator at its end, added when missing.
QString withTrailingSeparator(const QString& folder);

// The output folder when save_dir is absent: the root of drive D on Windows, the user's home
// folder elsewhere, with a trailing separator.
QString defaultSaveDir();

} // namespace korvane
