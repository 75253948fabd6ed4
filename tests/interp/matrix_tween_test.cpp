#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "host/matrix4x4.h"
#include "host/quaternion.h"
#include "interp/matrix_tween.h"
#include "interp/value_tween.h"
#include "random_values.h"

namespace {

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;

void ExpectNear(TQ3Matrix4x4 const& actual, TQ3Matrix4x4 const& expected, float tolerance) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(actual.value[i][j], expected.value[i][j], tolerance) << i << "," << j;
        }
    }
}

CVector3D Row(TQ3Matrix4x4 const& m, int i) {
    return {m.value[i][0], m.value[i][1], m.value[i][2]};
}

// The blend about a pivot worked out with the library's operations one after another, as it
// always has been: the matrices a document plays back must not change by a bit.
TQ3Matrix4x4 LibraryPivotBlend(CMatrix4x4 const& a, CMatrix4x4 const& b, float f,
                               CPoint3D const& pivot) {
    CMatrix4x4 const rotationA = a.ExtractRotation(), rotationB = b.ExtractRotation();
    if (rotationA == rotationB) {
        TQ3Matrix4x4 m = a;
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                TweenFloat(m.value[i][j], b.value[i][j], f);
            }
        }
        return m;
    }
    CPoint3D const pivotAtF = TweenPoint3D(pivot * a, pivot * b, f);
    CMatrix4x4 const scaleA = (a * InverseOf(rotationA)).ExtractScale();
    CMatrix4x4 const scaleB = (b * InverseOf(rotationB)).ExtractScale();
    CMatrix4x4 const rotation(InterpolateLinear(CQuaternion(rotationA), CQuaternion(rotationB), f));
    CMatrix4x4 scale(1.0);
    for (int i = 0; i < 3; ++i) {
        scale[i][i] =
            static_cast<float>(static_cast<double>(scaleA[i][i]) * (1.0 - static_cast<double>(f)) +
                               static_cast<double>(f * scaleB[i][i]));
    }
    CMatrix4x4 const turned = scale * rotation;
    CPoint3D const pivotTurned = pivot * turned;
    return turned * TranslateMat({pivotAtF.x - pivotTurned.x, pivotAtF.y - pivotTurned.y,
                                  pivotAtF.z - pivotTurned.z});
}

} // namespace

TEST(MatrixTween, APivotBlendKeptForManyTicksGivesTheLibrarysMatricesBitForBit) {
    RandomValues random(15);
    CMatrix4x4 flat = random.Transform();
    flat[1][0] = flat[1][1] = flat[1][2] = 0; // no extent along y
    CMatrix4x4 mirrored = ScaleMat({-1, 2, 1}) * random.Transform();
    CMatrix4x4 infinite = random.Transform();
    infinite[3][1] = INFINITY;
    CMatrix4x4 const turned = random.Transform();
    CMatrix4x4 const moved = turned * TranslateMat({1, 2, 3}); // the same rotation
    std::vector<std::pair<CMatrix4x4, CMatrix4x4>> pairs{{flat, random.Transform()},
                                                         {mirrored, random.Transform()},
                                                         {infinite, flat},
                                                         {turned, moved}};
    for (int i = 0; i < 200; ++i) {
        pairs.emplace_back(random.Transform(), random.Transform());
    }
    for (auto const& [a, b] : pairs) {
        CPoint3D const pivot = random.Point(5);
        CPivotMatrixBlend const kept(a, b, pivot);
        // Made from parts taken apart beforehand, as a row keeps them per tween point.
        CPivotMatrixBlend const fromParts(a, PlacementPartsOf(a), b, PlacementPartsOf(b), pivot);
        EXPECT_TRUE(kept.IsFor(a, b, pivot));
        EXPECT_TRUE(fromParts.IsFor(a, b, pivot));
        EXPECT_FALSE(kept.IsFor(b, a, pivot));
        for (float f : {1e-6f, 0.01f, 0.25f, 0.5f, 0.7f, 0.999f, random.Uniform(0, 1)}) {
            TQ3Matrix4x4 const expected = LibraryPivotBlend(a, b, f, pivot);
            TQ3Matrix4x4 once = a;
            TweenMatrix(&once, b, f, pivot);
            EXPECT_TRUE(SameBits(once, expected)) << "pair " << &a - &pairs[0].first << " f " << f;
            EXPECT_TRUE(SameBits(kept.At(f), expected));
            EXPECT_TRUE(SameBits(fromParts.At(f), expected));
        }
    }
    EXPECT_FALSE(CPivotMatrixBlend().IsFor(flat, flat, CPoint3D()));
}

TEST(MatrixTween, EndsAreExactAndASharedRotationBlendsEveryEntry) {
    RandomValues random(11);
    CPoint3D const pivot(1, -2, 0.5f);
    for (int i = 0; i < 100; ++i) {
        CMatrix4x4 const a = random.Transform(), b = random.Transform();
        for (bool withPivot : {false, true}) {
            TQ3Matrix4x4 m = a;
            withPivot ? TweenMatrix(&m, b, 0.0f, pivot) : TweenMatrix(&m, b, 0.0f);
            EXPECT_TRUE(SameBits(m, static_cast<TQ3Matrix4x4 const&>(a)));
            withPivot ? TweenMatrix(&m, b, 1.0f, pivot) : TweenMatrix(&m, b, 1.0f);
            EXPECT_TRUE(SameBits(m, static_cast<TQ3Matrix4x4 const&>(b)));
        }
    }
    CMatrix4x4 const turn = RotateMat(CVector3D(1, 2, 3), 0.7f);
    TQ3Matrix4x4 m = turn * TranslateMat({0, 0, 0});
    TweenMatrix(&m, turn * TranslateMat({10, -4, 2}), 0.25f, pivot);
    ExpectNear(m, turn * TranslateMat({2.5f, -1, 0.5f}), 0.0f);
}

TEST(MatrixTween, PivotTurnsInPlaceAndMovesOnAStraightLine) {
    CPoint3D const centre(1, 2, 0);
    CMatrix4x4 const rest = TranslateMat({2, 3, 4});
    CMatrix4x4 const turned = RotateMat(centre, CVector3D(0, 0, 1), kQuarterTurn) * rest;
    TQ3Matrix4x4 m = rest;
    TweenMatrix(&m, turned, 0.5f, centre);
    ExpectNear(m, RotateMat(centre, CVector3D(0, 0, 1), kQuarterTurn / 2) * rest, 1e-5f);
    CPoint3D const centreAt = centre * CMatrix4x4(m);
    EXPECT_NEAR(centreAt.x, 3, 1e-5f);
    EXPECT_NEAR(centreAt.y, 5, 1e-5f);

    RandomValues random(12);
    for (int i = 0; i < 200; ++i) {
        CMatrix4x4 const a = random.Transform(), b = random.Transform();
        CPoint3D const pivot = random.Point(5);
        float const f = random.Uniform(0.01f, 0.99f);
        TQ3Matrix4x4 blended = a;
        TweenMatrix(&blended, b, f, pivot);
        CVector3D const error =
            pivot * CMatrix4x4(blended) - (pivot * a + (pivot * b - pivot * a) * f);
        EXPECT_LT(Pythag(error), 1e-3f);
    }
}

TEST(MatrixTween, TranslationSwingsWithTheRotation) {
    CMatrix4x4 const shift = TranslateMat({10, 0, 0});
    TQ3Matrix4x4 m = shift;
    TweenMatrix(&m, RotateMat(CVector3D(0, 0, 1), kQuarterTurn) * shift, 0.5f);
    ExpectNear(m,
               RotateMat(CVector3D(0, 0, 1), kQuarterTurn / 2) * TranslateMat({7.0710678f, 0, 0}),
               1e-5f);
}

TEST(MatrixTween, KeepsAProperRotationAndBlendsTheScale) {
    RandomValues random(13);
    for (int i = 0; i < 200; ++i) {
        CMatrix4x4 const a = random.Transform(), b = random.Transform();
        float const f = random.Uniform(0.01f, 0.99f);
        for (bool withPivot : {false, true}) {
            TQ3Matrix4x4 m = a;
            withPivot ? TweenMatrix(&m, b, f, random.Point(3)) : TweenMatrix(&m, b, f);
            CVector3D rows[3];
            for (int r = 0; r < 3; ++r) {
                float const from = Pythag(Row(a, r)), to = Pythag(Row(b, r));
                EXPECT_GE(Pythag(Row(m, r)), std::min(from, to) - 1e-4f);
                EXPECT_LE(Pythag(Row(m, r)), std::max(from, to) + 1e-4f);
                rows[r] = Normalise(Row(m, r));
            }
            EXPECT_NEAR(DotProduct(rows[0], rows[1]), 0, 1e-5f);
            EXPECT_NEAR(DotProduct(rows[1], rows[2]), 0, 1e-5f);
            EXPECT_NEAR(DotProduct(CrossProduct(rows[0], rows[1]), rows[2]), 1, 1e-5f);
            EXPECT_EQ(m.value[0][3], 0.0f);
            EXPECT_EQ(m.value[3][3], 1.0f);
        }
    }
}
