#pragma once

#include <regex>
#include <string>

namespace korvane::test {

// Two writes of one list may fall in different seconds: the moment a file was made
// ("generated" in JSON, "Создан:" in TXT) is left out when two outputs are compared.
inline std::string withoutMadeTime(const std::string& text) {
    static const std::regex made(R"(("generated": "[^"]*")|(Создан: [^\r\n]*))");
    return std::regex_replace(text, made, "<time>");
}

} // namespace korvane::test
