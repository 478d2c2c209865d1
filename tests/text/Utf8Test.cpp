#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

using namespace korvane;

// One decoder for every reader: each byte that starts no well-formed character costs one
// replacement character, and only a text that needs none is valid.
TEST(Utf8, ReplacesEachByteThatStartsNoCharacter) {
    const std::string replacement = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"\xD0\x9A", "\xD0\x9A"},
        {"\xE2\x82\xAC", "\xE2\x82\xAC"},
        {"\xF0\x9F\x8E\xB8", "\xF0\x9F\x8E\xB8"},
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"}, // U+10FFFF
        {"a\x80"
         "b",
         "a" + replacement + "b"},
        {"\xD0", replacement},
        {"\xD0x\xD0\x9A", replacement + "x\xD0\x9A"},
        {"\xC0\xAF", replacement + replacement},                   // overlong "/"
        {"\xE0\x80\xAF", replacement + replacement + replacement}, // overlong, three bytes
        {"\xED\xA0\x80", replacement + replacement + replacement}, // surrogate half
        {"\xF4\x90\x80\x80",
         replacement + replacement + replacement + replacement}, // past U+10FFFF
        {"\xE2\x82", replacement + replacement},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& [bytes, expected] : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(utf8::withReplacements(bytes), expected);
        EXPECT_EQ(utf8::isValid(bytes), expected == bytes);
        EXPECT_EQ(utf8::validPrefix(bytes),
                  std::string_view(bytes).substr(0, expected.find(replacement)));
    }
}
