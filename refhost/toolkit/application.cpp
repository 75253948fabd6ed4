#include "host/cocoa/ns_application.h"

#include <algorithm>

#include "host/cocoa/ns_window.h"

NSApplication* NSApplication::sharedApplication() {
    // Never destroyed: windows that outlive main (a plug-in's palette) still reach it.
    static NSApplication* const application = new NSApplication;
    return application;
}

NSWindow* NSApplication::windowWithWindowNumber(long number) const {
    for (NSWindow* window : fWindows) {
        if (window->windowNumber() == number) {
            return window;
        }
    }
    return nullptr;
}

void NSApplication::postEvent(NSEvent const& event, bool atStart) {
    if (atStart) {
        fQueue.push_front(event);
    } else {
        fQueue.push_back(event);
    }
}

std::optional<NSEvent> NSApplication::nextEventMatchingMask(NSEventMask mask) {
    auto found = std::find_if(fQueue.begin(), fQueue.end(), [mask](NSEvent const& e) {
        return (NSEventMaskFromType(e.type()) & mask) != 0;
    });
    if (found == fQueue.end()) {
        return std::nullopt;
    }
    NSEvent event = *found;
    fQueue.erase(found);
    fCurrent = event;
    fHasCurrent = true;
    return event;
}

void NSApplication::sendEvent(NSEvent* event) {
    fCurrent = *event;
    fHasCurrent = true;
    if (NSWindow* window = windowWithWindowNumber(event->windowNumber())) {
        window->sendEvent(event);
    }
}

int NSApplication::processPendingEvents() {
    int delivered = 0;
    while (auto event = nextEventMatchingMask(NSEventMaskAny)) {
        sendEvent(&*event);
        ++delivered;
    }
    return delivered;
}

void NSApplication::windowCreated(NSWindow* window) {
    fWindows.push_back(window);
}

void NSApplication::windowDestroyed(NSWindow* window) {
    std::erase(fWindows, window);
    if (fKeyWindow == window) {
        fKeyWindow = nullptr;
    }
}
