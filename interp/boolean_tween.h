// Blends of on/off flags between two tween points.
//
// A flag that is on at either end of an interval is on throughout it: one that is switched
// on at the later tween point comes on as soon as the interval starts, and one that is
// switched off there goes off only when the interval is complete (f >= 1). A flag that is
// the same at both ends is left as it is.
#pragma once

#include "host/qd3d_types.h"

void TweenBool(bool* current, bool target, float f);

// TQ3Boolean values are compared as truth values, so any two non-zero values count as the
// same. A flag that stays on or off keeps its stored value; one that switches is written as
// kQ3True or kQ3False.
void TweenTQ3Bool(TQ3Boolean* current, TQ3Boolean target, float f);
