#include <gtest/gtest.h>

#include <cmath>

#include "host/quaternion.h"
#include "tests/refhost/maths/approx.h"

using namespace maths_test;

namespace {

// The rotation angle between two unit quaternions, independent of their signs, from the
// chord between them (accurate for small angles, where an arc cosine is not).
double AngleApart(CQuaternion const& a, CQuaternion const& b) {
    double dot = static_cast<double>(a.w) * b.w + static_cast<double>(a.x) * b.x +
                 static_cast<double>(a.y) * b.y + static_cast<double>(a.z) * b.z;
    double s = dot < 0 ? -1.0 : 1.0;
    double dw = a.w - s * b.w, dx = a.x - s * b.x, dy = a.y - s * b.y, dz = a.z - s * b.z;
    double chord = std::sqrt(dw * dw + dx * dx + dy * dy + dz * dz);
    return 4.0 * std::asin(std::min(chord / 2.0, 1.0));
}

} // namespace

TEST(Quaternion, MatchesTheAxisAndAngle) {
    CQuaternion q(RotateMat(CVector3D(0, 0, 1), static_cast<float>(kPi / 2)));
    EXPECT_NEAR(q.w, std::cos(kPi / 4), 1e-6);
    EXPECT_NEAR(q.x, 0.0, 1e-6);
    EXPECT_NEAR(q.y, 0.0, 1e-6);
    EXPECT_NEAR(q.z, std::sin(kPi / 4), 1e-6);

    CQuaternion identity{CMatrix4x4(1.0)};
    EXPECT_EQ(identity.w, 1.0f);
    EXPECT_TRUE(CMatrix4x4(CQuaternion()) == CMatrix4x4(1.0));
}

TEST(Quaternion, MatrixAndQuaternionConversionsAreInverse) {
    Random random;
    for (int trial = 0; trial < 500; ++trial) {
        // Angles up to pi and beyond, so every branch of the conversion is taken.
        CMatrix4x4 r = RotateMat(random.UnitVector(), random.Uniform(-3.14159f, 3.14159f));
        CQuaternion q(r);
        ASSERT_GE(q.w, 0.0f);
        ASSERT_NEAR(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z, 1.0, 1e-6);
        ASSERT_TRUE(Near(CMatrix4x4(q), r, 2e-6)) << "trial " << trial;
    }
    for (CVector3D axis :
         {CVector3D(1, 0, 0), CVector3D(0, 1, 0), CVector3D(0, 0, 1), CVector3D(1, 1, 0)}) {
        CMatrix4x4 halfTurn = RotateMat(axis, static_cast<float>(kPi));
        EXPECT_TRUE(Near(CMatrix4x4(CQuaternion(halfTurn)), halfTurn, 2e-6));
    }
}

TEST(Quaternion, InterpolationHitsBothEndsAndTurnsAtConstantSpeedTheShortWay) {
    CQuaternion a(RotateMat(CVector3D(0, 0, 1), 0.3f));
    CQuaternion b(RotateMat(CVector3D(1, 2, 0), 2.0f));
    CQuaternion at0 = InterpolateLinear(a, b, 0.0f);
    CQuaternion at1 = InterpolateLinear(a, b, 1.0f);
    EXPECT_TRUE(at0.w == a.w && at0.x == a.x && at0.y == a.y && at0.z == a.z);
    EXPECT_TRUE(at1.w == b.w && at1.x == b.x && at1.y == b.y && at1.z == b.z);

    // Halfway from no rotation to a quarter turn about z is an eighth of a turn about z.
    CQuaternion none;
    CQuaternion quarter(RotateMat(CVector3D(0, 0, 1), static_cast<float>(kPi / 2)));
    CMatrix4x4 halfway(InterpolateLinear(none, quarter, 0.5f));
    EXPECT_TRUE(Near(halfway, RotateMat(CVector3D(0, 0, 1), static_cast<float>(kPi / 4)), 1e-6));
    CMatrix4x4 quarterWay(InterpolateLinear(none, quarter, 0.25f));
    EXPECT_TRUE(Near(quarterWay, RotateMat(CVector3D(0, 0, 1), static_cast<float>(kPi / 8)), 1e-6));

    // The same rotation with the other sign gives the same path: the short way round.
    CQuaternion negated(-quarter.w, -quarter.x, -quarter.y, -quarter.z);
    EXPECT_TRUE(Near(CMatrix4x4(InterpolateLinear(none, negated, 0.5f)), halfway, 1e-6));
    CQuaternion end = InterpolateLinear(none, negated, 1.0f);
    EXPECT_TRUE(Near(CMatrix4x4(end), CMatrix4x4(quarter), 1e-6));

    Random random;
    for (int trial = 0; trial < 200; ++trial) {
        CQuaternion p(RotateMat(random.UnitVector(), random.Uniform(-3, 3)));
        CQuaternion q(RotateMat(random.UnitVector(), random.Uniform(-3, 3)));
        float f = random.Uniform(0, 1);
        CQuaternion mid = InterpolateLinear(p, q, f);
        double total = AngleApart(p, q);
        ASSERT_LE(total, kPi + 1e-6) << "the short way is at most half a turn";
        ASSERT_NEAR(AngleApart(p, mid), f * total, 2e-4) << "trial " << trial;
        ASSERT_NEAR(AngleApart(mid, q), (1 - f) * total, 2e-4) << "trial " << trial;
    }

    // Nearly equal rotations blend without dividing by a vanishing sine.
    CQuaternion close(RotateMat(CVector3D(0, 0, 1), 0.3f + 1e-6f));
    CQuaternion blended = InterpolateLinear(a, close, 0.5f);
    EXPECT_TRUE(std::isfinite(blended.w) && std::isfinite(blended.z));
    EXPECT_NEAR(AngleApart(a, blended), 0.0, 1e-5);
}
