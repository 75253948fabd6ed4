#include "host/cocoa/ns_scroll_view.h"

#include <algorithm>

#include "host/cocoa/ns_event.h"
#include "host/cocoa/ns_graphics.h"
#include "refhost/toolkit/tracking.h"

NSView* NSClipView::documentView() const {
    auto const views = subviews();
    return views.empty() ? nullptr : views.front();
}

void NSClipView::setDocumentView(std::unique_ptr<NSView> view) {
    if (NSView* old = documentView()) {
        old->removeFromSuperview();
    }
    addSubview(std::move(view));
    scrollToPoint(bounds().origin);
}

NSRect NSClipView::documentVisibleRect() const {
    NSView* doc = documentView();
    if (doc == nullptr) {
        return NSZeroRect;
    }
    return NSIntersectionRect(doc->convertRect(bounds(), this), doc->bounds());
}

NSPoint NSClipView::constrainScrollPoint(NSPoint point) const {
    NSView* doc = documentView();
    if (doc == nullptr) {
        return NSZeroPoint;
    }
    NSRect const d = doc->frame();
    NSSize const s = bounds().size;
    CGFloat const maxX = std::max(NSMinX(d), NSMaxX(d) - s.width);
    CGFloat const maxY = std::max(NSMinY(d), NSMaxY(d) - s.height);
    return NSMakePoint(std::clamp(point.x, NSMinX(d), maxX), std::clamp(point.y, NSMinY(d), maxY));
}

void NSClipView::scrollToPoint(NSPoint point) {
    setBoundsOrigin(constrainScrollPoint(point));
    if (superview() != nullptr) {
        superview()->setNeedsDisplay(true);
    }
}

bool NSClipView::autoscroll(NSEvent* event) {
    NSPoint const p = convertPoint(event->locationInWindow(), nullptr);
    NSRect const b = bounds();
    CGFloat dx = 0;
    CGFloat dy = 0;
    if (p.x < NSMinX(b)) {
        dx = p.x - NSMinX(b);
    } else if (p.x > NSMaxX(b)) {
        dx = p.x - NSMaxX(b);
    }
    if (p.y < NSMinY(b)) {
        dy = p.y - NSMinY(b);
    } else if (p.y > NSMaxY(b)) {
        dy = p.y - NSMaxY(b);
    }
    if (dx == 0 && dy == 0) {
        return false;
    }
    NSPoint const before = b.origin;
    scrollToPoint(NSMakePoint(b.origin.x + dx, b.origin.y + dy));
    return !(bounds().origin == before);
}

void NSClipView::drawRect(NSRect const& dirtyRect) {
    if (fDrawsBackground) {
        fBackground.setFill();
        NSRectFill(dirtyRect);
    }
}

NSScrollView::NSScrollView(NSRect frame) : NSView(frame) {
    fClip = addSubview(std::make_unique<NSClipView>(bounds()));
    tile();
}

void NSScrollView::setDocumentView(std::unique_ptr<NSView> view) {
    fClip->setDocumentView(std::move(view));
    setNeedsDisplay(true);
}

void NSScrollView::setHasVerticalScroller(bool has) {
    fVerticalScroller = has;
    tile();
}

void NSScrollView::setHasHorizontalScroller(bool has) {
    fHorizontalScroller = has;
    tile();
}

void NSScrollView::setScrollerThickness(CGFloat thickness) {
    fScrollerThickness = thickness;
    tile();
}

void NSScrollView::tile() {
    NSRect const b = bounds();
    CGFloat const w = fScrollerThickness;
    CGFloat const right = fVerticalScroller ? w : 0;
    CGFloat const bottom = fHorizontalScroller ? w : 0;
    fClip->setFrame(NSMakeRect(b.origin.x, b.origin.y + bottom,
                               std::max<CGFloat>(0, b.size.width - right),
                               std::max<CGFloat>(0, b.size.height - bottom)));
    fClip->scrollToPoint(fClip->bounds().origin);
}

void NSScrollView::setFrame(NSRect const& frame) {
    NSView::setFrame(frame);
    tile();
}

void NSScrollView::scrollWheel(NSEvent* event) {
    NSPoint const o = fClip->bounds().origin;
    fClip->scrollToPoint(NSMakePoint(o.x - event->deltaX(), o.y + event->deltaY()));
}

NSRect NSScrollView::verticalTrack() const {
    if (!fVerticalScroller) {
        return NSZeroRect;
    }
    NSRect const b = bounds();
    CGFloat const bottom = fHorizontalScroller ? fScrollerThickness : 0;
    return NSMakeRect(NSMaxX(b) - fScrollerThickness, b.origin.y + bottom, fScrollerThickness,
                      b.size.height - bottom);
}

NSRect NSScrollView::horizontalTrack() const {
    if (!fHorizontalScroller) {
        return NSZeroRect;
    }
    NSRect const b = bounds();
    CGFloat const right = fVerticalScroller ? fScrollerThickness : 0;
    return NSMakeRect(b.origin.x, b.origin.y, b.size.width - right, fScrollerThickness);
}

NSRect NSScrollView::verticalKnobRect() const {
    NSRect const track = verticalTrack();
    NSView* doc = documentView();
    if (NSIsEmptyRect(track) || doc == nullptr || doc->frame().size.height <= 0) {
        return NSZeroRect;
    }
    NSRect const d = doc->frame();
    NSRect const c = fClip->bounds();
    CGFloat const shown = std::min<CGFloat>(1, c.size.height / d.size.height);
    CGFloat const h = std::max<CGFloat>(12, track.size.height * shown);
    CGFloat const range = d.size.height - c.size.height;
    CGFloat const f = range > 0 ? (c.origin.y - d.origin.y) / range : 0;
    return NSMakeRect(track.origin.x + 2, track.origin.y + (track.size.height - h) * f,
                      track.size.width - 4, h);
}

NSRect NSScrollView::horizontalKnobRect() const {
    NSRect const track = horizontalTrack();
    NSView* doc = documentView();
    if (NSIsEmptyRect(track) || doc == nullptr || doc->frame().size.width <= 0) {
        return NSZeroRect;
    }
    NSRect const d = doc->frame();
    NSRect const c = fClip->bounds();
    CGFloat const shown = std::min<CGFloat>(1, c.size.width / d.size.width);
    CGFloat const w = std::max<CGFloat>(12, track.size.width * shown);
    CGFloat const range = d.size.width - c.size.width;
    CGFloat const f = range > 0 ? (c.origin.x - d.origin.x) / range : 0;
    return NSMakeRect(track.origin.x + (track.size.width - w) * f, track.origin.y + 2, w,
                      track.size.height - 4);
}

void NSScrollView::mouseDown(NSEvent* event) {
    // Dragging a scroll bar's knob scrolls in proportion to the document's size.
    NSPoint const start = convertPoint(event->locationInWindow(), nullptr);
    NSView* doc = documentView();
    if (doc == nullptr) {
        return;
    }
    bool const vertical = NSPointInRect(start, verticalTrack());
    bool const horizontal = NSPointInRect(start, horizontalTrack());
    if (!vertical && !horizontal) {
        return;
    }
    NSPoint const origin = fClip->bounds().origin;
    NSRect const track = vertical ? verticalTrack() : horizontalTrack();
    NSRect const knob = vertical ? verticalKnobRect() : horizontalKnobRect();
    refhost::toolkit::TrackMouse(*this, [&](NSPoint p, bool) {
        NSRect const d = doc->frame();
        NSRect const c = fClip->bounds();
        if (vertical) {
            CGFloat const free = track.size.height - knob.size.height;
            CGFloat const range = d.size.height - c.size.height;
            CGFloat const delta = free > 0 ? (p.y - start.y) * range / free : 0;
            fClip->scrollToPoint(NSMakePoint(origin.x, origin.y + delta));
        } else {
            CGFloat const free = track.size.width - knob.size.width;
            CGFloat const range = d.size.width - c.size.width;
            CGFloat const delta = free > 0 ? (p.x - start.x) * range / free : 0;
            fClip->scrollToPoint(NSMakePoint(origin.x + delta, origin.y));
        }
    });
}

void NSScrollView::drawRect(NSRect const&) {
    for (NSRect const& track : {verticalTrack(), horizontalTrack()}) {
        if (!NSIsEmptyRect(track)) {
            NSColor::colorWithDeviceWhite(0.96f, 1).setFill();
            NSRectFill(track);
        }
    }
    for (NSRect const& knob : {verticalKnobRect(), horizontalKnobRect()}) {
        if (!NSIsEmptyRect(knob)) {
            NSColor::colorWithDeviceWhite(0.6f, 1).setFill();
            NSRectFill(knob);
        }
    }
    NSColor::controlShadowColor().setFill();
    NSFrameRect(bounds());
}
