// Colour-space conversion between QuickDraw RGB and HSL records (standard HSL).
//
// Both directions round to the nearest 16-bit value. A 16-bit hue cannot tell apart every
// 16-bit RGB colour of high saturation (a sixth of the hue circle holds 10923 hue values
// for 65536 values of the changing primary), so an RGB -> HSL -> RGB round trip returns
// each field within 1 for greys and weak colours and within 4 for the most saturated ones.
#pragma once

#include "host/quickdraw_types.h"

// Greys (all three fields equal) get hue 0 and saturation 0.
void RGB2HSL(RGBColor const* rgb, HSLColor* hsl);
void HSL2RGB(HSLColor const* hsl, RGBColor* rgb);
