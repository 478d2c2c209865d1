#pragma once

#include <string>
#include <string_view>

// Windows-1251, the single code page of every 8-bit text Korvane reads or writes: set.ini, the
// bases, the templates, the TXT and HTML output and the 8-bit tag texts. Plain C++ so that the
// audio readers, which use no Qt, share it with everyone else.
namespace korvane::cp1251 {

// The Unicode code point of one Windows-1251 byte.
char32_t toUnicode(unsigned char byte);

// The Windows-1251 byte of a code point, or '?' when the code page has none.
unsigned char fromUnicode(char32_t codePoint);

// Conversions between Windows-1251 bytes and UTF-8 / UTF-16. Unmappable characters become '?';
// malformed UTF-8 sequences and lone surrogates count as unmappable characters.
std::string toUtf8(std::string_view bytes);
std::string fromUtf8(std::string_view utf8);
std::string fromUtf16(std::u16string_view utf16);
// UTF-16 as UTF-8, for the readers of Unicode tags; a lone surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view utf16);

// Locale case of 8-bit texts: Latin and Cyrillic letters (Ё, Ґ, Є, І, Ї, Ў and the Serbian and
// Macedonian letters included) change, every other byte stays.
unsigned char toLower(unsigned char byte);
unsigned char toUpper(unsigned char byte);
std::string toLower(std::string_view bytes);
std::string toUpper(std::string_view bytes);

} // namespace korvane::cp1251
