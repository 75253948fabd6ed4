#include "host/cocoa/ns_bezier_path.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "refhost/toolkit/canvas.h"

namespace {

CGFloat gDefaultLineWidth = 1;

// Traces the path into Cairo's current path.
void Trace(cairo_t* cr, std::vector<NSBezierPath::Step> const& steps) {
    cairo_new_path(cr);
    for (auto const& step : steps) {
        switch (step.element) {
        case NSBezierPath::Element::moveTo:
            cairo_move_to(cr, step.point.x, step.point.y);
            break;
        case NSBezierPath::Element::lineTo:
            cairo_line_to(cr, step.point.x, step.point.y);
            break;
        case NSBezierPath::Element::close:
            cairo_close_path(cr);
            break;
        case NSBezierPath::Element::oval: {
            NSRect const& r = step.rect;
            if (NSIsEmptyRect(r)) {
                break;
            }
            cairo_new_sub_path(cr);
            cairo_save(cr);
            cairo_translate(cr, NSMidX(r), NSMidY(r));
            cairo_scale(cr, r.size.width / 2, r.size.height / 2);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_close_path(cr);
            break;
        }
        }
    }
}

} // namespace

NSBezierPath NSBezierPath::bezierPathWithRect(NSRect const& rect) {
    NSBezierPath path;
    path.appendBezierPathWithRect(rect);
    return path;
}

NSBezierPath NSBezierPath::bezierPathWithOvalInRect(NSRect const& rect) {
    NSBezierPath path;
    path.appendBezierPathWithOvalInRect(rect);
    return path;
}

void NSBezierPath::setDefaultLineWidth(CGFloat width) {
    gDefaultLineWidth = width;
}
CGFloat NSBezierPath::defaultLineWidth() {
    return gDefaultLineWidth;
}

void NSBezierPath::strokeLineFromPoint(NSPoint from, NSPoint to) {
    NSBezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    path.stroke();
}

void NSBezierPath::fillRect(NSRect const& rect) {
    bezierPathWithRect(rect).fill();
}
void NSBezierPath::strokeRect(NSRect const& rect) {
    bezierPathWithRect(rect).stroke();
}

void NSBezierPath::moveToPoint(NSPoint point) {
    fElements.push_back({Element::moveTo, point, NSZeroRect});
    fCurrent = point;
    fSubpathStart = point;
}

void NSBezierPath::lineToPoint(NSPoint point) {
    if (fElements.empty()) {
        moveToPoint(fCurrent);
    }
    fElements.push_back({Element::lineTo, point, NSZeroRect});
    fCurrent = point;
}

void NSBezierPath::relativeMoveToPoint(NSPoint delta) {
    moveToPoint(NSMakePoint(fCurrent.x + delta.x, fCurrent.y + delta.y));
}

void NSBezierPath::relativeLineToPoint(NSPoint delta) {
    lineToPoint(NSMakePoint(fCurrent.x + delta.x, fCurrent.y + delta.y));
}

void NSBezierPath::closePath() {
    fElements.push_back({Element::close, fSubpathStart, NSZeroRect});
    fCurrent = fSubpathStart;
}

void NSBezierPath::appendBezierPathWithRect(NSRect const& rect) {
    moveToPoint(rect.origin);
    lineToPoint(NSMakePoint(NSMaxX(rect), NSMinY(rect)));
    lineToPoint(NSMakePoint(NSMaxX(rect), NSMaxY(rect)));
    lineToPoint(NSMakePoint(NSMinX(rect), NSMaxY(rect)));
    closePath();
}

void NSBezierPath::appendBezierPathWithOvalInRect(NSRect const& rect) {
    fElements.push_back({Element::oval, NSMakePoint(NSMidX(rect), NSMaxY(rect)), rect});
    fCurrent = NSMakePoint(NSMaxX(rect), NSMidY(rect));
    fSubpathStart = fCurrent;
}

void NSBezierPath::removeAllPoints() {
    fElements.clear();
    fCurrent = NSZeroPoint;
    fSubpathStart = NSZeroPoint;
}

NSRect NSBezierPath::bounds() const {
    if (fElements.empty()) {
        return NSZeroRect;
    }
    CGFloat x0 = std::numeric_limits<CGFloat>::max();
    CGFloat y0 = x0;
    CGFloat x1 = std::numeric_limits<CGFloat>::lowest();
    CGFloat y1 = x1;
    auto add = [&](NSPoint p) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    };
    for (auto const& step : fElements) {
        if (step.element == Element::oval) {
            add(step.rect.origin);
            add(NSMakePoint(NSMaxX(step.rect), NSMaxY(step.rect)));
        } else {
            add(step.point);
        }
    }
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

bool NSBezierPath::containsPoint(NSPoint point) const {
    // Cairo answers against the path in user space; an image surface of one pixel is enough
    // to hold the context.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    Trace(cr, fElements);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    bool const inside = cairo_in_fill(cr, point.x, point.y) != 0;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return inside;
}

void NSBezierPath::fill() const {
    auto* canvas = refhost::toolkit::CurrentCanvas();
    if (canvas == nullptr) {
        return;
    }
    cairo_t* cr = canvas->cairo();
    Trace(cr, fElements);
    refhost::toolkit::SetSourceColour(cr, canvas->paint().fill);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
}

void NSBezierPath::stroke() const {
    auto* canvas = refhost::toolkit::CurrentCanvas();
    if (canvas == nullptr) {
        return;
    }
    cairo_t* cr = canvas->cairo();
    cairo_save(cr);
    if (fLineWidth <= 0) {
        // The thinnest line: one device pixel, not smeared over two by antialiasing. Moved by
        // half a pixel, a line along a whole coordinate lights the pixels that start there
        // (right of a vertical line, above a horizontal one), as a filled rectangle's edge
        // does.
        double const pixel = refhost::toolkit::HairlineWidth(cr);
        cairo_translate(cr, pixel / 2, pixel / 2);
        Trace(cr, fElements);
        cairo_set_line_width(cr, pixel);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    } else {
        Trace(cr, fElements);
        cairo_set_line_width(cr, fLineWidth);
    }
    refhost::toolkit::SetSourceColour(cr, canvas->paint().stroke);
    cairo_stroke(cr);
    cairo_restore(cr);
}
