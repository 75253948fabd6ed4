// The process's peak resident memory, and a way to start measuring it afresh, so that a
// benchmark can report how much memory one operation needed at its most.
#pragma once

#include <cstddef>

namespace bench {

// Starts a new peak: the kernel's high-water mark of resident memory is set to what the
// process holds now. False where the kernel does not allow it.
bool ResetPeakMemory();
// The resident memory's high-water mark since the last reset (or the start), in bytes.
std::size_t PeakMemory();

} // namespace bench
