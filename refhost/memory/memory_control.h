// The reference host's view of its relocatable memory blocks, for tests and the host
// program: what is alive, and failures on demand, so that every out-of-memory path of
// the plug-in can be exercised.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/mac_types.h"

namespace refhost::memory {

struct Usage {
    std::size_t liveBlocks = 0;
    std::size_t liveBytes = 0;
    bool operator==(Usage const&) const = default;
};

Usage CurrentUsage();
// Whether h is a block that is alive now (made and not yet disposed of).
bool IsLiveHandle(Handle h);

// The requests made so far (for sweeps that fail each request of a session in turn).
std::size_t RequestCount();
// A request is a call of NewHandle, NewHandleClear or SetHandleSize. The nth request from
// now fails (1 is the very next one); later requests succeed again. 0 disarms it.
void FailNthRequestFromNow(unsigned n);
// Every request for a block of more than byteLimit bytes fails, until cleared.
void FailRequestsAbove(Size byteLimit);
// Both failure controls off.
void ClearFailures();

// Clears the failure controls when it goes out of scope, so a failing test leaves none set.
class FailureScope {
public:
    FailureScope() = default;
    FailureScope(FailureScope const&) = delete;
    FailureScope& operator=(FailureScope const&) = delete;
    ~FailureScope() { ClearFailures(); }
};

} // namespace refhost::memory
