#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

// LibreOffice as a reference reader: headless conversions of what the exports write.
namespace korvane::test {

// The office program, empty where LibreOffice is not installed (CI does not install it).
inline QString officeProgram() {
    return QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
}

// Runs `office --headless` with `options` (filters, --convert-to ...) on `files`, writing into
// outDir, with a profile of its own under profileDir so that a running instance or a shared
// profile cannot interfere. Returns the error output, empty on success.
inline QString convertWithOffice(const QString& office, const QString& profileDir,
                                 const QStringList& options, const QString& outDir,
                                 const QStringList& files) {
    QProcess process;
    process.start(office, QStringList{QStringLiteral("-env:UserInstallation=file://") + profileDir,
                                      QStringLiteral("--headless")} +
                              options + QStringList{QStringLiteral("--outdir"), outDir} + files);
    if (!process.waitForFinished(180000))
        return QStringLiteral("LibreOffice did not finish");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("LibreOffice failed: ") +
               QString::fromUtf8(process.readAllStandardError());
    return {};
}

} // namespace korvane::test
