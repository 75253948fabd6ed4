// Shifts of a float colour's hue, saturation or lightness in HSL space, for the colour and
// light effects that keep turning a colour as time passes.
//
// The colour goes through QuickDraw's 16-bit RGB and HSL records (QD3DColorToQDColor,
// RGB2HSL), one field is moved, and the result comes back through HSL2RGB with every
// component a multiple of 1/65535. Every field wraps round its range instead of stopping at
// an end, so an effect that keeps adding runs through the range again and again: hue 350
// degrees plus 20 gives 10, saturation 90 % plus 20 gives 10 %, and a value landing exactly
// on the top of the range stays there (360 degrees, 100 %). A shift that is not a finite
// number leaves the colour unchanged.
#pragma once

#include "host/qd3d_types.h"

// Adds degrees to the hue (0..360).
void AddHSLHueQD3DColour(TQ3ColorRGB* colour, float degrees);
// The same shift as AddHSLHueQD3DColour, under the name the light effects use.
void AddHSLAngleToQD3DColour(TQ3ColorRGB* colour, float degrees);
// Adds percent to the saturation (0..100).
void AddHSLSaturationQD3DColour(TQ3ColorRGB* colour, float percent);
// Adds percent to the lightness (0..100).
void AddHSLBrightnessQD3DColour(TQ3ColorRGB* colour, float percent);
