#include "export/ListExport.h"

#include "export/HtmlExport.h"
#include "export/OutputFile.h"
#include "export/TxtExport.h"
#include "export/XlsxWorkbook.h"
#include "text/LocaleText.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace korvane::exporter {
namespace {

const QString kWorkbookFolderPrefix = QStringLiteral("korvane-");

std::optional<QString> writeLines(const QString& path,
                                  const std::function<void(const LineSink&)>& writeAll) {
    OutputFile file(path);
    writeAll([&file](const QString& line) { file.writeLine(line); });
    file.commit();
    return path;
}

std::optional<QString> writeHtml(const QString& templatePath,
                                 const std::function<void(const LineSink&)>& writeRows,
                                 const QString& path) {
    const auto parts = splitTemplate(readCp1251File(templatePath));
    // Without its placeholder a template has no place for the table: better no page than a
    // page without the list or with the rows in the middle of the markup.
    if (!parts)
        throw ExportError(
            QStringLiteral("В шаблоне \"%1\" нет метки \"%2\"; файл \"%3\" не создан.")
                .arg(QDir::toNativeSeparators(templatePath), kTablePlaceholder,
                     QDir::toNativeSeparators(path)));
    OutputFile file(path);
    writePage(file, *parts, writeRows);
    file.commit();
    return path;
}

} // namespace

QString fileCreatedMessage(const QString& path) {
    return QStringLiteral("файл \"") + path +
           QStringLiteral("\" создан (двойной клик для открытия)");
}

QString outputPath(const SettingsFile& settings, QStringView key, const QString& fallback) {
    return settings.readText(u"save_dir", defaultSaveDir()) + settings.readText(key, fallback);
}

std::optional<QString> writeMusicTxt(const std::vector<CatalogueRow>& rows,
                                     const SettingsFile& settings, const Toggles& toggles,
                                     const QDate& today) {
    if (rows.empty())
        return std::nullopt;
    const QString separator =
        readQuotedSeparator(settings, keys::separatorTxt, kDefaultTxtSeparator);
    const QString date = text::shortDate(today);
    return writeLines(outputPath(settings, u"mp3list_name_txt", QStringLiteral("mp3list.txt")),
                      [&](const LineSink& sink) {
                          musicTxtLines(rows, separator, toggles.yearInColumn, date, sink);
                      });
}

std::optional<QString> writeVideoTxt(const std::vector<CatalogueRow>& rows,
                                     const SettingsFile& settings, const QDate& today) {
    if (rows.empty())
        return std::nullopt;
    const QString date = text::shortDate(today);
    return writeLines(outputPath(settings, u"videolist_name_txt", QStringLiteral("VideoList.txt")),
                      [&](const LineSink& sink) { videoTxtLines(rows, date, sink); });
}

std::optional<QString> writeMusicHtml(const std::vector<CatalogueRow>& rows,
                                      const SettingsFile& settings, const Toggles& toggles,
                                      const ProgramFolder& programFolder) {
    if (rows.empty())
        return std::nullopt;
    const QString separator = readGroupAlbumSeparator(settings);
    return writeHtml(
        programFolder.file(QStringLiteral("mp3blank.htm")),
        [&](const LineSink& sink) { musicHtmlRows(rows, toggles.albumBoldFont, separator, sink); },
        outputPath(settings, u"mp3list_name_htm", QStringLiteral("mp3list.htm")));
}

std::optional<QString> writeVideoHtml(const std::vector<CatalogueRow>& rows,
                                      const SettingsFile& settings,
                                      const ProgramFolder& programFolder) {
    if (rows.empty())
        return std::nullopt;
    return writeHtml(
        programFolder.file(QStringLiteral("videoblank.htm")),
        [&](const LineSink& sink) { videoHtmlRows(rows, sink); },
        outputPath(settings, u"videolist_name_htm", QStringLiteral("VideoList.htm")));
}

SheetPlan musicSheet(const std::vector<CatalogueRow>& rows, const SettingsFile& settings,
                     const Toggles& toggles) {
    return musicSheetPlan(rows, settings.readText(u"mp3workbookname", QStringLiteral("music")),
                          readGroupAlbumSeparator(settings), toggles.albumBoldFont,
                          toggles.musicInCat);
}

SheetPlan videoSheet(const std::vector<CatalogueRow>& rows, const SettingsFile& settings) {
    return videoSheetPlan(rows, settings.readText(u"videoworkbookname", QStringLiteral("Video")));
}

bool spreadsheetCheckRequested(const SettingsFile& settings) {
    return settings.readBool(u"checkexcel", false);
}

QString writeWorkbookToTemporaryFolder(const SheetPlan& plan) {
    QTemporaryDir folder(QDir::tempPath() + u'/' + kWorkbookFolderPrefix +
                         QStringLiteral("XXXXXX"));
    if (!folder.isValid())
        throw ExportError(QStringLiteral("Cannot create file \"%1\". %2")
                              .arg(QDir::toNativeSeparators(folder.path()), folder.errorString()));
    folder.setAutoRemove(false);
    const QString path = folder.filePath(plan.sheetName + QStringLiteral(".xlsx"));
    try {
        writeWorkbook(plan, path);
    } catch (const ExportError&) {
        folder.remove();
        throw;
    }
    return QDir::toNativeSeparators(path);
}

int removeStaleWorkbookFolders(const QString& tempDir, const QDateTime& now) {
    const QDateTime limit = now.addDays(-1);
    int removed = 0;
    const QFileInfoList folders =
        QDir(tempDir).entryInfoList({kWorkbookFolderPrefix + QStringLiteral("??????")},
                                    QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        if (folder.isSymLink() || folder.lastModified() >= limit)
            continue;
        QDir dir(folder.filePath());
        const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                        QDir::Hidden | QDir::System);
        const bool onlyWorkbooks =
            std::all_of(entries.begin(), entries.end(), [](const QFileInfo& entry) {
                return entry.isFile() && !entry.isSymLink() &&
                       entry.fileName().endsWith(QStringLiteral(".xlsx"));
            });
        if (onlyWorkbooks && dir.removeRecursively())
            ++removed;
    }
    return removed;
}

} // namespace korvane::exporter
