#pragma once

#include "export/SheetPlan.h"

#include <QString>

// The xlsx adapter: replays a sheet plan into a workbook file with libxlsxwriter.
namespace korvane::exporter {

// Writes the plan's sheet to `path` through a temporary file beside it. Each cell gets the format
// that the operations, applied in order, leave on it; texts with a line feed wrap; a cell whose
// characters differ in font becomes a rich string. Throws ExportError ("Cannot create file ...")
// with the library's own reason.
void writeWorkbook(const SheetPlan& plan, const QString& path);

// The version of libxlsxwriter the program runs with.
QString xlsxwriterVersion();

} // namespace korvane::exporter
