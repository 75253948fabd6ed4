// Views: rectangles of a window that draw themselves and take mouse and key events. A view's
// frame is its rectangle in its superview's coordinates; its bounds are its own coordinates
// (the origin is what scrolling moves; the size is the frame's). Views are not flipped unless
// they say so: y grows upwards from the bottom left corner.
//
// A superview owns its subviews; later subviews lie over earlier ones.
#pragma once

#include <memory>
#include <vector>

#include "host/cocoa/geometry.h"
#include "host/cocoa/ns_responder.h"

class NSWindow;
class NSScrollView;

// How a view follows its superview's size: the flexible margins and dimensions share the
// change between them; with none set the view keeps its frame.
using NSAutoresizingMaskOptions = unsigned;
inline constexpr NSAutoresizingMaskOptions NSViewNotSizable = 0;
inline constexpr NSAutoresizingMaskOptions NSViewMinXMargin = 1u << 0;
inline constexpr NSAutoresizingMaskOptions NSViewWidthSizable = 1u << 1;
inline constexpr NSAutoresizingMaskOptions NSViewMaxXMargin = 1u << 2;
inline constexpr NSAutoresizingMaskOptions NSViewMinYMargin = 1u << 3;
inline constexpr NSAutoresizingMaskOptions NSViewHeightSizable = 1u << 4;
inline constexpr NSAutoresizingMaskOptions NSViewMaxYMargin = 1u << 5;

class NSView : public NSResponder {
public:
    explicit NSView(NSRect frame = NSZeroRect);
    // Also stops the notifications the view observes.
    ~NSView() override;

    NSRect frame() const { return fFrame; }
    // Posts NSViewFrameDidChangeNotification when the view posts frame changes.
    virtual void setFrame(NSRect const& frame);
    void setFrameOrigin(NSPoint origin);
    void setFrameSize(NSSize size);
    NSRect bounds() const { return NSRect{fBoundsOrigin, fFrame.size}; }
    // Posts NSViewBoundsDidChangeNotification when the view posts bounds changes.
    void setBoundsOrigin(NSPoint origin);
    void setPostsBoundsChangedNotifications(bool posts) { fPostsBounds = posts; }
    bool postsBoundsChangedNotifications() const { return fPostsBounds; }
    void setPostsFrameChangedNotifications(bool posts) { fPostsFrame = posts; }
    bool postsFrameChangedNotifications() const { return fPostsFrame; }
    virtual bool isFlipped() const { return false; }
    bool isHidden() const { return fHidden; }
    void setHidden(bool hidden);
    // The part of the bounds that the enclosing clip views leave visible.
    NSRect visibleRect() const;

    // -1 unless set; subclasses with a fixed tag override it.
    virtual long tag() const { return fTag; }
    void setTag(long tag) { fTag = tag; }
    // This view, or the first descendant in depth-first order, whose tag is `tag`.
    NSView* viewWithTag(long tag);

    NSView* superview() const { return fSuperview; }
    NSWindow* window() const { return fWindow; }
    std::vector<NSView*> subviews() const;
    NSView* addSubview(std::unique_ptr<NSView> view);
    template <class V>
    V* addSubview(std::unique_ptr<V> view) {
        V* raw = view.get();
        addSubview(std::unique_ptr<NSView>(std::move(view)));
        return raw;
    }
    // Takes the view out of its superview and hands it to the caller.
    std::unique_ptr<NSView> removeFromSuperview();
    bool isDescendantOf(NSView const* view) const;
    NSScrollView* enclosingScrollView() const;

    // Points and rectangles between this view and another of the same window; a null view
    // stands for the window's coordinates.
    NSPoint convertPoint(NSPoint point, NSView const* fromView) const;
    NSPoint convertPointToView(NSPoint point, NSView const* toView) const;
    NSRect convertRect(NSRect const& rect, NSView const* fromView) const;
    NSRect convertRectToView(NSRect const& rect, NSView const* toView) const;

    // The deepest visible view under the point, given in the superview's coordinates.
    virtual NSView* hitTest(NSPoint pointInSuperview);
    bool mouse(NSPoint point, NSRect const& rect) const { return NSPointInRect(point, rect); }
    // Whether a click that brings the window to the front reaches the view too.
    virtual bool acceptsFirstMouse(NSEvent* event);
    // Asks the enclosing clip view to scroll towards the event's location when it lies
    // outside; true when it scrolled.
    virtual bool autoscroll(NSEvent* event);
    void scrollPoint(NSPoint point);

    void setNeedsDisplay(bool needs);
    void setNeedsDisplayInRect(NSRect const& rect);
    bool needsDisplay() const { return fNeedsDisplay; }
    // The union of the rectangles marked since the view last drew.
    NSRect dirtyRect() const { return fDirty; }
    // Paints the view's own content; the rectangle is what needs painting, in bounds
    // coordinates. The graphics context is focused on the view and clipped to its bounds.
    virtual void drawRect(NSRect const& dirtyRect);
    // Called on every view of a window before any of them draws, so that a view can settle
    // its frame (and its neighbours') for what it is about to show.
    virtual void viewWillDraw() {}
    // Told after the view's frame size changed, with the old size; unless the view stops
    // autoresizing its subviews, each follows by its autoresizing mask.
    virtual void resizeSubviewsWithOldSize(NSSize oldSize);
    // Moves and sizes the view for its superview's change from oldSize, by its mask.
    virtual void resizeWithOldSuperviewSize(NSSize oldSize);
    NSAutoresizingMaskOptions autoresizingMask() const { return fAutoresizing; }
    void setAutoresizingMask(NSAutoresizingMaskOptions mask) { fAutoresizing = mask; }
    bool autoresizesSubviews() const { return fAutoresizesSubviews; }
    void setAutoresizesSubviews(bool flag) { fAutoresizesSubviews = flag; }

    // For the window and the drawing code: marks drawn views clean.
    void markDisplayed();
    void setWindowOfTree(NSWindow* window);

private:
    NSRect fFrame;
    NSPoint fBoundsOrigin;
    long fTag = -1;
    bool fHidden = false;
    bool fNeedsDisplay = true;
    NSRect fDirty;
    bool fPostsBounds = false;
    bool fPostsFrame = false;
    NSAutoresizingMaskOptions fAutoresizing = NSViewNotSizable;
    bool fAutoresizesSubviews = true;
    NSView* fSuperview = nullptr;
    NSWindow* fWindow = nullptr;
    std::vector<std::unique_ptr<NSView>> fSubviews;
};
