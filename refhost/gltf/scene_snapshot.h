// The document's scene as glTF sees it, in one depth-first order that every walk of the same
// scene repeats: its groups, their transforms (each applies to the members after it, so each
// opens a nested node), geometries with the surface values the attribute sets above them
// give, lights and the view's camera. The exporter walks the scene once to lay out the
// glTF nodes and then takes a snapshot at every time it keys, reading the values at the same
// places of the order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/matrix3x3.h"
#include "host/matrix4x4.h"
#include "refhost/document/document.h"
#include "refhost/scene/objects.h"

namespace refhost::gltf {

// What a geometry looks like: the attribute sets above it applied, defaults where none.
struct SurfaceValues {
    TQ3ColorRGB diffuse{1, 1, 1};
    float opacity = 1.0f; // the transparency colour's mean
    std::optional<TQ3ColorRGB> specular;
    float shininess = 4.0f; // the specular control
    float ambientCoefficient = 1.0f;
    refhost::scene::TextureShader const* shader = nullptr; // borrowed
    CMatrix3x3 uvTransform;                                // the shader's, identity without
    bool operator==(SurfaceValues const& other) const;
};

struct LightValues {
    FourCharCode kind = 0;
    bool on = true;
    float brightness = 1.0f;
    TQ3ColorRGB colour{1, 1, 1};
    TQ3Point3D location{0, 0, 0};       // in the light's own coordinates (its node's)
    TQ3Vector3D direction{0, 0, -1};    // the way the light travels
    float hotAngle = 0, outerAngle = 0; // spot: half angles
    bool operator==(LightValues const& other) const;
};

struct CameraValues {
    FourCharCode kind = 0;
    TQ3CameraData data{};
    float fieldOfView = 1.0f, aspectRatio = 1.0f;
    float left = -1, top = 1, right = 1, bottom = -1;
    float viewPlane = 10, halfWidth = 5, halfHeight = 5;
    bool operator==(CameraValues const& other) const;
};

// The values at one time, each list in walk order.
struct Snapshot {
    std::vector<CMatrix4x4> transforms;  // every transform met
    std::vector<SurfaceValues> surfaces; // every geometry met
    std::vector<LightValues> lights;     // every light met, ambient ones included
    std::optional<CameraValues> camera;  // the current view's
};

// The walk's places, told to a visitor in walk order.
class SceneVisitor {
public:
    virtual ~SceneVisitor() = default;
    // A group; name is its name attribute or a stable name from its kind and place.
    virtual void BeginGroup(refhost::scene::Group& group, std::string const& name) = 0;
    virtual void EndGroup(refhost::scene::Group& group) = 0;
    // A transform of the group last begun; what follows in the group is under it.
    virtual void Transform(refhost::scene::Transform& transform) = 0;
    virtual void Geometry(refhost::scene::Geometry& geometry, SurfaceValues const& surface) = 0;
    virtual void Light(refhost::scene::Light& light) = 0;
};

// Walks the document's selected group, other group and the current view's lights (whichever
// exist), in that order. Display groups that are not drawn are skipped.
void WalkDocument(Document const& document, SceneVisitor& visitor);

// The values of the whole document now.
Snapshot TakeSnapshot(Document const& document);

LightValues ValuesOf(refhost::scene::Light const& light);
CameraValues ValuesOf(refhost::scene::Camera const& camera);

} // namespace refhost::gltf
