// Points, sizes and rectangles of the view toolkit. Coordinates are floats in pixels; in a
// view that is not flipped y grows upwards, so a rectangle's top edge is NSMaxY.
#pragma once

#include <algorithm>

using CGFloat = float;

struct NSPoint {
    CGFloat x = 0;
    CGFloat y = 0;
    bool operator==(NSPoint const&) const = default;
};

struct NSSize {
    CGFloat width = 0;
    CGFloat height = 0;
    bool operator==(NSSize const&) const = default;
};

struct NSRect {
    NSPoint origin;
    NSSize size;
    bool operator==(NSRect const&) const = default;
};

inline constexpr NSPoint NSZeroPoint{};
inline constexpr NSRect NSZeroRect{};

constexpr NSPoint NSMakePoint(CGFloat x, CGFloat y) {
    return NSPoint{x, y};
}
constexpr NSSize NSMakeSize(CGFloat width, CGFloat height) {
    return NSSize{width, height};
}
constexpr NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
    return NSRect{NSPoint{x, y}, NSSize{width, height}};
}

constexpr CGFloat NSMinX(NSRect const& r) {
    return r.origin.x;
}
constexpr CGFloat NSMinY(NSRect const& r) {
    return r.origin.y;
}
constexpr CGFloat NSMaxX(NSRect const& r) {
    return r.origin.x + r.size.width;
}
constexpr CGFloat NSMaxY(NSRect const& r) {
    return r.origin.y + r.size.height;
}
constexpr CGFloat NSMidX(NSRect const& r) {
    return r.origin.x + r.size.width / 2;
}
constexpr CGFloat NSMidY(NSRect const& r) {
    return r.origin.y + r.size.height / 2;
}
constexpr CGFloat NSWidth(NSRect const& r) {
    return r.size.width;
}
constexpr CGFloat NSHeight(NSRect const& r) {
    return r.size.height;
}

constexpr bool NSIsEmptyRect(NSRect const& r) {
    return !(r.size.width > 0 && r.size.height > 0);
}

// Half-open on the far edges, so that neighbouring rectangles never both hold a point.
constexpr bool NSPointInRect(NSPoint p, NSRect const& r) {
    return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y >= NSMinY(r) && p.y < NSMaxY(r);
}

constexpr NSRect NSOffsetRect(NSRect r, CGFloat dx, CGFloat dy) {
    return NSMakeRect(r.origin.x + dx, r.origin.y + dy, r.size.width, r.size.height);
}

constexpr NSRect NSInsetRect(NSRect r, CGFloat dx, CGFloat dy) {
    return NSMakeRect(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx,
                      r.size.height - 2 * dy);
}

// An empty intersection is NSZeroRect.
constexpr NSRect NSIntersectionRect(NSRect const& a, NSRect const& b) {
    CGFloat const x0 = std::max(NSMinX(a), NSMinX(b));
    CGFloat const y0 = std::max(NSMinY(a), NSMinY(b));
    CGFloat const x1 = std::min(NSMaxX(a), NSMaxX(b));
    CGFloat const y1 = std::min(NSMaxY(a), NSMaxY(b));
    if (x1 <= x0 || y1 <= y0) {
        return NSZeroRect;
    }
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}

// The smallest rectangle holding both; an empty rectangle adds nothing.
constexpr NSRect NSUnionRect(NSRect const& a, NSRect const& b) {
    if (NSIsEmptyRect(a)) {
        return b;
    }
    if (NSIsEmptyRect(b)) {
        return a;
    }
    CGFloat const x0 = std::min(NSMinX(a), NSMinX(b));
    CGFloat const y0 = std::min(NSMinY(a), NSMinY(b));
    return NSMakeRect(x0, y0, std::max(NSMaxX(a), NSMaxX(b)) - x0,
                      std::max(NSMaxY(a), NSMaxY(b)) - y0);
}
