#include "host/cocoa/ns_image.h"

#include "host/cocoa/ns_graphics.h"
#include "refhost/toolkit/canvas.h"

std::shared_ptr<NSImage> NSImage::imageWithSize(NSSize size, bool flipped, DrawingHandler handler) {
    return std::make_shared<NSImage>(size, flipped, std::move(handler));
}

void NSImage::drawInRect(NSRect const& rect) const {
    auto* canvas = refhost::toolkit::CurrentCanvas();
    if (canvas == nullptr || !fHandler || fSize.width <= 0 || fSize.height <= 0) {
        return;
    }
    cairo_t* cr = canvas->cairo();
    NSGraphicsContext::saveGraphicsState();
    cairo_translate(cr, rect.origin.x, rect.origin.y);
    cairo_scale(cr, rect.size.width / fSize.width, rect.size.height / fSize.height);
    if (fFlipped) {
        cairo_translate(cr, 0, fSize.height);
        cairo_scale(cr, 1, -1);
    }
    NSRectClip(NSMakeRect(0, 0, fSize.width, fSize.height));
    fHandler(NSMakeRect(0, 0, fSize.width, fSize.height));
    NSGraphicsContext::restoreGraphicsState();
}

void NSImage::drawAtPoint(NSPoint point) const {
    drawInRect(NSRect{point, fSize});
}
