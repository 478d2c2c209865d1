#include "app/MainWindow.h"

#include "desktop/Desktop.h"
#include "export/ExportFormats.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"
#include "export/XlsxWorkbook.h"
#include "jobs/Job.h"
#include "music/MusicList.h"
#include "video/VideoList.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Handlers of the export commands of both lists.
namespace korvane {
namespace {

ListKind listKind(bool music) {
    return music ? ListKind::Music : ListKind::Video;
}

// An export on the list's job, off the window's thread: `work` there with rows of its own, then
// `done` here with what it made; a failure of either shows its text. A second long command on
// the list meanwhile is refused.
template <typename Result>
void runExportJob(ListPage& page, Desktop& desktop, std::function<Result()> work,
                  std::function<void(Result&)> done) {
    if (page.refuseWhileRunning())
        return;
    struct Outcome {
        std::optional<Result> value;
        std::optional<ReportedError> error;
    };
    auto outcome = std::make_shared<Outcome>();
    page.job().start(
        [work = std::move(work), outcome](const std::stop_token&) {
            try {
                outcome->value = work();
            } catch (const ReportedError& error) {
                outcome->error = error;
            }
        },
        [&desktop, outcome, done = std::move(done)] {
            try {
                if (outcome->error)
                    throw *outcome->error;
                if (outcome->value)
                    done(*outcome->value);
            } catch (const ReportedError& error) {
                desktop.showError(error.userMessage());
            }
        });
}

} // namespace

QString fileNotOpenedMessage(const QString& path) {
    return QCoreApplication::translate(
               "korvane::MainWindow",
               "Файл \"%1\" сохранён, но открыть его не удалось: для файлов этого "
               "типа не назначена программа.")
        .arg(path);
}

bool MainWindow::openWrittenFile(const QString& path) {
    if (m_desktop.openWithShell(path))
        return true;
    if (QFileInfo(path).isFile())
        m_desktop.showMessageWithFolder(fileNotOpenedMessage(path), path);
    else
        m_desktop.showMessage(tr("Файл \"%1\" не найден.").arg(path));
    return false;
}

ListPage& MainWindow::page(bool music) {
    return music ? *m_musicPage : *m_videoPage;
}

// The workbook goes to a temporary folder and the desktop's spreadsheet application opens it.
// When no application takes it, it is kept in the output folder instead: the temporary folders
// are cleared a day later, and a workbook reported as saved must not vanish.
void MainWindow::exportWorkbook(bool music) {
    const CatalogueList& list = m_session.list(listKind(music));
    if (list.isEmpty())
        return;
    // checkexcel asks the desktop first, for the music list only.
    if (music && Settings(settings()).spreadsheetCheck() && !desktop().spreadsheetAppRegistered()) {
        desktop().showMessage(exporter::noSpreadsheetMessage());
        return;
    }
    struct Sent {
        std::shared_ptr<exporter::SheetPlan> plan;
        QString path;
    };
    const ExportSource source = m_session.exportSource(listKind(music), false);
    const QString settingsPath = settings().path();
    runExportJob<Sent>(
        page(music), m_desktop,
        [source, settingsPath, toggles = toggles()] {
            SettingsFile file(settingsPath);
            auto plan = std::make_shared<exporter::SheetPlan>(
                exporter::listSheet(*source.list, Settings(file), toggles));
            return Sent{plan, exporter::writeWorkbookToTemporaryFolder(*plan)};
        },
        [this, music](Sent& sent) {
            if (m_desktop.openWithShell(sent.path)) {
                setStatusText(exporter::workbookSentMessage());
                return;
            }
            exporter::discardTemporaryWorkbook(sent.path);
            const QString path = exporter::workbookOutputPath(Settings(settings()), *sent.plan);
            if (QFileInfo::exists(path) && !m_desktop.confirmReplace(path))
                return;
            runExportJob<QString>(
                page(music), m_desktop,
                [plan = sent.plan, path] {
                    exporter::writeWorkbook(*plan, path);
                    return path;
                },
                [this](QString& path) {
                    lastWrittenFile = {true, path};
                    setStatusText(exporter::fileCreatedMessage(path));
                    m_desktop.showMessageWithFolder(fileNotOpenedMessage(path), path);
                });
        });
}

// What a Unicode export of the window writes: the whole list, or, with "Новое с последней
// публикации", what changed since it was last published (the whole list when it never was).
ExportSource MainWindow::exportedList(bool music, bool publishable) {
    return m_session.exportSource(listKind(music), publishable && m_ui.sincePublished->isChecked());
}

// With "Отметить как опубликованный", the whole list becomes the published one.
void MainWindow::markIfChosen(bool music) {
    if (m_ui.markPublished->isChecked())
        m_session.markPublished(listKind(music));
}

// An export: the record of the created file and the status text change only once the file is
// written; a failure shows its text and leaves both as they were.
void MainWindow::exportList(const exporter::ExportFormatRow& format, bool music,
                            const QString& path) {
    if (format.encoding == exporter::Encoding::Workbook && path.isEmpty()) {
        exportWorkbook(music);
        return;
    }
    try {
        const ExportSource source = exportedList(music, format.publishable);
        const ExportChoices choices{toggles(), path};
        runExportJob<QStringList>(
            page(music), m_desktop,
            [this, &format, source, choices] {
                return m_session.writeExport(format, source, choices);
            },
            [this, &format, music, txtUtf8 = choices.toggles.txtUtf8](QStringList& written) {
                if (written.isEmpty())
                    return;
                if (format.publishable)
                    markIfChosen(music);
                // A post over the limit is written in parts: the first is the one a double
                // click opens. The TXT list's message names its encoding.
                lastWrittenFile = {true, written.first()};
                setStatusText(format.encoding == exporter::Encoding::Cp1251OrUtf8
                                  ? exporter::txtCreatedMessage(written.first(), txtUtf8)
                                  : exporter::partsCreatedMessage(written));
            });
    } catch (const ReportedError& error) {
        m_desktop.showError(error.userMessage());
    }
}

// The save dialog starts in the folder of the last "Сохранить как..." (the output folder the
// first time, or when that folder is gone) with the fixed name proposed.
void MainWindow::saveListAs(const exporter::ExportFormatRow& format, bool music) {
    if (m_session.list(listKind(music)).isEmpty())
        return;
    Settings settings(this->settings());
    const QString last = settings.saveAsDir();
    const QString folder = !last.isEmpty() && QFileInfo(last).isDir() ? last : settings.saveDir();
    QString name = settings.outputName(format.name(music));
    if (format.encoding == exporter::Encoding::Workbook)
        name += QStringLiteral(".xlsx");
    const std::optional<QString> chosen =
        desktop().chooseSaveFile(folder, name, exporter::shownText(format.fileFilter));
    if (!chosen)
        return;
    // A set.ini that cannot be written costs the remembered folder, not the save.
    try {
        settings.setSaveAsDir(QFileInfo(*chosen).absolutePath());
    } catch (const ReportedError& error) {
        desktop().showError(error.userMessage());
    }
    if (QFileInfo::exists(*chosen) && !desktop().confirmReplace(*chosen))
        return;
    exportList(format, music, *chosen);
}

void MainWindow::copyForumPost(bool music) {
    if (m_session.list(listKind(music)).isEmpty())
        return;
    const exporter::ExportFormatRow& format =
        exporter::exportFormat(exporter::ExportFormat::Bbcode);
    try {
        const ExportSource source = exportedList(music, true);
        const ExportChoices choices{toggles()};
        runExportJob<std::vector<std::string>>(
            page(music), m_desktop,
            [this, &format, source, choices] {
                return m_session.exportParts(format, source, choices);
            },
            [this, music](std::vector<std::string>& parts) {
                markIfChosen(music);
                // Text boxes break lines with LF; the clipboard gives each desktop its own.
                desktop().setClipboardText(
                    QString::fromStdString(parts.front())
                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
                setStatusText(parts.size() == 1
                                  ? tr("Сообщение для форума скопировано в буфер обмена")
                                  : tr("Часть 1 из %1 сообщения для форума скопирована в "
                                       "буфер обмена")
                                        .arg(parts.size()));
            });
    } catch (const ReportedError& error) {
        m_desktop.showError(error.userMessage());
    }
}

} // namespace korvane
