#include "text/CodePageDetector.h"

#include "text/CodePageModel.h"
#include "text/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace korvane::codepage {
namespace {

using model::kStepsPerBit;

// Costs in the model's steps (a quarter of a bit).
constexpr int kSignCost = 1 * kStepsPerBit; // quotes and dashes: titles have them
constexpr int kOddCost = 8 * kStepsPerBit;  // other signs: titles seldom do,
constexpr int kGlueCost = 8 * kStepsPerBit; // and hardly ever inside a word ("Tr№mmer")
constexpr int kCaseCost = 6 * kStepsPerBit; // "кИНО": a capital right after a small letter
// How much better another code page must read before Windows-1251 gives way, and below which
// margin a choice counts as close.
constexpr int kSwitchMargin = 6 * kStepsPerBit;
constexpr int kCloseMargin = 12 * kStepsPerBit;

constexpr std::uint8_t kBoundary = 0;
constexpr std::uint8_t kSign = 1;
constexpr std::uint8_t kOdd = 2;
constexpr std::uint8_t kCapital = 0x80;

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

// The cost of reading the bytes through one code page's symbols: lower is more plausible.
int cost(std::string_view bytes, const std::array<std::uint8_t, 256>& symbols) {
    int total = 0;
    int previous = kBoundary;
    bool previousSmall = false;
    // Whether the previous byte was a sign past ASCII, and whether that sign would be glued to
    // a letter that follows it: an odd sign always, a quote or dash when a letter precedes it.
    bool previousMark = false;
    bool markGlues = false;
    for (const char b : bytes) {
        const std::uint8_t entry = symbols[static_cast<unsigned char>(b)];
        int symbol = entry & ~kCapital;
        if (symbol == kSign || symbol == kOdd) {
            total += symbol == kOdd ? kOddCost : kSignCost;
            if (previousMark) // "„……‚": titles hardly chain such signs
                total += kGlueCost;
            if (symbol == kOdd && previous != kBoundary)
                total += kGlueCost;
            markGlues = symbol == kOdd || previous != kBoundary;
            previousMark = true;
            symbol = kBoundary;
        } else {
            if (previousMark && markGlues && symbol != kBoundary)
                total += kGlueCost;
            previousMark = false;
        }
        if (symbol == kBoundary && previous == kBoundary) {
            previousSmall = false;
            continue;
        }
        total += model::kPairCosts[previous * model::kSymbolCount + symbol];
        const bool capital = (entry & kCapital) != 0;
        if (capital && previousSmall)
            total += kCaseCost;
        previousSmall = symbol != kBoundary && !capital;
        previous = symbol;
    }
    if (previous != kBoundary)
        total += model::kPairCosts[previous * model::kSymbolCount + kBoundary];
    return total;
}

} // namespace

Decision detect(std::string_view bytes) {
    return decide(bytes, Choice::Auto);
}

Decision detect(std::span<const std::string_view> texts) {
    return decide(texts, Choice::Auto);
}

namespace {

constexpr std::array<std::pair<Choice, std::string_view>, 5> kChoiceNames = {{
    {Choice::Auto, "auto"},
    {Choice::Windows1251, "cp1251"},
    {Choice::Koi8R, "koi8-r"},
    {Choice::Cp866, "cp866"},
    {Choice::Windows1252, "cp1252"},
}};

Encoding fixedEncoding(Choice choice) {
    switch (choice) {
    case Choice::Koi8R:
        return Encoding::Koi8R;
    case Choice::Cp866:
        return Encoding::Cp866;
    case Choice::Windows1252:
        return Encoding::Windows1252;
    default:
        return Encoding::Windows1251;
    }
}

} // namespace

std::string_view choiceName(Choice choice) {
    for (const auto& [c, name] : kChoiceNames) {
        if (c == choice)
            return name;
    }
    return {};
}

std::optional<Choice> choiceFromName(std::string_view name) {
    for (const auto& [choice, word] : kChoiceNames) {
        if (word == name)
            return choice;
    }
    return std::nullopt;
}

Decision decide(std::string_view bytes, Choice choice) {
    return decide(std::span<const std::string_view>(&bytes, 1), choice);
}

Decision decide(std::span<const std::string_view> texts, Choice choice) {
    std::array<int, kCodePages.size()> costs{};
    bool eightBit = false;
    bool anyUtf8 = false;
    for (const std::string_view text : texts) {
        if (isAscii(text))
            continue;
        if (utf8::isValid(text)) {
            anyUtf8 = true;
            continue;
        }
        eightBit = true;
        for (std::size_t i = 0; choice == Choice::Auto && i < kCodePages.size(); ++i)
            costs[i] += cost(text, model::kSymbols[i]);
    }
    if (!eightBit)
        return {anyUtf8 ? Encoding::Utf8 : Encoding::Ascii, 0, false};
    if (choice != Choice::Auto)
        return {fixedEncoding(choice), 0, false};

    // kCodePages[0] is Windows-1251, the code page that stays when the evidence is weak.
    const auto best =
        static_cast<std::size_t>(std::min_element(costs.begin(), costs.end()) - costs.begin());
    const std::size_t chosen = costs[0] - costs[best] < kSwitchMargin ? 0 : best;
    int runnerUp = 0;
    bool first = true;
    for (std::size_t i = 0; i < costs.size(); ++i) {
        if (i != chosen && (first || costs[i] < runnerUp)) {
            runnerUp = costs[i];
            first = false;
        }
    }
    const int margin = runnerUp - costs[chosen];
    return {kCodePages[chosen], double(margin) / kStepsPerBit, margin < kCloseMargin};
}

} // namespace korvane::codepage
