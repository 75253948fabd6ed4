// Subviews side by side (vertical dividers) or one above the other, with a divider between
// neighbours that the mouse can drag. Each change of the subviews' sizes posts
// NSSplitViewDidResizeSubviewsNotification.
#pragma once

#include "host/cocoa/ns_view.h"

class NSSplitView : public NSView {
public:
    explicit NSSplitView(NSRect frame = NSZeroRect) : NSView(frame) {}

    // true: the dividers are vertical and the subviews lie side by side.
    bool isVertical() const { return fVertical; }
    void setVertical(bool vertical);
    CGFloat dividerThickness() const { return 6; }
    // Lays the subviews out across the whole view, keeping their proportions along the split.
    void adjustSubviews();
    // Moves the divider after subview `index` to the position (the leading edge of the
    // divider along the split).
    void setPositionOfDividerAtIndex(CGFloat position, long index);
    // The divider under a point in the view's coordinates, or -1.
    long dividerIndexAtPoint(NSPoint point) const;

    NSView* hitTest(NSPoint pointInSuperview) override;
    void mouseDown(NSEvent* event) override;
    // A new size lays the subviews out again (adjustSubviews).
    void resizeSubviewsWithOldSize(NSSize oldSize) override;
    void drawRect(NSRect const& dirtyRect) override;

protected:
    void postResize();

private:
    bool fVertical = true;
};
