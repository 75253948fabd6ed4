#include "authoring/tween_editing.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "palette/name_column.h"
#include "palette/palette_views.h"
#include "palette/timeline_edits.h"
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
        MakePendingRebuild();
        bool const shift = (event->modifierFlags() & NSEventModifierFlagShift) != 0;
        if (!shift) {
            DeselectAllObjects();
        }
        NSPoint const p = convertPoint(event->locationInWindow(), nullptr);
        int32_t const scroll = TruncateToInt32(curScroll);
        if (!shift && !GetClickedCache(gTimeLineCache, p, frame(), scroll)) {
            // Everything was deselected and nothing selected: the views show it at once.
            PL_DataChanged();
            PL_DrawDocumentViews(1);
        }
        SelectObjectName(gTimeLineCache, p, frame(), scroll);
    } catch (...) {
        // A selection that cannot change stays as far as it got.
    }
    setNeedsDisplay(true);
}

void NameColumnView::keyDown(NSEvent* event) {
    NSView::keyDown(event);
    RebuildTimelineRows(this);
}
