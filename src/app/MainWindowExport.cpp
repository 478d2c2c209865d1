#include "app/MainWindow.h"

#include "catalogue/PublishedStore.h"
#include "desktop/Desktop.h"
#include "export/ExportFormats.h"
#include "export/ListExport.h"
#include "export/OutputFile.h"
#include "export/XlsxWorkbook.h"
#include "music/MusicList.h"
#include "video/VideoList.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>

#include <functional>
#include <memory>

// Handlers of the export commands of both lists.
namespace korvane {
namespace {

// The wait cursor while a long list is written (a workbook of 20,000 rows takes seconds); gone
// before any message box shows.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

template <typename Write> auto underBusyCursor(const Write& write) {
    const BusyCursor busy;
    return write();
}

// An export: the record of the created file and the status text change only once the file is
// written; a failure shows its text and leaves both as they were.
void recordWrittenFile(
    MainWindow& window, const std::function<std::optional<QString>()>& write,
    const std::function<QString(const QString&)>& message = exporter::fileCreatedMessage) {
    try {
        const std::optional<QString> path = underBusyCursor(write);
        if (!path)
            return;
        window.lastWrittenFile = {true, *path};
        window.setStatusText(message(*path));
    } catch (const ReportedError& error) {
        window.desktop().showError(error.userMessage());
    }
}

// The workbook goes to a temporary folder and the desktop's spreadsheet application opens it.
// When no application takes it, it is kept in the output folder instead: the temporary folders
// are cleared a day later, and a workbook reported as saved must not vanish.
void sendWorkbook(MainWindow& window, const exporter::SheetPlan& plan) {
    Desktop& desktop = window.desktop();
    try {
        const QString sent =
            underBusyCursor([&plan] { return exporter::writeWorkbookToTemporaryFolder(plan); });
        if (desktop.openWithShell(sent)) {
            window.setStatusText(exporter::workbookSentMessage());
            return;
        }
        exporter::discardTemporaryWorkbook(sent);
        const QString path = exporter::workbookOutputPath(window.settings(), plan);
        if (QFileInfo::exists(path) && !desktop.confirmReplace(path))
            return;
        underBusyCursor([&plan, &path] { exporter::writeWorkbook(plan, path); });
        window.lastWrittenFile = {true, path};
        window.setStatusText(exporter::fileCreatedMessage(path));
        desktop.showMessageWithFolder(fileNotOpenedMessage(path), path);
    } catch (const ReportedError& error) {
        desktop.showError(error.userMessage());
    }
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

void MainWindow::exportWorkbook(bool music) {
    const CatalogueList& list =
        music ? static_cast<const CatalogueList&>(musicList()) : videoList();
    if (list.isEmpty())
        return;
    // checkexcel asks the desktop first, for the music list only.
    if (music && Settings(settings()).spreadsheetCheck() && !desktop().spreadsheetAppRegistered()) {
        desktop().showMessage(exporter::noSpreadsheetMessage());
        return;
    }
    sendWorkbook(*this, exporter::listSheet(list, settings(), toggles()));
}

namespace {

const QString kCatalogueFile = QStringLiteral("korvane.db");

// What a Unicode export of the window writes: the whole list, or, with "Новое с последней
// публикации", what changed since it was last published (the whole list when it never was).
struct ExportedList {
    const CatalogueList* list;
    std::unique_ptr<CatalogueList> changes;
    QString title;        // the posts' title; empty: the list's own
    qsizetype count = -1; // the posts' count; -1: every row
};

StoredListName storedName(bool music) {
    return music ? StoredListName::Music : StoredListName::Video;
}

ExportedList exportedList(MainWindow& window, bool music) {
    ExportedList exported{music ? static_cast<const CatalogueList*>(&window.musicList())
                                : &window.videoList(),
                          nullptr, QString(), -1};
    if (!window.ui().sincePublished->isChecked())
        return exported;
    PublishedStore store(window.programFolder().file(kCatalogueFile));
    if (!store.isUsable())
        throw ReportedError(store.message());
    const std::optional<PublishedSnapshot> snapshot = store.load(storedName(music));
    if (!snapshot)
        return exported;
    if (music)
        exported.changes = std::make_unique<MusicList>();
    else
        exported.changes = std::make_unique<VideoList>();
    exporter::RowsSincePublished since =
        exporter::rowsSincePublished(exported.list->rows(), snapshot->rows, snapshot->at, music);
    exported.changes->resetRows(std::move(since.rows));
    exported.count = since.added;
    exported.list = exported.changes.get();
    exported.title = exporter::sincePublishedTitle(music, snapshot->at);
    return exported;
}

// With "Отметить как опубликованный", the whole list becomes the published one.
void markIfChosen(MainWindow& window, bool music) {
    if (!window.ui().markPublished->isChecked())
        return;
    const CatalogueList& list =
        music ? static_cast<const CatalogueList&>(window.musicList()) : window.videoList();
    PublishedStore store(window.programFolder().file(kCatalogueFile));
    if (!window.writeBesideCatalogue([&] {
            return store.save(storedName(music), list.rows(), QDateTime::currentDateTimeUtc());
        }))
        throw ReportedError(store.message());
}

} // namespace

void MainWindow::exportList(const exporter::ExportFormatRow& format, bool music,
                            const QString& path) {
    if (format.encoding == exporter::Encoding::Workbook && path.isEmpty()) {
        exportWorkbook(music);
        return;
    }
    const Toggles current = toggles();
    // A post over the limit is written in parts: the first is the one a double click opens.
    QStringList written;
    recordWrittenFile(
        *this,
        [this, &format, music, &path, &current, &written]() -> std::optional<QString> {
            const Settings settings(this->settings());
            const ExportedList exported =
                format.publishable
                    ? exportedList(*this, music)
                    : ExportedList{music ? static_cast<const CatalogueList*>(&musicList())
                                         : &videoList(),
                                   nullptr, QString(), -1};
            exporter::ExportRequest request{*exported.list,
                                            settings,
                                            current,
                                            programFolder(),
                                            QDateTime::currentDateTime(),
                                            path};
            if (format.publishable) {
                request.post =
                    exporter::postSource(format.format, music, programFolder(), settings, current);
                request.post.title = exported.title;
                request.post.count = exported.count;
            }
            written = format.write(request);
            if (written.isEmpty())
                return std::nullopt;
            if (format.publishable)
                markIfChosen(*this, music);
            return written.first();
        },
        [&format, &current, &written](const QString& path) {
            // The TXT list's message names its encoding.
            return format.encoding == exporter::Encoding::Cp1251OrUtf8
                       ? exporter::txtCreatedMessage(path, current.txtUtf8)
                       : exporter::partsCreatedMessage(written);
        });
}

// The save dialog starts in the folder of the last "Сохранить как..." (the output folder the
// first time, or when that folder is gone) with the fixed name proposed.
void MainWindow::saveListAs(const exporter::ExportFormatRow& format, bool music) {
    if ((music ? static_cast<const CatalogueList&>(musicList()) : videoList()).isEmpty())
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
    if ((music ? static_cast<const CatalogueList&>(musicList()) : videoList()).isEmpty())
        return;
    const auto format = exporter::ExportFormat::Bbcode;
    try {
        const std::vector<std::string> parts = underBusyCursor([&] {
            const ExportedList exported = exportedList(*this, music);
            exporter::PostSource post =
                exporter::postSource(format, music, programFolder(), settings(), toggles());
            post.title = exported.title;
            post.count = exported.count;
            std::vector<std::string> made = exporter::listParts(
                format, *exported.list, settings(), toggles(), QDateTime::currentDateTime(), post);
            markIfChosen(*this, music);
            return made;
        });
        // Text boxes break lines with LF; the clipboard gives each desktop its own.
        desktop().setClipboardText(QString::fromStdString(parts.front())
                                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        setStatusText(parts.size() == 1 ? tr("Сообщение для форума скопировано в буфер обмена")
                                        : tr("Часть 1 из %1 сообщения для форума скопирована в "
                                             "буфер обмена")
                                              .arg(parts.size()));
    } catch (const ReportedError& error) {
        desktop().showError(error.userMessage());
    }
}

} // namespace korvane
