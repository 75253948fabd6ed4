// Objects that take events. What a responder does not handle goes to its next responder;
// for a view that is its superview, then the window.
#pragma once

#include "host/cocoa/ns_object.h"

class NSEvent;

class NSResponder : public NSObject {
public:
    NSResponder* nextResponder() const { return fNextResponder; }
    void setNextResponder(NSResponder* responder) { fNextResponder = responder; }

    virtual void mouseDown(NSEvent* event);
    virtual void mouseDragged(NSEvent* event);
    virtual void mouseUp(NSEvent* event);
    virtual void keyDown(NSEvent* event);
    virtual void keyUp(NSEvent* event);
    virtual void scrollWheel(NSEvent* event);

    // Whether the responder takes key events when clicked; most do not.
    virtual bool acceptsFirstResponder() { return false; }
    // Called as the responder gains or loses the keyboard; false refuses.
    virtual bool becomeFirstResponder() { return true; }
    virtual bool resignFirstResponder() { return true; }

private:
    NSResponder* fNextResponder = nullptr;
};
