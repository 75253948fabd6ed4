// The scene as the renderer draws it, computed once per frame by GatherScene and shared by
// every pass that draws it (surfaces, the selection mask): each geometry is an instance of a
// shape (its triangles or lines in its own coordinates, kept by a ShapeLibrary from frame to
// frame) placed by a matrix and drawn with a material; instances are ordered into batches
// that each take one draw call.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "host/matrix3x3.h"
#include "host/qd3d_types.h"
#include "refhost/scene/objects.h"

namespace refhost::view3d {

// One vertex of a shape. A vertex whose own attribute set gives a diffuse colour or a
// transparency has `own` 1 for it (rgb, alpha); otherwise the instance's colour applies.
// The vertices of a closed shape (one that hides its inside from every eye outside it) have
// `closed` 1 and normals that point out of it.
struct ShapeVertex {
    std::array<float, 3> position; // the shape's coordinates
    std::array<float, 3> normal;   // the geometry's own at the corner, else its face's; unit
                                   // length (zero for lines)
    std::array<float, 2> uv;       // before the material's UV transform
    std::array<float, 4> colour;   // rgb: diffuse colour; alpha: opacity
    std::array<float, 2> own;      // 1 where colour's rgb, alpha replace the instance's
    float closed;
};
static_assert(sizeof(ShapeVertex) == 15 * sizeof(float));

// Where a shape's vertices lie in its library's vertex array, and what they need.
struct ShapeRange {
    uint32_t first = 0, count = 0;
    bool lines = false;          // segments (pairs of vertices), or triangles
    bool ownTranslucent = false; // some vertex's own opacity is below 1
    bool inheritsAlpha = false;  // some vertex takes the instance's opacity
    bool closed = false;         // see ShapeVertex
    // The corners of the box around the vertices and their mean (for the distance of a
    // see-through instance from the eye).
    std::array<float, 3> low{}, high{}, centre{};
};

// Surface values of one geometry, after the attribute sets above it were applied.
struct Surface {
    TQ3ColorRGB specular{0, 0, 0};
    float shininess = 4.0f;          // the specular control: the highlight's exponent
    float ambientCoefficient = 1.0f; // how much of the ambient light the surface takes
    // The texture in place of the diffuse colour (borrowed: valid while the scene is), or
    // null; its UV transform takes the geometry's (u, v) to the texture's.
    refhost::scene::Texture const* texture = nullptr;
    CMatrix3x3 uvTransform;
};

struct Material {
    bool lit = true; // false for lines: they show their colour unshaded
    Surface surface;
};

// What the vertex shader reads per instance: the placement (world coordinate j is the dot
// product of row j with (x, y, z, 1)), the colour its vertices take unless they have their
// own, and whether the faces of a closed shape that turn away from the eye may be skipped
// (see MarkHiddenBackFaces).
struct InstanceData {
    std::array<float, 4> rows[3];
    std::array<float, 4> colour; // rgb: diffuse colour; alpha: opacity
    // x: 1 when back faces may be skipped; y: 1 for a ghost (drawn, never picked); z, w: 0
    std::array<float, 4> flags;
};
static_assert(sizeof(InstanceData) == 20 * sizeof(float));

struct Instance {
    InstanceData data;
    uint32_t shape = 0;    // in the library the list was gathered with
    uint32_t material = 0; // in DrawList::materials
    bool selected = false; // a member of the document's selected group
    bool transparent = false;
    OpaqueTQ3Object* geometry = nullptr; // borrowed: the geometry drawn
    // Borrowed: the member of the document's groups the geometry belongs to (what a click
    // on it picks).
    OpaqueTQ3Object* member = nullptr;
};

// Instances [first, first + count) of DrawList::instances, all of one shape and material and
// alike in being selected and see-through; drawn with one call.
struct Batch {
    uint32_t shape = 0, material = 0;
    uint32_t first = 0, count = 0;
    bool selected = false, transparent = false;
};

// The opacity a transparency colour gives: its mean, 1 opaque, 0 invisible.
inline float Opacity(TQ3ColorRGB const& transparency) {
    float const mean = (transparency.r + transparency.g + transparency.b) / 3.0f;
    return std::fmin(1.0f, std::fmax(0.0f, mean));
}

enum class LightKind { kDirectional, kPoint, kSpot };

struct DrawLight {
    LightKind kind = LightKind::kDirectional;
    TQ3ColorRGB colour{};    // colour times brightness
    TQ3Point3D location{};   // point and spot lights
    TQ3Vector3D direction{}; // the way the light travels, unit length (directional, spot)
    TQ3AttenuationType attenuation = kQ3AttenuationTypeNone;
    float hotAngle = 0, outerAngle = 0; // spot: half angles of the full and the lit cone
    TQ3FallOffType fallOff = kQ3FallOffTypeNone;
};

struct DrawList {
    // In drawing order once OrderForDrawing has run: the opaque batches, then the see-through
    // ones from the farthest to the nearest.
    std::vector<Instance> instances;
    std::vector<Batch> batches;
    std::vector<Material> materials;
    std::vector<DrawLight> lights; // the lights that are on, except ambient ones
    TQ3ColorRGB ambient{0, 0, 0};  // the ambient lights that are on, added up
};

} // namespace refhost::view3d
