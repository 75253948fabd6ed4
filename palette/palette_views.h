// The palette's custom views, found by their tags. Their drawing and their handling of the
// mouse and the keys belong to the timeline; here they are the views the panel is built of.
#pragma once

#include "host/cocoa/ns_slider.h"
#include "host/cocoa/ns_split_view.h"
#include "host/cocoa/ns_view.h"

class NSNotification;

inline constexpr long kObjectNameTag = 999;

// The plain view beside the time slider, which the slider may overlap.
class ObjectName : public NSView {
public:
    using NSView::NSView;
    long tag() const override { return kObjectNameTag; }
};

// The current-time slider, spanning the timeline's minimum to maximum marks.
class TweenSlider : public NSSlider {
public:
    using NSSlider::NSSlider;
    // The timeline's horizontal scroll offset.
    float curScroll = 0;
    // Places the slider's frame over the marks anew.
    virtual void recalculateFrame();
    virtual void synchronizedViewContentBoundsDidChange(NSNotification* notification);
    virtual void theSplitViewDidResizeSubviews(NSNotification* notification);
};

// The timeline: the document view of a scroll view.
class TweenView : public NSView {
public:
    using NSView::NSView;
    long tag() const override { return 2000; }
    bool acceptsFirstResponder() override { return true; }
    bool acceptsFirstMouse(NSEvent*) override { return true; }
};

// The object-name column left of the timeline.
class NameColumnView : public NSView {
public:
    using NSView::NSView;
    long tag() const override { return 2002; }
    bool acceptsFirstResponder() override { return true; }
    bool acceptsFirstMouse(NSEvent*) override { return true; }
    // The timeline's vertical scroll offset.
    float curScroll = 0;
    virtual void synchronizedViewContentBoundsDidChange(NSNotification* notification);
};

// The split view between the name column and the timeline's scroll view.
class TweenSplitView : public NSSplitView {
public:
    using NSSplitView::NSSplitView;
    long tag() const override { return 2006; }
};
