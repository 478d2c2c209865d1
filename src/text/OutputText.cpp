#include "text/OutputText.h"

#include <clocale>

namespace korvane::text {

QString singleLine(const QString& text) {
    QString line = text;
    for (QChar& c : line) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    }
    return line;
}

QString xmlText(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            clean += text[i];
            clean += text[++i];
            continue;
        }
        const bool allowed = (c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r') &&
                             !QChar::isSurrogate(c) && c != 0xFFFE && c != 0xFFFF;
        if (allowed)
            clean += QChar(c);
    }
    return clean;
}

QString cutText(const QString& text, qsizetype length) {
    if (text.size() <= length)
        return text;
    if (length > 0 && text[length - 1].isHighSurrogate())
        --length;
    return text.left(length);
}

void useCNumberFormat() {
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace korvane::text
