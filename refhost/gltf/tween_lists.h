// The plug-in's stored tween lists, as the host's documents keep them: a custom attribute of
// the animated object's set whose block is an 8-byte header (record size, row order key)
// followed by records in ascending time: 144 bytes for object groups and lights, 168 for the
// view's camera. The exporter reads object groups' times and pivots; the importer writes
// lists for the animations it brings in.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/matrix4x4.h"
#include "host/qd3d_types.h"
#include "refhost/scene/objects.h"

namespace refhost::gltf {

// One tween point of an object group. Values without a flag are left out of the record.
struct ObjectKey {
    int32_t time = 0;
    uint8_t ease = 0; // how the interval from this point on is blended: 0 linear, 4 hold
    CMatrix4x4 matrix{1.0};
    std::optional<TQ3ColorRGB> diffuse, specular;
    std::optional<float> transparency, shininess, ambientCoefficient;
    TQ3Point3D pivot{0, 0, 0};
    bool selected = false; // selected in the timeline (read only)
};

// The object tween points stored on the object's set, in their stored order; nothing when
// the object has no list, or a list of another record size (a light's or a camera's lists
// are told apart from the object's kind by the caller). Records beyond the block's end are
// not read.
std::optional<std::vector<ObjectKey>> ReadObjectKeys(OpaqueTQ3Object const* object);

// One tween point of a light: the transform of the group that holds it and the light's own
// values (its kind, switch, attenuation and fall-off are the light's).
struct LightKey {
    int32_t time = 0;
    uint8_t ease = 0;
    std::optional<CMatrix4x4> matrix; // none for a light in no group
    TQ3LightData common{kQ3True, 1.0f, {1, 1, 1}};
    TQ3Point3D location{0, 0, 0};
    TQ3Vector3D direction{0, 0, -1};
    float hotAngle = 0, outerAngle = 0; // spot lights
};

// One tween point of the view's camera: its own data, of its kind ("vana" or "orth").
struct CameraKey {
    int32_t time = 0;
    uint8_t ease = 0;
    FourCharCode kind = 0;
    TQ3CameraData data{};
    float fieldOfView = 1, aspectRatio = 1;           // vana
    float left = -1, top = 1, right = 1, bottom = -1; // orth
};

// Stores the points as the object's tween list (replacing one it had), with the row order key
// given; the object gets a set of its own when it has none.
void WriteObjectKeys(OpaqueTQ3Object* object, std::vector<ObjectKey> const& keys,
                     uint32_t sortingIndex);

// The same for a light (its tween list is on the light itself) and the view's camera (row
// order key 1, the camera's).
void WriteLightKeys(refhost::scene::Light& light, std::vector<LightKey> const& keys,
                    uint32_t sortingIndex);
void WriteCameraKeys(OpaqueTQ3Object* camera, std::vector<CameraKey> const& keys);

} // namespace refhost::gltf
