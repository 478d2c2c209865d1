#include "text/LocaleText.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(LocaleText, UnicodeToCp1251AndBack) {
    EXPECT_EQ(text::toCp1251(QStringLiteral("Кино — Группа крови")),
              "\xCA\xE8\xED\xEE \x97 \xC3\xF0\xF3\xEF\xEF\xE0 \xEA\xF0\xEE\xE2\xE8");
    EXPECT_EQ(text::toCp1251(QStringLiteral("日本")), "??");
    EXPECT_EQ(text::fromCp1251("\xD1\xEA\xE0"), QStringLiteral("Ска"));
}

TEST(LocaleText, UpperAndLowerCaseCyrillic) {
    EXPECT_EQ(text::localeUpper(QStringLiteral("гражданская оборона ёж")),
              QStringLiteral("ГРАЖДАНСКАЯ ОБОРОНА ЁЖ"));
    EXPECT_EQ(text::localeLower(QStringLiteral("ДДТ Abc")), QStringLiteral("ддт abc"));
}

TEST(LocaleText, CaseInsensitiveOrderIgnoresCase) {
    const text::CaseInsensitiveOrder order;
    EXPECT_EQ(order.compare(QStringLiteral("abc"), QStringLiteral("ABC")), 0);
    EXPECT_LT(order.compare(QStringLiteral("Alpha"), QStringLiteral("beta")), 0);
    EXPECT_LT(order.compare(QStringLiteral("ария"), QStringLiteral("Браво")), 0);
    EXPECT_LT(order.compare(QStringLiteral("Zebra"), QStringLiteral("ария")), 0);
    EXPECT_LT(order.compare(QStringLiteral("Ёж"), QStringLiteral("жук")), 0);
}

TEST(LocaleText, DecimalCommaNumbers) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"123,4", 123.4}, {"7", 7.0}, {"0,0", 0.0}, {" 3,1 ", 3.1}, {"-2", -2.0},
        {"", std::nullopt}, {"abc", std::nullopt}, {"3.1", std::nullopt}, {"1,2,3", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(text::parseDecimalComma(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(LocaleText, RussianShortDate) {
    EXPECT_EQ(text::shortDate(QDate(2026, 12, 10)), QStringLiteral("10.12.2026"));
}
