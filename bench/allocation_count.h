// Counts the allocations the benchmark program makes through operator new, so that a
// benchmark can report how many an operation made (the tween pass should make none).
#pragma once

#include <cstdint>

namespace bench {

// Allocations through operator new since the program started.
uint64_t AllocationCount();

} // namespace bench
