#include "host/cocoa/ns_segmented_control.h"

#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_graphics.h"
#include "host/cocoa/ns_string.h"
#include "refhost/toolkit/tracking.h"

void NSSegmentedControl::setSegmentCount(long count) {
    fLabels.resize(static_cast<std::size_t>(std::max(count, 0L)));
    if (fSelected >= count) {
        fSelected = -1;
    }
    setNeedsDisplay(true);
}

void NSSegmentedControl::setLabel(std::string label, long segment) {
    if (segment >= 0 && segment < segmentCount()) {
        fLabels[static_cast<std::size_t>(segment)] = std::move(label);
        setNeedsDisplay(true);
    }
}

std::string NSSegmentedControl::labelForSegment(long segment) const {
    if (segment < 0 || segment >= segmentCount()) {
        return {};
    }
    return fLabels[static_cast<std::size_t>(segment)];
}

void NSSegmentedControl::setSelectedSegment(long segment) {
    long const selected = segment >= 0 && segment < segmentCount() ? segment : -1;
    if (selected != fSelected) {
        fSelected = selected;
        setNeedsDisplay(true);
    }
}

NSRect NSSegmentedControl::rectForSegment(long segment) const {
    NSRect const b = bounds();
    if (segment < 0 || segment >= segmentCount()) {
        return NSZeroRect;
    }
    CGFloat const w = b.size.width / static_cast<CGFloat>(segmentCount());
    return NSMakeRect(b.origin.x + w * static_cast<CGFloat>(segment), b.origin.y, w, b.size.height);
}

long NSSegmentedControl::segmentForPoint(NSPoint point) const {
    for (long i = 0; i < segmentCount(); ++i) {
        if (NSPointInRect(point, rectForSegment(i))) {
            return i;
        }
    }
    return -1;
}

void NSSegmentedControl::mouseDown(NSEvent* event) {
    if (!isEnabled()) {
        return;
    }
    long const pressed = segmentForPoint(convertPoint(event->locationInWindow(), nullptr));
    auto const up = refhost::toolkit::TrackMouse(*this, [](NSPoint, bool) {});
    // The segment is chosen when the mouse is released over the one it went down on.
    if (pressed >= 0 && up && segmentForPoint(*up) == pressed) {
        setSelectedSegment(pressed);
        sendAction();
    }
}

void NSSegmentedControl::drawRect(NSRect const&) {
    for (long i = 0; i < segmentCount(); ++i) {
        NSRect const r = rectForSegment(i);
        (i == fSelected ? NSColor::alternateSelectedControlColor() : NSColor::controlColor())
            .setFill();
        NSRectFill(r);
        NSColor::controlShadowColor().setFill();
        NSFrameRect(r);
        std::string const label = labelForSegment(i);
        NSSize const s = NSTextSize(label);
        (i == fSelected ? NSColor::whiteColor() : NSColor::controlTextColor()).setFill();
        NSDrawText(label, NSMakePoint(NSMidX(r) - s.width / 2, NSMidY(r) - 4));
    }
}
