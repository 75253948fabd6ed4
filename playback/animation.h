// The animation pass: brings the scene to the host's current time.
#pragma once

#include <cstdint>
#include <map>

// Per host view (its reference, ordered by address), the current time of its last
// animation pass. Entries stay while the plug-in is loaded.
extern std::map<char*, int32_t> gMapLastUpdate;

// Rebuilds the caches when they are stale, then applies the tween points and runs the
// effects at the current time.
void DoAnimation();
