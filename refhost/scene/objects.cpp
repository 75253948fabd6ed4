#include "refhost/scene/objects.h"

#include <algorithm>
#include <cstring>

#include "host/memory.h"

namespace refhost::scene {

namespace {
std::size_t gLiveObjects = 0;
}

TypeChain::TypeChain(std::initializer_list<FourCharCode> list) {
    for (FourCharCode code : list) {
        codes[static_cast<std::size_t>(length++)] = code;
    }
}

FourCharCode TypeChain::At(int level) const {
    return codes[static_cast<std::size_t>(std::min(level, length - 1))];
}

bool TypeChain::Has(FourCharCode code) const {
    return std::find(codes.begin(), codes.begin() + length, code) != codes.begin() + length;
}

std::size_t LiveObjectCount() {
    return gLiveObjects;
}

void Retain(OpaqueTQ3Object* object) {
    if (object) {
        ++object->references;
    }
}

void Release(OpaqueTQ3Object* object) {
    if (object && --object->references == 0) {
        delete object;
    }
}

void Assign(OpaqueTQ3Object*& slot, OpaqueTQ3Object* object) {
    Retain(object);
    Release(slot);
    slot = object;
}

} // namespace refhost::scene

using namespace refhost::scene;

OpaqueTQ3Object::OpaqueTQ3Object(TypeChain typeChain, uint32_t classBits)
    : chain(typeChain), classes(classBits) {
    ++gLiveObjects;
}

OpaqueTQ3Object::~OpaqueTQ3Object() {
    Release(set);
    --gLiveObjects;
}

namespace refhost::scene {

namespace {

TypeChain GroupChain(GroupKind kind) {
    switch (kind) {
    case GroupKind::kPlain:
        return {"shap"_4cc, "grup"_4cc};
    case GroupKind::kDisplay:
        return {"shap"_4cc, "grup"_4cc, "dspg"_4cc};
    case GroupKind::kOrdered:
        return {"shap"_4cc, "grup"_4cc, "dspg"_4cc, "ordg"_4cc};
    case GroupKind::kList:
        return {"shap"_4cc, "grup"_4cc, "dspg"_4cc, "lstg"_4cc};
    case GroupKind::kLight:
        break;
    }
    return {"shap"_4cc, "grup"_4cc, "lghg"_4cc};
}

void ReleaseVertexSets(std::vector<OpaqueTQ3Object*>& sets) {
    for (OpaqueTQ3Object* s : sets) {
        Release(s);
    }
}

} // namespace

Group::Group(GroupKind groupKind)
    : OpaqueTQ3Object(GroupChain(groupKind), kClasses), kind(groupKind) {}

Group::~Group() {
    for (OpaqueTQ3GroupPosition* p = first; p;) {
        OpaqueTQ3GroupPosition* next = p->next;
        Release(p->object);
        delete p;
        p = next;
    }
}

Transform::Transform(CMatrix4x4 const& m)
    : OpaqueTQ3Object({"shap"_4cc, "xfrm"_4cc, "mtrx"_4cc}, kClasses), matrix(m) {}

Box::Box() : Geometry({"shap"_4cc, "gmtr"_4cc, "box "_4cc}, kClasses) {}

Box::~Box() {
    for (OpaqueTQ3Object* s : faceSets) {
        Release(s);
    }
}

std::vector<TQ3Point3D> Box::BoundingPoints() const {
    std::vector<TQ3Point3D> corners;
    for (int corner = 0; corner < 8; ++corner) {
        float a = corner & 1 ? 1.0f : 0.0f, b = corner & 2 ? 1.0f : 0.0f,
              c = corner & 4 ? 1.0f : 0.0f;
        corners.push_back({origin.x + a * orientation.x + b * majorAxis.x + c * minorAxis.x,
                           origin.y + a * orientation.y + b * majorAxis.y + c * minorAxis.y,
                           origin.z + a * orientation.z + b * majorAxis.z + c * minorAxis.z});
    }
    return corners;
}

Triangle::Triangle() : Geometry({"shap"_4cc, "gmtr"_4cc, "trng"_4cc}, kClasses) {}

Triangle::~Triangle() {
    for (Vertex& v : vertices) {
        Release(v.set);
    }
}

std::vector<TQ3Point3D> Triangle::BoundingPoints() const {
    return {vertices[0].point, vertices[1].point, vertices[2].point};
}

TriMesh::TriMesh() : Geometry({"shap"_4cc, "gmtr"_4cc, "tmsh"_4cc}, kClasses) {}

TriMesh::~TriMesh() {
    ReleaseVertexSets(faceSets);
}

std::vector<TQ3Point3D> TriMesh::BoundingPoints() const {
    return points;
}

namespace {

std::vector<TQ3Point3D> Dehomogenised(std::vector<std::array<float, 4>> const& points) {
    std::vector<TQ3Point3D> result;
    for (auto const& p : points) {
        float w = p[3] != 0.0f ? p[3] : 1.0f;
        result.push_back({p[0] / w, p[1] / w, p[2] / w});
    }
    return result;
}

} // namespace

NURBCurve::NURBCurve() : Geometry({"shap"_4cc, "gmtr"_4cc, "nrbc"_4cc}, kClasses) {}

std::vector<TQ3Point3D> NURBCurve::BoundingPoints() const {
    return Dehomogenised(controlPoints);
}

NURBPatch::NURBPatch() : Geometry({"shap"_4cc, "gmtr"_4cc, "nrbp"_4cc}, kClasses) {}

std::vector<TQ3Point3D> NURBPatch::BoundingPoints() const {
    return Dehomogenised(controlPoints);
}

Light::Light(FourCharCode kind) : OpaqueTQ3Object({"shap"_4cc, "lght"_4cc, kind}, kClasses) {}

Camera::Camera(FourCharCode kind) : OpaqueTQ3Object({"shap"_4cc, "cmra"_4cc, kind}, kClasses) {
    data.placement = {{0, 0, 10}, {0, 0, 0}, {0, 1, 0}};
    data.range = {0.1f, 1000.0f};
    data.viewPort = {{-1, 1}, 2, 2};
}

void Camera::SetKind(FourCharCode kind) {
    chain = TypeChain{"shap"_4cc, "cmra"_4cc, kind};
}

Texture::Texture(uint32_t w, uint32_t h, std::vector<uint8_t> pixels)
    : OpaqueTQ3Object({"txtr"_4cc, "pxmp"_4cc}, kClasses), width(w), height(h),
      rgba(std::move(pixels)) {
    rgba.resize(std::size_t{width} * height * 4, 0xFF);
}

TextureShader::TextureShader(OpaqueTQ3Object* t)
    : OpaqueTQ3Object({"shap"_4cc, "shdr"_4cc, "sush"_4cc, "txsu"_4cc}, kClasses) {
    Assign(texture, t);
}

TextureShader::~TextureShader() {
    Release(texture);
}

AttributeSet::AttributeSet() : OpaqueTQ3Object({"set "_4cc, "attr"_4cc}, kClasses) {}

AttributeSet::~AttributeSet() {
    Release(shader);
    for (auto& [type, pair] : custom) {
        DisposeHandle(pair.data);
    }
}

namespace {

THandlePair CopyOfBlock(THandlePair const& pair) {
    Size bytes = GetHandleSize(pair.data);
    Handle copy = NewHandle(bytes);
    if (!copy) {
        throw CSceneException("no memory to copy a custom attribute");
    }
    std::memcpy(*copy, *pair.data, static_cast<std::size_t>(bytes));
    return {pair.size, copy};
}

template <typename T>
void Take(std::optional<T>& mine, std::optional<T> const& theirs, bool replace) {
    if (theirs && (replace || !mine)) {
        mine = theirs;
    }
}

} // namespace

void AttributeSet::CopyFrom(AttributeSet const& other, bool replace) {
    // Copy every block first, so a copy that runs out of memory changes nothing.
    std::map<TQ3AttributeType, THandlePair> copies;
    try {
        for (auto const& [type, pair] : other.custom) {
            if (replace || !custom.count(type)) {
                copies.emplace(type, CopyOfBlock(pair));
            }
        }
    } catch (...) {
        for (auto& [type, pair] : copies) {
            DisposeHandle(pair.data);
        }
        throw;
    }
    for (auto& [type, pair] : copies) {
        auto found = custom.find(type);
        if (found != custom.end()) {
            DisposeHandle(found->second.data);
            custom.erase(found);
        }
        custom.emplace(type, pair);
    }
    Take(diffuse, other.diffuse, replace);
    Take(specular, other.specular, replace);
    Take(transparency, other.transparency, replace);
    Take(ambientCoefficient, other.ambientCoefficient, replace);
    Take(specularControl, other.specularControl, replace);
    Take(surfaceUV, other.surfaceUV, replace);
    Take(csgID, other.csgID, replace);
    Take(name, other.name, replace);
    if (other.shader && (replace || !shader)) {
        Assign(shader, other.shader);
    }
}

DrawContext::DrawContext() : OpaqueTQ3Object({"dctx"_4cc, "pxmp"_4cc}, kClasses) {}

View::View() : OpaqueTQ3Object({"view"_4cc}, kClasses) {}

OpaqueTQ3Object* ViewPart(C3DObject const& view, OpaqueTQ3Object* View::*part, char const* what) {
    auto* v = As<View>(view.GetObject());
    if (!v) {
        throw CSceneException("not a view");
    }
    if (!(v->*part)) {
        throw CSceneException(std::string("the view has no ") + what);
    }
    return v->*part;
}

View::~View() {
    Release(camera);
    Release(lights);
    Release(drawContext);
}

} // namespace refhost::scene
