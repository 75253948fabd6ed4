#include <gtest/gtest.h>

#include <cstring>

#include "interp/easing.h"
#include "tests/playback/cache_building.h"
#include "tests/tween/document_fixture.h"
#include "tween/camera_cache.h"
#include "tween/light_cache.h"
#include "tween/object_cache.h"

namespace {

TEST(EasedFraction, EveryEaseKeepsBothEndsAndGivesItsCurveBetween) {
    for (uint8_t ease = 0; ease < kEaseCount; ++ease) {
        EXPECT_EQ(EasedFraction(ease, 0.0f), 0.0f) << int{ease};
        EXPECT_EQ(EasedFraction(ease, 1.0f), 1.0f) << int{ease};
    }
    EXPECT_EQ(EasedFraction(eEaseLinear, 0.25f), 0.25f);
    EXPECT_EQ(EasedFraction(eEaseIn, 0.25f), 0.0625f);
    EXPECT_EQ(EasedFraction(eEaseOut, 0.25f), 0.4375f);
    EXPECT_EQ(EasedFraction(eEaseInOut, 0.25f), 0.15625f);
    EXPECT_EQ(EasedFraction(eEaseInOut, 0.5f), 0.5f);
    EXPECT_EQ(EasedFraction(eEaseHold, 0.999f), 0.0f);
    EXPECT_EQ(EasedFraction(200, 0.25f), 0.25f) << "an unknown ease plays linear";
}

ObjectTweenRecord Point(int32_t time, float x, float transparency, uint8_t ease) {
    ObjectTweenRecord record;
    record.time = time;
    record.ease = ease;
    record.hasMatrix = 1;
    record.matrix = Translation(x, 0, 0);
    record.hasSurfaceValue2 = 1;
    record.surfaceValue2 = transparency;
    return record;
}

class EasedApplicationTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        PL_SetMaxTime(100000);
    }
    static void At(int32_t time) { PL_SetCurTime(time); }
    struct Placed {
        float x;
        float transparency;
    };

    // The crate's x and transparency at a time, with the interval from 0 s (x 0) to 1000 units
    // (x 8, transparency 0 to 1) eased as given.
    static Placed Eased(uint8_t ease, int32_t time) {
        CDisplayGroupObject group;
        group.AddObject(UnitBox());
        CTweenAllInfoDataCache cache(4);
        cache.object = group.GetObject();
        AddRecord(cache, Point(0, 0, 0, ease));
        AddRecord(cache, Point(1000, 8, 1, eEaseLinear));
        PL_SetCurTime(time);
        cache.DoTween();
        Placed placed{};
        placed.x =
            CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix().value[3][0];
        group.GetTheGroupSurfaceAttribute(&placed.transparency, 2);
        return placed;
    }
};

} // namespace

TEST_F(EasedApplicationTest, TheEarlierPointsEaseShapesTheWholeBlendOfItsInterval) {
    // A quarter of the way: linear 2, in 8 * 1/16, out 8 * 7/16, in-out 8 * 5/32.
    EXPECT_NEAR(Eased(eEaseLinear, 250).x, 2.0f, 1e-5f);
    EXPECT_NEAR(Eased(eEaseIn, 250).x, 0.5f, 1e-5f);
    EXPECT_NEAR(Eased(eEaseIn, 250).transparency, 0.0625f, 1e-6f);
    EXPECT_NEAR(Eased(eEaseOut, 250).x, 3.5f, 1e-5f);
    EXPECT_NEAR(Eased(eEaseOut, 250).transparency, 0.4375f, 1e-6f);
    EXPECT_NEAR(Eased(eEaseInOut, 250).x, 1.25f, 1e-5f);
    EXPECT_NEAR(Eased(eEaseInOut, 750).x, 6.75f, 1e-5f);
    EXPECT_NEAR(Eased(eEaseIn, 750).x, 4.5f, 1e-5f);
}

TEST_F(EasedApplicationTest, AHoldKeepsTheEarlierPointUntilTheNextPointsTime) {
    EXPECT_EQ(Eased(eEaseHold, 1).x, 0.0f);
    EXPECT_EQ(Eased(eEaseHold, 999).x, 0.0f);
    EXPECT_EQ(Eased(eEaseHold, 999).transparency, 0.0f);
    EXPECT_EQ(Eased(eEaseHold, 1000).x, 8.0f);
    EXPECT_EQ(Eased(eEaseHold, 1000).transparency, 1.0f);
    EXPECT_EQ(Eased(eEaseHold, 5000).x, 8.0f);
}

TEST_F(EasedApplicationTest, TheLaterPointsEaseDoesNotShapeTheIntervalBeforeIt) {
    CDisplayGroupObject group;
    group.AddObject(UnitBox());
    CTweenAllInfoDataCache cache(4);
    cache.object = group.GetObject();
    AddRecord(cache, Point(0, 0, 0, eEaseLinear));
    AddRecord(cache, Point(1000, 8, 1, eEaseHold));
    AddRecord(cache, Point(2000, 0, 0, eEaseLinear));
    At(500);
    cache.DoTween();
    EXPECT_NEAR(
        CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix().value[3][0],
        4.0f, 1e-5f);
    At(1500);
    cache.DoTween();
    EXPECT_EQ(
        CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix().value[3][0],
        8.0f);
}

TEST_F(EasedApplicationTest, LightsAndTheCameraTakeTheEasedFractionToo) {
    TQ3PointLightData data{{kQ3True, 0, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 0, 0}};
    CPointLightObject lamp(data);
    CGroupObject holder = CGroupObject::NewGroup();
    holder.AddObject(lamp);
    CLightCache lights(4);
    lights.object = holder.GetObject();
    for (int32_t time : {0, 1000}) {
        LightTweenRecord record;
        record.time = time;
        record.ease = eEaseOut;
        record.lightKind = "pntl"_4cc;
        TQ3PointLightData stored = data;
        stored.lightData.brightness = time == 0 ? 0.0f : 1.0f;
        std::memcpy(record.lightData, &stored, sizeof stored);
        AddRecord(lights, record);
    }
    At(250);
    lights.DoTween();
    TQ3PointLightData read{};
    lamp.GetLightData(&read);
    EXPECT_NEAR(read.lightData.brightness, 0.4375f, 1e-6f);

    CCameraCache camera(1);
    for (int32_t time : {0, 1000}) {
        CameraTweenRecord record;
        record.time = time;
        record.ease = eEaseIn;
        record.matrix = CMatrix4x4(1.0);
        record.cameraKind = "vana"_4cc;
        TQ3ViewAngleAspectCameraData vana{};
        vana.cameraData.placement = {{0, 0, time == 0 ? 10.0f : 30.0f}, {0, 0, 0}, {0, 1, 0}};
        vana.cameraData.range = {1, 100};
        vana.cameraData.viewPort = {{-1, 1}, 2, 2};
        vana.fov = 1;
        std::memcpy(record.cameraData, &vana, sizeof vana);
        AddRecord(camera, record);
    }
    camera.DoTween();
    TQ3CameraData placed{};
    CCameraObject(CViewObject(PL_GetTheView())).GetCameraData(&placed);
    EXPECT_NEAR(placed.placement.cameraLocation.z, 10.0f + 20.0f * 0.0625f, 1e-5f);
}
