#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/refhost/scene/scene_fixture.h"

namespace {

TQ3CameraData LookingAtOrigin() {
    TQ3CameraData data{};
    data.placement = {{0, 0, 10}, {0, 0, 0}, {0, 1, 0}};
    data.range = {1, 100};
    data.viewPort = {{-1, 1}, 2, 2};
    return data;
}

} // namespace

TEST_F(SceneTest, LightsKeepTheirKindsData) {
    TQ3SpotLightData spot{{kQ3True, 0.8f, {1, 0.5f, 0}},
                          kQ3True,
                          kQ3AttenuationTypeInverseDistance,
                          {1, 2, 3},
                          {0, 0, -1},
                          0.3f,
                          0.6f,
                          kQ3FallOffTypeCosine};
    CSpotLightObject light(spot);
    TQ3SpotLightData read{};
    light.GetLightData(&read);
    EXPECT_EQ(std::memcmp(&read, &spot, sizeof spot), 0);

    CLightObject any(light);
    EXPECT_EQ(any.GetType(), "spot"_4cc);
    EXPECT_FLOAT_EQ(any.GetBrightness(), 0.8f);
    any.SetLightData(TQ3LightData{kQ3False, 0.1f, {0, 0, 1}});
    light.GetLightData(&read);
    EXPECT_EQ(read.lightData.isOn, kQ3False);
    EXPECT_EQ(read.hotAngle, 0.3f) << "the common part leaves the spot's own fields";

    EXPECT_THROW(CPointLightObject{light}, CSceneException);
}

TEST_F(SceneTest, TheViewsCameraSwitchesKindAndStaysTheSameObject) {
    TQ3ViewAngleAspectCameraData data{LookingAtOrigin(), static_cast<float>(M_PI / 2), 1.0f};
    CViewAngleAspectCameraObject camera(data);
    camera.SetSet(CSetObject(nullptr, true));
    CSetObject(camera).SetNameAttribute("Main camera");
    CLightGroupObject lights;
    OpaqueTQ3Object* raw =
        refhost::scene::NewView(camera.GetObject(), lights.GetObject(), {{0, 0}, {400, 200}});
    CViewObject view(raw);
    C3DObject::Dispose(raw);

    CCameraObject before(view);
    Rect rect{0, 0, 200, 400};
    EXPECT_FALSE(view.SetCameraType(rect, "cmra"_4cc));
    ASSERT_TRUE(view.SetCameraType(rect, "orth"_4cc));
    EXPECT_EQ(CCameraObject(view).GetType(), "orth"_4cc);
    EXPECT_EQ(CCameraObject(view), before) << "the same camera object";
    EXPECT_EQ(CSetObject(CCameraObject(view)).GetNameAttribute().ToString(), "Main camera");
    EXPECT_THROW(camera.GetCameraData(&data), CSceneException) << "no longer view angle aspect";

    // It shows what it showed at the point of interest: half height 10, twice as wide.
    TQ3OrthographicCameraData ortho{};
    COrthographicCameraObject(CCameraObject(view)).GetCameraData(&ortho);
    EXPECT_NEAR(ortho.top, 10.0f, 1e-4);
    EXPECT_NEAR(ortho.bottom, -10.0f, 1e-4);
    EXPECT_NEAR(ortho.right, 20.0f, 1e-4);
    EXPECT_EQ(ortho.cameraData.placement.cameraLocation.z, 10.0f);
    EXPECT_EQ(ortho.cameraData.range.yon, 100.0f);

    // Writes through the wrapper made before the switch reach the view's camera.
    TQ3CameraData moved = LookingAtOrigin();
    moved.placement.cameraLocation = {0, 0, 20};
    before.SetCameraData(moved);
    TQ3CameraData read{};
    CCameraObject(view).GetCameraData(&read);
    EXPECT_EQ(read.placement.cameraLocation.z, 20.0f);

    ASSERT_TRUE(view.SetCameraType(rect, "vwpl"_4cc));
    TQ3ViewPlaneCameraData plane{};
    CViewPlaneCameraObject(CCameraObject(view)).GetCameraData(&plane);
    EXPECT_NEAR(plane.viewPlane, 20.0f, 1e-4);
    EXPECT_NEAR(plane.halfHeightAtViewPlane, 10.0f, 1e-4);
    ASSERT_TRUE(view.SetCameraType(rect, "vana"_4cc));
    TQ3ViewAngleAspectCameraData angle{};
    CViewAngleAspectCameraObject(CCameraObject(view)).GetCameraData(&angle);
    EXPECT_NEAR(angle.fov, 2 * std::atan(0.5), 1e-5);
    EXPECT_NEAR(angle.aspectRatioXToY, 2.0f, 1e-6);
}
