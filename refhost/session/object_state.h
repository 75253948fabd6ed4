// What a named object of the document shows at the moment, as a script reads it to check what
// plays: its placement (the matrix of its group's first transform, taken apart into
// translation, rotation and scale), its diffuse colour and the light it holds; and what the
// view's camera and its ambient and sun lights show.
#pragma once

#include <cstdint>
#include <optional>
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
    std::optional<TQ3LightData> light; // the group's first light
};

// The state of the first member of the document's groups with that name; throws
// std::runtime_error naming the objects there are when none has it. A group without a
// transform shows the identity.
ObjectState NamedObjectState(Document const& document, std::string const& name);

// The ease byte (the record header's byte 5) of every selected tween point in the stored
// lists of the document's objects, in document order.
std::vector<uint8_t> SelectedTweenEases(Document const& document);

// "translation X Y Z rotation AX AY AZ DEGREES scale X Y Z diffuse R G B" (diffuse "none"
// without a colour), then " light on|off brightness B colour R G B" for a group holding a
// light; numbers to 4 decimals.
std::string DescribeObjectState(ObjectState const& state);

// "light on|off brightness B colour R G B" of the view's first light of the kind ("ambn" or
// "drct"); throws std::runtime_error when the view has none.
std::string DescribeViewLight(Document const& document, TQ3ObjectType kind);

// "location X Y Z interest X Y Z up X Y Z" of the current view's camera, then its lens:
// "field of view F aspect A", "left L top T right R bottom B" or "view plane D half width W
// half height H"; throws std::runtime_error when the document has no view.
std::string DescribeCamera(Document const& document);

} // namespace refhost
