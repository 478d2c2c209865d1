#include "text/LocaleText.h"

#include "text/Cp1251.h"

namespace korvane::text {

std::string toCp1251(const QString& text) {
    return cp1251::fromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                 static_cast<size_t>(text.size())));
}

QString fromCp1251(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char b : bytes)
        out += QChar(static_cast<char16_t>(cp1251::toUnicode(static_cast<unsigned char>(b))));
    return out;
}

QLocale appLocale() {
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

QString localeUpper(const QString& text) {
    return appLocale().toUpper(text);
}

QString localeLower(const QString& text) {
    return appLocale().toLower(text);
}

// The root collation of Unicode: letters in alphabetical order within each script, Latin before
// Cyrillic as on the systems the collections come from. The Russian tailoring would put Cyrillic
// first and so change the order of every mixed list.
CaseInsensitiveOrder::CaseInsensitiveOrder() : m_collator(QLocale(QLocale::English)) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int CaseInsensitiveOrder::compare(const QString& a, const QString& b) const {
    return m_collator.compare(a, b);
}

QString shortDate(const QDate& date) {
    return appLocale().toString(date, QLocale::ShortFormat);
}

std::optional<double> parseDecimalComma(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(u'.'))
        return std::nullopt;
    QString dotted = trimmed.toString();
    dotted.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(dotted, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace korvane::text
