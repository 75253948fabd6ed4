// The focused graphics context: where drawing goes while a view draws. The state it keeps
// (fill and stroke colours, clip, the view's coordinates) is saved and restored as a stack.
// Drawing outside a view's drawing (no context focused) does nothing.
#pragma once

#include "host/cocoa/geometry.h"

class NSGraphicsContext {
public:
    // The focused context, or null outside drawing.
    static NSGraphicsContext* currentContext();
    static void saveGraphicsState();
    static void restoreGraphicsState();

    void saveGraphicsStateOfContext() { saveGraphicsState(); }
    void restoreGraphicsStateOfContext() { restoreGraphicsState(); }

    // The implementation's drawing surface, for the host's own drawing code.
    void* graphicsPort() const { return fPort; }

    explicit NSGraphicsContext(void* port) : fPort(port) {}
    NSGraphicsContext(NSGraphicsContext const&) = delete;
    NSGraphicsContext& operator=(NSGraphicsContext const&) = delete;

private:
    void* fPort;
};

// Fills the rectangle with the fill colour.
void NSRectFill(NSRect const& rect);
// Frames the rectangle with a one-pixel line inside its edges, in the fill colour.
void NSFrameRect(NSRect const& rect);
// Frames with lines `width` pixels wide, inside the edges, in the fill colour.
void NSFrameRectWithWidth(NSRect const& rect, CGFloat width);
// Fills the rectangle with white.
void NSEraseRect(NSRect const& rect);
// Narrows the clip to the rectangle, until the graphics state is restored.
void NSRectClip(NSRect const& rect);
