// Blends of whole transforms between two tween points.
//
// A transform is read as scale, then rotation, then translation (CMatrix4x4's
// decomposition). Scale is blended linearly, rotation by quaternion interpolation, so an
// object turns at an even rate instead of shrinking through the middle as an entry-by-entry
// blend of two rotations would. Two transforms with the same rotation are blended entry by
// entry, which also carries every point along a straight line.
//
// Both forms leave the current matrix bit-for-bit untouched at f == 0 and make it exactly
// the target at f == 1. They expect affine matrices (last column 0, 0, 0, 1); a mirrored or
// sheared matrix blends as its decomposition reads it. Neither fails.
#pragma once

#include "host/qd3d_types.h"
#include "host/vectors.h"

// For cameras and lights, whose translation turns with them: the translation taken before
// the rotation is blended, then rotated by the blended rotation, so a position swings round
// with the turn. A shift by (10, 0, 0) toward a quarter turn about z followed by the same
// shift passes (7.071, 0, 0) halfway, not (10, 0, 0).
void TweenMatrix(TQ3Matrix4x4* current, TQ3Matrix4x4 const& target, float f);

// For objects: scales and turns about pivot, a point in the object's own untransformed
// coordinates (the centre of its bounding box), while the pivot's image moves on the
// straight line between where the two matrices put it. An object that turns about its own
// centre keeps the centre in place.
void TweenMatrix(TQ3Matrix4x4* current, TQ3Matrix4x4 const& target, float f, CPoint3D const& pivot);
