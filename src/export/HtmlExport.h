#pragma once

#include "catalogue/CatalogueList.h"
#include "export/OutputFile.h"

#include <QStringList>

#include <optional>
#include <vector>

// The web page of a list: table rows with numbered ids and a check box calling the template's
// MarkRow(N), spliced into a template at its placeholder.
namespace korvane::exporter {

// "##ТАБЛИЦА##": where the rows go; only the first one is replaced.
inline const QString kTablePlaceholder = QStringLiteral("##ТАБЛИЦА##");

// & < > as entities: names come from tags and folder names and must not turn into markup.
// Characters that Windows-1251 lacks become numeric character references ("&#246;").
QString htmlEscape(const QString& text);

// Seven lines per album row, one per category header row. With `bold` the group name (the
// Folder text before the first `separator`) is put in <b>. With `totals`, nine: the album's
// tracks and playing time after the style.
void musicHtmlRows(const std::vector<CatalogueRow>& rows, bool bold, const QString& separator,
                   const LineSink& sink, bool totals = false);
QStringList musicHtmlRows(const std::vector<CatalogueRow>& rows, bool bold,
                          const QString& separator, bool totals = false);

// The headings of album totals' columns in a music template: a line holding "##ТРЕКИ##" or
// "##ВРЕМЯ##" gets the caption in its place with `totals`, and is left out without.
inline const QString kTracksPlaceholder = QStringLiteral("##ТРЕКИ##");
inline const QString kTimePlaceholder = QStringLiteral("##ВРЕМЯ##");
QString fillTotalsHeadings(const QString& templateText, bool totals);
// Nine lines per row.
void videoHtmlRows(const std::vector<CatalogueRow>& rows, const LineSink& sink);
QStringList videoHtmlRows(const std::vector<CatalogueRow>& rows);

// A template's text before and after its first placeholder, every line break made CR LF.
struct TemplateParts {
    QString before;
    QString after;
};
// Nothing when the template has no placeholder.
std::optional<TemplateParts> splitTemplate(const QString& templateText);

// Writes the page: the template's parts around the row lines, every line break made CR LF.
void writePage(const TextSink& out, const TemplateParts& parts,
               const std::function<void(const LineSink&)>& writeRows);

} // namespace korvane::exporter
