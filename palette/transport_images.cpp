#include "palette/transport_images.h"

#include "host/cocoa/cocoa.h"

namespace {

constexpr NSSize kImageSize{24, 18};

void Triangle(NSBezierPath& path, float x, float pointing) {
    // A triangle 8 wide standing on x, pointing right (1) or left (-1).
    float const tip = x + 8 * pointing;
    path.moveToPoint({x, 4});
    path.lineToPoint({tip, 9});
    path.lineToPoint({x, 14});
    path.closePath();
}

void Bar(NSBezierPath& path, float x) {
    path.appendBezierPathWithRect(NSMakeRect(x, 4, 2, 10));
}

NSBezierPath GlyphPath(TransportGlyph glyph) {
    NSBezierPath path;
    switch (glyph) {
    case TransportGlyph::playBackward:
        Triangle(path, 16, -1);
        break;
    case TransportGlyph::stop:
        path.appendBezierPathWithRect(NSMakeRect(7, 4, 10, 10));
        break;
    case TransportGlyph::playForward:
        Triangle(path, 8, 1);
        break;
    case TransportGlyph::toStart:
        Bar(path, 5);
        Triangle(path, 17, -1);
        break;
    case TransportGlyph::toEnd:
        Triangle(path, 7, 1);
        Bar(path, 17);
        break;
    case TransportGlyph::previousTween:
        Triangle(path, 12, -1);
        Triangle(path, 20, -1);
        break;
    case TransportGlyph::nextTween:
        Triangle(path, 4, 1);
        Triangle(path, 12, 1);
        break;
    }
    return path;
}

} // namespace

std::shared_ptr<NSImage> TransportImage(TransportGlyph glyph, bool pressed) {
    return NSImage::imageWithSize(kImageSize, false, [glyph, pressed](NSRect bounds) {
        if (pressed) {
            NSColor::alternateSelectedControlColor().setFill();
            NSBezierPath::fillRect(bounds);
            NSColor::whiteColor().setFill();
        } else {
            NSColor::controlTextColor().setFill();
        }
        GlyphPath(glyph).fill();
        return true;
    });
}
