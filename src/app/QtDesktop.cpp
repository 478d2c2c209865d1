#include "app/QtDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace korvane {
namespace {

// Waits at most ms for a started process to end, in a local event loop (as a dialog does), so
// that the window goes on drawing and answering meanwhile. True when it ended.
bool waitForEnd(QProcess& process, int ms) {
    if (process.state() == QProcess::NotRunning)
        return true;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return process.state() == QProcess::NotRunning;
}

// The desktop's default application for a file type, as the file managers ask for it.
bool applicationRegisteredFor(const QString& mimeType) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForStarted() || !waitForEnd(query, 5000) ||
        query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

void QtDesktop::showMessage(const QString& text) {
    QMessageBox::information(m_owner, QApplication::applicationName(), text);
}

void QtDesktop::showError(const QString& text) {
    QMessageBox::critical(m_owner, QApplication::applicationName(), text);
}

bool QtDesktop::askYesNo(const QString& title, const QString& text) {
    return QMessageBox::question(m_owner, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

std::optional<QString> QtDesktop::chooseFolder(const QString& caption, const QString& preselect) {
    // With nothing to preselect (the first run, a vanished folder) the dialog starts at home
    // rather than in whatever folder the program was started from.
    const QString start = preselect.isEmpty() ? QDir::homePath() : preselect;
    const QString chosen =
        QFileDialog::getExistingDirectory(m_owner, caption, start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> QtDesktop::chooseSaveFile(const QString& folder, const QString& fileName,
                                                 const QString& filter) {
    QFileDialog dialog(m_owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(folder);
    dialog.selectFile(fileName);
    dialog.setNameFilter(filter);
    // The caller asks before replacing: the path it writes may differ from the chosen one (an
    // extension is added), and no extension is added by the dialog.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

bool QtDesktop::openWithShell(const QString& path) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) // not a freedesktop desktop: Qt's own answer is all there is
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!QFileInfo(path).isFile() ||
        !applicationRegisteredFor(QMimeDatabase().mimeTypeForFile(path).name()))
        return false;
    auto* process = new QProcess(QCoreApplication::instance());
    process->start(opener, {path});
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    // Most desktops' openers hand the file over and end at once; the generic one runs the
    // application itself, so one still running after a while has handed it over too.
    if (waitForEnd(*process, 3000)) {
        const bool handed =
            process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return handed;
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
}

void QtDesktop::showMessageWithFolder(const QString& text, const QString& path) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok,
                    m_owner);
    QPushButton* openFolder =
        box.addButton(QCoreApplication::translate("korvane::QtDesktop", "Открыть папку"),
                      QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == openFolder)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

bool QtDesktop::confirmReplace(const QString& path) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QCoreApplication::translate("korvane::QtDesktop",
                                                "Файл \"%1\" уже существует. Заменить его?")
                        .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Cancel, m_owner);
    QPushButton* replace = box.addButton(
        QCoreApplication::translate("korvane::QtDesktop", "Заменить"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == replace;
}

bool QtDesktop::spreadsheetAppRegistered() {
    return applicationRegisteredFor(
        QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"));
}

void QtDesktop::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

void QtDesktop::beep() {
    QApplication::beep();
}

} // namespace korvane
