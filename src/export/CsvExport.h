#pragma once

#include "catalogue/CatalogueList.h"

#include <QStringList>

#include <vector>

// A list as comma-separated values (RFC 4180) for spreadsheets, databases and scripts.
namespace korvane::exporter {

// The field in double quotes, inner quotes doubled, when it holds a comma, a quote or a line
// break; otherwise as it is. A text starting with "=", "+", "-", "@", TAB or CR (other than a
// lone "-") gets a leading apostrophe first, so that no spreadsheet runs it as a formula.
QString csvField(const QString& text);

// The column captions, then one record per row, each ending CR LF; cells stay as the list shows
// them. With `musicRows`, a category header row is its name followed by empty fields.
QString csvText(const QStringList& captions, const std::vector<CatalogueRow>& rows, bool musicRows);

} // namespace korvane::exporter
