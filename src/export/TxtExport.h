#pragma once

#include "catalogue/CatalogueList.h"
#include "export/OutputFile.h"

#include <QStringList>

#include <vector>

// The plain-text layouts of both lists: the name first, padded to a common width, then the
// details in square brackets after a TAB.
namespace korvane::exporter {

// "~~~ mp3 collection ~~~", "Создан: " + date, an empty line, then one line per row; category
// header rows become an empty line and ">> КАТЕГОРИЯ: name <<". `separator` goes between the
// details; `yearInColumn` widens the name column by 6 for the year the scan appended. With
// `totals`, a row whose totals were read ends its details with "12 tracks" and "1:02:33".
void musicTxtLines(const std::vector<CatalogueRow>& rows, const QString& separator,
                   bool yearInColumn, const QString& date, const LineSink& sink,
                   bool totals = false);
QStringList musicTxtLines(const std::vector<CatalogueRow>& rows, const QString& separator,
                          bool yearInColumn, const QString& date, bool totals = false);

// "~~~ Video collection ~~~", "Создан: " + date, an empty line, the column line, then one line
// per row with fixed separators.
void videoTxtLines(const std::vector<CatalogueRow>& rows, const QString& date,
                   const LineSink& sink);
QStringList videoTxtLines(const std::vector<CatalogueRow>& rows, const QString& date);

} // namespace korvane::exporter
