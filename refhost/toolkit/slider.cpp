#include "host/cocoa/ns_slider.h"

#include <algorithm>

#include "host/cocoa/ns_bezier_path.h"
#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_graphics.h"
#include "host/cocoa/ns_string.h"
#include "refhost/toolkit/tracking.h"

NSSlider::NSSlider(NSRect frame) : NSControl(frame) {
    setContinuous(true);
}

void NSSlider::setMinValue(double value) {
    fMin = value;
    fValue = std::max(fValue, fMin);
    setNeedsDisplay(true);
}

void NSSlider::setMaxValue(double value) {
    fMax = value;
    fValue = std::min(fValue, fMax);
    setNeedsDisplay(true);
}

void NSSlider::setDoubleValue(double value) {
    fValue = fMax > fMin ? std::clamp(value, fMin, fMax) : fMin;
    setNeedsDisplay(true);
}

std::string NSSlider::stringValue() const {
    return NSFormatFloat(static_cast<float>(fValue));
}

void NSSlider::setStringValue(std::string_view text) {
    setDoubleValue(NSParseLeadingNumber(text));
}

double NSSlider::valueForPoint(NSPoint point) const {
    NSRect const b = bounds();
    CGFloat const k = knobThickness();
    double const travel = isVertical() ? b.size.height - k : b.size.width - k;
    if (travel <= 0 || fMax <= fMin) {
        return fMin;
    }
    double const along = isVertical() ? point.y - b.origin.y - k / 2 : point.x - b.origin.x - k / 2;
    double const f = std::clamp(along / travel, 0.0, 1.0);
    return fMin + f * (fMax - fMin);
}

NSRect NSSlider::knobRect() const {
    NSRect const b = bounds();
    CGFloat const k = knobThickness();
    double const f = fMax > fMin ? (fValue - fMin) / (fMax - fMin) : 0;
    if (isVertical()) {
        auto const y = static_cast<CGFloat>(b.origin.y + f * (b.size.height - k));
        return NSMakeRect(b.origin.x, y, b.size.width, k);
    }
    auto const x = static_cast<CGFloat>(b.origin.x + f * (b.size.width - k));
    return NSMakeRect(x, b.origin.y, k, b.size.height);
}

bool NSSlider::trackTo(NSPoint point) {
    double const before = fValue;
    setDoubleValue(valueForPoint(point));
    return fValue != before;
}

void NSSlider::mouseDown(NSEvent* event) {
    if (!isEnabled()) {
        return;
    }
    if (trackTo(convertPoint(event->locationInWindow(), nullptr)) && isContinuous()) {
        sendAction();
    }
    refhost::toolkit::TrackMouse(*this, [this](NSPoint p, bool) {
        if (trackTo(p) && isContinuous()) {
            sendAction();
        }
    });
    // A slider that is not continuous reports once, when the mouse lets go.
    if (!isContinuous()) {
        sendAction();
    }
}

void NSSlider::drawRect(NSRect const&) {
    NSRect const b = bounds();
    NSRect track;
    if (isVertical()) {
        track = NSMakeRect(NSMidX(b) - 2, b.origin.y + knobThickness() / 2, 4,
                           b.size.height - knobThickness());
    } else {
        track = NSMakeRect(b.origin.x + knobThickness() / 2, NSMidY(b) - 2,
                           b.size.width - knobThickness(), 4);
    }
    NSColor::colorWithDeviceWhite(0.75f, 1).setFill();
    NSRectFill(track);
    NSColor::controlShadowColor().setFill();
    NSFrameRect(track);
    NSRect const knob = NSInsetRect(knobRect(), 1, 1);
    NSBezierPath oval = NSBezierPath::bezierPathWithOvalInRect(
        isVertical() ? knob
                     : NSMakeRect(knob.origin.x, NSMidY(knob) - knob.size.width / 2,
                                  knob.size.width, knob.size.width));
    (isEnabled() ? NSColor::whiteColor() : NSColor::windowBackgroundColor()).setFill();
    oval.fill();
    NSColor::darkGrayColor().setStroke();
    oval.setLineWidth(1);
    oval.stroke();
}
