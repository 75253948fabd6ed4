// QuickDraw value types: 16-bit colour records and the integer rectangle.
#pragma once

#include <cstddef>
#include <cstdint>

// Each field 0..65535 covers the full intensity of its primary.
struct RGBColor {
    uint16_t red, green, blue;
};

// Each field 0..65535 covers the full range of its quantity: hue 0..360 degrees
// (65535 is 360 degrees, the same hue as 0), saturation and lightness 0..100 percent.
struct HSLColor {
    uint16_t hue, saturation, lightness;
};

struct Rect {
    int16_t top, left, bottom, right;
};

static_assert(sizeof(RGBColor) == 6 && sizeof(HSLColor) == 6);
static_assert(sizeof(Rect) == 8);
static_assert(offsetof(Rect, left) == 2 && offsetof(Rect, bottom) == 4 &&
              offsetof(Rect, right) == 6);
