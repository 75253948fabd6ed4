#include "host/cocoa/ns_split_view.h"

#include <algorithm>

#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_graphics.h"
#include "host/cocoa/ns_notification_center.h"
#include "refhost/toolkit/tracking.h"

void NSSplitView::setVertical(bool vertical) {
    fVertical = vertical;
    adjustSubviews();
}

void NSSplitView::adjustSubviews() {
    auto const views = subviews();
    if (views.empty()) {
        return;
    }
    NSRect const b = bounds();
    CGFloat const available = (fVertical ? b.size.width : b.size.height) -
                              dividerThickness() * static_cast<CGFloat>(views.size() - 1);
    CGFloat total = 0;
    for (NSView* v : views) {
        total += fVertical ? v->frame().size.width : v->frame().size.height;
    }
    CGFloat position = fVertical ? b.origin.x : NSMaxY(b);
    for (std::size_t i = 0; i < views.size(); ++i) {
        NSView* v = views[i];
        CGFloat const old = fVertical ? v->frame().size.width : v->frame().size.height;
        CGFloat extent =
            total > 0 ? old * available / total : available / static_cast<CGFloat>(views.size());
        if (i + 1 == views.size()) {
            // The last view takes what rounding left over.
            extent = fVertical ? NSMaxX(b) - position : position - b.origin.y;
        }
        extent = std::max<CGFloat>(0, static_cast<CGFloat>(static_cast<int>(extent)));
        if (fVertical) {
            v->setFrame(NSMakeRect(position, b.origin.y, extent, b.size.height));
            position += extent + dividerThickness();
        } else {
            // The first subview is the top one.
            v->setFrame(NSMakeRect(b.origin.x, position - extent, b.size.width, extent));
            position -= extent + dividerThickness();
        }
    }
    setNeedsDisplay(true);
    postResize();
}

void NSSplitView::setPositionOfDividerAtIndex(CGFloat position, long index) {
    auto const views = subviews();
    if (index < 0 || static_cast<std::size_t>(index) + 1 >= views.size()) {
        return;
    }
    NSView* before = views[static_cast<std::size_t>(index)];
    NSView* after = views[static_cast<std::size_t>(index) + 1];
    NSRect a = before->frame();
    NSRect c = after->frame();
    if (fVertical) {
        CGFloat const lo = a.origin.x;
        CGFloat const hi = NSMaxX(c) - dividerThickness();
        position = std::clamp(position, lo, std::max(lo, hi));
        a.size.width = position - a.origin.x;
        CGFloat const right = NSMaxX(c);
        c.origin.x = position + dividerThickness();
        c.size.width = right - c.origin.x;
    } else {
        // Along a horizontal split the position is measured from the top.
        CGFloat const top = NSMaxY(bounds());
        CGFloat const y = top - position;
        CGFloat const hi = NSMaxY(a);
        CGFloat const lo = c.origin.y + dividerThickness();
        CGFloat const edge = std::clamp(y, std::min(lo, hi), hi);
        a.size.height = NSMaxY(a) - edge;
        a.origin.y = edge;
        c.size.height = edge - dividerThickness() - c.origin.y;
    }
    before->setFrame(a);
    after->setFrame(c);
    setNeedsDisplay(true);
    postResize();
}

long NSSplitView::dividerIndexAtPoint(NSPoint point) const {
    auto const views = subviews();
    for (std::size_t i = 0; i + 1 < views.size(); ++i) {
        NSRect const f = views[i]->frame();
        NSRect const divider =
            fVertical
                ? NSMakeRect(NSMaxX(f), NSMinY(bounds()), dividerThickness(), NSHeight(bounds()))
                : NSMakeRect(NSMinX(bounds()), NSMinY(f) - dividerThickness(), NSWidth(bounds()),
                             dividerThickness());
        if (NSPointInRect(point, divider)) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

NSView* NSSplitView::hitTest(NSPoint pointInSuperview) {
    NSView* hit = NSView::hitTest(pointInSuperview);
    // The dividers belong to the split view, whatever lies next to them.
    if (hit != nullptr && hit != this &&
        dividerIndexAtPoint(convertPoint(pointInSuperview, superview())) >= 0) {
        return this;
    }
    return hit;
}

void NSSplitView::mouseDown(NSEvent* event) {
    NSPoint const start = convertPoint(event->locationInWindow(), nullptr);
    long const index = dividerIndexAtPoint(start);
    if (index < 0) {
        return;
    }
    NSRect const f = subviews()[static_cast<std::size_t>(index)]->frame();
    CGFloat const grab = fVertical ? start.x - NSMaxX(f) : start.y - NSMinY(f);
    refhost::toolkit::TrackMouse(*this, [&](NSPoint p, bool) {
        if (fVertical) {
            setPositionOfDividerAtIndex(p.x - grab, index);
        } else {
            setPositionOfDividerAtIndex(NSMaxY(bounds()) - (p.y - grab), index);
        }
    });
}

void NSSplitView::resizeSubviewsWithOldSize(NSSize) {
    adjustSubviews();
}

void NSSplitView::drawRect(NSRect const&) {
    auto const views = subviews();
    for (std::size_t i = 0; i + 1 < views.size(); ++i) {
        NSRect const f = views[i]->frame();
        NSRect const divider =
            fVertical
                ? NSMakeRect(NSMaxX(f), NSMinY(bounds()), dividerThickness(), NSHeight(bounds()))
                : NSMakeRect(NSMinX(bounds()), NSMinY(f) - dividerThickness(), NSWidth(bounds()),
                             dividerThickness());
        NSColor::colorWithDeviceWhite(0.85f, 1).setFill();
        NSRectFill(divider);
        NSColor::controlShadowColor().setFill();
        NSRectFill(NSMakeRect(NSMidX(divider) - 1, NSMidY(divider) - 1, 2, 2));
    }
}

void NSSplitView::postResize() {
    NSNotificationCenter::defaultCenter()->postNotificationName(
        NSSplitViewDidResizeSubviewsNotification, this);
}
