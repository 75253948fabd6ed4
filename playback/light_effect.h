// The light effect pass: lights with a light effect turn their hue, strobe and pulse. Only
// the data every light has (on or off, brightness, colour) changes.
#pragma once

#include <cstdint>

#include "host/qd3d_types.h"
#include "playback/effect_records.h"

class CShapeObject;

// Every light of gAnimateLightItems, last to first, at time now after the view's previous
// pass at previous; one that fails is left as it is.
void DoLightAnimation(uint32_t now, uint32_t previous);

void ApplyLightTransformToGeometry(CShapeObject& light, uint32_t now, uint32_t previous,
                                   TLightAttributeData& data);
// The hue turn, then the strobe and the pulse at the phase time (now - startTime, or now
// before the start).
void ModifyLightData(TQ3LightData* light, uint32_t now, uint32_t previous,
                     TLightAttributeData& data);
// Turns the hue by hueRate for the time between the two, in the direction time moved.
void ModifyLightColour(TQ3LightData* light, uint32_t now, uint32_t previous,
                       TLightAttributeData& data);
// On for strobeOnTime, then off for strobeOffTime, from the start of every cycle. A cycle
// that comes to no host time at all leaves the light as it is.
void ModifyLightStrobeStatus(TQ3LightData* light, uint32_t phase, TLightAttributeData& data);
// A triangle wave from the peak down to 0 and back, 100 / pulseRate seconds each way. A
// pulse whose period comes to no host time (or to one beyond the clock's range) leaves the
// brightness as it is.
void ModifyLightBrightness(TQ3LightData* light, uint32_t phase, TLightAttributeData& data);
