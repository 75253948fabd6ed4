// Blends of plain values between two tween points.
//
// Every Tween function but TweenPoint3D overwrites its first argument, the current value
// (a copy of the earlier tween point's value), with the value a fraction f of the way toward
// the target: f == 0 is the current value, f == 1 the target. Callers pass 0 < f < 1; the
// two ends are exact where a function says so. Single precision throughout. None of them
// fails or keeps state.
#pragma once

#include <cstdint>

#include "host/qd3d_types.h"
#include "host/vectors.h"

// Changes nothing when the two are equal, so a value that holds still over an interval stays
// bit-for-bit what was recorded.
void TweenFloat(float& current, float target, float f);

// The blend is made in float and truncated toward zero, so it moves by whole steps toward
// the target and reaches it only at f == 1 (0 toward 3 at f = 0.5 gives 1, toward -3 gives
// -1). The difference is a 32-bit one, wrapping like the host's own arithmetic; a result
// beyond the 32-bit range is held at its limit.
void TweenLong(int32_t& current, int32_t target, float f);

// f == 0 leaves the value untouched; otherwise every component is blended, equal or not.
void TweenVector3D(TQ3Vector3D& current, TQ3Vector3D const& target, float f);
void TweenColorRGB(C3DColor& current, C3DColor const& target, float f);

// f == 0 leaves the range untouched; otherwise hither, then yon, each only when it differs
// from the target, so an unchanged plane keeps its recorded value exactly.
void TweenCameraRange(TQ3CameraRange* current, TQ3CameraRange const& target, float f);

// The point a fraction f along the straight line from a to b; a itself, exactly, at f == 0.
TQ3Point3D TweenPoint3D(TQ3Point3D const& a, TQ3Point3D const& b, float f);
