// What the three DoTween bodies share: each cache applies at most once per host time.
#pragma once

#include <cstdint>

class CCache;

// Reads the host's current time. False when the cache was applied at this time already or
// has no records; otherwise the time is noted first, so that a failure while applying is
// not retried until the time moves, and *now receives it.
bool BeginApplication(CCache& cache, int32_t* now);
