// Host times are 32-bit counts that wrap: a sum past either end comes round to the other,
// as the host's own arithmetic does (one after the latest time is the earliest).
#pragma once

#include <cstdint>

#include "host/framework.h"

constexpr int32_t HostTimeSum(int32_t time, int32_t offset) {
    return static_cast<int32_t>(static_cast<uint32_t>(time) + static_cast<uint32_t>(offset));
}

static_assert(HostTimeSum(INT32_MAX, 1) == INT32_MIN && HostTimeSum(INT32_MIN, -1) == INT32_MAX);

// The host's time units per second as a float. A clock that claims 0 units a second (the
// host's own readers refuse one, but the plug-in does not rely on that) counts as 1, so that
// nothing the plug-in computes from it is infinite or NaN.
inline float TimeUnitsPerSecond() {
    uint32_t const units = PL_GetTimeUnitsPerSecond();
    return units == 0 ? 1.0f : static_cast<float>(units);
}
