#include "tags/AudioProperties.h"

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

} // namespace korvane::tags
