// The blend of a camera's placement (location, point of interest, up vector) between two
// tween points.
#pragma once

#include "host/qd3d_types.h"

// Overwrites the current placement (a copy of the earlier tween point's) with the placement
// a fraction f of the way toward the target; f == 0 changes nothing, and f == 1 gives the
// target up to rounding.
//
// - Lines of sight within 0.01 radian of parallel: location and point of interest move in
//   straight lines.
// - Lines of sight that turn: the camera swings about the place where the two lines of sight
//   meet (or come closest), its line of sight turning at an even rate about their common
//   perpendicular, and its distance from that place and the length of the line of sight
//   blended linearly. A camera circling what it looks at stays on the circle: from
//   (0, 0, 10) to (10, 0, 0), both looking at the origin, it passes (7.071, 0, 7.071).
// - Lines of sight within 0.01 radian of opposite: they have no useful meeting place, so
//   the camera makes a half turn about its up direction, centred on whichever end (the
//   location or the point of interest) moves less.
//
// The up vector is blended and made unit length; where the blend cancels out (the camera
// rolls a half turn) it is taken perpendicular to both the line of sight and the earlier up
// vector. It always comes out of unit length, whatever the two tween points stored. A
// location equal to its point of interest counts as a parallel line of sight. Finite inputs
// give a finite placement.
void TweenCameraPlacement(TQ3CameraPlacement* current, TQ3CameraPlacement const& target, float f);
