// The geometries of the scene library as triangles and line segments in their own
// coordinates, ready to be placed and shaded. Pure functions.
//
// Box faces are numbered as the box keeps their attribute sets: 0 and 1 the faces at the
// start and end of the minor axis, 2 and 3 of the orientation axis, 4 and 5 of the major
// axis. Every face gets the whole texture, (0, 0) at its first corner. NURB control points
// are homogeneous (x·w, y·w, z·w, w); a patch's u runs along its columns (uKnots, uOrder)
// and v along its rows; its texture coordinates are u and v scaled to 0..1.
#pragma once

#include <array>
#include <vector>

#include "host/qd3d_types.h"
#include "refhost/scene/objects.h"

namespace refhost::view3d {

struct Corner {
    TQ3Point3D point{};
    TQ3Param2D uv{};
    // The unit normal the geometry gives the corner (a mesh's own normals), or zero where the
    // face's normal applies.
    TQ3Vector3D normal{0, 0, 0};
    // The attribute set of the corner's vertex, or of its face, or null (borrowed).
    OpaqueTQ3Object* set = nullptr;
};

struct Tessellation {
    std::vector<std::array<Corner, 3>> triangles;
    std::vector<std::array<TQ3Point3D, 2>> segments;
};

// Segments per knot span of a curve, and of a patch along each direction.
inline constexpr int kCurveSamples = 16;
inline constexpr int kPatchSamples = 8;

// The normal a corner is shaded with: its own (a Corner's normal), or where that is zero the
// face's.
inline TQ3Vector3D ShadingNormal(TQ3Vector3D const& own, TQ3Vector3D const& face) {
    return own.x != 0 || own.y != 0 || own.z != 0 ? own : face;
}

// Throws std::runtime_error naming the geometry and the fault when a NURB shape's order,
// knots or control points do not fit together (too few points for the order, a knot vector
// of the wrong length or decreasing, a weight of zero).
Tessellation Tessellate(refhost::scene::Geometry const& geometry);

// The point of a NURB curve at parameter t (between the curve's first and last knot).
TQ3Point3D CurvePoint(refhost::scene::NURBCurve const& curve, float t);

} // namespace refhost::view3d
