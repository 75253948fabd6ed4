// The scene object library's point, vector, parameter and colour classes. Each is its
// QuickDraw 3D structure with constructors and arithmetic, so it can be passed wherever
// the structure is expected.
//
// Degenerate inputs give finite results, never NaN: Normalise of a zero vector is the zero
// vector, and AngleBetween with a zero vector is 0.
#pragma once

#include "host/qd3d_types.h"

struct CVector3D : TQ3Vector3D {
    constexpr CVector3D() : TQ3Vector3D{0.0f, 0.0f, 0.0f} {}
    constexpr CVector3D(float x_, float y_, float z_) : TQ3Vector3D{x_, y_, z_} {}
    constexpr CVector3D(TQ3Vector3D const& v) : TQ3Vector3D(v) {}

    // Makes this vector unit length in place (a zero vector stays zero).
    CVector3D& Normalise();
};

struct CPoint3D : TQ3Point3D {
    constexpr CPoint3D() : TQ3Point3D{0.0f, 0.0f, 0.0f} {}
    constexpr CPoint3D(float x_, float y_, float z_) : TQ3Point3D{x_, y_, z_} {}
    constexpr CPoint3D(TQ3Point3D const& p) : TQ3Point3D(p) {}
};

struct CVector2D : TQ3Vector2D {
    constexpr CVector2D() : TQ3Vector2D{0.0f, 0.0f} {}
    constexpr CVector2D(float x_, float y_) : TQ3Vector2D{x_, y_} {}
    constexpr CVector2D(TQ3Vector2D const& v) : TQ3Vector2D(v) {}
};

struct CParam2D : TQ3Param2D {
    constexpr CParam2D() : TQ3Param2D{0.0f, 0.0f} {}
    constexpr CParam2D(float u_, float v_) : TQ3Param2D{u_, v_} {}
    constexpr CParam2D(TQ3Param2D const& p) : TQ3Param2D(p) {}
};

// r, g, b first, as in TQ3ColorRGB.
struct C3DColor : TQ3ColorRGB {
    constexpr C3DColor() : TQ3ColorRGB{0.0f, 0.0f, 0.0f} {}
    constexpr C3DColor(float r_, float g_, float b_) : TQ3ColorRGB{r_, g_, b_} {}
    constexpr C3DColor(TQ3ColorRGB const& c) : TQ3ColorRGB(c) {}
};

static_assert(sizeof(CVector3D) == 12 && sizeof(CPoint3D) == 12 && sizeof(C3DColor) == 12);
static_assert(sizeof(CVector2D) == 8 && sizeof(CParam2D) == 8);

// Component-wise arithmetic in single precision.
constexpr CVector3D operator+(CVector3D const& a, CVector3D const& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
constexpr CVector3D operator-(CVector3D const& a, CVector3D const& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr CVector3D operator-(CVector3D const& v) {
    return {-v.x, -v.y, -v.z};
}
constexpr CVector3D operator*(CVector3D const& v, float s) {
    return {v.x * s, v.y * s, v.z * s};
}
constexpr CVector3D operator*(float s, CVector3D const& v) {
    return v * s;
}
constexpr CVector3D operator-(CPoint3D const& a, CPoint3D const& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr CPoint3D operator+(CPoint3D const& p, CVector3D const& v) {
    return {p.x + v.x, p.y + v.y, p.z + v.z};
}
constexpr CPoint3D operator-(CPoint3D const& p, CVector3D const& v) {
    return {p.x - v.x, p.y - v.y, p.z - v.z};
}
constexpr bool operator==(TQ3Vector3D const& a, TQ3Vector3D const& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
constexpr bool operator==(TQ3Point3D const& a, TQ3Point3D const& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

float DotProduct(CVector3D const& a, CVector3D const& b);
CVector3D CrossProduct(CVector3D const& a, CVector3D const& b);
// Length of the vector.
float Pythag(CVector3D const& v);
// The unit vector along v; the zero vector for a zero (or too short to scale) vector.
CVector3D Normalise(CVector3D const& v);
// The angle between the two directions in radians, 0..pi. Accurate for nearly parallel and
// nearly opposite vectors alike (no arc cosine of a rounded dot product); 0 when either
// vector is zero.
float AngleBetween(CVector3D const& a, CVector3D const& b);
