// Colours in device RGB with alpha, components 0..1. Colours are values; setting one makes
// it the current fill and/or stroke colour of the focused graphics context.
#pragma once

#include <vector>

class NSColor {
public:
    constexpr NSColor() = default;

    static constexpr NSColor colorWithDeviceRed(float red, float green, float blue, float alpha) {
        return NSColor(red, green, blue, alpha);
    }
    static constexpr NSColor colorWithDeviceWhite(float white, float alpha) {
        return NSColor(white, white, white, alpha);
    }

    static NSColor blackColor();
    static NSColor whiteColor();
    static NSColor redColor();
    static NSColor lightGrayColor();
    static NSColor darkGrayColor();
    static NSColor grayColor();
    static NSColor clearColor();
    // The system's colours for controls and windows.
    static NSColor selectedTextBackgroundColor();
    static NSColor windowBackgroundColor();
    static NSColor controlColor();
    static NSColor controlTextColor();
    static NSColor controlShadowColor();
    static NSColor textBackgroundColor();
    static NSColor alternateSelectedControlColor();
    // The backgrounds that rows of tables take in turn, first for the first row.
    static std::vector<NSColor> controlAlternatingRowBackgroundColors();

    float redComponent() const { return fRed; }
    float greenComponent() const { return fGreen; }
    float blueComponent() const { return fBlue; }
    float alphaComponent() const { return fAlpha; }

    // Each component moved `fraction` of the way towards the other colour's.
    NSColor blendedColorWithFraction(float fraction, NSColor const& other) const {
        auto mix = [fraction](float a, float b) { return a + (b - a) * fraction; };
        return NSColor(mix(fRed, other.fRed), mix(fGreen, other.fGreen), mix(fBlue, other.fBlue),
                       mix(fAlpha, other.fAlpha));
    }

    // Make this the fill and the stroke colour, the fill colour only, or the stroke colour
    // only, until the graphics state is restored or another colour is set.
    void set() const;
    void setFill() const;
    void setStroke() const;

    bool operator==(NSColor const&) const = default;

private:
    constexpr NSColor(float red, float green, float blue, float alpha)
        : fRed(red), fGreen(green), fBlue(blue), fAlpha(alpha) {}

    float fRed = 0;
    float fGreen = 0;
    float fBlue = 0;
    float fAlpha = 1;
};
