#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "host/color_conversion.h"

namespace {

HSLColor ToHSL(uint16_t r, uint16_t g, uint16_t b) {
    RGBColor rgb{r, g, b};
    HSLColor hsl{};
    RGB2HSL(&rgb, &hsl);
    return hsl;
}

RGBColor ToRGB(uint16_t h, uint16_t s, uint16_t l) {
    HSLColor hsl{h, s, l};
    RGBColor rgb{};
    HSL2RGB(&hsl, &rgb);
    return rgb;
}

int LargestDifference(RGBColor const& a, RGBColor const& b) {
    return std::max(
        {std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
}

} // namespace

TEST(HSL, PrimariesSecondariesAndGreys) {
    struct Case {
        RGBColor rgb;
        uint16_t hue;
        int roundTrip; // how far the way back may land
    } cases[] = {{{65535, 0, 0}, 0, 1},         {{0, 65535, 0}, 21845, 1},
                 {{0, 0, 65535}, 43690, 1},     {{65535, 65535, 0}, 10923, 3},
                 {{0, 65535, 65535}, 32768, 3}, {{65535, 0, 65535}, 54613, 3}};
    for (auto const& c : cases) {
        HSLColor hsl = ToHSL(c.rgb.red, c.rgb.green, c.rgb.blue);
        EXPECT_EQ(hsl.hue, c.hue);
        EXPECT_EQ(hsl.saturation, 65535);
        EXPECT_EQ(hsl.lightness, 32768);
        // Lightness 32768 is a little above a half, and the secondaries' hues (odd multiples
        // of 10922.5) have no exact 16-bit value.
        RGBColor back = ToRGB(hsl.hue, hsl.saturation, hsl.lightness);
        EXPECT_LE(LargestDifference(back, c.rgb), c.roundTrip) << c.hue;
    }
    for (int value : {0, 1, 12345, 32767, 32768, 65534, 65535}) {
        auto grey = static_cast<uint16_t>(value);
        HSLColor hsl = ToHSL(grey, grey, grey);
        EXPECT_EQ(hsl.hue, 0);
        EXPECT_EQ(hsl.saturation, 0);
        EXPECT_EQ(hsl.lightness, grey);
        RGBColor back = ToRGB(0, 0, grey);
        EXPECT_EQ(back.red, grey);
        EXPECT_EQ(back.green, grey);
        EXPECT_EQ(back.blue, grey);
    }
    // Hue 65535 is 360 degrees: the same colour as hue 0.
    RGBColor full = ToRGB(65535, 65535, 32768);
    RGBColor zero = ToRGB(0, 65535, 32768);
    EXPECT_LE(LargestDifference(full, zero), 1);
    EXPECT_EQ(zero.red, 65535);
}

TEST(HSL, HalfSaturatedColoursFollowTheStandardFormulas) {
    // Hue 30 degrees, 50 % saturation, 25 % lightness: chroma 0.25, so r = 0.375,
    // g = 0.25, b = 0.125.
    RGBColor rgb = ToRGB(5461, 32768, 16384);
    EXPECT_NEAR(rgb.red, 0.375 * 65535, 2);
    EXPECT_NEAR(rgb.green, 0.25 * 65535, 2);
    EXPECT_NEAR(rgb.blue, 0.125 * 65535, 2);
    // Lightness above a half: 75 %, 100 % saturation at 240 degrees is (0.5, 0.5, 1).
    RGBColor light = ToRGB(43690, 65535, 49151);
    EXPECT_NEAR(light.red, 32767, 2);
    EXPECT_NEAR(light.green, 32767, 2);
    EXPECT_EQ(light.blue, 65535);
}

TEST(HSL, RoundTripsStayCloseToWhereTheyStarted) {
    std::mt19937 engine(7);
    std::uniform_int_distribution<int> field(0, 65535);
    for (int trial = 0; trial < 20000; ++trial) {
        RGBColor rgb{static_cast<uint16_t>(field(engine)), static_cast<uint16_t>(field(engine)),
                     static_cast<uint16_t>(field(engine))};
        HSLColor hsl{};
        RGB2HSL(&rgb, &hsl);
        RGBColor back{};
        HSL2RGB(&hsl, &back);
        int chroma =
            std::max({rgb.red, rgb.green, rgb.blue}) - std::min({rgb.red, rgb.green, rgb.blue});
        // A hue step moves the changing primary by up to 3 * chroma / 65535 units.
        int allowed = chroma <= 65535 / 6 ? 1 : 4;
        ASSERT_LE(LargestDifference(back, rgb), allowed)
            << rgb.red << ", " << rgb.green << ", " << rgb.blue;
    }
}
