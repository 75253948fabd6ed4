// The shapes of a scene's geometries, kept from frame to frame so that a geometry is
// tessellated once, not every frame, and geometries of the same content share one shape
// (drawn as instances of it). A shape is found by the geometry's content (its kind, points,
// parameters and the colours of its faces' and vertices' own attribute sets), never by its
// address, so an edited geometry gets its new shape and a freed one leaves nothing dangling.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/matrix4x4.h"
#include "refhost/scene/objects.h"
#include "refhost/view3d/draw_list.h"

namespace refhost::view3d {

class ShapeLibrary {
public:
    // A geometry's shapes: its lines, then its triangles, each only when it has some.
    struct Shapes {
        uint32_t ids[2] = {0, 0};
        uint32_t count = 0;
    };

    // The shapes of a geometry in its own coordinates, or, with `world` given, its shapes
    // placed by that matrix (for matrices an instance cannot carry: projective ones). Throws
    // std::runtime_error naming the geometry and the fault when it cannot be tessellated.
    Shapes Of(refhost::scene::Geometry const& geometry, CMatrix4x4 const* world = nullptr);

    ShapeRange const& Range(uint32_t id) const { return fRanges[id]; }
    // Every shape's vertices, shape after shape; new shapes are added at the end.
    std::vector<ShapeVertex> const& Vertices() const { return fVertices; }
    // Changes when shapes were dropped (the vertices then start again from nothing).
    uint64_t Generation() const { return fGeneration; }

    // Starts a frame: drops every shape when the ones the last frame did not use hold most of
    // the vertices, so that shapes of edited or deleted geometries do not pile up.
    void BeginFrame();

private:
    struct KeyHash {
        std::size_t operator()(std::vector<uint32_t> const& key) const;
    };

    Shapes Build(refhost::scene::Geometry const& geometry, CMatrix4x4 const* world);
    void MarkUsed(Shapes const& shapes);

    std::unordered_map<std::vector<uint32_t>, Shapes, KeyHash> fByKey;
    std::vector<uint32_t> fKey; // reused for every look-up
    std::vector<ShapeRange> fRanges;
    std::vector<uint64_t> fLastUsed; // the frame each shape was last used in
    std::vector<ShapeVertex> fVertices;
    uint64_t fFrame = 0, fGeneration = 0;
    std::size_t fUsedVertices = 0; // by the shapes used this frame
};

} // namespace refhost::view3d
