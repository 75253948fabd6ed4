// Making scene content on the host's side: geometries, textures and views, which the
// plug-in never makes. Each function returns a new object with one reference that the
// caller owns (release it with C3DObject::Dispose, or hand it to a wrapper that adopts it).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "host/qd3d_types.h"
#include "refhost/scene/objects.h"

namespace refhost::scene {

OpaqueTQ3Object* NewGroupOf(GroupKind kind);
OpaqueTQ3Object* NewBox(TQ3Point3D origin, TQ3Vector3D orientation, TQ3Vector3D majorAxis,
                        TQ3Vector3D minorAxis);
OpaqueTQ3Object* NewTriangle(std::array<TQ3Point3D, 3> const& points);
// A mesh of the points and triangles, with texture coordinates and normals each either one
// per point or none. Throws CSceneException when a triangle names a point the mesh does not
// have or a count does not fit.
OpaqueTQ3Object* NewTriMesh(std::vector<TQ3Point3D> points,
                            std::vector<std::array<uint32_t, 3>> triangles,
                            std::vector<TQ3Param2D> uvs = {},
                            std::vector<TQ3Vector3D> normals = {});
OpaqueTQ3Object* NewNURBCurve(uint32_t order, std::vector<std::array<float, 4>> controlPoints,
                              std::vector<float> knots);
OpaqueTQ3Object* NewNURBPatch(uint32_t uOrder, uint32_t vOrder, uint32_t rows, uint32_t columns,
                              std::vector<std::array<float, 4>> controlPoints,
                              std::vector<float> uKnots, std::vector<float> vKnots);
// A width x height texture of RGBA pixels (4 bytes each, rows from the top).
OpaqueTQ3Object* NewTexture(uint32_t width, uint32_t height, std::vector<uint8_t> rgba);
// A texture shader showing the texture, with the identity UV transform.
OpaqueTQ3Object* NewTextureShader(OpaqueTQ3Object* texture);
// A view with the camera and light group given (references taken) and a draw context whose
// pane is the area given.
OpaqueTQ3Object* NewView(OpaqueTQ3Object* camera, OpaqueTQ3Object* lights, TQ3Area pane);

} // namespace refhost::scene
