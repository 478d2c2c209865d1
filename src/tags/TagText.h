#pragma once

#include "text/CodePageDetector.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Every audio reader hands out its texts as UTF-8. These turn what a tag stores into UTF-8.
namespace korvane::tags {

// One 8-bit text a reader decoded (neither ASCII nor UTF-8), and how.
struct TextDecision {
    std::string bytes; // as stored
    std::string text;  // as handed out, UTF-8
    codepage::Decision decision;
};

// How a reader turns the 8-bit texts of one file into UTF-8, under the user's choice of code
// page ("Кодировка 8-битных тегов"). A text whose bytes are well-formed UTF-8 (taggers that
// write UTF-8 into Latin-1 frames) is kept, plain ASCII stays as it is; any other text is decoded
// in the code page its letters read best in (Windows-1251, KOI8-R, CP866 or Windows-1252),
// Windows-1251 when that is close. Each decision is kept, so that the command line can tell it
// and the list can mark a close one.
class EightBitTexts {
public:
    explicit EightBitTexts(codepage::Choice choice = codepage::Choice::Auto) : m_choice(choice) {}
    codepage::Choice choice() const { return m_choice; }

    // The 8-bit texts of one tag, before they are decoded one by one: a short text says little
    // on its own, so a text whose own reading is close takes the tag's reading instead.
    void setTagTexts(std::span<const std::string_view> texts);

    std::string decode(std::string_view bytes);
    // A text the format declares UTF-8 (Vorbis comments): kept when it is; with some well-formed
    // multi-byte characters each broken byte becomes U+FFFD; with none it is an 8-bit text after
    // all (a tagger that wrote its code page), and decoded as one.
    std::string decodeUtf8(std::string_view bytes);

    const std::vector<TextDecision>& decisions() const { return m_decisions; }
    // True when any text's reading was close.
    bool anyClose() const;

private:
    codepage::Choice m_choice;
    std::optional<codepage::Decision> m_tag;
    std::vector<TextDecision> m_decisions;
};

// The first `count` characters of a UTF-8 text (a character is a lead byte and what continues it).
std::string_view firstCharacters(std::string_view utf8, std::size_t count);

} // namespace korvane::tags
