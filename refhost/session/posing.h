// Posing the scene as a user does before recording: choosing objects by name, moving,
// turning and scaling the selection about its centre, changing its colours and surface
// values, placing the view's camera and changing its lights. Each throws std::runtime_error
// with a message for the user when it cannot do what was asked; what it changed stays.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/qd3d_types.h"
#include "host/scene.h"
#include "host/vectors.h"
#include "refhost/document/document.h"

namespace refhost {

// The names of the document's objects (the members of its two groups), in order.
std::vector<std::string> ObjectNames(Document const& document);
// Makes exactly the named objects the selection.
void SelectObjects(Document& document, std::vector<std::string> const& names);
void DeselectAll(Document& document);

// A member of the document's two groups, as the user points at it in the 3D view.
struct SceneMember {
    OpaqueTQ3Object* object; // borrowed from its group
    bool selected;
    // What it draws, in the scene's coordinates; empty for members that draw nothing.
    CBoundingBox bounds;
};
// The selected members first, then the others, each in its group's order.
std::vector<SceneMember> SceneMembers(Document const& document);
// Moves the member into the group of selected objects or out of it; a member that is there
// already, or is no member, is left alone.
void SetSelected(Document& document, OpaqueTQ3Object* member, bool selected);

// Every selected group's placement, through its first transform (one is put in front of its
// members when it has none), changed about the group's centre in the scene.
void MoveSelection(Document& document, CVector3D const& delta);
void TurnSelection(Document& document, CVector3D const& axis, float radians);
void ScaleSelection(Document& document, CVector3D const& factors);
// The selection's diffuse (or specular) colour and its surface values: 0 the ambient
// coefficient, 1 the shininess, 2 the transparency (1 opaque).
void ColourSelection(Document& document, TQ3ColorRGB const& colour, bool specular);
void SetSelectionSurface(Document& document, int which, float value);

// The current view's camera (borrowed); throws std::runtime_error when the document has no
// view.
OpaqueTQ3Object* ViewCamera(Document const& document);
// The current view's camera, looking from `from` at `at`.
void PlaceCamera(Document& document, TQ3CameraPlacement const& placement);
// The first light of the kind ("ambn" or "drct") among the current view's lights; throws
// std::runtime_error naming the light when the document has no view or the view no such light.
OpaqueTQ3Object* ViewLight(Document const& document, TQ3ObjectType kind);
// Changes the first light of the kind ("ambn" or "drct") of the current view.
void ChangeViewLight(Document& document, TQ3ObjectType kind,
                     std::function<void(TQ3LightData&)> const& change);

// Changes the first light of the named object (a group of the document holding lights).
void ChangeObjectLight(Document& document, std::string const& name,
                       std::function<void(TQ3LightData&)> const& change);

} // namespace refhost
