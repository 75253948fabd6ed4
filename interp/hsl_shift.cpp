#include "interp/hsl_shift.h"

#include <cmath>
#include <cstdint>

#include "host/color_conversion.h"
#include "interp/qd_colour.h"

namespace {

constexpr double kDegreesToField = 182.04166666666666; // 65535 / 360
constexpr double kPercentToField = 655.35;             // 65535 / 100

// Brings value into 0..range by whole turns: down while above the range, then up while
// below 0, so the top of the range itself stays. For any magnitude below 2^25 each turn is
// an exact float subtraction, so fmod (which is exact) reaches the same value without the
// loop, and larger shifts still end inside the range.
float Wrap(float value, float range) {
    if (value > range) {
        float const rest = std::fmod(value, range);
        value = rest == 0.0f ? range : rest;
    }
    if (value < 0.0f) {
        float const rest = std::fmod(value, range);
        value = rest < 0.0f ? rest + range : rest;
    }
    return value;
}

uint16_t Shifted(uint16_t field, float range, double toField, float amount) {
    auto const value = static_cast<float>(field / 65535.0 * static_cast<double>(range) +
                                          static_cast<double>(amount));
    double const scaled = static_cast<double>(Wrap(value, range)) * toField;
    // The wrapped value lies in 0..range, so this only guards the rounding at the top.
    return scaled >= 65535.0 ? uint16_t{65535} : static_cast<uint16_t>(scaled);
}

enum class Field { kHue, kSaturation, kLightness };

void Shift(TQ3ColorRGB* colour, Field which, float amount) {
    if (!std::isfinite(amount)) {
        return;
    }
    RGBColor rgb = QD3DColorToQDColor(*colour);
    HSLColor hsl;
    RGB2HSL(&rgb, &hsl);
    switch (which) {
    case Field::kHue:
        hsl.hue = Shifted(hsl.hue, 360.0f, kDegreesToField, amount);
        break;
    case Field::kSaturation:
        hsl.saturation = Shifted(hsl.saturation, 100.0f, kPercentToField, amount);
        break;
    case Field::kLightness:
        hsl.lightness = Shifted(hsl.lightness, 100.0f, kPercentToField, amount);
        break;
    }
    HSL2RGB(&hsl, &rgb);
    *colour = QDColorToQD3DColor(rgb);
}

} // namespace

void AddHSLHueQD3DColour(TQ3ColorRGB* colour, float degrees) {
    Shift(colour, Field::kHue, degrees);
}

void AddHSLAngleToQD3DColour(TQ3ColorRGB* colour, float degrees) {
    Shift(colour, Field::kHue, degrees);
}

void AddHSLSaturationQD3DColour(TQ3ColorRGB* colour, float percent) {
    Shift(colour, Field::kSaturation, percent);
}

void AddHSLBrightnessQD3DColour(TQ3ColorRGB* colour, float percent) {
    Shift(colour, Field::kLightness, percent);
}
