#include "host/cocoa/ns_graphics.h"

#include "refhost/toolkit/canvas.h"

namespace {

using refhost::toolkit::Canvas;
using refhost::toolkit::CurrentCanvas;

void FillWith(Canvas& canvas, NSColor const& colour, NSRect const& rect) {
    cairo_t* cr = canvas.cairo();
    cairo_new_path(cr);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    refhost::toolkit::SetSourceColour(cr, colour);
    cairo_fill(cr);
}

} // namespace

void NSRectFill(NSRect const& rect) {
    if (auto* canvas = CurrentCanvas()) {
        FillWith(*canvas, canvas->paint().fill, rect);
    }
}

void NSFrameRect(NSRect const& rect) {
    NSFrameRectWithWidth(rect, 1);
}

void NSFrameRectWithWidth(NSRect const& rect, CGFloat width) {
    if (NSIsEmptyRect(rect)) {
        return;
    }
    CGFloat const w = std::min({width, rect.size.width / 2, rect.size.height / 2});
    NSRectFill(NSMakeRect(NSMinX(rect), NSMinY(rect), NSWidth(rect), w));
    NSRectFill(NSMakeRect(NSMinX(rect), NSMaxY(rect) - w, NSWidth(rect), w));
    NSRectFill(NSMakeRect(NSMinX(rect), NSMinY(rect) + w, w, NSHeight(rect) - 2 * w));
    NSRectFill(NSMakeRect(NSMaxX(rect) - w, NSMinY(rect) + w, w, NSHeight(rect) - 2 * w));
}

void NSEraseRect(NSRect const& rect) {
    if (auto* canvas = CurrentCanvas()) {
        FillWith(*canvas, NSColor::whiteColor(), rect);
    }
}

void NSRectClip(NSRect const& rect) {
    if (auto* canvas = CurrentCanvas()) {
        cairo_t* cr = canvas->cairo();
        cairo_new_path(cr);
        cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
        cairo_clip(cr);
    }
}
