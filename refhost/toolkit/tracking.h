// The modal mouse loop of controls that follow the mouse themselves: after the mouse-down,
// the drags and the up are taken straight from the window's queue, so the control's
// mouse-down returns only when the mouse has been released.
#pragma once

#include <optional>

#include <functional>

#include "host/cocoa/ns_event.h"
#include "host/cocoa/ns_view.h"

namespace refhost::toolkit {

// Calls `step` for every drag and finally the up, with the location in the view's
// coordinates. Returns the location of the up, or nothing when the queue ran dry first
// (the gesture is then abandoned, as if released outside).
std::optional<NSPoint> TrackMouse(NSView& view, std::function<void(NSPoint, bool up)> const& step);

} // namespace refhost::toolkit
