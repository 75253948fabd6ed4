// Painting the timeline: the row backgrounds (paler outside the minimum..maximum range), the
// ruler's grid lines and labels, the minimum and maximum tabs and lines, the red current-time
// line, and one row of tween-point glyphs per cache of the row list, with the marquee while
// one is dragged. Every function draws into the focused view in its coordinates, reads the
// host's clock and the caches at each call, and keeps no state.
//
// R is the rectangle to paint (the timeline view's frame, grown to its content); t0 is the
// time shown at the time origin (the timeline passes 0). `visible` is the part of R that can
// show; rows, grid lines, labels and glyphs wholly outside it are skipped, which changes no
// pixel that shows.
#pragma once

#include <cstdint>

#include "host/cocoa/geometry.h"
#include "tween/dynamic_array.h"

class CCache;

// The whole timeline, in painting order; without an open document only the background, the
// ruler and its labels.
void DrawTimeLine(NSRect R, int32_t t0, NSRect const& visible);
inline void DrawTimeLine(NSRect R, int32_t t0) {
    DrawTimeLine(R, t0, R);
}

// Alternating row colours from the top edge down to the row that reaches the bottom edge,
// blended half and half with grey left of the minimum and right of the maximum time.
void DrawTweenBackground(NSRect const& R, int32_t t0, NSRect const& visible);
// Light grey grid lines every kRulerDivision pixels from the time origin, below the strip.
void DrawTimeRuler(NSRect const& R, NSRect const& visible);
// The strip's base line and the labels in seconds, every kRulerDivision pixels.
void DrawTimeRulerNumbers(NSRect const& R, int32_t t0, NSRect const& visible);

// The tabs (triangles in the ruler strip) and the lines of the minimum and maximum times, and
// the red line of the current time. Each is drawn only where its time lies in R.
void DrawTimeMinTab(NSRect const& R, int32_t t0);
void DrawTimeMinLine(NSRect const& R, int32_t t0);
void DrawTimeMaxTab(NSRect const& R, int32_t t0);
void DrawTimeMaxLine(NSRect const& R, int32_t t0);
void DrawTimeBarLine(NSRect const& R, int32_t t0);

// One row of glyphs per cache, R being the timeline without its ruler strip; then the
// marquee's frame while one is dragged.
void DrawTweenedObjectTweens(TDynamicArray<CCache*>& caches, NSRect const& R, int32_t t0,
                             NSRect const& visible);
// The glyphs of one row: outlined in black, filled with the host's selection colour when
// selected or inside the marquee being dragged. P is pixels per time unit.
void DrawSelfTween(CCache* cache, NSRect const& row, float P, int32_t t0, NSRect const& visible);
