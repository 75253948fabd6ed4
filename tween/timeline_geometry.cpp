#include "tween/timeline_geometry.h"

#include <algorithm>
#include <cmath>

#include "interp/easing.h"
#include "playback/host_time.h"

TimelineScale TimelineScale::Current() {
    return TimelineScale{TimeUnitsPerSecond(), gScaleFactor, gTextHeight};
}

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<double>(INT32_MIN)) {
        return INT32_MIN;
    }
    if (value >= static_cast<double>(INT32_MAX)) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

float TruncateToPixel(double value) {
    return static_cast<float>(TruncateToInt32(value));
}

float TweenGlyphX(int32_t time, int32_t t0, float left, float pixelsPerUnit) {
    auto const offset = static_cast<double>(static_cast<int64_t>(time) - t0);
    return TruncateToPixel(offset * pixelsPerUnit + left + kStartOffset);
}

int32_t TweenPointX(int32_t time, float originX, float pixelsPerUnit) {
    return TruncateToInt32(static_cast<float>(time) * pixelsPerUnit + originX);
}

float TimeX(int32_t time, int32_t t0, float left, TimelineScale const& scale) {
    auto const offset = static_cast<float>(static_cast<int64_t>(time) - t0);
    return left + kStartOffset + offset / scale.unitsPerSecond * scale.pixelsPerSecond;
}

float TimeMarkX(int32_t time, int32_t t0, float left, TimelineScale const& scale) {
    return TruncateToPixel(TimeX(time, t0, left, scale));
}

NSRect RulerStripRect(NSRect const& timeline, float rowHeight) {
    return NSMakeRect(timeline.origin.x, NSMaxY(timeline) - rowHeight, timeline.size.width,
                      rowHeight);
}

NSRect TimelineRowRect(NSRect const& timeline, uint32_t k, float rowHeight) {
    return NSMakeRect(timeline.origin.x, NSMaxY(timeline) - static_cast<float>(k + 2) * rowHeight,
                      timeline.size.width, rowHeight);
}

TweenGlyph TweenGlyphAt(float x, float rowTop, int16_t half) {
    auto const h = static_cast<float>(half);
    float const apexY = rowTop - 4;
    return TweenGlyph{{x, apexY}, {x - h, apexY - h}, {x + h, apexY - h}};
}

TweenGlyphOutline TweenGlyphShape(float x, float rowTop, int16_t half, uint8_t ease) {
    TweenGlyph const g = TweenGlyphAt(x, rowTop, half);
    float const h = static_cast<float>(half);
    float const top = g.apex.y;
    float const bottom = g.left.y;
    switch (ease) {
    case eEaseIn:
        return {{{x + h, top}, g.left, g.right}, 3};
    case eEaseOut:
        return {{{x - h, top}, g.left, g.right}, 3};
    case eEaseInOut:
        return {{{x, top}, {x - h, top - h / 2}, {x, bottom}, {x + h, top - h / 2}}, 4};
    case eEaseHold:
        return {{{x - h / 2, top}, {x - h / 2, bottom}, {x + h / 2, bottom}, {x + h / 2, top}}, 4};
    default:
        return {{g.apex, g.left, g.right}, 3};
    }
}

NSPoint TweenGlyphMarqueePoint(float x, float rowTop, int16_t half) {
    return NSMakePoint(x, rowTop - static_cast<float>(half));
}

NSSize TimelineContentSize(NSSize visible, int32_t maximumTime, uint32_t rows,
                           TimelineScale const& scale) {
    float const rangeWidth = 2.0f * kStartOffset + static_cast<float>(maximumTime) /
                                                       scale.unitsPerSecond * scale.pixelsPerSecond;
    float const rowsHeight = static_cast<float>(rows + 1) * scale.RowHeight();
    return NSMakeSize(std::max(visible.width, rangeWidth), std::max(visible.height, rowsHeight));
}

NSRect MarqueeRect(NSPoint anchor, NSPoint mouse) {
    return NSMakeRect(std::min(anchor.x, mouse.x), std::min(anchor.y, mouse.y),
                      std::fabs(mouse.x - anchor.x), std::fabs(mouse.y - anchor.y));
}
