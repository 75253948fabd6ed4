// Standard HSL on 16-bit fields, computed in double precision and rounded to nearest.
#include <algorithm>
#include <cmath>

#include "host/color_conversion.h"

namespace {

constexpr double kFull = 65535.0;

uint16_t ToField(double fraction) {
    return static_cast<uint16_t>(std::lround(std::clamp(fraction, 0.0, 1.0) * kFull));
}

// One primary from the hue position (in sixths of the circle, any real number).
double Primary(double p, double q, double sixths) {
    sixths = std::fmod(sixths, 6.0);
    if (sixths < 0.0) {
        sixths += 6.0;
    }
    if (sixths < 1.0) {
        return p + (q - p) * sixths;
    }
    if (sixths < 3.0) {
        return q;
    }
    if (sixths < 4.0) {
        return p + (q - p) * (4.0 - sixths);
    }
    return p;
}

} // namespace

void RGB2HSL(RGBColor const* rgb, HSLColor* hsl) {
    double r = rgb->red / kFull, g = rgb->green / kFull, b = rgb->blue / kFull;
    double high = std::max({r, g, b});
    double low = std::min({r, g, b});
    double lightness = (high + low) / 2.0;
    double chroma = high - low;
    double hue = 0.0;
    double saturation = 0.0;
    if (chroma > 0.0) {
        saturation = chroma / (1.0 - std::fabs(2.0 * lightness - 1.0));
        if (high == r) {
            hue = std::fmod((g - b) / chroma + 6.0, 6.0);
        } else if (high == g) {
            hue = (b - r) / chroma + 2.0;
        } else {
            hue = (r - g) / chroma + 4.0;
        }
    }
    uint16_t hueField = ToField(hue / 6.0);
    hsl->hue = hueField == 65535 ? 0 : hueField; // 360 degrees is the hue of 0
    hsl->saturation = ToField(saturation);
    hsl->lightness = ToField(lightness);
}

void HSL2RGB(HSLColor const* hsl, RGBColor* rgb) {
    double sixths = hsl->hue / kFull * 6.0;
    double saturation = hsl->saturation / kFull;
    double lightness = hsl->lightness / kFull;
    double q = lightness < 0.5 ? lightness * (1.0 + saturation)
                               : lightness + saturation - lightness * saturation;
    double p = 2.0 * lightness - q;
    rgb->red = ToField(Primary(p, q, sixths + 2.0));
    rgb->green = ToField(Primary(p, q, sixths));
    rgb->blue = ToField(Primary(p, q, sixths - 2.0));
}
