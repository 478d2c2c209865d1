#pragma once

#include "catalogue/CatalogueList.h"

#include <QStringList>

#include <vector>

// A list as comma-separated values (RFC 4180) for spreadsheets, databases and scripts.
namespace korvane::exporter {

// The field in double quotes, inner quotes doubled, when it holds a comma, a quote or a line
// break; otherwise as it is. A text that starts with =, +, -, @, TAB or CR (but the lone "-")
// gets a leading apostrophe first, so that no spreadsheet runs it as a formula.
QString csvField(const QString& text);

// The column captions, then one record per row, each ending CR LF; cells stay as the list shows
// them. With `musicRows`, a category header row is its name followed by empty fields. With
// `totals`, the last two captions are album totals' and their fields come from each row's values.
QString csvText(const QStringList& captions, const std::vector<CatalogueRow>& rows, bool musicRows,
                bool totals = false);

} // namespace korvane::exporter
