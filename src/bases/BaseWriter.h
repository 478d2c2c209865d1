#pragma once

#include "bases/BaseFile.h"
#include "files/ReportedError.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace korvane {
class CatalogueList;
}

// The two "Сохранить в базу ..." commands: a new base built from the music list alone, one line
// per group and value plus the other forms of names with a leading or trailing "the".
namespace korvane::bases {

// The lines of the base, sorted by the locale's case-insensitive order; a line equal to one
// already held under that order (a difference in letter case only) is dropped, so the first one
// in list order stays. Lines are "key=value" in Windows-1251.
std::vector<std::string> collectBaseLines(const CatalogueList& list, BaseKind kind,
                                          const QString& separator);

// The path the base is written to: the chosen path, with ".txt" appended unless the file name's
// extension is exactly ".txt" (".TXT" gets another ".txt").
QString baseTargetPath(const QString& chosenPath);

// Writes the lines, each followed by CR LF, through a temporary file that replaces the target
// only once complete. Nothing, or what kept the file from being written.
std::optional<FileProblem> writeBaseFile(const QString& path,
                                         const std::vector<std::string>& lines);

struct SaveResult {
    QString path;                       // the target path
    std::optional<FileProblem> problem; // none on success
    // "Cannot create file \"<path>\". <reason>", empty on success.
    QString error() const;
};

// "<path>.bak": where a save keeps the base it replaces.
QString backupPath(const QString& path);

// The whole save after the dialog: lines from the list, the target path, the file; a base it
// replaces is kept as its backup, an older backup replaced. A failure names the file it could
// not create; a failed write leaves every file as it was.
SaveResult saveBase(const CatalogueList& list, BaseKind kind, const QString& separator,
                    const QString& chosenPath);

// "База сохранена в \"<path>\"": the status text after a save.
QString savedStatusText(const QString& path);

} // namespace korvane::bases
