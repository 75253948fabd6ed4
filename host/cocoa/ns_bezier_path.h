// Paths of straight lines, rectangles and ovals in the focused view's coordinates, filled in
// the fill colour and stroked in the stroke colour.
#pragma once

#include <vector>

#include "host/cocoa/geometry.h"

class NSBezierPath {
public:
    NSBezierPath() = default;

    static NSBezierPath bezierPath() { return NSBezierPath(); }
    static NSBezierPath bezierPathWithRect(NSRect const& rect);
    static NSBezierPath bezierPathWithOvalInRect(NSRect const& rect);

    // The line width new paths start with. 0 is the thinnest line the device can show
    // (one device pixel).
    static void setDefaultLineWidth(CGFloat width);
    static CGFloat defaultLineWidth();
    static void strokeLineFromPoint(NSPoint from, NSPoint to);
    static void fillRect(NSRect const& rect);
    static void strokeRect(NSRect const& rect);

    void moveToPoint(NSPoint point);
    void lineToPoint(NSPoint point);
    // Relative moves and lines start from the current point (the last point added).
    void relativeMoveToPoint(NSPoint delta);
    void relativeLineToPoint(NSPoint delta);
    void closePath();
    void appendBezierPathWithRect(NSRect const& rect);
    void appendBezierPathWithOvalInRect(NSRect const& rect);
    void removeAllPoints();

    void setLineWidth(CGFloat width) { fLineWidth = width; }
    CGFloat lineWidth() const { return fLineWidth; }
    bool isEmpty() const { return fElements.empty(); }
    NSPoint currentPoint() const { return fCurrent; }
    // The smallest rectangle holding every point of the path.
    NSRect bounds() const;
    // Whether the point lies inside the closed figures of the path (non-zero winding).
    bool containsPoint(NSPoint point) const;

    void fill() const;
    void stroke() const;

    enum class Element { moveTo, lineTo, oval, close };
    struct Step {
        Element element;
        NSPoint point;
        // The rectangle of an oval.
        NSRect rect;
    };
    std::vector<Step> const& steps() const { return fElements; }

private:
    std::vector<Step> fElements;
    NSPoint fCurrent;
    NSPoint fSubpathStart;
    CGFloat fLineWidth = defaultLineWidth();
};
