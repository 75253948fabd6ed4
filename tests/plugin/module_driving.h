// Driving the palette of a module loaded by the reference host the way the user does: by
// clicking its controls through the application's event queue.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/cocoa/cocoa.h"

inline NSButton* ButtonTitled(NSView* root, std::string const& title) {
    for (NSView* view : root->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            return button;
        }
    }
    return nullptr;
}

inline void Click(NSView* view) {
    ASSERT_NE(view, nullptr);
    NSRect const frame = view->convertRectToView(view->bounds(), nullptr);
    NSPoint const middle{NSMidX(frame), NSMidY(frame)};
    for (NSEventType type : {NSEventType::leftMouseDown, NSEventType::leftMouseUp}) {
        NSApp()->postEvent(
            NSEvent::mouseEventWithType(type, middle, 0, view->window()->windowNumber()), false);
    }
    NSApp()->processPendingEvents();
}
