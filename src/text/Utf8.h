#pragma once

#include <string>
#include <string_view>

// Well-formed UTF-8, for the readers and the code-page detector alike.
namespace korvane::utf8 {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool isValid(std::string_view bytes);

// The longest well-formed UTF-8 start of the bytes: a broken sequence cuts the text there.
std::string_view validPrefix(std::string_view bytes);

// The text as valid UTF-8: every well-formed character kept, each byte that starts no
// well-formed character replaced by U+FFFD, so one bad byte costs one character.
std::string withReplacements(std::string_view bytes);

// Appends the UTF-8 form of a code point.
void append(std::string& out, char32_t c);

} // namespace korvane::utf8
