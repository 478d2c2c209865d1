#include "files/FileName.h"

#include "text/CodePages.h"
#include "text/LocaleText.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace korvane::files {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Whether name[i] is a carried byte: a unit of U+DC80..U+DCFF that is not the second half of a
// surrogate pair.
bool isCarriedByte(QStringView name, qsizetype i) {
    const char16_t unit = name[i].unicode();
    const bool paired = i > 0 && name[i - 1].isHighSurrogate();
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && !paired;
}

unsigned char carriedByte(QChar unit) {
    return static_cast<unsigned char>(unit.unicode() - kEscapeBase);
}

// The length of the valid UTF-8 sequence at the start of bytes and its code point; 0 when the
// sequence is invalid (truncated, overlong, a surrogate, past U+10FFFF).
int validSequence(std::string_view bytes, char32_t& codePoint) {
    const auto byte = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    int length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        minimum = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        minimum = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        minimum = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < static_cast<size_t>(length))
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((byte(static_cast<size_t>(i)) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(static_cast<size_t>(i)) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || surrogate || codePoint > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

QString decodeFileName(std::string_view bytes) {
    QString name;
    name.reserve(static_cast<qsizetype>(bytes.size()));
    while (!bytes.empty()) {
        char32_t codePoint = 0;
        const int length = validSequence(bytes, codePoint);
        if (length == 0) {
            name.append(QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes.front()))));
            bytes.remove_prefix(1);
        } else {
            // Appended by hand: QString::fromUcs4 would take a U+FEFF for a byte-order mark
            // and drop it.
            if (QChar::requiresSurrogates(codePoint)) {
                name.append(QChar(QChar::highSurrogate(codePoint)));
                name.append(QChar(QChar::lowSurrogate(codePoint)));
            } else {
                name.append(QChar(char16_t(codePoint)));
            }
            bytes.remove_prefix(static_cast<size_t>(length));
        }
    }
    return name;
}

QByteArray encodeFileName(QStringView name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0; // the run of ordinary characters not yet written
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isCarriedByte(name, i)) {
            bytes += name.mid(start, i - start).toUtf8();
            bytes += static_cast<char>(carriedByte(name[i]));
            start = i + 1;
        }
    }
    bytes += name.mid(start).toUtf8();
    return bytes;
}

namespace {

// Inside a part of a path that carries bytes, which characters are 8-bit bytes too: the carried
// ones, and those of three or four UTF-8 bytes, which 8-bit names form by chance (CP866 "уда" is
// U+3A20) far more often than a name mixes CJK with a broken sequence. Cyrillic and Latin of
// two UTF-8 bytes stay characters. The bytes of the character at i, or none.
std::string eightBitBytes(QStringView part, qsizetype i) {
    if (isCarriedByte(part, i))
        return std::string(1, static_cast<char>(carriedByte(part[i])));
    const QChar c = part[i];
    if (c.isHighSurrogate() && i + 1 < part.size() && part[i + 1].isLowSurrogate())
        return part.mid(i, 2).toUtf8().toStdString();
    if (c.unicode() >= 0x800 && !c.isSurrogate())
        return part.mid(i, 1).toUtf8().toStdString();
    return {};
}

// The 8-bit text of one part of a path: its 8-bit characters as their bytes and the ASCII around
// them.
std::string eightBitText(QStringView part) {
    std::string bytes;
    for (qsizetype i = 0; i < part.size(); ++i) {
        const std::string own = eightBitBytes(part, i);
        if (!own.empty())
            bytes += own;
        else if (part[i].unicode() < 0x80)
            bytes += static_cast<char>(part[i].unicode());
        if (own.size() == 4)
            ++i; // a surrogate pair
    }
    return bytes;
}

bool carriesBytes(QStringView part) {
    for (qsizetype i = 0; i < part.size(); ++i) {
        if (isCarriedByte(part, i))
            return true;
    }
    return false;
}

} // namespace

QString displayFileName(const QString& name, codepage::Choice choice) {
    // Nothing to do unless a carried byte turns up: nearly every name has none.
    if (!carriesBytes(name))
        return name;
    // The parts of one path come from one archive: they are decided together.
    const QList<QStringView> parts = QStringView(name).split(u'/');
    std::vector<std::string> texts;
    for (const QStringView part : parts) {
        if (carriesBytes(part))
            texts.push_back(eightBitText(part));
    }
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    const codepage::CodePageTable& high = codepage::table(codepage::decide(views, choice).encoding);
    const auto show = [&high](QString& out, unsigned char byte) {
        out += byte < 0x80 ? QChar(byte) : QChar(high[byte - 0x80]);
    };
    QString shown;
    shown.reserve(name.size());
    for (qsizetype p = 0; p < parts.size(); ++p) {
        if (p > 0)
            shown += u'/';
        const QStringView part = parts[p];
        if (!carriesBytes(part)) {
            shown += part;
            continue;
        }
        for (qsizetype i = 0; i < part.size(); ++i) {
            const std::string own = eightBitBytes(part, i);
            if (own.empty())
                shown += part[i];
            for (const char byte : own)
                show(shown, static_cast<unsigned char>(byte));
            if (own.size() == 4)
                ++i; // a surrogate pair
        }
    }
    return shown;
}

void sortByShownName(QStringList& paths, codepage::Choice choice) {
    // Each shown name is made once, not once per comparison.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(static_cast<size_t>(paths.size()));
    for (const QString& path : std::as_const(paths))
        keyed.emplace_back(displayFileName(path, choice), path);
    const text::CaseInsensitiveOrder order;
    std::sort(keyed.begin(), keyed.end(),
              [&order](const auto& a, const auto& b) { return order(a.first, b.first); });
    for (qsizetype i = 0; i < paths.size(); ++i)
        paths[i] = std::move(keyed[static_cast<size_t>(i)].second);
}

} // namespace korvane::files
