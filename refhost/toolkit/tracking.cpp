#include "refhost/toolkit/tracking.h"

#include "host/cocoa/ns_window.h"

namespace refhost::toolkit {

std::optional<NSPoint> TrackMouse(NSView& view, std::function<void(NSPoint, bool up)> const& step) {
    NSWindow* window = view.window();
    if (window == nullptr) {
        return std::nullopt;
    }
    NSEventMask const mask = NSEventMaskFromType(NSEventType::leftMouseDragged) |
                             NSEventMaskFromType(NSEventType::leftMouseUp);
    while (auto event = window->nextEventMatchingMask(mask)) {
        NSPoint const local = view.convertPoint(event->locationInWindow(), nullptr);
        bool const up = event->type() == NSEventType::leftMouseUp;
        step(local, up);
        if (up) {
            return local;
        }
    }
    return std::nullopt;
}

} // namespace refhost::toolkit
