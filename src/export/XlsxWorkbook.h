#pragma once

#include "export/SheetPlan.h"

#include <QString>

// The xlsx adapter: replays a sheet plan into a workbook file with libxlsxwriter.
namespace korvane::exporter {

// The adapter is the module korvane_xlsx.so, loaded by the first workbook of the run.
inline constexpr const char* kWorkbookModuleName = "korvane_xlsx.so";
// bool (const SheetPlan&, const QString& file, const QString& shownPath, QString& error): writes
// the workbook to `file` by name and reads it back (workbookProblem); false with the message of
// the ReportedError, which names `shownPath`, when it could not be written whole.
inline constexpr const char* kWorkbookModuleEntry = "korvaneWriteWorkbook";
// const char* (): libxlsxwriter's version text.
inline constexpr const char* kWorkbookModuleVersionEntry = "korvaneXlsxwriterVersion";

// Writes the plan's sheet to `path` through a temporary file beside it, read back and checked
// before it replaces the old file. Each cell gets the format that the operations, applied in
// order, leave on it; texts with a line feed wrap; a cell whose characters differ in font becomes
// a rich string. Throws ReportedError ("Cannot create file ...")
// with the library's own reason, or when the module cannot be loaded.
void writeWorkbook(const SheetPlan& plan, const QString& path);

// The version of libxlsxwriter the program runs with; empty when the module cannot be loaded.
QString xlsxwriterVersion();

} // namespace korvane::exporter
