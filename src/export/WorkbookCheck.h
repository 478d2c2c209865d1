#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// Reading a written workbook back: a cheap check, before it replaces the user's file, that the
// library wrote every part whole (it writes short parts without an error when the temporary
// folder fills up).
namespace korvane::exporter {

struct ZipPart {
    std::string name;
    QByteArray data;
};

// The members of a zip file, each inflated and checked against its size and CRC-32. Nothing on a
// damaged or unsupported file, with the reason in `error`.
std::optional<std::vector<ZipPart>> readZipParts(const QByteArray& zip, QString* error);

// Empty when `file` is a complete workbook: a sound zip whose XML parts are all well-formed, with
// the workbook and its first sheet among them; otherwise the reason.
QString workbookProblem(const QString& file);

} // namespace korvane::exporter
