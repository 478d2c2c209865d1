#pragma once

#include "export/ListExport.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <span>

// The export formats, one row each: what the menus show, the command line's action, the names
// in set.ini and the writer. The window's menus, the settings dialog's file names and
// korvane-cli --help are made from this table, so that a new format is one row and its writer.
namespace korvane::exporter {

// How a format's bytes are encoded.
enum class Encoding {
    Cp1251OrUtf8, // Windows-1251, UTF-8 with the txtUtf8 toggle
    Cp1251,       // Windows-1251, what it lacks as numeric character references
    Utf8,
    Utf8WithBom, // the byte-order mark tells spreadsheet applications the encoding
    Workbook,    // an .xlsx workbook, handed to the spreadsheet application by the window
};

// The export menus draw a line between sections.
enum class MenuSection { Classic, Unicode, Forum };

// What a writer is given: the list and the settings of this moment.
struct ExportRequest {
    const CatalogueList& list;
    const Settings& settings;
    const Toggles& toggles;
    const ProgramFolder& programFolder;
    QDateTime now;
    // The file to write (the workbook always has one); empty: save_dir and the name of set.ini.
    QString path = {};
    PostSource post = {}; // the forum posts' template, limit, title and count
};

// Every writer: the files written (none for an empty list). Throws ReportedError.
using ListWriter = QStringList (*)(const ExportRequest& request);

struct ExportFormatRow {
    ExportFormat format;
    MenuSection section;
    QString menuCaption;   // in the sub-menus "music листа" and "video листа"
    QString buttonCaption; // in the menu of the pages' "Экспорт в ..." buttons
    QString fileFilter;    // the save dialog's name filter of "Сохранить как..."
    const char* flag;      // korvane-cli's action
    // nullptr: none; "FILE": needed; "[FILE]": may be left out, "-" writes to standard output.
    const char* flagArgument;
    const char* flagHelp;
    int helpOrder; // the place of the action among the exports in --help
    const OutputNameKey& musicName;
    const OutputNameKey& videoName;
    // The settings dialog: a label for each list's name field, or one label for both side by
    // side (videoLabel empty); none when the dialog has no field for the name.
    QString musicLabel;
    QString videoLabel;
    // The captions, filters and labels are the Russian texts; the window shows them through
    // shownText.
    Encoding encoding;
    // The window's "Новое с последней публикации" and "Отметить как опубликованный" apply.
    bool publishable;
    ListWriter write;

    const OutputNameKey& name(bool musicList) const { return musicList ? musicName : videoName; }
};

// In the order of the export menus.
std::span<const ExportFormatRow> exportFormats();
const ExportFormatRow& exportFormat(ExportFormat format);

// A caption, filter or label of the table in the window's language.
QString shownText(const QString& text);

} // namespace korvane::exporter
