#include "palette/palette_views.h"

#include "host/cocoa/ns_notification_center.h"

void TweenSlider::recalculateFrame() {
    if (NSView* parent = superview()) {
        if (NSView* beside = parent->viewWithTag(kObjectNameTag)) {
            beside->setNeedsDisplay(true);
        }
    }
    setNeedsDisplay(true);
}

void TweenSlider::synchronizedViewContentBoundsDidChange(NSNotification* notification) {
    auto const* clip = static_cast<NSView const*>(notification->object());
    float const x = clip->bounds().origin.x;
    if (x == curScroll) {
        return;
    }
    curScroll = x;
    if (NSView* parent = superview()) {
        if (NSView* beside = parent->viewWithTag(kObjectNameTag)) {
            beside->setNeedsDisplay(true);
        }
    }
    setNeedsDisplay(true);
}

void TweenSlider::theSplitViewDidResizeSubviews(NSNotification*) {
    setNeedsDisplay(true);
}

void NameColumnView::synchronizedViewContentBoundsDidChange(NSNotification* notification) {
    auto const* clip = static_cast<NSView const*>(notification->object());
    float const y = clip->bounds().origin.y;
    if (y == curScroll) {
        return;
    }
    curScroll = y;
    setNeedsDisplay(true);
}
