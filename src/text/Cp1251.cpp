#include "text/Cp1251.h"

#include "text/CodePages.h"
#include "text/Utf8.h"

#include <algorithm>
#include <array>
#include <utility>

namespace korvane::cp1251 {
namespace {

constexpr const codepage::CodePageTable& kHighHalf = codepage::kWindows1251;

// The high half sorted by code point, for the reverse lookup.
constexpr auto kReverse = [] {
    std::array<std::pair<char16_t, unsigned char>, 128> table{};
    for (size_t i = 0; i < kHighHalf.size(); ++i)
        table[i] = {kHighHalf[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(table.begin(), table.end());
    return table;
}();

constexpr char32_t kReplacement = 0xFFFD;

char32_t lowerCodePoint(char32_t c) {
    if (c >= U'A' && c <= U'Z')
        return c + 0x20;
    if (c >= 0x0410 && c <= 0x042F) // А..Я
        return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F) // Ѐ..Џ
        return c + 0x50;
    if (c == 0x0490) // Ґ
        return 0x0491;
    return c;
}

char32_t upperCodePoint(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if (c >= 0x0430 && c <= 0x044F)
        return c - 0x20;
    if (c >= 0x0450 && c <= 0x045F)
        return c - 0x50;
    if (c == 0x0491)
        return 0x0490;
    return c;
}

// Decodes one UTF-8 sequence at text[pos], advancing pos; a malformed sequence yields
// kReplacement and consumes one byte.
char32_t nextUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;
    int extra = 0;
    char32_t c = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
    } else {
        return kReplacement;
    }
    if (text.size() - pos < static_cast<size_t>(extra))
        return kReplacement;
    for (int i = 0; i < extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return kReplacement;
        c = (c << 6) | (next & 0x3F);
    }
    pos += extra;
    return c;
}

// Decodes one code point at text[pos], advancing pos past a surrogate pair; a lone surrogate is
// returned as it is.
char32_t nextUtf16(std::u16string_view text, size_t& pos) {
    const char32_t c = text[pos++];
    if (c >= 0xD800 && c <= 0xDBFF && pos < text.size() && text[pos] >= 0xDC00 &&
        text[pos] <= 0xDFFF)
        return 0x10000 + ((c - 0xD800) << 10) + (text[pos++] - 0xDC00);
    return c;
}

} // namespace

char32_t toUnicode(unsigned char byte) {
    return byte < 0x80 ? char32_t(byte) : char32_t(kHighHalf[byte - 0x80]);
}

unsigned char fromUnicode(char32_t codePoint) {
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    if (codePoint > 0xFFFF)
        return '?';
    const auto key = static_cast<char16_t>(codePoint);
    const auto it = std::lower_bound(kReverse.begin(), kReverse.end(), key,
                                     [](const auto& entry, char16_t k) { return entry.first < k; });
    return it != kReverse.end() && it->first == key ? it->second : '?';
}

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes)
        utf8::append(out, toUnicode(static_cast<unsigned char>(b)));
    return out;
}

std::string fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size())
        out += static_cast<char>(fromUnicode(nextUtf8(utf8, pos)));
    return out;
}

std::string fromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size();)
        out += static_cast<char>(fromUnicode(nextUtf16(utf16, i)));
    return out;
}

std::string utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 2);
    for (size_t i = 0; i < utf16.size();) {
        const char32_t c = nextUtf16(utf16, i);
        utf8::append(out, c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
    }
    return out;
}

unsigned char toLower(unsigned char byte) {
    const char32_t c = toUnicode(byte);
    const char32_t lower = lowerCodePoint(c);
    return lower == c ? byte : fromUnicode(lower);
}

unsigned char toUpper(unsigned char byte) {
    const char32_t c = toUnicode(byte);
    const char32_t upper = upperCodePoint(c);
    return upper == c ? byte : fromUnicode(upper);
}

std::string toLower(std::string_view bytes) {
    std::string out(bytes);
    for (char& b : out)
        b = static_cast<char>(toLower(static_cast<unsigned char>(b)));
    return out;
}

std::string toUpper(std::string_view bytes) {
    std::string out(bytes);
    for (char& b : out)
        b = static_cast<char>(toUpper(static_cast<unsigned char>(b)));
    return out;
}

} // namespace korvane::cp1251
