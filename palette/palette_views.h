// The palette's custom views, found by their tags: the timeline, the name column beside it,
// the current-time slider over it, the plain view the slider may overlap and the split view.
// They draw from the row list and the host's clock (timeline_drawing.h, name_column.h) and
// turn the mouse and the keys into selections and edits of tween points, changes of the
// host's time range and selections of objects.
#pragma once

#include <string>

#include "host/cocoa/ns_slider.h"
#include "host/cocoa/ns_split_view.h"
#include "host/cocoa/ns_view.h"
#include "palette/palette_sync.h"

class NSNotification;

inline constexpr long kObjectNameTag = 999;
// The zoom's limits, in pixels a second.
inline constexpr float kLeastZoom = 0.03125f;
inline constexpr float kMostZoom = 128.0f;

// What a mouse gesture in the timeline started on. One palette exists, so these are
// process-wide. gLastLocalMouse is the mouse-down point, then the last processed drag point;
// a marquee keeps it as its anchor.
inline NSPoint gLastLocalMouse{};
inline bool gCLickedOnATween = false;
inline bool gCLickedOnMin = false;
inline bool gCLickedOnMax = false;

// The plain view beside the time slider, which the slider may overlap. It repaints whenever
// the slider moves, so that no trace of the slider's old place stays on it.
class ObjectName : public NSView {
public:
    using NSView::NSView;
    long tag() const override { return kObjectNameTag; }
    void drawRect(NSRect const& dirtyRect) override;
};

// The current-time slider. Its frame runs from the minimum time mark to 12 pixels right of the
// maximum mark, where the marks lie after the timeline's horizontal scrolling, so the knob's
// left edge stands over the current time.
class TweenSlider : public NSSlider {
public:
    using NSSlider::NSSlider;
    // The timeline's horizontal scroll offset.
    float curScroll = 0;
    // Places the frame over the marks anew and repaints the view beside it.
    virtual void recalculateFrame();
    virtual void synchronizedViewContentBoundsDidChange(NSNotification* notification);
    virtual void theSplitViewDidResizeSubviews(NSNotification* notification);
    void viewWillDraw() override;
    void drawRect(NSRect const& dirtyRect) override;

private:
    // The frame over the marks, or the present frame when the timeline cannot be found.
    NSRect PlacedFrame() const;
};

// The timeline: the document view of a scroll view. It grows to show every row and the range
// up to the maximum time, never smaller than what its scroll view shows.
class TweenView : public NSView {
public:
    using NSView::NSView;
    long tag() const override { return kTimeLineTag; }
    bool acceptsFirstResponder() override { return true; }
    bool acceptsFirstMouse(NSEvent*) override { return true; }
    void viewWillDraw() override;
    void drawRect(NSRect const& dirtyRect) override;
    // A glyph: select it (shift: toggle); the ruler strip within 7 pixels of a tab: grab it;
    // elsewhere in the rows: clear the selection (unless shift).
    void mouseDown(NSEvent* event) override;
    // Moves the selected points, a grabbed tab (the host's range, live) or the marquee.
    void mouseDragged(NSEvent* event) override;
    // Commits a marquee, then writes every row back to its object.
    void mouseUp(NSEvent* event) override;
    // Delete removes the selected points, R mirrors them, E gives them the next ease and H a
    // hold, the left and right arrows nudge them, control (or command) with V pastes the copy
    // at the current time, each one undo step; control with C copies the selected points; F zooms
    // to fit them (all points when none is selected); anything else goes on.
    void keyDown(NSEvent* event) override;
    // With control (or command): zooms about the mouse; otherwise the scroll view scrolls.
    void scrollWheel(NSEvent* event) override;
    // The zoom (clamped to kLeastZoom..kMostZoom) with the frame, the slider and the scroll
    // made to fit it; the horizontal scroll is held within the new width.
    void SetZoom(float pixelsPerSecond);

private:
    // What the gesture under way has done: a scrub, a tab or point drag's start time and the
    // mouse's travel in time units since the mouse-down, what a point drag has applied.
    struct Gesture {
        bool scrubbing = false;
        bool moved = false;
        int32_t anchor = 0;
        double travel = 0;
        int64_t applied = 0;
    };

    // Grows the frame to the content; keeps the top edge where it shows when it grows.
    void FitFrameToContent();
    // Whether this event's drag snaps to the palette's time step.
    bool Snapping(NSEvent* event) const;
    // The current time to the time under p (snapped, within the range); the scene follows.
    void ScrubTo(NSPoint p, bool snap);
    // One drag step of the selected points; snapping puts the grabbed point on a whole step.
    void MoveSelection(NSPoint& p, bool snap);
    void DragTab(NSPoint p, bool minimum, bool snap);
    // A key's edit as one undo step; false for a key that is not the timeline's.
    bool Edit(char key);
    // Control with C or V; false for another key.
    bool Clipboard(char key);
    // The left and right arrows move the selected points by a step (one time unit with alt
    // or without snapping), one undo step; false for another key.
    bool Nudge(std::string const& characters, NSEvent* event);
    // F: zoom to fit; false for another key.
    bool Zoom(char key);
    void ZoomToFit();
    // Scrolls the clip view so that x is at its left edge, within the timeline's width.
    void ScrollTimelineTo(float x);

    Gesture fGesture;
};

// The object-name column left of the timeline.
class NameColumnView : public NSView {
public:
    using NSView::NSView;
    long tag() const override { return kNameColumnTag; }
    bool acceptsFirstResponder() override { return true; }
    bool acceptsFirstMouse(NSEvent*) override { return true; }
    // The timeline's vertical scroll offset.
    float curScroll = 0;
    virtual void synchronizedViewContentBoundsDidChange(NSNotification* notification);
    void drawRect(NSRect const& dirtyRect) override;
    // A name selects its object alone (shift: toggles it); below the last name, a plain
    // click deselects every object.
    void mouseDown(NSEvent* event) override;
    // The key goes on first (the host may delete objects), then the rows are rebuilt.
    void keyDown(NSEvent* event) override;
};

// The split view between the name column and the timeline's scroll view. When it resizes,
// the name column keeps its width and the timeline takes the change.
class TweenSplitView : public NSSplitView {
public:
    using NSSplitView::NSSplitView;
    long tag() const override { return 2006; }
    void resizeSubviewsWithOldSize(NSSize oldSize) override;
};

// Rebuilds the rows from the scene and marks the timeline and the name column for redisplay.
void RebuildTimelineRows(NSView* inWindowOf);
