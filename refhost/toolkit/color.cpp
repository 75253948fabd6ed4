#include "host/cocoa/ns_color.h"

#include "refhost/toolkit/canvas.h"

// The system colours are those of a light appearance with a blue selection.
NSColor NSColor::blackColor() {
    return colorWithDeviceWhite(0, 1);
}
NSColor NSColor::whiteColor() {
    return colorWithDeviceWhite(1, 1);
}
NSColor NSColor::redColor() {
    return colorWithDeviceRed(1, 0, 0, 1);
}
NSColor NSColor::lightGrayColor() {
    return colorWithDeviceWhite(2.0f / 3.0f, 1);
}
NSColor NSColor::darkGrayColor() {
    return colorWithDeviceWhite(1.0f / 3.0f, 1);
}
NSColor NSColor::grayColor() {
    return colorWithDeviceWhite(0.5f, 1);
}
NSColor NSColor::clearColor() {
    return colorWithDeviceWhite(0, 0);
}
NSColor NSColor::selectedTextBackgroundColor() {
    return colorWithDeviceRed(0.7098f, 0.8353f, 1.0f, 1);
}
NSColor NSColor::windowBackgroundColor() {
    return colorWithDeviceWhite(0.9255f, 1);
}
NSColor NSColor::controlColor() {
    return colorWithDeviceWhite(0.98f, 1);
}
NSColor NSColor::controlTextColor() {
    return colorWithDeviceWhite(0, 1);
}
NSColor NSColor::controlShadowColor() {
    return colorWithDeviceWhite(0.5f, 1);
}
NSColor NSColor::textBackgroundColor() {
    return colorWithDeviceWhite(1, 1);
}
NSColor NSColor::alternateSelectedControlColor() {
    return colorWithDeviceRed(0.0196f, 0.3882f, 0.8627f, 1);
}

std::vector<NSColor> NSColor::controlAlternatingRowBackgroundColors() {
    return {whiteColor(), colorWithDeviceRed(0.9294f, 0.9529f, 0.9961f, 1)};
}

void NSColor::set() const {
    if (auto* canvas = refhost::toolkit::CurrentCanvas()) {
        canvas->paint().fill = *this;
        canvas->paint().stroke = *this;
    }
}

void NSColor::setFill() const {
    if (auto* canvas = refhost::toolkit::CurrentCanvas()) {
        canvas->paint().fill = *this;
    }
}

void NSColor::setStroke() const {
    if (auto* canvas = refhost::toolkit::CurrentCanvas()) {
        canvas->paint().stroke = *this;
    }
}
