// Images drawn in code: an image is a size and a drawing routine that paints it in its own
// coordinates (origin at the bottom left, y upwards) whenever the image is drawn.
#pragma once

#include <functional>
#include <memory>

#include "host/cocoa/geometry.h"

class NSImage {
public:
    // The handler is given the image's rectangle (origin 0, 0) and answers whether it drew.
    using DrawingHandler = std::function<bool(NSRect)>;

    static std::shared_ptr<NSImage> imageWithSize(NSSize size, bool flipped,
                                                  DrawingHandler handler);

    NSSize size() const { return fSize; }
    bool isFlipped() const { return fFlipped; }
    // Paints the image scaled into the rectangle of the focused view.
    void drawInRect(NSRect const& rect) const;
    // Paints the image at its own size with its bottom left corner at the point.
    void drawAtPoint(NSPoint point) const;

    NSImage(NSSize size, bool flipped, DrawingHandler handler)
        : fSize(size), fFlipped(flipped), fHandler(std::move(handler)) {}

private:
    NSSize fSize;
    bool fFlipped;
    DrawingHandler fHandler;
};
