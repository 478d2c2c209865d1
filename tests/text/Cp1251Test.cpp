#include "text/Cp1251.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(cp1251::fromUtf8(cp1251::toUtf8(all)), all);
}

TEST(Cp1251, ConvertsCyrillicBothWays) {
    const std::string utf8 = "Привет, Ёлка! Ґ№€";
    const std::string bytes = "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xEB\xEA\xE0! \xA5\xB9\x88";
    EXPECT_EQ(cp1251::fromUtf8(utf8), bytes);
    EXPECT_EQ(cp1251::toUtf8(bytes), utf8);
}

TEST(Cp1251, UnmappableCharactersBecomeQuestionMarks) {
    struct Case {
        const char* name;
        std::string utf8;
        std::string expected;
    };
    const Case cases[] = {
        {"Greek letter", "a\xCE\xB1" "b", "a?b"},
        {"CJK", "\xE4\xB8\xAD", "?"},
        {"emoji outside the BMP", "\xF0\x9F\x8E\xB5!", "?!"},
        {"truncated sequence", "x\xD0", "x?"},
        {"stray continuation byte", "\x80y", "?y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cp1251::fromUtf8(c.utf8), c.expected) << c.name;
}

TEST(Cp1251, Utf16SurrogatePairsAndLoneSurrogates) {
    EXPECT_EQ(cp1251::fromUtf16(u"\U0001F3B5\u0416"), "?\xC6");
    const char16_t lone[] = {0xD800, u'a', 0};
    EXPECT_EQ(cp1251::fromUtf16(lone), "?a");
}

TEST(Cp1251, LocaleCaseOfLatinAndCyrillic) {
    // "Grey Owls Ёж Їжак Ђ" in Windows-1251
    const std::string mixed = "Grey Owls \xA8\xE6 \xAF\xE6\xE0\xEA \x80";
    EXPECT_EQ(cp1251::toLower(mixed), "grey owls \xB8\xE6 \xBF\xE6\xE0\xEA \x90");
    EXPECT_EQ(cp1251::toUpper(mixed), "GREY OWLS \xA8\xC6 \xAF\xC6\xC0\xCA \x80");
    EXPECT_EQ(cp1251::toLower("123 ,.-\x98"), "123 ,.-\x98");
}
