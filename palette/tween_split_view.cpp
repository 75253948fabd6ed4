#include <algorithm>

#include "palette/palette_views.h"

void TweenSplitView::resizeSubviewsWithOldSize(NSSize oldSize) {
    auto const views = subviews();
    if (views.size() != 2 || !isVertical()) {
        NSSplitView::resizeSubviewsWithOldSize(oldSize);
        return;
    }
    NSRect const b = bounds();
    CGFloat const names =
        std::clamp<CGFloat>(views[0]->frame().size.width, 0, b.size.width - dividerThickness());
    views[0]->setFrame(NSMakeRect(b.origin.x, b.origin.y, names, b.size.height));
    CGFloat const timelineX = b.origin.x + names + dividerThickness();
    views[1]->setFrame(NSMakeRect(timelineX, b.origin.y,
                                  std::max<CGFloat>(0, NSMaxX(b) - timelineX), b.size.height));
    setNeedsDisplay(true);
    postResize();
}
