#include "music/AlbumCaption.h"

#include "tags/ByteSource.h"
#include "text/LocaleText.h"

namespace korvane {

bool endsWithNoCase(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size())
        return false;
    const std::string_view tail = name.substr(name.size() - ending.size());
    for (std::size_t i = 0; i < ending.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != ending[i])
            return false;
    }
    return true;
}

void addCloseTexts(std::span<const tags::TextDecision> decisions, QList<CloseText>& texts) {
    for (const tags::TextDecision& d : decisions) {
        const CloseText close{QByteArray::fromStdString(d.bytes), QString::fromStdString(d.text)};
        if (d.decision.close && !texts.contains(close))
            texts.append(close);
    }
}

void appendYear(QString& caption, const QString& year) {
    if (!year.trimmed().isEmpty())
        caption += QStringLiteral(" (") + year + u')';
}

void groupInCapitals(QString& caption, const QString& separator) {
    const qsizetype at = separator.isEmpty() ? -1 : caption.indexOf(separator);
    if (at >= 0)
        caption = text::localeUpper(caption.left(at)) + caption.mid(at);
}

QString countryNote(const QString& comment) {
    const QString mark = QStringLiteral("Country: ");
    if (!comment.startsWith(mark))
        return QStringLiteral("-");
    return comment.mid(mark.size()).replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
}

} // namespace korvane
