#pragma once

#include "catalogue/CatalogueList.h"
#include "settings/Toggles.h"
#include "tags/TagText.h"

#include <QString>
#include <QStringList>

#include <span>
#include <string_view>

// The rules of an album row that every audio format shares.
namespace korvane {

// Adds the close calls among a reader's decoded 8-bit texts to `texts`.
void addCloseTexts(std::span<const tags::TextDecision> decisions, QList<CloseText>& texts);

// A file name's ending, compared without regard to ASCII case as on Windows ("*.mp3").
bool endsWithNoCase(std::string_view name, std::string_view ending);

// caption + " (" + year + ")", unless the year is blank.
void appendYear(QString& caption, const QString& year);
// The group part, before the first separator, in the locale's capitals.
void groupInCapitals(QString& caption, const QString& separator);
// A comment that begins with "Country: " exactly gives the rest, each line break shown as
// " / "; any other gives "-".
QString countryNote(const QString& comment);

} // namespace korvane
