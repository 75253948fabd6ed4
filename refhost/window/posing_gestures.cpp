#include "refhost/window/posing_gestures.h"

#include <cmath>
#include <optional>

#include "refhost/session/posing.h"
#include "refhost/window/view_markers.h"
#include "refhost/window/view_scene.h"

namespace refhost::window {

namespace {

bool AnySelected(Document const& document) {
    for (SceneMember const& member : SceneMembers(document)) {
        if (member.selected) {
            return true;
        }
    }
    return false;
}

bool IsSelected(Document const& document, OpaqueTQ3Object* object) {
    for (SceneMember const& member : SceneMembers(document)) {
        if (member.object == object) {
            return member.selected;
        }
    }
    return false;
}

// The depth of the point of interest, where a pan moves the scene with the mouse.
float InterestDepth(Document const& document, ViewProjection const& projection) {
    TQ3CameraPlacement const p = CameraPlacement(document);
    CVector3D const sight(p.pointOfInterest.x - p.cameraLocation.x,
                          p.pointOfInterest.y - p.cameraLocation.y,
                          p.pointOfInterest.z - p.cameraLocation.z);
    return std::fmax(DotProduct(sight, projection.forward), 0.001f);
}

} // namespace

Changes& Changes::operator|=(Changes const& other) {
    selection = selection || other.selection;
    scene = scene || other.scene;
    camera = camera || other.camera;
    return *this;
}

void PosingGestures::SetSize(int width, int height) {
    fWidth = width > 0 ? width : 1;
    fHeight = height > 0 ? height : 1;
}

void PosingGestures::Edit() {
    if (!fEditing && fBeginEdit) {
        fBeginEdit();
    }
    fEditing = true;
}

Changes PosingGestures::Press(Document& document, MouseButton button, float x, float y,
                              Modifiers modifiers) {
    fLastX = fPressX = x;
    fLastY = fPressY = y;
    fKind = DragKind::none;
    fEditing = false;
    fClickOnEmpty = false;
    std::optional<ViewProjection> const projection = CurrentProjection(document);
    if (!projection) {
        return {};
    }
    if (button == MouseButton::right) {
        fKind = DragKind::pan;
        fDepth = InterestDepth(document, *projection);
        return {};
    }
    if (button == MouseButton::middle) {
        fKind = DragKind::dolly;
        return {};
    }
    Changes changes;
    // A light's marker is picked before the surfaces behind it.
    std::optional<Marker> const marker =
        LightMarkerAt(ViewMarkers(document, *projection, CameraPlacement(document).pointOfInterest,
                                  fWidth, fHeight),
                      x, y);
    std::optional<OpaqueTQ3Object*> const picked =
        marker || !fPicker ? std::nullopt : fPicker(x, y);
    OpaqueTQ3Object* hit = marker   ? marker->member
                           : picked ? *picked
                                    : MemberAt(document, *projection, x, y, fWidth, fHeight);
    if (modifiers.shift) {
        if (hit) {
            SetSelected(document, hit, !IsSelected(document, hit));
            changes.selection = true;
        }
        return changes;
    }
    if (!hit) {
        fClickOnEmpty = true;
        fKind = DragKind::orbit;
        return changes;
    }
    if (!IsSelected(document, hit)) {
        DeselectAll(document);
        SetSelected(document, hit, true);
        changes.selection = true;
    }
    fKind = modifiers.control  ? DragKind::turn
            : modifiers.option ? DragKind::scale
                               : DragKind::move;
    if (marker) {
        fDepth = marker->depth;
        return changes;
    }
    for (SceneMember const& member : SceneMembers(document)) {
        if (member.object == hit) {
            if (auto b = BoundsOnImage(member.bounds, *projection, fWidth, fHeight)) {
                fDepth = b->depth;
            }
        }
    }
    return changes;
}

Changes PosingGestures::Drag(Document& document, float x, float y) {
    float const dx = x - fLastX, dy = y - fLastY;
    fLastX = x;
    fLastY = y;
    std::optional<ViewProjection> const projection = CurrentProjection(document);
    if (std::hypot(x - fPressX, y - fPressY) > kClickSlop) {
        fClickOnEmpty = false;
    }
    if (!projection || (dx == 0 && dy == 0)) {
        return {};
    }
    if (fKind == DragKind::move || fKind == DragKind::turn || fKind == DragKind::scale) {
        Edit();
    }
    Changes changes;
    switch (fKind) {
    case DragKind::none:
        break;
    case DragKind::move:
        MoveSelection(document, ViewPlaneMove(*projection, fDepth, dx, dy, fWidth, fHeight));
        changes.scene = true;
        break;
    case DragKind::turn:
        if (dx != 0) {
            TurnSelection(document, projection->up, dx * kTurnPerPixel);
        }
        if (dy != 0) {
            TurnSelection(document, projection->right, dy * kTurnPerPixel);
        }
        changes.scene = true;
        break;
    case DragKind::scale: {
        float const f = std::exp(-dy * kTurnPerPixel);
        ScaleSelection(document, CVector3D(f, f, f));
        changes.scene = true;
        break;
    }
    case DragKind::orbit:
        PlaceCamera(document,
                    Orbit(CameraPlacement(document), dx * kTurnPerPixel, dy * kTurnPerPixel));
        changes.camera = true;
        break;
    case DragKind::pan:
        PlaceCamera(document, Pan(CameraPlacement(document),
                                  -ViewPlaneMove(*projection, fDepth, dx, dy, fWidth, fHeight)));
        changes.camera = true;
        break;
    case DragKind::dolly:
        PlaceCamera(document, Dolly(CameraPlacement(document), std::exp(dy * kTurnPerPixel)));
        changes.camera = true;
        break;
    }
    return changes;
}

Changes PosingGestures::Release(Document& document) {
    fKind = DragKind::none;
    fEditing = false;
    Changes changes;
    if (fClickOnEmpty && AnySelected(document)) {
        DeselectAll(document);
        changes.selection = true;
    }
    fClickOnEmpty = false;
    return changes;
}

Changes PosingGestures::Wheel(Document& document, float clicks) {
    if (!document.CurrentView() || clicks == 0) {
        return {};
    }
    PlaceCamera(document, Dolly(CameraPlacement(document), std::pow(0.9f, clicks)));
    return Changes{false, false, true};
}

Changes PosingGestures::Nudge(Document& document, int dx, int dy, bool alongSight, bool repeat) {
    std::optional<ViewProjection> const projection = CurrentProjection(document);
    if (!projection || !AnySelected(document)) {
        return {};
    }
    if (!repeat) {
        fEditing = false;
    }
    Edit();
    CVector3D const move = alongSight ? projection->forward * (static_cast<float>(dy) * kNudge)
                                      : projection->right * (static_cast<float>(dx) * kNudge) +
                                            projection->up * (static_cast<float>(dy) * kNudge);
    MoveSelection(document, move);
    return Changes{false, true, false};
}

} // namespace refhost::window
