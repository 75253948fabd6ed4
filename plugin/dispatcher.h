// The plug-in's answers to the host's messages (see host/plugin_messages.h for the
// protocol). DispatchMessage may throw; DoPlugInMessage turns every failure into -1.
#pragma once

#include <cstdint>

#include "host/plugin_messages.h"

int32_t DispatchMessage(uint32_t message, PlugInParamRec* params, int32_t* result);

// The event subscription: every bit that message 22 tells apart.
inline constexpr uint32_t kSubscribedEvents = 0x124A0B;
inline constexpr int16_t kSubscriptionSubCode = 8;

// Forgets what earlier events left in the dispatcher's statics, as after a fresh load of
// the module (for tests that run the dispatcher in one process again and again).
void ResetDispatcherStatics();
