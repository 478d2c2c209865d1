#include "app/QtDesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace korvane {

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
    const QString chosen = QFileDialog::getExistingDirectory(m_owner, caption, preselect,
                                                             QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> QtDesktop::chooseSaveFile(const QString& folder, const QString& fileName) {
    QFileDialog dialog(m_owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDirectory(folder);
    dialog.selectFile(fileName);
    dialog.setNameFilter(QStringLiteral("*.txt"));
    // The file is replaced without a question, and no extension is added by the dialog.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

bool QtDesktop::openWithShell(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtDesktop::spreadsheetAppRegistered() {
    // The desktop's default application for the workbook type, as the file managers ask for it.
    QProcess query;
    query.start(
        QStringLiteral("xdg-mime"),
        {QStringLiteral("query"), QStringLiteral("default"),
         QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0)
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

void QtDesktop::beep() {
    QApplication::beep();
}

} // namespace korvane
