#include "tags/AudioProperties.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace korvane::tags {

std::int32_t AudioProperties::bitRate() const {
    if (!(durationSeconds > 0) || audioBytes <= 0)
        return 0;
    // A duration of a few samples gives rates past 32 bits.
    const double rate = std::nearbyint(static_cast<double>(audioBytes) / durationSeconds / 125);
    return rate >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(rate);
}

std::string yearFromDate(std::string_view date) {
    if (date.size() < 4 ||
        !std::all_of(date.begin(), date.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    return std::string(date.substr(0, 4));
}

} // namespace korvane::tags
