// A horizontal (wider than high) or vertical slider. Its value lies in minValue..maxValue;
// the knob follows the mouse while it is held, and the action goes out on every change when
// the slider is continuous, else once when the mouse is released.
#pragma once

#include "host/cocoa/ns_control.h"

class NSSlider : public NSControl {
public:
    explicit NSSlider(NSRect frame = NSZeroRect);

    double minValue() const { return fMin; }
    double maxValue() const { return fMax; }
    void setMinValue(double value);
    void setMaxValue(double value);
    bool isVertical() const { return frame().size.height > frame().size.width; }
    CGFloat knobThickness() const { return 12; }

    double doubleValue() const override { return fValue; }
    // Values outside the range are held at its ends.
    void setDoubleValue(double value) override;
    std::string stringValue() const override;
    void setStringValue(std::string_view text) override;

    // The value the slider shows for a point in its own coordinates.
    double valueForPoint(NSPoint point) const;
    // The rectangle of the knob for the current value.
    NSRect knobRect() const;

    void mouseDown(NSEvent* event) override;
    void drawRect(NSRect const& dirtyRect) override;

private:
    bool trackTo(NSPoint pointInWindow);

    double fMin = 0;
    double fMax = 1;
    double fValue = 0;
};
