// The name and version under which the plug-in registers with the host.
#pragma once

#include <cstdint>

#include "host/mac_types.h"

inline constexpr char kRegistrationText[] = "Quillfern:KeyposeSequencer";
inline constexpr int32_t kRegistrationVersion = 4096;

// The registration name as the host takes it: a 64-byte Pascal string, the length byte,
// the characters and zero bytes to the end. Built afresh for every call that passes it.
void MakeRegistrationName(Str63& name);
