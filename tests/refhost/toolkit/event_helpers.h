// Queues mouse and key events for a window and delivers them the way the host's event loop
// does.
#pragma once

#include <initializer_list>
#include <string>

#include "host/cocoa/ns_application.h"
#include "host/cocoa/ns_window.h"

namespace toolkit_test {

inline void Post(NSWindow& window, NSEventType type, NSPoint at, NSEventModifierFlags flags = 0) {
    NSApp()->postEvent(NSEvent::mouseEventWithType(type, at, flags, window.windowNumber()), false);
}

// A press at `down`, drags through `path` and a release at the last point (or at `down`).
inline void Click(NSWindow& window, NSPoint down, std::initializer_list<NSPoint> path = {},
                  NSEventModifierFlags flags = 0) {
    Post(window, NSEventType::leftMouseDown, down, flags);
    NSPoint last = down;
    for (NSPoint p : path) {
        Post(window, NSEventType::leftMouseDragged, p, flags);
        last = p;
    }
    Post(window, NSEventType::leftMouseUp, last, flags);
    NSApp()->processPendingEvents();
}

inline void Type(NSWindow& window, std::string const& characters) {
    NSApp()->postEvent(
        NSEvent::keyEventWithType(NSEventType::keyDown, 0, window.windowNumber(), characters),
        false);
    NSApp()->processPendingEvents();
}

} // namespace toolkit_test
