// Setting the host's three times from the palette, keeping minimum <= current <= maximum
// and the drawer's time fields in step.
#pragma once

#include <cstdint>

// Each does nothing when the host already has the value. Otherwise it stores it, moves
// the other times to keep the order (rewriting their fields), writes its own drawer field
// when updateField is true, and marks the time slider and the time line for redisplay.
void SetMinTime(int32_t time, bool updateField);
void SetCurTime(int32_t time, bool updateField);
void SetMaxTime(int32_t time, bool updateField);
