// The scene as the renderer draws it: shaded triangles and lines in world coordinates, with
// their surface values, and the lights in world coordinates. Made by GatherScene.
#pragma once

#include <array>
#include <vector>

#include "host/matrix3x3.h"
#include "host/qd3d_types.h"
#include "refhost/scene/objects.h"

namespace refhost::view3d {

struct DrawVertex {
    std::array<float, 3> position; // world
    std::array<float, 3> normal;   // world, unit length (zero for lines)
    std::array<float, 2> uv;       // before the shader's UV transform
    std::array<float, 4> colour;   // diffuse colour; alpha is the opacity
};
static_assert(sizeof(DrawVertex) == 12 * sizeof(float));

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

struct DrawItem {
    bool lines = false; // segments (pairs of vertices) drawn unlit, or triangles
    std::vector<DrawVertex> vertices;
    Surface surface;
    bool selected = false;    // a member of the document's selected group
    bool transparent = false; // some vertex is less than opaque
};

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
    std::vector<DrawItem> items;
    std::vector<DrawLight> lights; // the lights that are on, except ambient ones
    TQ3ColorRGB ambient{0, 0, 0};  // the ambient lights that are on, added up
};

} // namespace refhost::view3d
