// A window of the view toolkit driven by queued events, as the host's window backend
// drives it.
#pragma once

#include <gtest/gtest.h>

#include "host/cocoa/cocoa.h"

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSApp()->discardEvents();
        window =
            std::make_unique<NSWindow>(NSMakeRect(100, 100, 300, 200), NSWindowStyleMaskTitled);
        window->makeKeyAndOrderFront(nullptr);
    }
    void TearDown() override {
        NSApp()->discardEvents();
        window.reset();
    }
    void Post(NSEventType type, NSPoint at, NSEventModifierFlags flags = 0) {
        NSApp()->postEvent(NSEvent::mouseEventWithType(type, at, flags, window->windowNumber()),
                           false);
    }
    void Type(std::string characters) {
        NSApp()->postEvent(NSEvent::keyEventWithType(NSEventType::keyDown, 0,
                                                     window->windowNumber(), std::move(characters)),
                           false);
    }
    // A press at one point and a release at another, with a drag between.
    void Click(NSPoint down, NSPoint up) {
        Post(NSEventType::leftMouseDown, down);
        Post(NSEventType::leftMouseDragged, up);
        Post(NSEventType::leftMouseUp, up);
        NSApp()->processPendingEvents();
    }
    void Click(NSPoint at) { Click(at, at); }
    template <class V>
    V* Add(std::unique_ptr<V> view) {
        return window->contentView()->addSubview(std::move(view));
    }

    std::unique_ptr<NSWindow> window;
};
