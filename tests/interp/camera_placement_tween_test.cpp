#include <gtest/gtest.h>

#include <cmath>

#include "interp/camera_placement_tween.h"
#include "random_values.h"

namespace {

TQ3CameraPlacement Looking(CPoint3D eye, CPoint3D at, CVector3D up = {0, 1, 0}) {
    return {eye, at, up};
}

void ExpectNear(TQ3Point3D const& actual, CPoint3D const& expected, float tolerance) {
    EXPECT_LT(Pythag(CPoint3D(actual) - expected), tolerance)
        << actual.x << ", " << actual.y << ", " << actual.z;
}

bool IsFinite(TQ3CameraPlacement const& p) {
    for (float v :
         {p.cameraLocation.x, p.cameraLocation.y, p.cameraLocation.z, p.pointOfInterest.x,
          p.pointOfInterest.y, p.pointOfInterest.z, p.upVector.x, p.upVector.y, p.upVector.z}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(CameraPlacement, SwingsAboutWhereTheLinesOfSightMeet) {
    TQ3CameraPlacement camera = Looking({0, 0, 10}, {0, 0, 0});
    TweenCameraPlacement(&camera, Looking({10, 0, 0}, {0, 0, 0}), 0.5f);
    ExpectNear(camera.cameraLocation, {7.0710678f, 0, 7.0710678f}, 1e-4f);
    ExpectNear(camera.pointOfInterest, {0, 0, 0}, 1e-5f);

    // Parallel lines of sight: both ends slide straight across.
    camera = Looking({0, 0, 10}, {0, 0, 0}, {0, 2, 0});
    TweenCameraPlacement(&camera, Looking({6, 0, 10.05f}, {6, 0, 0}, {0, 2, 0}), 0.5f);
    ExpectNear(camera.cameraLocation, {3, 0, 10.025f}, 1e-5f);
    ExpectNear(camera.pointOfInterest, {3, 0, 0}, 1e-5f);
    EXPECT_FLOAT_EQ(Pythag(camera.upVector), 1.0f) << "a stored non-unit up comes out unit";
}

TEST(CameraPlacement, OppositeLinesOfSightTurnAboutTheUpDirection) {
    // Moving to the far side orbits the point of interest, which stays put.
    TQ3CameraPlacement camera = Looking({0, 0, 10}, {0, 0, 0});
    TweenCameraPlacement(&camera, Looking({0, 0, -10}, {0, 0, 0}), 0.5f);
    ExpectNear(camera.pointOfInterest, {0, 0, 0}, 1e-5f);
    EXPECT_NEAR(Pythag(CPoint3D(camera.cameraLocation) - CPoint3D()), 10, 1e-4f);
    EXPECT_NEAR(camera.cameraLocation.y, 0, 1e-5f);
    EXPECT_NEAR(camera.cameraLocation.z, 0, 1e-4f);

    // Turning round on the spot keeps the camera where it is.
    camera = Looking({1, 2, 3}, {1, 2, 8});
    TweenCameraPlacement(&camera, Looking({1, 2, 3}, {1.01f, 2, -2}), 0.5f);
    ExpectNear(camera.cameraLocation, {1, 2, 3}, 1e-5f);
    EXPECT_NEAR(camera.pointOfInterest.y, 2, 1e-5f);
    EXPECT_NEAR(std::fabs(camera.pointOfInterest.x - 1), 5, 1e-2f);

    // A half roll cancels the blended up vector; it still comes out of unit length.
    camera = Looking({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
    TweenCameraPlacement(&camera, Looking({0, 0, 10}, {0, 0, 0}, {0, -1, 0}), 0.5f);
    EXPECT_FLOAT_EQ(Pythag(camera.upVector), 1.0f);
    EXPECT_NEAR(DotProduct(camera.upVector, CVector3D(0, 0, 1)), 0, 1e-6f);
}

TEST(CameraPlacement, EndsHoldAndEveryBlendIsFiniteWithAUnitUp) {
    RandomValues random(31);
    for (int i = 0; i < 500; ++i) {
        TQ3CameraPlacement const from =
            Looking(random.Point(20), random.Point(20), random.Vector(3));
        TQ3CameraPlacement to = Looking(random.Point(20), random.Point(20), random.Vector(3));
        switch (i % 4) {
        case 1: // opposite, or nearly, line of sight
            to.pointOfInterest = CPoint3D(to.cameraLocation) -
                                 (CPoint3D(from.pointOfInterest) - CPoint3D(from.cameraLocation)) +
                                 random.Vector(0.01f);
            break;
        case 2: // parallel line of sight
            to.pointOfInterest = CPoint3D(to.cameraLocation) +
                                 (CPoint3D(from.pointOfInterest) - CPoint3D(from.cameraLocation));
            break;
        case 3: // the same up vector, opposite up vectors
            to.upVector = i % 8 == 3 ? from.upVector : -CVector3D(from.upVector);
            break;
        }
        TQ3CameraPlacement camera = from;
        TweenCameraPlacement(&camera, to, 0.0f);
        EXPECT_TRUE(SameBits(camera, from));
        for (float f : {random.Uniform(0.001f, 0.999f), 0.5f, 1.0f}) {
            camera = from;
            TweenCameraPlacement(&camera, to, f);
            ASSERT_TRUE(IsFinite(camera)) << i;
            EXPECT_NEAR(Pythag(camera.upVector), 1.0f, 1e-6f) << i;
        }
        float const scale = Pythag(CPoint3D(to.pointOfInterest) - CPoint3D(to.cameraLocation));
        ExpectNear(camera.cameraLocation, to.cameraLocation, 1e-3f * (1 + scale));
        ExpectNear(camera.pointOfInterest, to.pointOfInterest, 1e-3f * (1 + scale));
    }
}
