#include <gtest/gtest.h>

#include <cmath>

#include "host/matrix4x4.h"
#include "tests/refhost/maths/approx.h"

using namespace maths_test;

TEST(Matrix4x4, ConstructionAndProducts) {
    CMatrix4x4 identity(1.0);
    EXPECT_TRUE(identity == CMatrix4x4());
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_EQ(identity[i][j], i == j ? 1.0f : 0.0f);
        }
    }
    TQ3Matrix4x4 raw{};
    for (int i = 0; i < 16; ++i) {
        raw.value[i / 4][i % 4] = static_cast<float>(i);
    }
    CMatrix4x4 copied(raw);
    EXPECT_EQ(copied[2][3], 11.0f) << "rows are stored row by row";
    EXPECT_TRUE(copied * identity == copied);
    EXPECT_FALSE(copied == identity);

    // A * B applies A first: scale, then translate.
    CMatrix4x4 m = ScaleMat({2, 3, 4}) * TranslateMat({10, 20, 30});
    EXPECT_TRUE(Near(CPoint3D(1, 1, 1) * m, CPoint3D(12, 23, 34)));
    EXPECT_TRUE(Near(CVector3D(1, 1, 1) * m, CVector3D(2, 3, 4))) << "vectors ignore translation";
    CMatrix4x4 accumulated = ScaleMat({2, 3, 4});
    accumulated *= TranslateMat({10, 20, 30});
    EXPECT_TRUE(accumulated == m);
}

TEST(Matrix4x4, RotationsAboutEachAxisAndAnArbitraryOne) {
    float quarter = static_cast<float>(kPi / 2);
    EXPECT_TRUE(Near(CPoint3D(1, 0, 0) * RotateMat(CVector3D(0, 0, 1), quarter), {0, 1, 0}));
    EXPECT_TRUE(Near(CPoint3D(0, 1, 0) * RotateMat(CVector3D(1, 0, 0), quarter), {0, 0, 1}));
    EXPECT_TRUE(Near(CPoint3D(0, 0, 1) * RotateMat(CVector3D(0, 1, 0), quarter), {1, 0, 0}));
    EXPECT_TRUE(RotateMat(CVector3D(0, 0, 0), 1.0f) == CMatrix4x4(1.0)) << "zero axis";

    Random random;
    for (int trial = 0; trial < 200; ++trial) {
        CVector3D axis = random.UnitVector();
        float angle = random.Uniform(-7.0f, 7.0f);
        CVector3D v{random.Uniform(-5, 5), random.Uniform(-5, 5), random.Uniform(-5, 5)};
        CMatrix4x4 r = RotateMat(axis * 3.0f, angle); // the axis need not be unit length
        ASSERT_TRUE(Near(v * r, Rodrigues(v, axis, angle), 2e-5)) << "trial " << trial;
        ASSERT_TRUE(IsProperRotation(r));
    }

    // About a point: the point stays, others turn around it.
    CMatrix4x4 about = RotateMat(CPoint3D(1, 1, 0), CVector3D(0, 0, 1), quarter);
    EXPECT_TRUE(Near(CPoint3D(1, 1, 0) * about, {1, 1, 0}));
    EXPECT_TRUE(Near(CPoint3D(2, 1, 0) * about, {1, 2, 0}));
}

TEST(Matrix4x4, ScaleRotationAndTranslationAreRecoveredFromComposedMatrices) {
    Random random;
    for (int trial = 0; trial < 300; ++trial) {
        CVector3D scale{random.Uniform(0.1f, 5), random.Uniform(0.1f, 5), random.Uniform(0.1f, 5)};
        CMatrix4x4 rotation = RotateMat(random.UnitVector(), random.Uniform(-3.1f, 3.1f));
        CVector3D translation{random.Uniform(-50, 50), random.Uniform(-50, 50),
                              random.Uniform(-50, 50)};
        CMatrix4x4 m = ScaleMat(scale) * rotation * TranslateMat(translation);

        CMatrix4x4 r = m.ExtractRotation();
        ASSERT_TRUE(Near(r, rotation, 2e-5)) << "trial " << trial;
        ASSERT_TRUE(IsProperRotation(r));
        CMatrix4x4 s = m.ExtractScale();
        ASSERT_TRUE(Near(s, ScaleMat(scale), 2e-4)) << "trial " << trial;

        // M * R^-1 holds only the scale on its diagonal and the translation in row 3.
        CMatrix4x4 n = m * InverseOf(r);
        CMatrix4x4 expected = ScaleMat(scale) * TranslateMat(translation * InverseOf(r));
        ASSERT_TRUE(Near(n, expected, 2e-4)) << "trial " << trial;
    }
}

TEST(Matrix4x4, DegenerateMatricesStillGiveProperRotations) {
    CMatrix4x4 turn = RotateMat(CVector3D(1, 2, 3), 0.7f);

    // Mirrored in z: the mirror goes into the z scale, not into the rotation.
    CMatrix4x4 mirrored = ScaleMat({1, 1, -1}) * turn;
    EXPECT_TRUE(IsProperRotation(mirrored.ExtractRotation()));
    EXPECT_TRUE(Near(mirrored.ExtractRotation(), turn));
    EXPECT_TRUE(Near(mirrored.ExtractScale(), ScaleMat({1, 1, -1})));
    EXPECT_TRUE(Near(ScaleMat({-2, 1, 1}).ExtractScale(), ScaleMat({-2, 1, 1})));
    EXPECT_TRUE(ScaleMat({-2, 1, 1}).ExtractRotation() == CMatrix4x4(1.0));

    // An axis scaled to nothing: the rotation is completed from the other axes.
    CMatrix4x4 flat = ScaleMat({0, 2, 3}) * turn;
    EXPECT_TRUE(IsProperRotation(flat.ExtractRotation()));
    EXPECT_TRUE(Near(flat.ExtractRotation(), turn, 1e-5));
    EXPECT_NEAR(flat.ExtractScale()[0][0], 0.0f, 1e-6);
    EXPECT_TRUE(IsProperRotation(ScaleMat({0, 0, 5}).ExtractRotation()));
    EXPECT_TRUE(CMatrix4x4(0.0).ExtractRotation() == CMatrix4x4(1.0));

    // A shear has no exact split; the rotation is still proper and finite.
    CMatrix4x4 shear(1.0);
    shear[1][0] = 0.8f;
    CMatrix4x4 r = (shear * turn).ExtractRotation();
    EXPECT_TRUE(IsProperRotation(r));
    CMatrix4x4 rest = shear * turn * InverseOf(r);
    EXPECT_NEAR(rest[0][1], 0.0f, 1e-5);
    EXPECT_NEAR(rest[0][2], 0.0f, 1e-5);
    EXPECT_NEAR(rest[1][2], 0.0f, 1e-5);
}

TEST(Matrix4x4, InverseUndoesTheMatrixAndSingularMatricesGiveTheIdentity) {
    Random random;
    for (int trial = 0; trial < 100; ++trial) {
        CMatrix4x4 m = ScaleMat({random.Uniform(0.2f, 4), random.Uniform(0.2f, 4),
                                 random.Uniform(-4, -0.2f)}) *
                       RotateMat(random.UnitVector(), random.Uniform(-3, 3)) *
                       TranslateMat({random.Uniform(-9, 9), 1, 2});
        ASSERT_TRUE(Near(m * InverseOf(m), CMatrix4x4(1.0), 1e-5));
        ASSERT_TRUE(Near(InverseOf(m) * m, CMatrix4x4(1.0), 1e-5));
    }
    EXPECT_NEAR(Determinant(ScaleMat({2, 3, -4})), -24.0, 1e-9);
    EXPECT_TRUE(InverseOf(ScaleMat({1, 0, 1})) == CMatrix4x4(1.0));
    EXPECT_TRUE(InverseOf(CMatrix4x4(0.0)) == CMatrix4x4(1.0));
    // A tiny but regular matrix is inverted, not taken for singular.
    EXPECT_TRUE(Near(InverseOf(CMatrix4x4(1e-4)) * CMatrix4x4(1e-4), CMatrix4x4(1.0), 1e-4));
}

TEST(Matrix4x4, ProjectivePointsAreDividedByW) {
    CMatrix4x4 m(1.0);
    m[0][3] = 1.0f; // w = x + 1
    EXPECT_TRUE(Near(CPoint3D(1, 4, 6) * m, {0.5f, 2, 3}));
    m[3][3] = 0.0f; // w = x: at x = 0 the point is left undivided
    EXPECT_TRUE(Near(CPoint3D(0, 4, 6) * m, {0, 4, 6}));
}
