#include <gtest/gtest.h>

#include <cstdint>

#include "interp/boolean_tween.h"
#include "interp/qd_colour.h"
#include "interp/value_tween.h"
#include "random_values.h"

TEST(ValueTween, UnchangedValuesKeepTheirBitsAndIntegersTruncate) {
    float still = 2.0f, moving = 0.0f;
    for (float f : {0.1f, 0.5f, 1.0f, 7.0f}) {
        TweenFloat(still, 2.0f, f);
        EXPECT_TRUE(SameBits(still, 2.0f));
    }
    TweenFloat(moving, 10.0f, 0.25f);
    EXPECT_EQ(moving, 2.5f);

    int32_t up = 0, down = 0, same = 10, top = INT32_MAX;
    TweenLong(up, 3, 0.5f);
    TweenLong(down, -3, 0.5f);
    TweenLong(same, 10, 0.5f);
    TweenLong(top, INT32_MIN, 0.5f); // the 32-bit difference wraps to 1
    EXPECT_EQ(up, 1);
    EXPECT_EQ(down, -1);
    EXPECT_EQ(same, 10);
    EXPECT_EQ(top, INT32_MAX);

    TQ3CameraRange range{-0.0f, 100.0f};
    TweenCameraRange(&range, {0.0f, 200.0f}, 0.5f);
    EXPECT_TRUE(SameBits(range.hither, -0.0f)) << "equal hither values are not touched";
    EXPECT_EQ(range.yon, 150.0f);
    TQ3Point3D const a{-0.0f, 1.0f, 3.0f};
    EXPECT_TRUE(SameBits(TweenPoint3D(a, {5, 5, 5}, 0.0f), a));
}

TEST(BooleanTween, OnAtEitherEndIsOnThroughout) {
    bool b = false;
    TweenBool(&b, true, 0.01f);
    EXPECT_TRUE(b);
    TweenBool(&b, false, 0.99f);
    EXPECT_TRUE(b);
    TweenBool(&b, false, 1.0f);
    EXPECT_FALSE(b);
    TweenBool(&b, true, 1.0f); // at the later tween point the flag is the later one's
    EXPECT_TRUE(b);

    auto flag = static_cast<TQ3Boolean>(2);
    TweenTQ3Bool(&flag, kQ3True, 1.0f);
    TweenTQ3Bool(&flag, kQ3False, 0.5f);
    EXPECT_EQ(flag, 2u) << "a flag that stays on keeps its stored value";
    TweenTQ3Bool(&flag, kQ3False, 1.0f);
    EXPECT_EQ(flag, kQ3False);
}

TEST(QDColour, FieldsTruncateAndOutOfRangeComponentsHoldAtTheEnds) {
    RGBColor const half = QD3DColorToQDColor({0.5f, 1.0f, 0.0f});
    EXPECT_EQ(half.red, 32767);
    EXPECT_EQ(half.green, 65535);
    EXPECT_NEAR(QDColorToQD3DColor(half).r, 0.499992f, 1e-6f);
    RGBColor const over = QD3DColorToQDColor({1.5f, -0.25f, 0.0f});
    EXPECT_EQ(over.red, 65535);
    EXPECT_EQ(over.green, 0);
}
