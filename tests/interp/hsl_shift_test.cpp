#include <gtest/gtest.h>

#include <limits>

#include "host/color_conversion.h"
#include "interp/hsl_shift.h"
#include "interp/qd_colour.h"

namespace {

// Hue in degrees, saturation and lightness in percent.
TQ3ColorRGB FromHSL(double hue, double saturation, double lightness) {
    HSLColor const hsl{static_cast<uint16_t>(hue / 360.0 * 65535.0),
                       static_cast<uint16_t>(saturation / 100.0 * 65535.0),
                       static_cast<uint16_t>(lightness / 100.0 * 65535.0)};
    RGBColor rgb;
    HSL2RGB(&hsl, &rgb);
    return QDColorToQD3DColor(rgb);
}

HSLColor ToHSL(TQ3ColorRGB colour) {
    RGBColor const rgb = QD3DColorToQDColor(colour);
    HSLColor hsl;
    RGB2HSL(&rgb, &hsl);
    return hsl;
}

double Degrees(uint16_t field) {
    return field / 65535.0 * 360.0;
}

double Percent(uint16_t field) {
    return field / 65535.0 * 100.0;
}

} // namespace

TEST(HSLShift, EveryFieldWrapsRoundItsRange) {
    TQ3ColorRGB colour = FromHSL(350, 100, 50);
    AddHSLHueQD3DColour(&colour, 20);
    EXPECT_NEAR(Degrees(ToHSL(colour).hue), 10, 0.05);
    colour = {1, 0, 0};
    AddHSLAngleToQD3DColour(&colour, -370);
    EXPECT_NEAR(Degrees(ToHSL(colour).hue), 350, 0.05);

    colour = FromHSL(120, 90, 50);
    AddHSLSaturationQD3DColour(&colour, 20);
    EXPECT_NEAR(Percent(ToHSL(colour).saturation), 10, 0.05);
    EXPECT_NEAR(Degrees(ToHSL(colour).hue), 120, 0.05);
    colour = FromHSL(200, 50, 40);
    AddHSLSaturationQD3DColour(&colour, -60);
    EXPECT_NEAR(Percent(ToHSL(colour).saturation), 90, 0.05);
    colour = FromHSL(0, 0, 90);
    AddHSLBrightnessQD3DColour(&colour, 20);
    EXPECT_NEAR(Percent(ToHSL(colour).lightness), 10, 0.05);

    colour = FromHSL(40, 80, 50);
    AddHSLHueQD3DColour(&colour, 720000); // two thousand turns
    EXPECT_NEAR(Degrees(ToHSL(colour).hue), 40, 0.05);
    TQ3ColorRGB const before = colour;
    AddHSLHueQD3DColour(&colour, std::numeric_limits<float>::infinity());
    AddHSLSaturationQD3DColour(&colour, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(colour.r, before.r);
    EXPECT_EQ(colour.g, before.g);
}
