// The scene object library's 3x3 matrix for transforms of texture (u, v) coordinates:
// row vectors (u, v, 1) multiplied on the left, translation in row 2. A * B applies A first.
#pragma once

#include "host/qd3d_types.h"
#include "host/vectors.h"

class CMatrix3x3 : public TQ3Matrix3x3 {
public:
    // The identity.
    CMatrix3x3();
    // A uniform scale of u and v, 1 in the last diagonal entry; CMatrix3x3(1.0) is the
    // identity.
    explicit CMatrix3x3(double scale);
    CMatrix3x3(TQ3Matrix3x3 const& m);

    float* operator[](int row) { return value[row]; }
    float const* operator[](int row) const { return value[row]; }

    CMatrix3x3 operator*(CMatrix3x3 const& other) const;
    CMatrix3x3& operator*=(CMatrix3x3 const& other);
    bool operator==(CMatrix3x3 const& other) const;

    // Splits an affine transform as ScaleMat(scale) * RotateMat(origin, angle) *
    // TranslateMat(translation): angle in radians, -pi..pi. A mirrored transform keeps the
    // mirror in a negative v scale. A transform that collapses u gives its angle from v; one
    // that collapses both gives angle 0.
    void Decompose(CVector2D& scale, float& angle, CVector2D& translation) const;
};
static_assert(sizeof(CMatrix3x3) == 36);

CMatrix3x3 TranslateMat(float du, float dv);
CMatrix3x3 ScaleMat(float su, float sv);
// A rotation by radians about centre, counter-clockwise (u toward v).
CMatrix3x3 RotateMat(TQ3Point2D const& centre, float radians);

CParam2D operator*(CParam2D const& p, CMatrix3x3 const& m);
