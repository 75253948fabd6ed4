// The scene object library's rotation quaternion, w + xi + yj + zk, describing the same
// rotations as CMatrix4x4 (row vectors on the left, counter-clockwise about an axis that
// points at the viewer).
#pragma once

#include "host/matrix4x4.h"

struct CQuaternion {
    float w, x, y, z;

    // No rotation.
    constexpr CQuaternion() : w(1.0f), x(0.0f), y(0.0f), z(0.0f) {}
    constexpr CQuaternion(float w_, float x_, float y_, float z_) : w(w_), x(x_), y(y_), z(z_) {}
    // The rotation held in the upper 3x3 of a proper rotation matrix (as ExtractRotation()
    // gives it); the result has unit length and w >= 0. CMatrix4x4(CQuaternion(R)) == R up to
    // rounding.
    explicit CQuaternion(CMatrix4x4 const& rotation);
};

// The rotation a fraction f of the way from a to b, the short way round, at constant angular
// speed (spherical interpolation; nearly equal rotations are blended linearly and
// renormalised). f == 0 gives a exactly; f == 1 gives b exactly, or -b (the same rotation)
// when b lies on the far side of a.
CQuaternion InterpolateLinear(CQuaternion const& a, CQuaternion const& b, float f);
