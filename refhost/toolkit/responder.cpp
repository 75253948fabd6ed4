#include "host/cocoa/ns_responder.h"

#include "host/cocoa/ns_event.h"

// What a responder leaves alone goes up the chain; at the end of the chain it is dropped.
void NSResponder::mouseDown(NSEvent* event) {
    if (fNextResponder != nullptr) {
        fNextResponder->mouseDown(event);
    }
}

void NSResponder::mouseDragged(NSEvent* event) {
    if (fNextResponder != nullptr) {
        fNextResponder->mouseDragged(event);
    }
}

void NSResponder::mouseUp(NSEvent* event) {
    if (fNextResponder != nullptr) {
        fNextResponder->mouseUp(event);
    }
}

void NSResponder::keyDown(NSEvent* event) {
    if (fNextResponder != nullptr) {
        fNextResponder->keyDown(event);
    }
}

void NSResponder::keyUp(NSEvent* event) {
    if (fNextResponder != nullptr) {
        fNextResponder->keyUp(event);
    }
}

void NSResponder::scrollWheel(NSEvent* event) {
    if (fNextResponder != nullptr) {
        fNextResponder->scrollWheel(event);
    }
}
