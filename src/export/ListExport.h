#pragma once

#include "catalogue/CatalogueList.h"
#include "export/SheetPlan.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingsFile.h"
#include "settings/Toggles.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// The export commands without the window: each reads its settings at the moment of export,
// writes its file and returns the path, or nothing for an empty list. Failures throw
// ExportError and leave any previous file as it was. The window and korvane-cli both call these.
namespace korvane::exporter {

// "файл \"path\" создан": what the command line reports after a TXT or HTML file was written.
QString fileCreatedText(const QString& path);
// The window's status text after it: the same, with the hint for the double click.
QString fileCreatedMessage(const QString& path);
inline const QString kWorkbookSentMessage = QStringLiteral("Список ушёл в Excel");
inline const QString kNoSpreadsheetMessage =
    QStringLiteral("Не могу найти пакет программ MS Office, в частности Excel");

// save_dir directly followed by the file name stored under `key` (or `fallback`).
QString outputPath(const SettingsFile& settings, QStringView key, const QString& fallback);

std::optional<QString> writeMusicTxt(const std::vector<CatalogueRow>& rows,
                                     const SettingsFile& settings, const Toggles& toggles,
                                     const QDate& today);
std::optional<QString> writeVideoTxt(const std::vector<CatalogueRow>& rows,
                                     const SettingsFile& settings, const QDate& today);

// The templates mp3blank.htm and videoblank.htm are read from the program folder.
std::optional<QString> writeMusicHtml(const std::vector<CatalogueRow>& rows,
                                      const SettingsFile& settings, const Toggles& toggles,
                                      const ProgramFolder& programFolder);
std::optional<QString> writeVideoHtml(const std::vector<CatalogueRow>& rows,
                                      const SettingsFile& settings,
                                      const ProgramFolder& programFolder);

// The Unicode exports: BBCode for forum posts, CSV and JSON for spreadsheets and scripts. Each is
// UTF-8; the CSV file starts with a byte-order mark so that spreadsheet applications pick the
// encoding.
enum class TextFormat { Bbcode, Csv, Json };

// The set.ini key of a list's file name for `format` and the name used when the key is absent.
struct OutputName {
    QStringView key;
    QString fallback;
};
OutputName textOutputName(TextFormat format, bool musicList);
// The same for the TXT and HTML lists and for the workbook's sheet name. These fallbacks are the
// values in effect for an absent key, so the settings dialog shows them too.
OutputName txtOutputName(bool musicList);
OutputName htmlOutputName(bool musicList);
OutputName sheetOutputName(bool musicList);

// save_dir directly followed by the file name of the list (music or video) for `format`.
QString textOutputPath(TextFormat format, const CatalogueList& list, const SettingsFile& settings);

// The list in `format`, read with the settings and toggles of this moment; `now` is the JSON's
// "generated" time. Without the CSV's byte-order mark: that belongs to the file.
std::string listText(TextFormat format, const CatalogueList& list, const SettingsFile& settings,
                     const Toggles& toggles, const QDateTime& now);

// Writes listText to `path`; nothing for an empty list.
std::optional<QString> writeListText(TextFormat format, const CatalogueList& list,
                                     const SettingsFile& settings, const Toggles& toggles,
                                     const QDateTime& now, const QString& path);

// The sheet plans with the sheet names and separator of the settings.
SheetPlan musicSheet(const std::vector<CatalogueRow>& rows, const SettingsFile& settings,
                     const Toggles& toggles);
SheetPlan videoSheet(const std::vector<CatalogueRow>& rows, const SettingsFile& settings);
// checkexcel: whether the music export asks the desktop for a spreadsheet application first.
bool spreadsheetCheckRequested(const SettingsFile& settings);

// The workbook in a new folder under the system's temporary folder, named after its sheet, for
// the spreadsheet application to open; the folder stays so that the application can read it.
QString writeWorkbookToTemporaryFolder(const SheetPlan& plan);

// Removes the workbook folders under `tempDir` last changed more than a day before `now`: a
// spreadsheet application has long read them. Folders holding anything but workbooks are left
// alone. Answers how many went.
int removeStaleWorkbookFolders(const QString& tempDir, const QDateTime& now);

} // namespace korvane::exporter
