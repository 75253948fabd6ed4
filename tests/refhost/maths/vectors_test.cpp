#include <gtest/gtest.h>

#include <cmath>

#include "host/vectors.h"
#include "tests/refhost/maths/approx.h"

using namespace maths_test;

TEST(Vectors, ProductsLengthsAndArithmetic) {
    CVector3D x{1, 0, 0}, y{0, 1, 0};
    EXPECT_EQ(CrossProduct(x, y), CVector3D(0, 0, 1));
    EXPECT_EQ(CrossProduct(y, x), CVector3D(0, 0, -1));
    EXPECT_FLOAT_EQ(DotProduct({1, 2, 3}, {4, -5, 6}), 12.0f);
    EXPECT_FLOAT_EQ(Pythag({3, 4, 12}), 13.0f);
    EXPECT_EQ(CPoint3D(1, 2, 3) - CPoint3D(1, 1, 1), CVector3D(0, 1, 2));
    EXPECT_EQ(CPoint3D(1, 2, 3) + CVector3D(1, 1, 1) * 2.0f, CPoint3D(3, 4, 5));
    EXPECT_EQ(0.5f * CVector3D(2, 4, 6) - CVector3D(1, 1, 1), CVector3D(0, 1, 2));
}

TEST(Vectors, NormaliseGivesUnitLengthAndLeavesZeroAlone) {
    EXPECT_TRUE(Near(Normalise({0, 3, 4}), CVector3D(0, 0.6f, 0.8f)));
    EXPECT_EQ(Normalise({0, 0, 0}), CVector3D(0, 0, 0));
    EXPECT_EQ(Normalise({1e-30f, 0, 0}), CVector3D(1, 0, 0)) << "tiny but not zero";
    CVector3D v{2, 0, 0};
    v.Normalise();
    EXPECT_EQ(v, CVector3D(1, 0, 0));
    Random random;
    for (int trial = 0; trial < 100; ++trial) {
        CVector3D w{random.Uniform(-100, 100), random.Uniform(-100, 100), random.Uniform(-1, 1)};
        ASSERT_NEAR(Pythag(Normalise(w)), 1.0f, 1e-6);
    }
}

TEST(Vectors, AngleBetweenIsAccurateFromParallelToOpposite) {
    EXPECT_FLOAT_EQ(AngleBetween({1, 0, 0}, {0, 5, 0}), static_cast<float>(kPi / 2));
    EXPECT_FLOAT_EQ(AngleBetween({1, 0, 0}, {-2, 0, 0}), static_cast<float>(kPi));
    EXPECT_EQ(AngleBetween({1, 0, 0}, {3, 0, 0}), 0.0f);
    EXPECT_EQ(AngleBetween({0, 0, 0}, {1, 0, 0}), 0.0f);
    // Nearly opposite and nearly parallel directions keep their small differences.
    float nearlyOpposite = AngleBetween({1, 0, 0}, {-1, 1e-4f, 0});
    EXPECT_NEAR(nearlyOpposite, kPi - 1e-4, 1e-7);
    EXPECT_NEAR(AngleBetween({1, 0, 0}, {1, 1e-4f, 0}), 1e-4, 1e-9);
}
