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

#include <array>

#include "host/qd3d_types.h"
#include "host/quaternion.h"
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

// One transform taken apart as a blend about a pivot needs it: its rotation (the upper 3x3
// of ExtractRotation(), which tells equal rotations apart, and as a quaternion) and its
// signed scale factors. A function of the matrix alone, so it can be made once and kept for
// as long as the matrix stays the same; making it is the dear part of a blend.
struct CPlacementParts {
    std::array<float, 9> rotation{};
    CQuaternion quaternion;
    std::array<float, 3> scale{};
};
CPlacementParts PlacementPartsOf(TQ3Matrix4x4 const& m);

// The blend about a pivot from one transform toward another with everything that does not
// depend on the fraction (the two rotations and scales, where each matrix puts the pivot)
// worked out once, when it is made. A row that plays between the same two tween points tick
// after tick keeps one and pays only the quaternion interpolation and three products per
// tick. At(f) gives bit for bit what TweenMatrix(&from, to, f, pivot) leaves in from, for
// every f (TweenMatrix is built on it).
class CPivotMatrixBlend {
public:
    // A blend of nothing: IsFor answers false until one is made.
    CPivotMatrixBlend() = default;
    CPivotMatrixBlend(TQ3Matrix4x4 const& from, TQ3Matrix4x4 const& to, CPoint3D const& pivot);
    // The same blend from the parts of the two transforms made beforehand (fromParts must be
    // PlacementPartsOf(from), toParts PlacementPartsOf(to)): only where each puts the pivot
    // is left to work out. At gives bit for bit what the blend made above gives.
    CPivotMatrixBlend(TQ3Matrix4x4 const& from, CPlacementParts const& fromParts,
                      TQ3Matrix4x4 const& to, CPlacementParts const& toParts,
                      CPoint3D const& pivot);

    // Whether this is the blend of these very bytes.
    bool IsFor(TQ3Matrix4x4 const& from, TQ3Matrix4x4 const& to, CPoint3D const& pivot) const;
    TQ3Matrix4x4 At(float f) const;

private:
    bool fMade = false;
    TQ3Matrix4x4 fFrom{}, fTo{};
    CPoint3D fPivot;
    // Same rotation at both ends: the blend is entry by entry and nothing below is used.
    bool fSameRotation = false;
    CQuaternion fRotationFrom, fRotationTo;
    std::array<float, 3> fScaleFrom{}, fScaleTo{};
    CPoint3D fPivotFrom, fPivotTo;
};
