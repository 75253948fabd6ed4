// Conversions between the scene's float colours and QuickDraw's 16-bit colour records.
#pragma once

#include "host/qd3d_types.h"
#include "host/quickdraw_types.h"

// Scale of a float component (0..1) to a 16-bit field, and back.
inline constexpr float kQ3ColorFieldToQDColorFieldMult = 65535.0f;
inline constexpr float kQDColorFieldToQ3ColorFieldMult = 1.0f / 65535.0f;

// Each component times 65535, in single precision, truncated toward zero: 0.5 gives 32767.
// Components are meant to lie in 0..1; one outside it (a blend can overshoot slightly)
// is held at the nearest end, 0 or 65535, and NaN gives 0, rather than wrapping into an
// unrelated colour.
RGBColor QD3DColorToQDColor(TQ3ColorRGB colour);

// Each field times 1/65535 in single precision: 32767 gives about 0.499992. Exact for 0 and
// close to 1 for 65535.
TQ3ColorRGB QDColorToQD3DColor(RGBColor colour);

namespace interp {
// One component as a 16-bit field, by the rule of QD3DColorToQDColor.
uint16_t ToQDColorField(float component);
} // namespace interp
