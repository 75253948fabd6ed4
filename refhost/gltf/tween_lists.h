// The plug-in's stored tween lists of object groups, as the host's documents keep them: a
// custom attribute of the group's set whose block is an 8-byte header (record size, row
// order key) followed by 144-byte records in ascending time. The exporter reads their times
// and pivots; the importer writes lists for the animations it brings in.
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

// Stores the points as the object's tween list (replacing one it had), with the row order key
// given; the object gets a set of its own when it has none.
void WriteObjectKeys(OpaqueTQ3Object* object, std::vector<ObjectKey> const& keys,
                     uint32_t sortingIndex);

} // namespace refhost::gltf
