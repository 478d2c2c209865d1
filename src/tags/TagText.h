#pragma once

#include <string>
#include <string_view>

// Every audio reader hands out its texts as UTF-8. These turn what a tag stores into UTF-8.
namespace korvane::tags {

// An 8-bit tag text: kept when its bytes are well-formed UTF-8 (taggers that write UTF-8 into
// Latin-1 frames), otherwise decoded in the code page its letters read best in (Windows-1251,
// KOI8-R, CP866 or Windows-1252), Windows-1251 when that is close; plain ASCII stays as it is.
std::string from8Bit(std::string_view bytes);

// The first `count` characters of a UTF-8 text (a character is a lead byte and what continues it).
std::string_view firstCharacters(std::string_view utf8, std::size_t count);

} // namespace korvane::tags
