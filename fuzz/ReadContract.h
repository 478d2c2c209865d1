#pragma once

#include "tags/ReadResult.h"

// What every reader promises on bytes in memory: no read can fail, so the answer is the bytes'
// own, and damage says why.
inline bool keepsReadContract(const korvane::tags::ReadResult& result) {
    return !result.isUnreadable() && result.isDamaged() == !result.reason().empty();
}
