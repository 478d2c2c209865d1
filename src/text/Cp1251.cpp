#include "text/Cp1251.h"

#include <algorithm>
#include <array>
#include <utility>

namespace korvane::cp1251 {
namespace {

// Bytes 0x80..0xFF. 0x98 has no character in the code page; it maps to U+0098 so that such a
// byte survives a round trip instead of turning into '?'.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, //
};

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

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
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
        appendUtf8(out, toUnicode(static_cast<unsigned char>(b)));
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
        appendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
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
