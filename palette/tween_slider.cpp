#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "palette/palette_views.h"
#include "tween/timeline_geometry.h"

namespace {

void RepaintBeside(NSView const& slider) {
    if (NSView* parent = slider.superview()) {
        if (NSView* beside = parent->viewWithTag(kObjectNameTag)) {
            beside->setNeedsDisplay(true);
        }
    }
}

} // namespace

NSRect TweenSlider::PlacedFrame() const {
    NSView* parent = superview();
    NSView* timeline = parent ? parent->viewWithTag(2000) : nullptr;
    NSScrollView* scroll = timeline ? timeline->enclosingScrollView() : nullptr;
    if (!scroll || !scroll->superview()) {
        return frame();
    }
    // The scroll view's frame, seen from the slider's superview.
    NSRect const F = scroll->superview()->convertRectToView(scroll->frame(), parent);
    TimelineScale const scale = TimelineScale::Current();
    int64_t const scrollUnits =
        TruncateToInt32(curScroll * scale.unitsPerSecond / scale.pixelsPerSecond);
    float const ox = TruncateToPixel(F.origin.x + kStartOffset);
    auto markX = [&](int32_t time) {
        auto const shown = static_cast<float>(static_cast<int64_t>(time) - scrollUnits);
        return TruncateToPixel(shown / scale.unitsPerSecond * scale.pixelsPerSecond + ox);
    };
    float const xmin = markX(PL_GetMinTime());
    float const xmax = markX(PL_GetMaxTime());
    NSRect const f = frame();
    return NSMakeRect(xmin, f.origin.y, (xmax - xmin) + kSliderKnobAllowance, f.size.height);
}

void TweenSlider::recalculateFrame() {
    setFrame(PlacedFrame());
    RepaintBeside(*this);
}

void TweenSlider::viewWillDraw() {
    NSRect const placed = PlacedFrame();
    if (!(placed == frame())) {
        setFrame(placed);
        RepaintBeside(*this);
    }
}

void TweenSlider::drawRect(NSRect const& dirtyRect) {
    setFrame(PlacedFrame());
    NSGraphicsContext::saveGraphicsState();
    NSRectClip(dirtyRect);
    NSSlider::drawRect(bounds());
    NSGraphicsContext::restoreGraphicsState();
}

void TweenSlider::synchronizedViewContentBoundsDidChange(NSNotification* notification) {
    auto const* clip = static_cast<NSView const*>(notification->object());
    float const x = clip->bounds().origin.x;
    if (x == curScroll) {
        return;
    }
    curScroll = x;
    RepaintBeside(*this);
    setNeedsDisplay(true);
}

void TweenSlider::theSplitViewDidResizeSubviews(NSNotification*) {
    setNeedsDisplay(true);
}

void ObjectName::drawRect(NSRect const& dirtyRect) {
    NSColor::windowBackgroundColor().setFill();
    NSRectFill(dirtyRect);
}
