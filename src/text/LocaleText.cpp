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

CaseInsensitiveOrder::CaseInsensitiveOrder() : m_collator(appLocale()) {
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
