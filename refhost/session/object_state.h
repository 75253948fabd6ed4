// What a named object of the document shows at the moment, as a script reads it to check what
// plays: its placement (the matrix of its group's first transform, taken apart into
// translation, rotation and scale) and its diffuse colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/qd3d_types.h"
#include "refhost/document/document.h"

namespace refhost {

struct ObjectState {
    TQ3Vector3D translation{};
    // The rotation as a unit axis and an angle from 0 to 180 degrees; (1, 0, 0) and 0 for none.
    TQ3Vector3D axis{1, 0, 0};
    float degrees = 0;
    TQ3Vector3D scale{1, 1, 1};
    bool hasDiffuse = false;
    TQ3ColorRGB diffuse{};
};

// The state of the first member of the document's groups with that name; throws
// std::runtime_error naming the objects there are when none has it. A group without a
// transform shows the identity.
ObjectState NamedObjectState(Document const& document, std::string const& name);

// The ease byte (the record header's byte 5) of every selected tween point in the stored
// lists of the document's objects, in document order.
std::vector<uint8_t> SelectedTweenEases(Document const& document);

// "translation X Y Z rotation AX AY AZ DEGREES scale X Y Z diffuse R G B" (diffuse "none"
// without a colour), numbers to 4 decimals.
std::string DescribeObjectState(ObjectState const& state);

} // namespace refhost
