#include "palette/palette_colours.h"

#include <algorithm>
#include <cstdint>

#include "host/framework.h"

namespace {

float AsColourField(float component) {
    // A component outside 0..1 (or not a number) shows as the nearest end.
    double const clamped = component > 0 ? std::min<double>(component, 1.0) : 0.0;
    auto const field = static_cast<uint16_t>(clamped * 65535.0);
    return static_cast<float>(field / 65535.0);
}

} // namespace

NSColor TweenSelectionColour() {
    TQ3ColorRGB const* colour = PL_GetColor(0);
    if (!colour) {
        return NSColor::alternateSelectedControlColor();
    }
    return NSColor::colorWithDeviceRed(AsColourField(colour->r), AsColourField(colour->g),
                                       AsColourField(colour->b), 1.0f);
}
