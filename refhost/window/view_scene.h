// The document's current view as the 3D view window uses it: its camera's projection,
// the member of the scene under a pixel, and the camera's placement to change.
#pragma once

#include <optional>

#include "host/qd3d_types.h"
#include "host/scene.h"
#include "refhost/document/document.h"
#include "refhost/window/view_projection.h"

namespace refhost::window {

// The projection of the current view's camera; nothing when the document has no view or its
// camera shows nothing.
std::optional<ViewProjection> CurrentProjection(Document const& document);

// The member of the document's two groups whose projected bounds hold the pixel, the
// nearest first; null when none does.
OpaqueTQ3Object* MemberAt(Document const& document, ViewProjection const& projection, float x,
                          float y, int width, int height);

// Where a member's bounds appear on the image: the rectangle around its projected corners
// and the depth of its centre; nothing when it draws nothing or lies behind the camera.
struct ImageBounds {
    float left, top, right, bottom, depth;
};
std::optional<ImageBounds> BoundsOnImage(CBoundingBox const& box, ViewProjection const& projection,
                                         int width, int height);

// The current view's camera placement; throws std::runtime_error when there is no view.
TQ3CameraPlacement CameraPlacement(Document const& document);

} // namespace refhost::window
