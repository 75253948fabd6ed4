#include "refhost/view3d/scene_buffers.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "refhost/view3d/gl_errors.h"

namespace refhost::view3d {

namespace {

// A merged vertex: a shape's vertex with the number of the instance that places it.
struct MergedVertex {
    ShapeVertex vertex;
    int32_t instance;
};
static_assert(sizeof(MergedVertex) == sizeof(ShapeVertex) + 4);
static_assert(sizeof(InstanceData) == 5 * 4 * sizeof(float)); // five RGBA32F texels

// Attributes 0 to 4 from a buffer of records of `stride` bytes that start with a ShapeVertex;
// attribute 5 the instance number, from the records when they have one.
void PointShapeAttributes(GLsizei stride, bool instanceNumbers) {
    auto attribute = [stride](GLuint index, GLint size, std::size_t offset) {
        glEnableVertexAttribArray(index);
        glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<void const*>(offset));
    };
    attribute(0, 3, offsetof(ShapeVertex, position));
    attribute(1, 3, offsetof(ShapeVertex, normal));
    attribute(2, 2, offsetof(ShapeVertex, uv));
    attribute(3, 4, offsetof(ShapeVertex, colour));
    attribute(4, 2, offsetof(ShapeVertex, own));
    attribute(6, 1, offsetof(ShapeVertex, closed));
    if (instanceNumbers) {
        glEnableVertexAttribArray(5);
        glVertexAttribIPointer(5, 1, GL_INT, stride,
                               reinterpret_cast<void const*>(offsetof(MergedVertex, instance)));
    } else {
        glDisableVertexAttribArray(5);
    }
}

// Makes room for `size` bytes in the bound array buffer when it has less; the contents are
// then undefined.
bool Reserve(std::size_t& capacity, std::size_t size, std::size_t record) {
    if (size <= capacity) {
        return false;
    }
    capacity = std::max<std::size_t>(size + size / 2, 1024);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity * record), nullptr,
                 GL_DYNAMIC_DRAW);
    return true;
}

// Repeats of a shape with at least this many vertices are drawn as instances of it rather
// than merged: a draw per such shape costs little beside its vertices, and merging would
// copy them for every repeat.
constexpr uint32_t kInstancedShapeVertices = 256;

bool SameOpaqueBatch(Batch const& a, Batch const& b) {
    return a.shape == b.shape && a.material == b.material && a.count == b.count &&
           a.selected == b.selected;
}

} // namespace

SceneBuffers::SceneBuffers() {
    glGenVertexArrays(1, &fShapeArray);
    glGenVertexArrays(1, &fMergedArray);
    glGenBuffers(1, &fShapeBuffer);
    glGenBuffers(1, &fMergedBuffer);
    glGenBuffers(1, &fInstanceBuffer);
    glGenTextures(1, &fInstanceTexture);
    glBindVertexArray(fShapeArray);
    glBindBuffer(GL_ARRAY_BUFFER, fShapeBuffer);
    PointShapeAttributes(sizeof(ShapeVertex), false);
    glBindVertexArray(fMergedArray);
    glBindBuffer(GL_ARRAY_BUFFER, fMergedBuffer);
    PointShapeAttributes(sizeof(MergedVertex), true);
    glBindVertexArray(0);
    CheckGl("setting up the scene's buffers");
}

SceneBuffers::~SceneBuffers() {
    glDeleteTextures(1, &fInstanceTexture);
    GLuint const buffers[] = {fShapeBuffer, fMergedBuffer, fInstanceBuffer};
    glDeleteBuffers(3, buffers);
    GLuint const arrays[] = {fShapeArray, fMergedArray};
    glDeleteVertexArrays(2, arrays);
}

void SceneBuffers::Upload(DrawList const& list, ShapeLibrary const& shapes) {
    fCounts = {};
    UploadShapes(shapes);
    UploadInstances(list);
    Merge(list, shapes);
    fDraws = fMergedDraws;
    for (Batch const& batch : list.batches) {
        if (batch.transparent) {
            ShapeRange const& shape = shapes.Range(batch.shape);
            fDraws.push_back({batch.material, batch.selected, true, false, shape.first, shape.count,
                              batch.first, batch.count, shape.lines});
        }
    }
    CheckGl("uploading the scene");
}

void SceneBuffers::UploadShapes(ShapeLibrary const& shapes) {
    std::vector<ShapeVertex> const& vertices = shapes.Vertices();
    glBindBuffer(GL_ARRAY_BUFFER, fShapeBuffer);
    if (Reserve(fShapeCapacity, vertices.size(), sizeof(ShapeVertex)) ||
        shapes.Generation() != fShapeGeneration) {
        fShapeGeneration = shapes.Generation();
        fShapeVerticesUploaded = 0;
    }
    std::size_t const added = vertices.size() - fShapeVerticesUploaded;
    if (added > 0) {
        glBufferSubData(GL_ARRAY_BUFFER,
                        static_cast<GLintptr>(fShapeVerticesUploaded * sizeof(ShapeVertex)),
                        static_cast<GLsizeiptr>(added * sizeof(ShapeVertex)),
                        vertices.data() + fShapeVerticesUploaded);
        fShapeVerticesUploaded = vertices.size();
    }
    fCounts.shapeVerticesUploaded = added;
}

void SceneBuffers::UploadInstances(DrawList const& list) {
    GLint maxTexels = 0;
    glGetIntegerv(GL_MAX_TEXTURE_BUFFER_SIZE, &maxTexels);
    if (list.instances.size() > static_cast<std::size_t>(maxTexels) / 5) {
        Fail("the scene has " + std::to_string(list.instances.size()) +
             " objects to draw; this OpenGL draws at most " + std::to_string(maxTexels / 5));
    }
    std::vector<InstanceData> data(list.instances.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = list.instances[i].data;
    }
    glBindBuffer(GL_ARRAY_BUFFER, fInstanceBuffer);
    std::size_t first = 0, end = data.size();
    if (Reserve(fInstanceCapacity, data.size(), sizeof(InstanceData))) {
        glBindTexture(GL_TEXTURE_BUFFER, fInstanceTexture);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_RGBA32F, fInstanceBuffer);
    } else {
        // The span from the first to the last instance that differ from the last frame's.
        std::size_t const common = std::min(data.size(), fInstances.size());
        auto same = [&](std::size_t i) {
            return std::memcmp(&data[i], &fInstances[i], sizeof(InstanceData)) == 0;
        };
        while (first < common && same(first)) {
            ++first;
        }
        while (end > first && end <= common && same(end - 1)) {
            --end;
        }
    }
    if (end > first) {
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first * sizeof(InstanceData)),
                        static_cast<GLsizeiptr>((end - first) * sizeof(InstanceData)),
                        data.data() + first);
    }
    fCounts.instancesUploaded = end - first;
    fInstances = std::move(data);
}

void SceneBuffers::Merge(DrawList const& list, ShapeLibrary const& shapes) {
    std::vector<Batch> opaque;
    for (Batch const& batch : list.batches) {
        if (!batch.transparent) {
            opaque.push_back(batch);
        }
    }
    if (fMergedGeneration == shapes.Generation() &&
        std::equal(opaque.begin(), opaque.end(), fMergedBatches.begin(), fMergedBatches.end(),
                   SameOpaqueBatch)) {
        return;
    }
    // Batches of one material and selection follow each other (OrderForDrawing groups them
    // so); lines and triangles take separate draws.
    std::vector<MergedVertex> vertices;
    fMergedDraws.clear();
    for (Batch const& batch : opaque) {
        ShapeRange const& shape = shapes.Range(batch.shape);
        if (shape.count >= kInstancedShapeVertices && batch.count > 1) {
            fMergedDraws.push_back({batch.material, batch.selected, false, false, shape.first,
                                    shape.count, batch.first, batch.count, shape.lines});
            continue;
        }
        Draw* last = fMergedDraws.empty() ? nullptr : &fMergedDraws.back();
        if (!last || !last->merged || last->material != batch.material ||
            last->selected != batch.selected || last->lines != shape.lines) {
            fMergedDraws.push_back({batch.material, batch.selected, false, true,
                                    static_cast<uint32_t>(vertices.size()), 0, 0, 1, shape.lines});
            last = &fMergedDraws.back();
        }
        auto const from = shapes.Vertices().begin() + shape.first;
        for (uint32_t i = batch.first; i < batch.first + batch.count; ++i) {
            for (auto v = from; v != from + shape.count; ++v) {
                vertices.push_back({*v, static_cast<int32_t>(i)});
            }
        }
        last->count = static_cast<uint32_t>(vertices.size()) - last->first;
    }
    glBindBuffer(GL_ARRAY_BUFFER, fMergedBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(MergedVertex)),
                 vertices.data(), GL_STATIC_DRAW);
    fCounts.mergedVerticesUploaded = vertices.size();
    fMergedBatches = std::move(opaque);
    fMergedGeneration = shapes.Generation();
}

void SceneBuffers::BindInstances() const {
    glActiveTexture(GL_TEXTURE0 + kInstanceTextureUnit);
    glBindTexture(GL_TEXTURE_BUFFER, fInstanceTexture);
    glActiveTexture(GL_TEXTURE0);
}

void SceneBuffers::Issue(Draw const& draw) const {
    GLenum const mode = draw.lines ? GL_LINES : GL_TRIANGLES;
    if (draw.merged) {
        glBindVertexArray(fMergedArray);
        glDrawArrays(mode, static_cast<GLint>(draw.first), static_cast<GLsizei>(draw.count));
        return;
    }
    glBindVertexArray(fShapeArray);
    glVertexAttribI1i(5, static_cast<GLint>(draw.firstInstance));
    glDrawArraysInstanced(mode, static_cast<GLint>(draw.first), static_cast<GLsizei>(draw.count),
                          static_cast<GLsizei>(draw.instances));
}

} // namespace refhost::view3d
