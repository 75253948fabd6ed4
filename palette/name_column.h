// The name column beside the timeline: one name per row of the row list, under an
// "Object Name" header, striped like the timeline's rows and following its vertical scrolling.
// A click on a name selects that row's object in the document.
//
// R is the column's frame; scroll is the timeline clip view's vertical bounds origin,
// truncated. The layout below is shared by the drawing and the click, so a name is hit where
// it is drawn.
#pragma once

#include <cstdint>

#include "host/cocoa/geometry.h"
#include "host/pascal_string.h"
#include "tween/dynamic_array.h"

class CCache;

// Where the column's rows lie. When the rows do not fit, the timeline scrolls and the column
// follows it: everything moves up by `shift`, and the drawing lifts names and stripes 4 more
// pixels so that they line up with the timeline's rows above its horizontal scroll bar.
struct NameColumnLayout {
    float top = 0;
    float rowHeight = 14;
    bool scrolls = false;
    float shift = 0;

    NameColumnLayout(NSRect const& R, uint32_t rows, int32_t scroll, int32_t height);
    // The y of the header as drawn.
    float HeaderY() const;
    // The bottom edge of name row k as drawn, and as the click tests it (without the lift).
    float DrawnRowY(uint32_t k) const { return HeaderY() - static_cast<float>(k + 1) * rowHeight; }
    float ClickedRowY(uint32_t k) const;
};

// Stripes, the header and the names of the rows (no names without an open document).
void DrawTweenedObjectNames(TDynamicArray<CCache*>& caches, NSRect const& R, int32_t scroll);
// The row's name, on the selection's background when its object is selected, clipped to the
// row.
void DrawSelfName(CCache* cache, NSRect const& row);
// The text of a row: "Camera", the top-level object's name, the kind of light, or
// "Unnamed Object", drawn at (10, y).
void DrawName(CCache* cache, float y);
// The text DrawName draws for the cache.
CStr255 NameOfRow(CCache* cache);

// The cache of the name row under p, or null.
CCache* GetClickedCache(TDynamicArray<CCache*>& caches, NSPoint p, NSRect const& R, int32_t scroll);
// Toggles the selection of the clicked row's object in the document, tells the host and
// redraws the palette's timeline and name column.
void SelectObjectName(TDynamicArray<CCache*>& caches, NSPoint p, NSRect const& R, int32_t scroll);
