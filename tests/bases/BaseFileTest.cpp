#include "bases/BaseFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane::bases {
namespace {

using Lines = std::vector<std::string>;

Lines split(std::string_view bytes) {
    Lines out;
    for (std::string_view line : splitBaseLines(bytes))
        out.emplace_back(line);
    return out;
}

TEST(BaseLines, LineBreaks) {
    const struct {
        const char* name;
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"empty file", "", {}},
        {"no line break", "abc=rock", {"abc=rock"}},
        {"final CR LF starts no line", "a=1\r\n", {"a=1"}},
        {"CR LF", "a=1\r\nb=2", {"a=1", "b=2"}},
        {"LF only", "a=1\nb=2\n", {"a=1", "b=2"}},
        {"CR only", "a=1\rb=2\r", {"a=1", "b=2"}},
        {"mixed breaks", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"empty line in the middle", "a\r\n\r\nb", {"a", "", "b"}},
        {"a lone line break is one empty line", "\r\n", {""}},
        {"two line breaks", "\n\n", {"", ""}},
        {"LF then CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"line of blanks kept", "  \r\n", {"  "}},
        {"NUL byte kept", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(split(c.bytes), c.lines) << c.name;
}

TEST(BaseLines, LineSyntax) {
    const struct {
        const char* name;
        std::string line;
        BaseEntry entry;
    } cases[] = {
        {"further = stay in the value", "abc=rock=pop", {"abc", "rock=pop"}},
        {"key lower-cased, value as written", "Grey Owls=Canada", {"grey owls", "Canada"}},
        {"no =", "just text", {"", "just text"}},
        {"empty line", "", {"", ""}},
        {"line starting with =", "=Punk", {"", "Punk"}},
        {"empty value", "abc=", {"abc", ""}},
        {"nothing trimmed", " Abc =  Rock ", {" abc ", "  Rock "}},
        // A byte-order mark is not recognised: its bytes belong to the first key.
        {"BOM stays in the key",
         "\xEF\xBB\xBF"
         "Abc=Rock",
         {"\xEF\xBB\xBF"
          "abc",
          "Rock"}},
        // "КИНО" and "ЁЖ" in Windows-1251 lower to "кино" and "ёж".
        {"Cyrillic key lower-cased",
         "\xCA\xC8\xCD\xCE=\xD0\xEE\xEA",
         {"\xEA\xE8\xED\xEE", "\xD0\xEE\xEA"}},
        {"Yo lower-cased", "\xA8\xC6=x", {"\xB8\xE6", "x"}},
        {"digits and signs unchanged", "AC/DC 1979=x", {"ac/dc 1979", "x"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseBaseLine(c.line), c.entry) << c.name;
}

TEST(BaseTable, FirstEntryOfAKeyWins) {
    BaseTable table;
    table.add({"owls", "Punk"});
    table.add({"owls", "Rock"});
    table.add({"", "first empty"});
    table.add({"", "second empty"});
    ASSERT_NE(table.find("owls"), nullptr);
    EXPECT_EQ(*table.find("owls"), "Punk");
    EXPECT_EQ(*table.find(""), "first empty");
    EXPECT_EQ(table.find("owl"), nullptr);
    EXPECT_EQ(table.find("owls "), nullptr);
    EXPECT_EQ(table.find("Owls"), nullptr);
}

TEST(GroupKey, CaptionUpToTheFirstSeparator) {
    const QString separator = QStringLiteral("  \\  ");
    // The absent key's default as the trimming leaves it: two blanks and a backslash.
    const QString shortSeparator = QStringLiteral("  \\");
    const struct {
        const char* name;
        QString caption;
        QString separator;
        std::string key;
    } cases[] = {
        {"upper-case group", QStringLiteral("GREY OWLS  \\  First Flight"), separator, "grey owls"},
        {"short separator finds the same group", QStringLiteral("Grey Owls  \\  First Flight"),
         shortSeparator, "grey owls"},
        {"first separator only", QStringLiteral("A  \\  B  \\  C"), separator, "a"},
        {"category header caption", QStringLiteral("Punk"), separator, ""},
        {"trailing blank of the group kept", QStringLiteral("Owls   \\  X"), separator, "owls "},
        {"Cyrillic group in Windows-1251", QStringLiteral("КИНО  \\  Группа крови"), separator,
         "\xEA\xE8\xED\xEE"},
        {"characters outside the code page become ?", QStringLiteral("Björk  \\  Post"), separator,
         "bj?rk"},
        {"separator at the start", QStringLiteral("  \\  Album"), separator, ""},
        {"empty separator", QStringLiteral("A  \\  B"), QString(), ""},
        {"other separator", QStringLiteral("Kino - 1988"), QStringLiteral(" - "), "kino"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(groupKey(c.caption, c.separator), c.key) << c.name;
}

} // namespace
} // namespace korvane::bases
