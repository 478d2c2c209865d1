#pragma once

#include "catalogue/CatalogueList.h"

#include <QDateTime>
#include <QStringList>

#include <vector>

// A list as one JSON object: "kind", "generated", "columns" and "rows", a row per line.
namespace korvane::exporter {

// The text as a JSON string, quotes included: quote, backslash and every control character
// escaped, the rest left to UTF-8.
QString jsonString(const QString& text);

// Each row {"caption", "cells", "category", "header"}: "header" is true for a category header
// row (its cells empty), "category" the header a row falls under in categories mode, else null.
// With `totals`, the last two captions are album totals': their texts end each row's cells, and
// an album row has "tracks" and "seconds" (null when its totals were not read).
QString musicJson(const QStringList& captions, const std::vector<CatalogueRow>& rows,
                  bool categories, const QDateTime& generated, bool totals = false);
// Each row {"caption", "cells"}.
QString videoJson(const QStringList& captions, const std::vector<CatalogueRow>& rows,
                  const QDateTime& generated);

} // namespace korvane::exporter
