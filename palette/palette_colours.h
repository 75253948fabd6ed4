// The colours the timeline and the name column paint with, beside the system's own.
#pragma once

#include "host/cocoa/ns_color.h"

// The minimum and maximum tabs and lines: 68/255, 68/255, 255/255.
inline constexpr NSColor kTimeMarkColour =
    NSColor::colorWithDeviceRed(0.2667f, 0.2667f, 1.0f, 1.0f);
// The grey that rows are blended with outside the minimum..maximum range: 221/255.
inline constexpr NSColor kOutOfRangeGrey =
    NSColor::colorWithDeviceRed(0.8667f, 0.8667f, 0.8667f, 1.0f);

// A row's colour outside the range: half and half with the grey.
inline NSColor OutOfRangeColour(NSColor const& rowColour) {
    return rowColour.blendedColorWithFraction(0.5f, kOutOfRangeGrey);
}

// The host's selection colour as 16-bit colour fields show it.
NSColor TweenSelectionColour();
