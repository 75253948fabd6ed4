#include "host/cocoa/ns_view.h"

#include <algorithm>

#include "host/cocoa/ns_notification_center.h"
#include "host/cocoa/ns_scroll_view.h"
#include "host/cocoa/ns_window.h"

NSView::NSView(NSRect frame) : fFrame(frame) {}

NSView::~NSView() {
    if (fWindow != nullptr) {
        fWindow->viewWillLeave(this);
    }
    // Subviews go first, while they can still tell the window.
    fSubviews.clear();
    // A view that goes hears no more notifications, as it would not be there to hear them.
    NSNotificationCenter::defaultCenter()->removeObserver(this);
}

void NSView::setFrame(NSRect const& frame) {
    if (frame == fFrame) {
        return;
    }
    NSSize const oldSize = fFrame.size;
    fFrame = frame;
    if (!(oldSize == frame.size)) {
        resizeSubviewsWithOldSize(oldSize);
    }
    setNeedsDisplay(true);
    if (fSuperview != nullptr) {
        fSuperview->setNeedsDisplay(true);
    }
    if (fPostsFrame) {
        NSNotificationCenter::defaultCenter()->postNotificationName(
            NSViewFrameDidChangeNotification, this);
    }
}

void NSView::setFrameOrigin(NSPoint origin) {
    setFrame(NSRect{origin, fFrame.size});
}
void NSView::setFrameSize(NSSize size) {
    setFrame(NSRect{fFrame.origin, size});
}

void NSView::setBoundsOrigin(NSPoint origin) {
    if (origin == fBoundsOrigin) {
        return;
    }
    fBoundsOrigin = origin;
    setNeedsDisplay(true);
    if (fPostsBounds) {
        NSNotificationCenter::defaultCenter()->postNotificationName(
            NSViewBoundsDidChangeNotification, this);
    }
}

void NSView::setHidden(bool hidden) {
    if (hidden != fHidden) {
        fHidden = hidden;
        if (fSuperview != nullptr) {
            fSuperview->setNeedsDisplay(true);
        }
        setNeedsDisplay(true);
    }
}

NSRect NSView::visibleRect() const {
    NSRect visible = bounds();
    // Every ancestor clips; walk them all.
    NSView const* ancestor = fSuperview;
    while (ancestor != nullptr) {
        NSRect const ancestorInMine = convertRect(ancestor->bounds(), ancestor);
        visible = NSIntersectionRect(visible, ancestorInMine);
        ancestor = ancestor->fSuperview;
    }
    return visible;
}

NSView* NSView::viewWithTag(long tag) {
    if (this->tag() == tag) {
        return this;
    }
    for (auto const& sub : fSubviews) {
        if (NSView* found = sub->viewWithTag(tag)) {
            return found;
        }
    }
    return nullptr;
}

std::vector<NSView*> NSView::subviews() const {
    std::vector<NSView*> views;
    views.reserve(fSubviews.size());
    for (auto const& sub : fSubviews) {
        views.push_back(sub.get());
    }
    return views;
}

NSView* NSView::addSubview(std::unique_ptr<NSView> view) {
    NSView* raw = view.get();
    if (raw == nullptr) {
        return nullptr;
    }
    if (raw->fSuperview != nullptr) {
        (void)raw->removeFromSuperview().release();
    }
    raw->fSuperview = this;
    raw->setNextResponder(this);
    raw->setWindowOfTree(fWindow);
    fSubviews.push_back(std::move(view));
    setNeedsDisplay(true);
    return raw;
}

std::unique_ptr<NSView> NSView::removeFromSuperview() {
    if (fSuperview == nullptr) {
        return nullptr;
    }
    auto& siblings = fSuperview->fSubviews;
    auto found = std::find_if(siblings.begin(), siblings.end(),
                              [this](auto const& sub) { return sub.get() == this; });
    std::unique_ptr<NSView> mine = std::move(*found);
    siblings.erase(found);
    fSuperview->setNeedsDisplay(true);
    if (fWindow != nullptr) {
        fWindow->viewWillLeave(this);
    }
    fSuperview = nullptr;
    setNextResponder(nullptr);
    setWindowOfTree(nullptr);
    return mine;
}

bool NSView::isDescendantOf(NSView const* view) const {
    for (NSView const* v = this; v != nullptr; v = v->fSuperview) {
        if (v == view) {
            return true;
        }
    }
    return false;
}

NSScrollView* NSView::enclosingScrollView() const {
    for (NSView* v = fSuperview; v != nullptr; v = v->fSuperview) {
        if (auto* scroll = dynamic_cast<NSScrollView*>(v)) {
            return scroll;
        }
    }
    return nullptr;
}

namespace {

// A point of the superview's coordinates in the view's own, and back.
NSPoint FromSuperview(NSView const& view, NSPoint p) {
    NSRect const f = view.frame();
    NSRect const b = view.bounds();
    CGFloat const x = p.x - f.origin.x + b.origin.x;
    CGFloat const y = view.isFlipped() ? b.origin.y + (f.size.height - (p.y - f.origin.y))
                                       : p.y - f.origin.y + b.origin.y;
    return NSMakePoint(x, y);
}

NSPoint ToSuperview(NSView const& view, NSPoint p) {
    NSRect const f = view.frame();
    NSRect const b = view.bounds();
    CGFloat const x = p.x - b.origin.x + f.origin.x;
    CGFloat const y = view.isFlipped() ? f.origin.y + f.size.height - (p.y - b.origin.y)
                                       : p.y - b.origin.y + f.origin.y;
    return NSMakePoint(x, y);
}

NSPoint ToWindow(NSView const* view, NSPoint p) {
    for (NSView const* v = view; v != nullptr; v = v->superview()) {
        p = ToSuperview(*v, p);
    }
    return p;
}

NSPoint FromWindow(NSView const* view, NSPoint p) {
    std::vector<NSView const*> chain;
    for (NSView const* v = view; v != nullptr; v = v->superview()) {
        chain.push_back(v);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        p = FromSuperview(**it, p);
    }
    return p;
}

} // namespace

NSPoint NSView::convertPoint(NSPoint point, NSView const* fromView) const {
    NSPoint const inWindow = fromView == nullptr ? point : ToWindow(fromView, point);
    return FromWindow(this, inWindow);
}

NSPoint NSView::convertPointToView(NSPoint point, NSView const* toView) const {
    NSPoint const inWindow = ToWindow(this, point);
    return toView == nullptr ? inWindow : FromWindow(toView, inWindow);
}

NSRect NSView::convertRect(NSRect const& rect, NSView const* fromView) const {
    NSPoint const a = convertPoint(rect.origin, fromView);
    NSPoint const b = convertPoint(NSMakePoint(NSMaxX(rect), NSMaxY(rect)), fromView);
    return NSMakeRect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x),
                      std::abs(b.y - a.y));
}

NSRect NSView::convertRectToView(NSRect const& rect, NSView const* toView) const {
    NSPoint const a = convertPointToView(rect.origin, toView);
    NSPoint const b = convertPointToView(NSMakePoint(NSMaxX(rect), NSMaxY(rect)), toView);
    return NSMakeRect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x),
                      std::abs(b.y - a.y));
}

NSView* NSView::hitTest(NSPoint pointInSuperview) {
    if (fHidden || !NSPointInRect(pointInSuperview, fFrame)) {
        return nullptr;
    }
    NSPoint const local = FromSuperview(*this, pointInSuperview);
    // The topmost subview is the last one.
    for (auto it = fSubviews.rbegin(); it != fSubviews.rend(); ++it) {
        if (NSView* hit = (*it)->hitTest(local)) {
            return hit;
        }
    }
    return this;
}

bool NSView::acceptsFirstMouse(NSEvent*) {
    return false;
}

bool NSView::autoscroll(NSEvent* event) {
    return fSuperview != nullptr && fSuperview->autoscroll(event);
}

void NSView::scrollPoint(NSPoint point) {
    for (NSView* v = fSuperview; v != nullptr; v = v->fSuperview) {
        if (auto* clip = dynamic_cast<NSClipView*>(v)) {
            clip->scrollToPoint(convertPointToView(point, clip));
            return;
        }
    }
}

void NSView::setNeedsDisplay(bool needs) {
    fNeedsDisplay = needs;
    fDirty = needs ? bounds() : NSZeroRect;
}

void NSView::setNeedsDisplayInRect(NSRect const& rect) {
    fNeedsDisplay = true;
    fDirty = NSUnionRect(fDirty, NSIntersectionRect(rect, bounds()));
}

void NSView::drawRect(NSRect const&) {}

void NSView::resizeSubviewsWithOldSize(NSSize oldSize) {
    if (!fAutoresizesSubviews) {
        return;
    }
    for (auto const& sub : fSubviews) {
        sub->resizeWithOldSuperviewSize(oldSize);
    }
}

namespace {

// Shares a change of the superview's extent between a view's two margins and its own extent,
// by which of the three are flexible, in proportion to their present lengths (equally when
// they have none).
void Autoresize(CGFloat delta, CGFloat superExtent, bool minFlexible, bool sizeFlexible,
                bool maxFlexible, CGFloat& origin, CGFloat& extent) {
    CGFloat const lengths[3] = {minFlexible ? origin : 0, sizeFlexible ? extent : 0,
                                maxFlexible ? superExtent - origin - extent : 0};
    int const flexible = int{minFlexible} + int{sizeFlexible} + int{maxFlexible};
    if (flexible == 0 || delta == 0) {
        return;
    }
    CGFloat total = 0;
    for (CGFloat length : lengths) {
        total += std::max<CGFloat>(0, length);
    }
    auto share = [&](int which, bool isFlexible) -> CGFloat {
        if (!isFlexible) {
            return 0;
        }
        return total > 0 ? delta * std::max<CGFloat>(0, lengths[which]) / total
                         : delta / static_cast<CGFloat>(flexible);
    };
    origin += share(0, minFlexible);
    extent = std::max<CGFloat>(0, extent + share(1, sizeFlexible));
}

} // namespace

void NSView::resizeWithOldSuperviewSize(NSSize oldSize) {
    if (fSuperview == nullptr || fAutoresizing == NSViewNotSizable) {
        return;
    }
    NSSize const now = fSuperview->frame().size;
    NSRect f = fFrame;
    unsigned const m = fAutoresizing;
    Autoresize(now.width - oldSize.width, oldSize.width, m & NSViewMinXMargin,
               m & NSViewWidthSizable, m & NSViewMaxXMargin, f.origin.x, f.size.width);
    Autoresize(now.height - oldSize.height, oldSize.height, m & NSViewMinYMargin,
               m & NSViewHeightSizable, m & NSViewMaxYMargin, f.origin.y, f.size.height);
    setFrame(f);
}

void NSView::markDisplayed() {
    fNeedsDisplay = false;
    fDirty = NSZeroRect;
}

void NSView::setWindowOfTree(NSWindow* window) {
    fWindow = window;
    for (auto const& sub : fSubviews) {
        sub->setWindowOfTree(window);
    }
}
