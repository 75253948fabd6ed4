// The reference host's scene objects behind the wrappers of host/scene. Every object is
// reference counted: made with one reference, which its maker owns; Retain adds one and
// Release drops one, destroying the object (and releasing what it refers to) at zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/matrix3x3.h"
#include "host/matrix4x4.h"
#include "host/qd3d_types.h"
#include "host/scene/attribute_set.h"
#include "host/scene/group.h"

namespace refhost::scene {

// A type chain from the most general kind to the leaf, e.g. {"shap", "grup", "dspg", "ordg"}.
struct TypeChain {
    std::array<FourCharCode, 4> codes{};
    int length = 0;

    TypeChain(std::initializer_list<FourCharCode> list);
    FourCharCode Leaf() const { return codes[static_cast<std::size_t>(length - 1)]; }
    FourCharCode At(int level) const;
    bool Has(FourCharCode code) const;
};

// The number of scene objects alive now, for leak checks.
std::size_t LiveObjectCount();

// The classes below as bits, so that As can tell an object's class with one test instead of
// a run-time type query: the walks and every group step ask it for each member they pass.
// A class's bits are its own and those of the classes it derives from.
enum ObjectClass : uint32_t {
    kGroupClass = 1u << 0,
    kTransformClass = 1u << 1,
    kGeometryClass = 1u << 2,
    kBoxClass = 1u << 3,
    kTriangleClass = 1u << 4,
    kTriMeshClass = 1u << 5,
    kNURBCurveClass = 1u << 6,
    kNURBPatchClass = 1u << 7,
    kLightClass = 1u << 8,
    kCameraClass = 1u << 9,
    kTextureClass = 1u << 10,
    kTextureShaderClass = 1u << 11,
    kAttributeSetClass = 1u << 12,
    kDrawContextClass = 1u << 13,
    kViewClass = 1u << 14,
};

// Failures on demand, so that every failure path of a library user can be exercised. A
// call is an operation on a wrapper's object (each one passes C3DObject::Require). The nth
// call from now (1 the very next) throws CSceneException; 0 disarms it.
void FailNthSceneCallFromNow(unsigned n);
// The calls made so far.
std::size_t SceneCallCount();

} // namespace refhost::scene

struct OpaqueTQ3Object {
    OpaqueTQ3Object(refhost::scene::TypeChain chain, uint32_t classes);
    OpaqueTQ3Object(OpaqueTQ3Object const&) = delete;
    OpaqueTQ3Object& operator=(OpaqueTQ3Object const&) = delete;
    virtual ~OpaqueTQ3Object();

    refhost::scene::TypeChain chain;
    // The ObjectClass bits of the object's class; fixed when it is made.
    uint32_t const classes;
    uint32_t references = 1;
    // A shape's attribute set (one reference held), or null.
    OpaqueTQ3Object* set = nullptr;
};

namespace refhost::scene {

void Retain(OpaqueTQ3Object* object);
void Release(OpaqueTQ3Object* object);
// Replaces what slot refers to by object, keeping one reference to the new object.
void Assign(OpaqueTQ3Object*& slot, OpaqueTQ3Object* object);

} // namespace refhost::scene

struct OpaqueTQ3GroupPosition {
    OpaqueTQ3Object* owner = nullptr;  // the group (no reference: the group owns the position)
    OpaqueTQ3Object* object = nullptr; // one reference held
    OpaqueTQ3GroupPosition* previous = nullptr;
    OpaqueTQ3GroupPosition* next = nullptr;
};

namespace refhost::scene {

enum class GroupKind { kPlain, kDisplay, kOrdered, kList, kLight };

struct Group : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kGroupClass;
    explicit Group(GroupKind kind);
    ~Group() override;

    GroupKind kind;
    uint32_t state = kQ3DisplayGroupStateDefault;
    OpaqueTQ3GroupPosition* first = nullptr;
    OpaqueTQ3GroupPosition* last = nullptr;
    uint32_t count = 0;

    bool IsDisplayGroup() const { return kind != GroupKind::kPlain && kind != GroupKind::kLight; }
    bool IsDrawn() const { return !IsDisplayGroup() || (state & kQ3DisplayGroupStateMaskIsDrawn); }
};

struct Transform : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kTransformClass;
    explicit Transform(CMatrix4x4 const& matrix);
    CMatrix4x4 matrix;
};

// A vertex of a geometry with an attribute set, or null.
struct Vertex {
    TQ3Point3D point{};
    OpaqueTQ3Object* set = nullptr;
};

struct Geometry : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kGeometryClass;
    using OpaqueTQ3Object::OpaqueTQ3Object;
    // Points whose bounds enclose the geometry: its own points, or for NURB shapes their
    // control points (which enclose them).
    virtual std::vector<TQ3Point3D> BoundingPoints() const = 0;
};

struct Box : Geometry {
    static constexpr uint32_t kClasses = kGeometryClass | kBoxClass;
    Box();
    ~Box() override;
    std::vector<TQ3Point3D> BoundingPoints() const override;
    TQ3Point3D origin{0, 0, 0};
    TQ3Vector3D orientation{0, 1, 0}, majorAxis{0, 0, 1}, minorAxis{1, 0, 0};
    // Optional attribute sets of the six faces (null where none).
    std::array<OpaqueTQ3Object*, 6> faceSets{};
};

struct Triangle : Geometry {
    static constexpr uint32_t kClasses = kGeometryClass | kTriangleClass;
    Triangle();
    ~Triangle() override;
    std::vector<TQ3Point3D> BoundingPoints() const override;
    std::array<Vertex, 3> vertices{};
};

struct TriMesh : Geometry {
    static constexpr uint32_t kClasses = kGeometryClass | kTriMeshClass;
    TriMesh();
    ~TriMesh() override;
    std::vector<TQ3Point3D> BoundingPoints() const override;
    std::vector<TQ3Point3D> points;
    std::vector<std::array<uint32_t, 3>> triangles;
    // Texture coordinates per point; empty when the mesh has none.
    std::vector<TQ3Param2D> uvs;
    // Normals per point, for shading across faces as the surface curves; empty when the mesh
    // has none (its faces then shade flat). Their length does not matter; a zero normal
    // stands for the face's own.
    std::vector<TQ3Vector3D> normals;
    // Optional attribute sets per triangle (empty, or one entry per triangle, null allowed).
    std::vector<OpaqueTQ3Object*> faceSets;
};

struct NURBCurve : Geometry {
    static constexpr uint32_t kClasses = kGeometryClass | kNURBCurveClass;
    NURBCurve();
    std::vector<TQ3Point3D> BoundingPoints() const override;
    uint32_t order = 4;
    std::vector<std::array<float, 4>> controlPoints; // x, y, z, w
    std::vector<float> knots;
};

struct NURBPatch : Geometry {
    static constexpr uint32_t kClasses = kGeometryClass | kNURBPatchClass;
    NURBPatch();
    std::vector<TQ3Point3D> BoundingPoints() const override;
    uint32_t uOrder = 4, vOrder = 4, rows = 0, columns = 0;
    std::vector<std::array<float, 4>> controlPoints; // rows x columns, row by row
    std::vector<float> uKnots, vKnots;
};

// Every light keeps all fields; the kind decides which are meaningful.
struct Light : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kLightClass;
    explicit Light(FourCharCode kind);
    FourCharCode Kind() const { return chain.Leaf(); }
    TQ3LightData common{kQ3True, 1.0f, {1, 1, 1}};
    TQ3Boolean castsShadows = kQ3False;
    TQ3Vector3D direction{0, 0, -1};
    TQ3Point3D location{0, 0, 0};
    TQ3AttenuationType attenuation = kQ3AttenuationTypeNone;
    float hotAngle = 0.5f, outerAngle = 0.7f;
    TQ3FallOffType fallOff = kQ3FallOffTypeNone;
};

struct Camera : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kCameraClass;
    explicit Camera(FourCharCode kind);
    FourCharCode Kind() const { return chain.Leaf(); }
    void SetKind(FourCharCode kind);
    TQ3CameraData data{};
    float fieldOfView = 1.0f, aspectRatio = 1.0f;     // view angle aspect
    float left = -1, top = 1, right = 1, bottom = -1; // orthographic
    float viewPlane = 10, halfWidth = 5, halfHeight = 5, centreX = 0, centreY = 0; // view plane
};

struct Texture : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kTextureClass;
    Texture(uint32_t width, uint32_t height, std::vector<uint8_t> rgba);
    uint32_t width, height;
    std::vector<uint8_t> rgba; // width x height pixels, 4 bytes each, rows from the top
};

struct TextureShader : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kTextureShaderClass;
    explicit TextureShader(OpaqueTQ3Object* texture);
    ~TextureShader() override;
    CMatrix3x3 uvTransform;
    OpaqueTQ3Object* texture = nullptr; // one reference held
};

struct AttributeSet : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kAttributeSetClass;
    AttributeSet();
    ~AttributeSet() override;
    // Copies every attribute; custom blocks are copied, the shader is shared.
    void CopyFrom(AttributeSet const& other, bool replace);

    std::optional<TQ3ColorRGB> diffuse, specular, transparency;
    std::optional<float> ambientCoefficient, specularControl;
    std::optional<TQ3Param2D> surfaceUV;
    std::optional<int32_t> csgID;
    std::optional<std::string> name;
    OpaqueTQ3Object* shader = nullptr; // one reference held
    // Custom attributes by type; the set owns each block.
    std::map<TQ3AttributeType, THandlePair> custom;
};

struct DrawContext : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kDrawContextClass;
    DrawContext();
    TQ3Area pane{{0, 0}, {640, 480}};
};

struct View : OpaqueTQ3Object {
    static constexpr uint32_t kClasses = kViewClass;
    View();
    ~View() override;
    OpaqueTQ3Object* camera = nullptr; // one reference held each
    OpaqueTQ3Object* lights = nullptr;
    OpaqueTQ3Object* drawContext = nullptr;
};

// The view's camera, light group or draw context (borrowed); throws when the wrapper is
// not a view or the view lacks the part.
OpaqueTQ3Object* ViewPart(C3DObject const& view, OpaqueTQ3Object* View::*part, char const* what);

// The object as the given kind, or null when it is another kind (or null).
template <typename T>
T* As(OpaqueTQ3Object* object) {
    bool const isOne = object && (object->classes & T::kClasses) == T::kClasses;
    return isOne ? static_cast<T*>(object) : nullptr;
}

} // namespace refhost::scene
