#pragma once

#include "text/CodePages.h"

#include <optional>
#include <span>
#include <string_view>

// Which code page an 8-bit text was written in, from its own bytes: every candidate decoding is
// scored with letter-pair statistics of Russian, Ukrainian, Belarusian and the Western European
// languages, and Windows-1251 stays unless another code page reads clearly better.
namespace korvane::codepage {

struct Decision {
    Encoding encoding = Encoding::Ascii;
    // Bits by which the choice reads better than the runner-up; negative when Windows-1251 was
    // kept although another code page read slightly better. 0 for Ascii and Utf8.
    double margin = 0;
    // True when the choice was close, so that a person may want to look.
    bool close = false;
};

// Decides one text. Plain ASCII is Ascii; bytes that hold multi-byte UTF-8 and nothing else are
// Utf8.
Decision detect(std::string_view bytes);

// Decides several texts of one tag together: short texts say little on their own. Ascii when
// every text is; Utf8 when every text is valid UTF-8; otherwise the code page of the texts that
// are not valid UTF-8.
Decision detect(std::span<const std::string_view> texts);

// The user's setting "Кодировка 8-битных тегов": decide each text, or read every 8-bit text in
// one code page.
enum class Choice { Auto, Windows1251, Koi8R, Cp866, Windows1252 };

// "auto", "cp1251", "koi8-r", "cp866", "cp1252": the words of set.ini and the command line.
std::string_view choiceName(Choice choice);
// The choice of one of those words; nothing for any other text.
std::optional<Choice> choiceFromName(std::string_view name);

// As detect, under the user's choice: a fixed code page takes every 8-bit text that is not
// UTF-8, with nothing close about it.
Decision decide(std::string_view bytes, Choice choice);
Decision decide(std::span<const std::string_view> texts, Choice choice);

} // namespace korvane::codepage
