#include <gtest/gtest.h>

#include <cmath>

#include "tests/playback/cache_building.h"
#include "tests/tween/document_fixture.h"
#include "tween/camera_cache.h"

namespace {

class CameraApplicationTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        PL_SetMaxTime(100000);
    }
    static void At(int32_t time) { PL_SetCurTime(time); }
    static CCameraObject ViewCamera() { return CCameraObject(CViewObject(PL_GetTheView())); }
    static TQ3CameraData CameraData() {
        TQ3CameraData data{};
        ViewCamera().GetCameraData(&data);
        return data;
    }
};

TQ3CameraData Looking(TQ3Point3D from, TQ3Point3D at) {
    TQ3CameraData data{};
    data.placement = {from, at, {0, 1, 0}};
    data.range = {1, 100};
    data.viewPort = {{-1, 1}, 2, 2};
    return data;
}

template <typename Data>
CameraTweenRecord DataPoint(int32_t time, TQ3ObjectType kind, Data const& data) {
    CameraTweenRecord record;
    record.time = time;
    record.matrix = CMatrix4x4(1.0);
    record.animate = eAnimateData;
    record.cameraKind = kind;
    std::memcpy(record.cameraData, &data, sizeof data);
    return record;
}

CameraTweenRecord Moving(int32_t time, TAnimate animate, TAnimateBy by, TQ3Matrix4x4 matrix) {
    CameraTweenRecord record;
    record.time = time;
    record.matrix = matrix;
    record.animate = animate;
    record.animateBy = by;
    record.cameraKind = "vana"_4cc;
    return record;
}

} // namespace

TEST_F(CameraApplicationTest, TheViewsCameraFollowsTheDataOfItsTweenPoints) {
    CCameraCache cache(1);
    AddRecord(cache,
              DataPoint(0, "vana"_4cc,
                        TQ3ViewAngleAspectCameraData{Looking({0, 0, 10}, {0, 0, 0}), 1.0f, 3.0f}));
    AddRecord(cache,
              DataPoint(1000, "vana"_4cc,
                        TQ3ViewAngleAspectCameraData{Looking({0, 0, 20}, {0, 0, 0}), 0.5f, 3.0f}));
    At(500);
    cache.DoTween();
    TQ3ViewAngleAspectCameraData read{};
    CViewAngleAspectCameraObject(ViewCamera()).GetCameraData(&read);
    EXPECT_FLOAT_EQ(read.cameraData.placement.cameraLocation.z, 15.0f);
    EXPECT_FLOAT_EQ(read.fov, 0.75f);
    EXPECT_EQ(read.aspectRatioXToY, 1.0f) << "the view's own aspect ratio stays";
    EXPECT_EQ(read.cameraData.viewPort.width, 2.0f);

    At(-50);
    cache.DoTween();
    EXPECT_EQ(CameraData().placement.cameraLocation.z, 10.0f);
    At(4000);
    cache.DoTween();
    EXPECT_EQ(CameraData().placement.cameraLocation.z, 20.0f);
}

TEST_F(CameraApplicationTest, AChangeOfKindHoldsTheEarlierDataUntilTheLaterPointIsPassed) {
    CCameraCache cache(1);
    AddRecord(cache,
              DataPoint(0, "vana"_4cc,
                        TQ3ViewAngleAspectCameraData{Looking({0, 0, 10}, {0, 0, 0}), 1.0f, 1.0f}));
    AddRecord(cache,
              DataPoint(1000, "orth"_4cc,
                        TQ3OrthographicCameraData{Looking({0, 0, 30}, {0, 0, 0}), -4, 4, 4, -4}));
    for (int32_t time : {500, 1000}) {
        At(time);
        cache.DoTween();
        EXPECT_EQ(ViewCamera().GetLeafType(), "vana"_4cc) << "at " << time;
        EXPECT_EQ(CameraData().placement.cameraLocation.z, 10.0f);
    }
    At(1001);
    cache.DoTween();
    ASSERT_EQ(ViewCamera().GetLeafType(), "orth"_4cc);
    TQ3OrthographicCameraData ortho{};
    COrthographicCameraObject(ViewCamera()).GetCameraData(&ortho);
    EXPECT_EQ(ortho.cameraData.placement.cameraLocation.z, 30.0f);
    EXPECT_EQ(ortho.right, 4.0f);
}

TEST_F(CameraApplicationTest, AMovingCameraKeepsAUsableLineOfSightAndUpVector) {
    // The location follows the transform; the point of interest lies along its x axis at the
    // current viewing distance, which is at least 1.
    CViewAngleAspectCameraObject(ViewCamera())
        .SetCameraData(TQ3ViewAngleAspectCameraData{Looking({0, 0, 0}, {0, 0, 0}), 1, 1});
    CCameraCache byAxis(1);
    AddRecord(byAxis, Moving(0, eAnimateLocation, eAnimateByAxis, Translation(0, 0, 5)));
    At(0);
    byAxis.DoTween();
    TQ3CameraPlacement placed = CameraData().placement;
    EXPECT_EQ(placed.cameraLocation.z, 5.0f);
    EXPECT_EQ(placed.pointOfInterest.x, 1.0f) << "distance 1 when the ends coincided";
    EXPECT_FLOAT_EQ(placed.upVector.y, 1.0f);

    // The location moves onto the point of interest, which stays: the line of sight would be
    // zero, so the point of interest moves one unit along x.
    CCameraCache staying(1);
    AddRecord(staying, Moving(0, eAnimateLocation, eAnimateByStaying, Translation(1, 0, 5)));
    At(10);
    staying.DoTween();
    placed = CameraData().placement;
    EXPECT_EQ(placed.cameraLocation.x, 1.0f);
    EXPECT_EQ(placed.pointOfInterest.x, 2.0f);
    EXPECT_EQ(placed.pointOfInterest.z, 5.0f);

    // Looking straight down: the up vector cannot come from y, so it is -z.
    CViewAngleAspectCameraObject(ViewCamera())
        .SetCameraData(TQ3ViewAngleAspectCameraData{Looking({0, 10, 0}, {0, 0, 0}), 1, 1});
    CCameraCache interest(1);
    AddRecord(interest, Moving(0, eAnimatePointOfInterest, eAnimateByOffset, Translation(0, 0, 0)));
    At(20);
    interest.DoTween();
    placed = CameraData().placement;
    EXPECT_EQ(placed.cameraLocation.y, 10.0f);
    EXPECT_EQ(placed.upVector.z, -1.0f);
    EXPECT_FALSE(std::isnan(placed.upVector.x));
}
