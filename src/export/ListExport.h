#pragma once

#include "catalogue/CatalogueList.h"
#include "export/SheetPlan.h"
#include "settings/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/Toggles.h"

#include <QSet>

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// The export commands without the window: each reads its settings at the moment of export,
// writes its file and returns the path, or nothing for an empty list. Failures throw
// ReportedError and leave any previous file as it was. The window and korvane-cli both call these.
namespace korvane::exporter {

// "файл \"path\" создан": what the command line reports after a TXT or HTML file was written.
QString fileCreatedText(const QString& path);
// The window's status text after it: the same, with the hint for the double click.
QString fileCreatedMessage(const QString& path);
// The same two after a TXT list, naming its encoding: "файл \"path\" создан в кодировке UTF-8".
QString txtCreatedText(const QString& path, bool utf8);
QString txtCreatedMessage(const QString& path, bool utf8);
// "Список ушёл в Excel" and the box when no spreadsheet application is there, in the window's
// language.
QString workbookSentMessage();
QString noSpreadsheetMessage();

// save_dir directly followed by the name.
QString outputPath(const Settings& settings, const OutputNameKey& name);

// The TXT and HTML lists go to `path`, or, when it is empty, to save_dir under the name of
// set.ini.
// In Windows-1251, or in UTF-8 with toggles.txtUtf8 (`utf8` for the video list).
std::optional<QString> writeMusicTxt(const std::vector<CatalogueRow>& rows,
                                     const Settings& settings, const Toggles& toggles,
                                     const QDate& today, const QString& path = {});
std::optional<QString> writeVideoTxt(const std::vector<CatalogueRow>& rows,
                                     const Settings& settings, const QDate& today,
                                     bool utf8 = false, const QString& path = {});

// The templates mp3blank.htm and videoblank.htm are read from the program folder.
std::optional<QString> writeMusicHtml(const std::vector<CatalogueRow>& rows,
                                      const Settings& settings, const Toggles& toggles,
                                      const ProgramFolder& programFolder, const QString& path = {});
std::optional<QString> writeVideoHtml(const std::vector<CatalogueRow>& rows,
                                      const Settings& settings, const ProgramFolder& programFolder,
                                      const QString& path = {});

// Every export (ExportFormats.h has the table). The Unicode ones, BBCode and plain text for forum
// posts (made from templates), CSV and JSON for spreadsheets and scripts, are the text formats of
// listText: each is UTF-8; the CSV file starts with a byte-order mark so that spreadsheet
// applications pick the encoding.
enum class ExportFormat { Html, Txt, Workbook, Bbcode, Csv, Json, Plain };
using TextFormat = ExportFormat;

// save_dir directly followed by the file name of the list (music or video) for `format`.
QString textOutputPath(TextFormat format, const CatalogueList& list, const Settings& settings);

// Where a forum post (BBCode or plain text) takes its template and how long a part may be.
struct PostSource {
    QString templatePath; // empty: the built-in copy of the shipped template
    qsizetype limit = 0;  // the largest part in characters; 0: one file
    QString title = {};   // {{title}}; empty: "mp3 collection" or "Video collection"
    qsizetype count = -1; // {{count}} of the header; -1: every row
};

// What changed since the list was last published: the rows that are new, then a heading row
// "Удалено с DATE" and the rows that are gone. A row is the same album or file when it comes from
// the same folder or file (root and path; the caption for a row without them), so that an album
// retagged or updated since is neither. Category header rows go with the rows shown under them.
struct RowsSincePublished {
    std::vector<CatalogueRow> rows;
    qsizetype added = 0; // the rows that are new (the post's count)
};
RowsSincePublished rowsSincePublished(const std::vector<CatalogueRow>& current,
                                      const std::vector<CatalogueRow>& published,
                                      const QDateTime& publishedAt, bool musicList);
// The title of such a post: "mp3 collection — новое с DATE".
QString sincePublishedTitle(bool musicList, const QDateTime& publishedAt);

// The post source of this moment: `chosenTemplate` when given (--template), else the program
// folder's template for the format and list (the spoiler one with toggles.bbcodeSpoilers);
// `limit` when given (--post-limit), else postLimit of set.ini.
PostSource postSource(TextFormat format, bool musicList, const ProgramFolder& programFolder,
                      const Settings& settings, const Toggles& toggles,
                      const QString& chosenTemplate = {},
                      std::optional<qsizetype> limit = std::nullopt);

// The list in `format`, read with the settings and toggles of this moment; `now` is the JSON's
// "generated" time and the posts' date. Without the CSV's byte-order mark: that belongs to the
// file. A post is whole here, whatever its limit.
std::string listText(TextFormat format, const CatalogueList& list, const Settings& settings,
                     const Toggles& toggles, const QDateTime& now, const PostSource& post = {});

// The same, as the files hold it: a post over its limit in parts, anything else in one.
std::vector<std::string> listParts(TextFormat format, const CatalogueList& list,
                                   const Settings& settings, const Toggles& toggles,
                                   const QDateTime& now, const PostSource& post = {});

// Part `part` of a post split into files: "mp3list.bbcode.txt" gives "mp3list.bbcode.1.txt".
QString partPath(const QString& path, qsizetype part);

// Writes listParts to `path`, or to its numbered parts; the files written (none for an empty
// list). Numbered parts that an earlier, longer post left behind are removed.
QStringList writeListFiles(TextFormat format, const CatalogueList& list, const Settings& settings,
                           const Toggles& toggles, const QDateTime& now, const QString& path,
                           const PostSource& post = {});

// Writes listText to `path`; nothing for an empty list.
std::optional<QString> writeListText(TextFormat format, const CatalogueList& list,
                                     const Settings& settings, const Toggles& toggles,
                                     const QDateTime& now, const QString& path);

// What the command line and the window report after the parts of a post were written.
QString partsCreatedText(const QStringList& paths);
QString partsCreatedMessage(const QStringList& paths);

// The sheet plans with the sheet names and separator of the settings; listSheet for either list.
SheetPlan listSheet(const CatalogueList& list, const Settings& settings, const Toggles& toggles);
SheetPlan musicSheet(const std::vector<CatalogueRow>& rows, const Settings& settings,
                     const Toggles& toggles);
SheetPlan videoSheet(const std::vector<CatalogueRow>& rows, const Settings& settings);

// The workbook in a new folder under the system's temporary folder, named after its sheet, for
// the spreadsheet application to open; the folder stays so that the application can read it.
QString writeWorkbookToTemporaryFolder(const SheetPlan& plan);
// Removes such a workbook and its folder again (no application took it).
void discardTemporaryWorkbook(const QString& path);
// Where a workbook that no application took is kept: save_dir + the sheet's name + ".xlsx".
QString workbookOutputPath(const Settings& settings, const SheetPlan& plan);

// Removes the workbook folders under `tempDir` last changed more than a day before `now`: a
// spreadsheet application has long read them. Folders holding anything but workbooks are left
// alone. Answers how many went.
int removeStaleWorkbookFolders(const QString& tempDir, const QDateTime& now);

} // namespace korvane::exporter
