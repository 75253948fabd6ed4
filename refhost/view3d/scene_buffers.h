// A draw list in OpenGL buffers, kept from frame to frame so that a frame uploads only what
// changed: shapes new to the library, the span of instances whose placement or colour
// changed, and the merged vertices only when the opaque batches changed.
//
// Opaque instances of one material (and selection) are merged: their shapes' vertices, each
// with its instance's number, lie one after the other in one buffer and take one draw call,
// however many shapes and instances they are. Large shapes that repeat are drawn as
// instances of the shape instead (one draw each). See-through instances keep their
// far-to-near order: each batch of them is drawn as instances of its shape. Instance data
// (InstanceData) lives in a texture buffer that the scene vertex shader reads (uInstances).
#pragma once

#include <epoxy/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "refhost/view3d/draw_list.h"
#include "refhost/view3d/shape_library.h"

namespace refhost::view3d {

// The texture unit the instance data is bound to while drawing.
inline constexpr GLint kInstanceTextureUnit = 2;

class SceneBuffers {
public:
    // One draw call: the instances of one material, merged or as instances of one shape.
    struct Draw {
        uint32_t material = 0;
        bool selected = false, transparent = false;
        bool merged = false;
        uint32_t first = 0, count = 0; // vertices, in the merged or the shape buffer
        uint32_t firstInstance = 0, instances = 1;
        bool lines = false;
    };

    struct Counts {
        std::size_t shapeVerticesUploaded = 0;
        std::size_t instancesUploaded = 0;
        std::size_t mergedVerticesUploaded = 0;
    };

    // Needs the context current, as every call does. Throws std::runtime_error on an
    // OpenGL error.
    SceneBuffers();
    SceneBuffers(SceneBuffers const&) = delete;
    SceneBuffers& operator=(SceneBuffers const&) = delete;
    ~SceneBuffers();

    // Brings the buffers up to the frame (list ordered by OrderForDrawing, its shapes in
    // `shapes`) and makes its draws. Throws std::runtime_error when the instances exceed what
    // a texture buffer holds, or on an OpenGL error.
    void Upload(DrawList const& list, ShapeLibrary const& shapes);

    std::vector<Draw> const& Draws() const { return fDraws; }
    Counts const& LastCounts() const { return fCounts; }

    // Binds the instance data to kInstanceTextureUnit; then Issue draws.
    void BindInstances() const;
    // Draws with the bound program (one using kSceneVertexShader).
    void Issue(Draw const& draw) const;

private:
    void UploadShapes(ShapeLibrary const& shapes);
    void UploadInstances(DrawList const& list);
    void Merge(DrawList const& list, ShapeLibrary const& shapes);

    GLuint fShapeArray = 0, fMergedArray = 0;
    GLuint fShapeBuffer = 0, fMergedBuffer = 0, fInstanceBuffer = 0, fInstanceTexture = 0;
    uint64_t fShapeGeneration = 0;
    std::size_t fShapeVerticesUploaded = 0, fShapeCapacity = 0;
    std::vector<InstanceData> fInstances; // as uploaded
    std::size_t fInstanceCapacity = 0;
    // The opaque batches the merged buffer was made for.
    std::vector<Batch> fMergedBatches;
    uint64_t fMergedGeneration = UINT64_MAX;
    std::vector<Draw> fMergedDraws;
    std::vector<Draw> fDraws;
    Counts fCounts;
};

} // namespace refhost::view3d
