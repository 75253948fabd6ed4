#include <gtest/gtest.h>

#include <cmath>

#include "host/matrix3x3.h"
#include "tests/refhost/maths/approx.h"

using namespace maths_test;

namespace {

::testing::AssertionResult Near(CParam2D const& actual, CParam2D const& expected) {
    if (std::fabs(actual.u - expected.u) <= 1e-5 && std::fabs(actual.v - expected.v) <= 1e-5) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "(" << actual.u << ", " << actual.v << ") is not ("
                                         << expected.u << ", " << expected.v << ")";
}

} // namespace

TEST(Matrix3x3, TransformsOfTextureCoordinates) {
    EXPECT_TRUE(CMatrix3x3(1.0) == CMatrix3x3());
    EXPECT_TRUE(Near(CParam2D(0.25f, 0.5f) * TranslateMat(0.5f, -0.25f), {0.75f, 0.25f}));
    EXPECT_TRUE(Near(CParam2D(0.25f, 0.5f) * ScaleMat(2, 4), {0.5f, 2}));

    // A quarter turn about the texture's middle keeps the middle and turns u toward v.
    CMatrix3x3 turn = RotateMat({0.5f, 0.5f}, static_cast<float>(kPi / 2));
    EXPECT_TRUE(Near(CParam2D(0.5f, 0.5f) * turn, {0.5f, 0.5f}));
    EXPECT_TRUE(Near(CParam2D(1, 0.5f) * turn, {0.5f, 1}));

    CMatrix3x3 product = ScaleMat(2, 2);
    product *= TranslateMat(1, 0);
    EXPECT_TRUE(Near(CParam2D(1, 1) * product, {3, 2}));
}

TEST(Matrix3x3, DecomposeRecoversScaleAngleAndTranslation) {
    Random random;
    for (int trial = 0; trial < 200; ++trial) {
        float su = random.Uniform(0.1f, 4), sv = random.Uniform(-4, 4);
        float angle = random.Uniform(-3.1f, 3.1f);
        float du = random.Uniform(-2, 2), dv = random.Uniform(-2, 2);
        CMatrix3x3 m = ScaleMat(su, sv) * RotateMat({0, 0}, angle) * TranslateMat(du, dv);
        CVector2D scale, translation;
        float recovered = 0;
        m.Decompose(scale, recovered, translation);
        ASSERT_NEAR(scale.x, su, 1e-5);
        ASSERT_NEAR(scale.y, sv, 1e-5);
        ASSERT_NEAR(recovered, angle, 1e-5);
        ASSERT_NEAR(translation.x, du, 1e-6);
        ASSERT_NEAR(translation.y, dv, 1e-6);
    }
    CVector2D scale, translation;
    float angle = 1;
    CMatrix3x3(0.0).Decompose(scale, angle, translation);
    EXPECT_EQ(angle, 0.0f);
    EXPECT_EQ(scale.x, 0.0f);
    (ScaleMat(0, 2) * RotateMat({0, 0}, 0.5f)).Decompose(scale, angle, translation);
    EXPECT_NEAR(angle, 0.5f, 1e-6) << "a collapsed u takes its angle from v";
    EXPECT_NEAR(scale.y, 2.0f, 1e-6);
}
