#include "files/FileName.h"

#include "text/Cp1251.h"
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

QString displayFileName(const QString& name) {
    // Read-only until a carried byte turns up: the sorts call this for every comparison, and
    // nearly every name has none.
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isCarriedByte(name, i))
            continue;
        if (shown.isNull())
            shown = name;
        shown[i] = QChar(char16_t(cp1251::toUnicode(carriedByte(name[i]))));
    }
    return shown.isNull() ? name : shown;
}

void sortByShownName(QStringList& paths) {
    // Each shown name is made once, not once per comparison.
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(static_cast<size_t>(paths.size()));
    for (const QString& path : std::as_const(paths))
        keyed.emplace_back(displayFileName(path), path);
    const text::CaseInsensitiveOrder order;
    std::sort(keyed.begin(), keyed.end(),
              [&order](const auto& a, const auto& b) { return order(a.first, b.first); });
    for (qsizetype i = 0; i < paths.size(); ++i)
        paths[i] = std::move(keyed[static_cast<size_t>(i)].second);
}

} // namespace korvane::files
