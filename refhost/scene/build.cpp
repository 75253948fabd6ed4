#include "refhost/scene/build.h"

#include <utility>

#include "host/scene/scene_object.h"

namespace refhost::scene {

OpaqueTQ3Object* NewGroupOf(GroupKind kind) {
    return new Group(kind);
}

OpaqueTQ3Object* NewBox(TQ3Point3D origin, TQ3Vector3D orientation, TQ3Vector3D majorAxis,
                        TQ3Vector3D minorAxis) {
    auto* box = new Box;
    box->origin = origin;
    box->orientation = orientation;
    box->majorAxis = majorAxis;
    box->minorAxis = minorAxis;
    return box;
}

OpaqueTQ3Object* NewTriangle(std::array<TQ3Point3D, 3> const& points) {
    auto* triangle = new Triangle;
    for (std::size_t i = 0; i < 3; ++i) {
        triangle->vertices[i].point = points[i];
    }
    return triangle;
}

OpaqueTQ3Object* NewTriMesh(std::vector<TQ3Point3D> points,
                            std::vector<std::array<uint32_t, 3>> triangles,
                            std::vector<TQ3Param2D> uvs, std::vector<TQ3Vector3D> normals) {
    for (auto const& t : triangles) {
        for (uint32_t index : t) {
            if (index >= points.size()) {
                throw CSceneException("a mesh triangle names a point the mesh does not have");
            }
        }
    }
    if (!uvs.empty() && uvs.size() != points.size()) {
        throw CSceneException("a mesh needs one texture coordinate per point, or none");
    }
    if (!normals.empty() && normals.size() != points.size()) {
        throw CSceneException("a mesh needs one normal per point, or none");
    }
    auto* mesh = new TriMesh;
    mesh->points = std::move(points);
    mesh->triangles = std::move(triangles);
    mesh->uvs = std::move(uvs);
    mesh->normals = std::move(normals);
    return mesh;
}

OpaqueTQ3Object* NewNURBCurve(uint32_t order, std::vector<std::array<float, 4>> controlPoints,
                              std::vector<float> knots) {
    if (order < 2 || controlPoints.size() < order || knots.size() != controlPoints.size() + order) {
        throw CSceneException("a NURB curve needs order >= 2, at least order points and "
                              "points + order knots");
    }
    auto* curve = new NURBCurve;
    curve->order = order;
    curve->controlPoints = std::move(controlPoints);
    curve->knots = std::move(knots);
    return curve;
}

OpaqueTQ3Object* NewNURBPatch(uint32_t uOrder, uint32_t vOrder, uint32_t rows, uint32_t columns,
                              std::vector<std::array<float, 4>> controlPoints,
                              std::vector<float> uKnots, std::vector<float> vKnots) {
    if (uOrder < 2 || vOrder < 2 || columns < uOrder || rows < vOrder ||
        controlPoints.size() != std::size_t{rows} * columns || uKnots.size() != columns + uOrder ||
        vKnots.size() != rows + vOrder) {
        throw CSceneException("a NURB patch needs rows x columns points and columns + u order, "
                              "rows + v order knots");
    }
    auto* patch = new NURBPatch;
    patch->uOrder = uOrder;
    patch->vOrder = vOrder;
    patch->rows = rows;
    patch->columns = columns;
    patch->controlPoints = std::move(controlPoints);
    patch->uKnots = std::move(uKnots);
    patch->vKnots = std::move(vKnots);
    return patch;
}

OpaqueTQ3Object* NewTexture(uint32_t width, uint32_t height, std::vector<uint8_t> rgba) {
    if (width == 0 || height == 0 || rgba.size() != std::size_t{width} * height * 4) {
        throw CSceneException("a texture needs width x height x 4 bytes");
    }
    return new Texture(width, height, std::move(rgba));
}

OpaqueTQ3Object* NewTextureShader(OpaqueTQ3Object* texture) {
    if (!As<Texture>(texture)) {
        throw CSceneException("a texture shader needs a texture");
    }
    return new TextureShader(texture);
}

OpaqueTQ3Object* NewView(OpaqueTQ3Object* camera, OpaqueTQ3Object* lights, TQ3Area pane) {
    if (!As<Camera>(camera) || !As<Group>(lights) || As<Group>(lights)->kind != GroupKind::kLight) {
        throw CSceneException("a view needs a camera and a light group");
    }
    auto* view = new View;
    Assign(view->camera, camera);
    Assign(view->lights, lights);
    auto* context = new DrawContext;
    context->pane = pane;
    view->drawContext = context;
    return view;
}

} // namespace refhost::scene
