// Scrolling: a clip view shows part of its document view and scrolls by moving its bounds
// origin; a scroll view holds the clip view and its scroll bars.
#pragma once

#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_view.h"

class NSClipView : public NSView {
public:
    explicit NSClipView(NSRect frame = NSZeroRect) : NSView(frame) {}

    NSView* documentView() const;
    void setDocumentView(std::unique_ptr<NSView> view);
    // The document's rectangle that shows, in the document's coordinates.
    NSRect documentVisibleRect() const;
    // Scrolls to the point (the new bounds origin), kept where the document still fills the
    // clip view as far as it can.
    void scrollToPoint(NSPoint point);
    NSPoint constrainScrollPoint(NSPoint point) const;
    bool drawsBackground() const { return fDrawsBackground; }
    void setDrawsBackground(bool draws) { fDrawsBackground = draws; }
    NSColor backgroundColor() const { return fBackground; }
    void setBackgroundColor(NSColor colour) { fBackground = colour; }

    // Scrolls by how far the event's location lies outside the clip view.
    bool autoscroll(NSEvent* event) override;
    void drawRect(NSRect const& dirtyRect) override;

private:
    bool fDrawsBackground = true;
    NSColor fBackground = NSColor::colorWithDeviceWhite(1, 1);
};

class NSScrollView : public NSView {
public:
    explicit NSScrollView(NSRect frame = NSZeroRect);

    NSClipView* contentView() const { return fClip; }
    NSView* documentView() const { return fClip->documentView(); }
    void setDocumentView(std::unique_ptr<NSView> view);
    template <class V>
    V* setDocumentView(std::unique_ptr<V> view) {
        V* raw = view.get();
        setDocumentView(std::unique_ptr<NSView>(std::move(view)));
        return raw;
    }
    NSRect documentVisibleRect() const { return fClip->documentVisibleRect(); }
    bool hasVerticalScroller() const { return fVerticalScroller; }
    void setHasVerticalScroller(bool has);
    bool hasHorizontalScroller() const { return fHorizontalScroller; }
    void setHasHorizontalScroller(bool has);
    static CGFloat scrollerWidth() { return 15; }
    // The thickness of this view's scroll bars (scrollerWidth unless set).
    CGFloat scrollerThickness() const { return fScrollerThickness; }
    void setScrollerThickness(CGFloat thickness);
    // Places the clip view beside the scroll bars.
    void tile();

    void setFrame(NSRect const& frame) override;
    void scrollWheel(NSEvent* event) override;
    void mouseDown(NSEvent* event) override;
    void drawRect(NSRect const& dirtyRect) override;

    // The scroll bars' tracks and knobs, in the scroll view's coordinates (empty without).
    NSRect verticalKnobRect() const;
    NSRect horizontalKnobRect() const;

private:
    NSRect verticalTrack() const;
    NSRect horizontalTrack() const;

    NSClipView* fClip;
    bool fVerticalScroller = false;
    bool fHorizontalScroller = false;
    CGFloat fScrollerThickness = scrollerWidth();
};
