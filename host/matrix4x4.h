// The scene object library's 4x4 matrix: one TQ3Matrix4x4, row-major, with points as row
// vectors multiplied on the left (p * M) and the translation in row 3. A * B applies A
// first, then B.
//
// Decomposition. An affine matrix M is read as S * R with a translation row: S scales along
// x, y and z, R is a proper rotation. ExtractRotation() gives R and ExtractScale() the scale
// factors on the diagonal, so that M * InverseOf(R) holds only the scale on its diagonal and
// the translation in row 3.
// - A mirrored matrix (negative determinant) has no proper rotation with positive scales;
//   the mirror goes into the scale of the axis that the matrix reverses most, so a matrix
//   mirrored in z gives R = identity and scale z = -1.
// - A sheared matrix cannot be split exactly; R is then built from the x row, the part of the
//   y row perpendicular to it and their cross product, and the shear stays below the diagonal
//   of M * InverseOf(R).
// - An axis scaled to zero gets a rotation row completed from the other axes, so R is always
//   a proper rotation and never NaN.
#pragma once

#include "host/qd3d_types.h"
#include "host/vectors.h"

struct CQuaternion;

class CMatrix4x4 : public TQ3Matrix4x4 {
public:
    // The identity.
    CMatrix4x4();
    // A uniform scale: scale on the first three diagonal entries, 1 in the last, zero
    // elsewhere; so CMatrix4x4(1.0) is the identity.
    explicit CMatrix4x4(double scale);
    // Copies the 16 values.
    CMatrix4x4(TQ3Matrix4x4 const& m);
    // The rotation that the unit quaternion q describes.
    explicit CMatrix4x4(CQuaternion const& q);

    float* operator[](int row) { return value[row]; }
    float const* operator[](int row) const { return value[row]; }

    CMatrix4x4 operator*(CMatrix4x4 const& other) const;
    CMatrix4x4& operator*=(CMatrix4x4 const& other);
    // Exact element-by-element equality.
    bool operator==(CMatrix4x4 const& other) const;

    // The pure rotation R of this matrix (see the decomposition rules above).
    CMatrix4x4 ExtractRotation() const;
    // A matrix whose diagonal [0][0], [1][1], [2][2] holds the signed scale factors along
    // x, y and z, with 1 in [3][3] and zero elsewhere.
    CMatrix4x4 ExtractScale() const;
};
static_assert(sizeof(CMatrix4x4) == 64);

// The inverse of an invertible matrix. A singular matrix (no inverse) gives the identity, so
// that products with it stay finite; callers that must know test the determinant themselves.
CMatrix4x4 InverseOf(CMatrix4x4 const& m);
double Determinant(CMatrix4x4 const& m);

// A pure translation by d (row 3).
CMatrix4x4 TranslateMat(CVector3D const& d);
// A scale along x, y and z.
CMatrix4x4 ScaleMat(CVector3D const& s);
// A rotation by radians about an axis through the origin, counter-clockwise when the axis
// points at the viewer: RotateMat((0, 0, 1), pi / 2) takes (1, 0, 0) to (0, 1, 0). A zero
// axis gives the identity.
CMatrix4x4 RotateMat(CVector3D const& axis, float radians);
// The same rotation about an axis through the point centre.
CMatrix4x4 RotateMat(CPoint3D const& centre, CVector3D const& axis, float radians);

// The point under the matrix, translation included. A projective matrix (last column other
// than 0, 0, 0, 1) has its result divided by w, unless w is 0.
CPoint3D operator*(CPoint3D const& p, CMatrix4x4 const& m);
// The direction under the matrix: rotation and scale, no translation.
CVector3D operator*(CVector3D const& v, CMatrix4x4 const& m);
