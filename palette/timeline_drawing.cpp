#include "palette/timeline_drawing.h"

#include <cmath>
#include <vector>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/number_text.h"
#include "palette/palette_colours.h"
#include "tween/cache.h"
#include "tween/recache.h"
#include "tween/timeline_geometry.h"

namespace {

bool DocumentIsOpen() {
    return PL_GetFrontDocument() != nullptr;
}

float Top(NSRect const& R) {
    return NSMaxY(R);
}

float Right(NSRect const& R) {
    return NSMaxX(R);
}

// Whether a horizontal band lies at least partly in the visible rectangle.
bool BandShows(float y, float height, NSRect const& visible) {
    return y < NSMaxY(visible) && y + height > NSMinY(visible);
}

void StrokeLine(NSPoint from, NSPoint to, NSColor const& colour) {
    colour.setStroke();
    NSBezierPath::strokeLineFromPoint(from, to);
    NSColor::blackColor().setStroke();
}

// A tab: a filled triangle from (x, top) sideways by 6 pixels and back down to (x, top - 12);
// `direction` is +1 for a tab pointing right, -1 for one pointing left.
void FillTab(float x, float top, float direction) {
    NSBezierPath path;
    path.moveToPoint(NSMakePoint(x, top));
    path.relativeLineToPoint(NSMakePoint(6 * direction, -6));
    path.relativeLineToPoint(NSMakePoint(-6 * direction, -6));
    path.relativeLineToPoint(NSMakePoint(0, 12));
    path.closePath();
    kTimeMarkColour.setFill();
    path.fill();
    NSColor::whiteColor().setFill();
}

// The x of a time mark, with its left limit: the time origin.
struct MarkPlace {
    float x;
    float origin;
};

MarkPlace PlaceMark(NSRect const& R, int32_t time, int32_t t0) {
    TimelineScale const scale = TimelineScale::Current();
    return MarkPlace{TimeMarkX(time, t0, R.origin.x, scale),
                     TruncateToPixel(R.origin.x + kStartOffset)};
}

// Where the minimum and current marks are drawn: from the time origin to the right edge.
bool InsideFromOrigin(MarkPlace const& mark, NSRect const& R) {
    return mark.origin <= mark.x && mark.x <= Right(R);
}

} // namespace

void DrawTimeLine(NSRect R, int32_t t0, NSRect const& visible) {
    NSBezierPath::setDefaultLineWidth(0);
    DrawTweenBackground(R, t0, visible);
    DrawTimeRuler(R, visible);
    DrawTimeRulerNumbers(R, t0, visible);
    if (!DocumentIsOpen()) {
        return;
    }
    // The current-time line lies over the range's tabs and lines, so that it shows at the
    // range's ends too.
    DrawTimeMaxTab(R, t0);
    DrawTimeMinTab(R, t0);
    DrawTimeMaxLine(R, t0);
    DrawTimeMinLine(R, t0);
    DrawTimeBarLine(R, t0);
    R.size.height -= static_cast<float>(gTextHeight);
    DrawTweenedObjectTweens(gTimeLineCache, R, t0, visible);
}

void DrawTweenBackground(NSRect const& R, int32_t t0, NSRect const& visible) {
    TimelineScale const scale = TimelineScale::Current();
    float const h = scale.RowHeight();
    bool const open = DocumentIsOpen();
    float xmax = open ? TimeMarkX(PL_GetMaxTime(), t0, R.origin.x, scale) : Right(R);
    if (xmax >= Right(R)) {
        xmax = static_cast<float>(TruncateToInt32(Right(R)));
    }
    float xmin = static_cast<float>(TruncateToInt32(R.origin.x + kStartOffset));
    if (open) {
        xmin = static_cast<float>(
            TruncateToInt32(xmin + static_cast<float>(static_cast<int64_t>(PL_GetMinTime()) - t0) /
                                       scale.unitsPerSecond * scale.pixelsPerSecond));
    }
    if (xmin >= Right(R)) {
        xmin = static_cast<float>(TruncateToInt32(Right(R)));
    }
    std::vector<NSColor> const colours = NSColor::controlAlternatingRowBackgroundColors();
    float y = Top(R) - h;
    for (std::size_t i = 0;; ++i) {
        if (BandShows(y, h, visible)) {
            NSColor const& inside = colours[i % colours.size()];
            NSColor const outside = OutOfRangeColour(inside);
            inside.setFill();
            NSRectFill(NSMakeRect(xmin + R.origin.x, y, xmax - (xmin + R.origin.x), h));
            outside.setFill();
            NSRectFill(NSMakeRect(xmax, y, R.size.width - xmax, h));
            NSRectFill(NSMakeRect(R.origin.x, y, xmin, h));
        }
        if (R.origin.y > y + h) {
            break;
        }
        y -= h;
    }
}

void DrawTimeRuler(NSRect const& R, NSRect const& visible) {
    float const stripBottom = Top(R) - static_cast<float>(gTextHeight);
    int32_t xi = TruncateToInt32(R.origin.x + kStartOffset);
    // Lines left of what shows are skipped by whole divisions: every line after the first
    // lies a whole number of divisions further right.
    auto const division = static_cast<int32_t>(kRulerDivision);
    if (NSMinX(visible) - 1 > static_cast<float>(xi)) {
        xi += TruncateToInt32((NSMinX(visible) - 1 - static_cast<float>(xi)) / kRulerDivision) *
              division;
    }
    for (; static_cast<float>(xi) < Right(R) && static_cast<float>(xi) <= NSMaxX(visible) + 1;
         xi += division) {
        auto const x = static_cast<float>(xi);
        StrokeLine(NSMakePoint(x, stripBottom), NSMakePoint(x, R.origin.y),
                   NSColor::lightGrayColor());
    }
}

void DrawTimeRulerNumbers(NSRect const& R, int32_t t0, NSRect const& visible) {
    float const stripBottom = Top(R) - static_cast<float>(gTextHeight);
    StrokeLine(NSMakePoint(R.origin.x, stripBottom + 1),
               NSMakePoint(R.origin.x + R.size.width, stripBottom + 1), NSColor::lightGrayColor());
    TimelineScale const scale = TimelineScale::Current();
    double const first = static_cast<double>(t0) / scale.unitsPerSecond;
    double const step = kRulerDivision / scale.pixelsPerSecond;
    int32_t const x0 = TruncateToInt32(R.origin.x);
    auto const division = static_cast<int32_t>(kRulerDivision);
    // A label reaches at most one division to the right of its x.
    int32_t k = 0;
    if (NSMinX(visible) - kRulerDivision > static_cast<float>(x0)) {
        k = TruncateToInt32((NSMinX(visible) - kRulerDivision - static_cast<float>(x0)) /
                            kRulerDivision);
    }
    for (;; ++k) {
        int64_t const x = static_cast<int64_t>(x0) + static_cast<int64_t>(k) * division;
        if (!(static_cast<float>(x) < Right(R)) || static_cast<float>(x) > NSMaxX(visible)) {
            break;
        }
        Draw(EStr(first + k * step, 1, 1), static_cast<float>(x), stripBottom);
    }
}

void DrawTimeMinTab(NSRect const& R, int32_t t0) {
    MarkPlace const mark = PlaceMark(R, PL_GetMinTime(), t0);
    if (InsideFromOrigin(mark, R)) {
        FillTab(mark.x, Top(R), +1);
    }
}

void DrawTimeMaxTab(NSRect const& R, int32_t t0) {
    MarkPlace const mark = PlaceMark(R, PL_GetMaxTime(), t0);
    if (mark.x < Right(R)) {
        FillTab(mark.x, Top(R), -1);
    }
}

void DrawTimeMinLine(NSRect const& R, int32_t t0) {
    MarkPlace const mark = PlaceMark(R, PL_GetMinTime(), t0);
    if (InsideFromOrigin(mark, R)) {
        StrokeLine(NSMakePoint(mark.x, Top(R)), NSMakePoint(mark.x, R.origin.y), kTimeMarkColour);
    }
}

void DrawTimeMaxLine(NSRect const& R, int32_t t0) {
    MarkPlace const mark = PlaceMark(R, PL_GetMaxTime(), t0);
    if (mark.x < Right(R)) {
        StrokeLine(NSMakePoint(mark.x, Top(R)), NSMakePoint(mark.x, R.origin.y), kTimeMarkColour);
    }
}

void DrawTimeBarLine(NSRect const& R, int32_t t0) {
    MarkPlace const mark = PlaceMark(R, PL_GetCurTime(), t0);
    if (InsideFromOrigin(mark, R)) {
        StrokeLine(NSMakePoint(mark.x, R.origin.y), NSMakePoint(mark.x, R.origin.y + R.size.height),
                   NSColor::redColor());
    }
}

void DrawTweenedObjectTweens(TDynamicArray<CCache*>& caches, NSRect const& R, int32_t t0,
                             NSRect const& visible) {
    TimelineScale const scale = TimelineScale::Current();
    float const h = scale.RowHeight();
    NSRect row = NSMakeRect(R.origin.x, Top(R) - h, R.size.width, h);
    for (uint32_t i = 0;; ++i) {
        if (i < caches.Count() && BandShows(row.origin.y, h, visible)) {
            DrawSelfTween(caches[i], row, scale.PixelsPerUnit(), t0, visible);
        }
        if (R.origin.y > NSMaxY(row)) {
            break;
        }
        row.origin.y -= h;
    }
    if (gDoingMarqueeSelection) {
        NSColor::lightGrayColor().setFill();
        NSFrameRect(gMarquee);
    }
}

void DrawSelfTween(CCache* cache, NSRect const& row, float P, int32_t t0, NSRect const& visible) {
    auto const half = static_cast<int16_t>(gTextHeight / 2);
    float const rowTop = NSMaxY(row);
    NSColor const selection = TweenSelectionColour();
    for (uint32_t i = 0; i < cache->Count(); ++i) {
        BaseTweenRecord const& record = cache->Record(i);
        float const x = TweenGlyphX(record.time, t0, row.origin.x, P);
        if (x < row.origin.x) {
            continue;
        }
        if (x > NSMaxX(row)) {
            break; // every later record lies further right
        }
        if (x + half < NSMinX(visible) || x - half > NSMaxX(visible)) {
            continue;
        }
        TweenGlyphOutline const glyph = TweenGlyphShape(x, rowTop, half, record.ease);
        NSBezierPath path;
        path.moveToPoint(glyph.points[0]);
        for (int k = 1; k < glyph.count; ++k) {
            path.lineToPoint(glyph.points[k]);
        }
        path.closePath();
        bool const previewed = gDoingMarqueeSelection &&
                               NSPointInRect(TweenGlyphMarqueePoint(x, rowTop, half), gMarquee);
        if (record.selected || previewed) {
            selection.setFill();
            path.fill();
            NSColor::whiteColor().setFill();
        }
        NSColor::blackColor().setStroke();
        path.stroke();
    }
}
