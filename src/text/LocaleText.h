#pragma once

#include <QCollator>
#include <QDate>
#include <QLocale>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

// The Qt side of the text layer: Unicode texts to and from Windows-1251, the locale's case rules,
// its case-insensitive collation and short date, and the decimal-comma numbers of the Size cells.
namespace korvane::text {

// Windows-1251 bytes of a text; characters outside the code page become '?'.
std::string toCp1251(const QString& text);
QString fromCp1251(std::string_view bytes);

// The user's locale; the C/POSIX locale of a bare system stands in for nothing useful, so Russian
// (the language of the whole interface) is used then.
QLocale appLocale();

QString localeUpper(const QString& text);
QString localeLower(const QString& text);

// The case-insensitive text order of paths and base lines: alphabetical within a script, Latin
// before Cyrillic, case ignored.
class CaseInsensitiveOrder {
public:
    CaseInsensitiveOrder();
    int compare(const QString& a, const QString& b) const;
    bool operator()(const QString& a, const QString& b) const { return compare(a, b) < 0; }

private:
    QCollator m_collator;
};

// "Создан: " dates: the locale's short date format.
QString shortDate(const QDate& date);

// A Size cell such as "123,4", "7" or "0,0": the comma is the decimal separator whatever the
// locale. Blanks around the number are allowed; anything else gives nothing.
std::optional<double> parseDecimalComma(QStringView text);

} // namespace korvane::text
