#include "authoring/tween_editing.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "palette/name_column.h"
#include "palette/palette_views.h"
#include "tween/recache.h"
#include "tween/timeline_geometry.h"

void NameColumnView::synchronizedViewContentBoundsDidChange(NSNotification* notification) {
    auto const* clip = static_cast<NSView const*>(notification->object());
    float const y = clip->bounds().origin.y;
    if (y == curScroll) {
        return;
    }
    curScroll = y;
    setNeedsDisplay(true);
}

void NameColumnView::drawRect(NSRect const&) {
    PL_SetCurrentlyExecutingPlugInRecFor(this);
    DrawTweenedObjectNames(gTimeLineCache, frame(), TruncateToInt32(curScroll));
}

void NameColumnView::mouseDown(NSEvent* event) {
    try {
        if ((event->modifierFlags() & NSEventModifierFlagShift) == 0) {
            DeselectAllObjects();
        }
        NSPoint const p = convertPoint(event->locationInWindow(), nullptr);
        SelectObjectName(gTimeLineCache, p, frame(), TruncateToInt32(curScroll));
    } catch (...) {
        // A selection that cannot change stays as far as it got.
    }
    setNeedsDisplay(true);
}

void NameColumnView::keyDown(NSEvent* event) {
    NSView::keyDown(event);
    RebuildTimelineRows(this);
}
