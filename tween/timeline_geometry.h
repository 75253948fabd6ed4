// The timeline's geometry, the one description of where things are that its drawing, its hit
// tests and the edits made by pointing at it all use, so that what is drawn is what is hit.
//
// The timeline view is not flipped: y grows upwards. Its top band, one row high, is the ruler
// strip; row k (the k-th cache of the row list) lies directly below it. A time t lies at
// x = left edge + kStartOffset + t / U * gScaleFactor, with U the host's time units per
// second. The zoom and a marquee drag change the globals while the plug-in is loaded; the
// functions below are pure and take what they read as arguments.
#pragma once

#include <cstdint>

#include "host/cocoa/geometry.h"
#include "tween/timeline_layout.h"

// Pixels between ruler grid lines and between ruler labels.
inline constexpr float kRulerDivision = 64.0f;
// Pixels per second.
inline float gScaleFactor = 16.0f;
// Height in pixels of every row, of the ruler strip and of the name column's header.
inline int32_t gTextHeight = kDefaultTextHeight;
// A marquee drag is in progress, over gMarquee (timeline coordinates).
inline bool gDoingMarqueeSelection = false;
inline NSRect gMarquee{};

// The scale of one draw or one gesture, read once from the globals and the host's clock.
struct TimelineScale {
    float unitsPerSecond = 600;
    float pixelsPerSecond = 16;
    int32_t rowHeight = 14;

    // gScaleFactor, gTextHeight and the host's units a second (TimeUnitsPerSecond) as they
    // are now.
    static TimelineScale Current();
    float PixelsPerUnit() const { return pixelsPerSecond / unitsPerSecond; }
    float RowHeight() const { return static_cast<float>(rowHeight); }
    // Half a row, rounded toward zero: the half-width and height of a tween point's glyph.
    int16_t HalfRow() const { return static_cast<int16_t>(rowHeight / 2); }
};

// A float converted toward zero to a whole number, held at the ends of the 32-bit range
// (NaN gives 0), so that no time or position, however far out, is undefined.
int32_t TruncateToInt32(double value);
// A position truncated toward zero to a whole pixel, held within the 32-bit range: a float
// keeps every whole pixel of a two-hour range at the largest zoom exactly.
float TruncateToPixel(double value);

// The x of a tween point's glyph: (t - t0) * pixelsPerUnit + left + kStartOffset, truncated.
// Drawing, marquee preview and marquee commit use it.
float TweenGlyphX(int32_t time, int32_t t0, float left, float pixelsPerUnit);
// The x the hit test of a row compares with: time * pixelsPerUnit + originX, truncated.
int32_t TweenPointX(int32_t time, float originX, float pixelsPerUnit);
// The x of a time: left + kStartOffset + (t - t0) / U * pixelsPerSecond, as it is (the tabs
// are grabbed within a distance of it).
float TimeX(int32_t time, int32_t t0, float left, TimelineScale const& scale);
// The x of a time mark (minimum, current, maximum): TimeX truncated.
float TimeMarkX(int32_t time, int32_t t0, float left, TimelineScale const& scale);

// The ruler strip: the top row of the rectangle.
NSRect RulerStripRect(NSRect const& timeline, float rowHeight);
// Row k of a timeline whose rectangle (ruler strip included) is given.
NSRect TimelineRowRect(NSRect const& timeline, uint32_t k, float rowHeight);

// A tween point's glyph: an upward triangle 2 * half wide and half high whose apex lies 4
// pixels below the row's top edge.
struct TweenGlyph {
    NSPoint apex;
    NSPoint left;
    NSPoint right;
};
TweenGlyph TweenGlyphAt(float x, float rowTop, int16_t half);
// A glyph's outline by the ease of the interval that starts at its point, so the ease shows
// at a glance, each within the linear triangle's box (half high, 2 * half wide, its top 4
// pixels below the row's top): linear the upward triangle; in a ramp rising to the right
// (slow, then fast); out a ramp falling to the right (fast, then slow); in-out a diamond;
// hold a square, level like the value it keeps. Any other ease is drawn as linear.
struct TweenGlyphOutline {
    NSPoint points[4];
    int count;
};
TweenGlyphOutline TweenGlyphShape(float x, float rowTop, int16_t half, uint8_t ease);
// The point of a glyph that a marquee must hold to select it: (x, rowTop - half).
NSPoint TweenGlyphMarqueePoint(float x, float rowTop, int16_t half);

// The timeline view's size for a frame: at least the visible area (the clip view's size), as
// wide as the range up to the maximum time plus kStartOffset either side, and as high as the
// ruler strip and every row.
NSSize TimelineContentSize(NSSize visible, int32_t maximumTime, uint32_t rows,
                           TimelineScale const& scale);

// The rectangle spanned by a marquee's anchor and the mouse.
NSRect MarqueeRect(NSPoint anchor, NSPoint mouse);
