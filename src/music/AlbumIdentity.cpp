#include "music/AlbumIdentity.h"

#include <QStringList>

namespace korvane {
namespace {

// Years of recorded music; four digits outside them are part of a title ("2112").
bool plausibleYear(int year) {
    return year >= 1900 && year <= 2099;
}

// The number of text.mid(from, 4) when those are four ASCII digits, else 0.
int fourDigits(QStringView text, qsizetype from) {
    if (from < 0 || from + 4 > text.size())
        return 0;
    int number = 0;
    for (qsizetype i = from; i < from + 4; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return 0;
        number = number * 10 + (text[i].unicode() - u'0');
    }
    return number;
}

// " [2CD]" at the end, as the scan marks a folded album.
QStringView withoutDiscMark(QStringView text) {
    if (!text.endsWith(QLatin1String("CD]")))
        return text;
    qsizetype at = text.size() - 3;
    const qsizetype digitsEnd = at;
    while (at > 0 && text[at - 1] >= u'0' && text[at - 1] <= u'9')
        --at;
    if (at == digitsEnd || at < 2 || text[at - 1] != u'[' || text[at - 2] != u' ')
        return text;
    return text.left(at - 2);
}

// Takes " (1999)" off the end, or "1999 - " (a dash of any length or a dot) off the start; the
// year, or 0 when there is none.
int takeYear(QString& title) {
    const qsizetype open = title.size() - 6;
    if (title.endsWith(u')') && open >= 0 && title[open] == u'(') {
        if (const int year = fourDigits(title, open + 1); plausibleYear(year)) {
            title.truncate(open);
            return year;
        }
    }
    const int year = fourDigits(title, 0);
    if (!plausibleYear(year))
        return 0;
    qsizetype at = 4;
    while (at < title.size() && title[at].isSpace())
        ++at;
    if (at == title.size() ||
        !(title[at] == u'-' || title[at] == u'–' || title[at] == u'—' || title[at] == u'.'))
        return 0;
    title.remove(0, at + 1);
    return year;
}

// Takes a note of the copy's format off the end ("(FLAC)", "[mp3 320 kbps]", "{24bit WavPack}"):
// the same album in another format is named so beside the first. True when one came off.
bool takeFormatNote(QString& title) {
    static const QStringList kFormatWords = {
        QStringLiteral("flac"), QStringLiteral("mp3"),     QStringLiteral("ape"),
        QStringLiteral("wv"),   QStringLiteral("wavpack"), QStringLiteral("ogg"),
        QStringLiteral("m4a"),  QStringLiteral("aac"),     QStringLiteral("alac"),
        QStringLiteral("opus"), QStringLiteral("wma"),     QStringLiteral("lossless"),
        QStringLiteral("kbps"), QStringLiteral("kbit"),    QStringLiteral("24bit")};
    if (title.isEmpty())
        return false;
    const QChar close = title.back();
    const QChar open = close == u')' ? u'(' : close == u']' ? u'[' : close == u'}' ? u'{' : QChar();
    const qsizetype at = open.isNull() ? -1 : title.lastIndexOf(open);
    if (at < 0)
        return false;
    const QString note = title.mid(at + 1, title.size() - at - 2).toLower();
    for (const QString& word : kFormatWords) {
        if (note.contains(word)) {
            title.truncate(at);
            title = title.trimmed();
            return true;
        }
    }
    return false;
}

} // namespace

AlbumIdentity albumIdentity(const QString& caption, const QString& separator) {
    AlbumIdentity identity;
    const QStringView text = withoutDiscMark(caption);
    const qsizetype last = separator.isEmpty() ? -1 : text.lastIndexOf(separator);
    identity.title = (last < 0 ? text : text.mid(last + separator.size())).toString();
    if (last >= 0) {
        const QStringView before = text.left(last);
        const qsizetype previous = before.lastIndexOf(separator);
        identity.artist =
            (previous < 0 ? before : before.mid(previous + separator.size())).trimmed().toString();
    }
    identity.title = identity.title.trimmed();
    // A year from the tags may follow a folder name that starts with one.
    while (takeFormatNote(identity.title)) {
    }
    for (int pass = 0; pass < 2; ++pass) {
        const int year = takeYear(identity.title);
        identity.title = identity.title.trimmed();
        if (identity.year == 0)
            identity.year = year;
    }
    return identity;
}

QString comparableName(const QString& name) {
    const QString lower = name.toLower();
    QString out;
    out.reserve(lower.size());
    for (const QChar c : lower) {
        if (c == u'ё')
            out += u'е';
        else if (c.isLetterOrNumber())
            out += c;
    }
    return out.isEmpty() ? lower.simplified() : out;
}

} // namespace korvane
