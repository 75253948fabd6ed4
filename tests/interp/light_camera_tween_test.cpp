#include <gtest/gtest.h>

#include <cstring>

#include "interp/camera_tween.h"
#include "interp/light_tween.h"
#include "random_values.h"

namespace {

// Every field a different value, so a field that moves when it should not shows.
template <typename T>
T Filled(RandomValues& random) {
    T record;
    for (std::size_t i = 0; i < sizeof(T) / sizeof(float); ++i) {
        float const field = random.Uniform(-10, 10);
        std::memcpy(reinterpret_cast<unsigned char*>(&record) + i * sizeof field, &field,
                    sizeof field);
    }
    return record;
}

template <typename T>
void ExpectUntouchedAtZero(void (*tween)(T*, T const&, float), RandomValues& random) {
    T const before = Filled<T>(random);
    T record = before;
    tween(&record, Filled<T>(random), 0.0f);
    EXPECT_TRUE(SameBits(record, before));
}

} // namespace

TEST(LightTween, BlendsWhatALightShowsAndKeepsItsSwitch) {
    RandomValues random(21);
    ExpectUntouchedAtZero(TweenLightData, random);
    ExpectUntouchedAtZero(TweenDirectionalLightData, random);
    ExpectUntouchedAtZero(TweenPointLightData, random);
    ExpectUntouchedAtZero(TweenSpotLightData, random);

    TQ3LightData light{kQ3True, 1.0f, {0.1f, 0.2f, 0.3f}};
    TQ3LightData const target{kQ3False, 1.0f, {0.7f, 0.9f, 0.35f}};
    TweenLightData(&light, target, 0.5f);
    EXPECT_EQ(light.isOn, kQ3True);
    EXPECT_TRUE(SameBits(light.brightness, 1.0f));
    EXPECT_FLOAT_EQ(light.color.g, 0.55f);
    TweenLightData(&light, target, 1.0f);
    EXPECT_TRUE(SameBits(light.color, target.color));

    TQ3DirectionalLightData sun{light, kQ3False, {1, 0, 0}};
    TweenDirectionalLightData(&sun, {light, kQ3True, {0, 1, 0}}, 0.5f);
    EXPECT_EQ(sun.direction.x, 0.5f);
    EXPECT_EQ(sun.direction.y, 0.5f);
    EXPECT_EQ(sun.castsShadows, kQ3True);

    TQ3PointLightData bulb{light, kQ3False, kQ3AttenuationTypeNone, {0, 0, 0}};
    TweenPointLightData(&bulb, {light, kQ3True, kQ3AttenuationTypeInverseDistance, {4, 0, 0}},
                        0.999f);
    EXPECT_EQ(bulb.castsShadows, kQ3True);
    EXPECT_EQ(bulb.attenuation, kQ3AttenuationTypeNone);
    // Spot lights share the shadow rule of the other lights.
    TQ3SpotLightData spot{};
    spot.castsShadows = kQ3True;
    TQ3SpotLightData spotTarget = spot;
    spotTarget.castsShadows = kQ3False;
    TweenSpotLightData(&spot, spotTarget, 0.5f);
    EXPECT_EQ(spot.castsShadows, kQ3True);
    TweenSpotLightData(&spot, spotTarget, 1.0f);
    EXPECT_EQ(spot.castsShadows, kQ3False);
}

TEST(CameraTween, BlendsEveryDimensionButTheViewPort) {
    RandomValues random(22);
    ExpectUntouchedAtZero(TweenCameraData, random);
    ExpectUntouchedAtZero(TweenViewPlaneCamera, random);
    ExpectUntouchedAtZero(TweenOrthographicCamera, random);
    ExpectUntouchedAtZero(TweenViewAspectCamera, random);

    TQ3CameraData const base{{{0, 0, 10}, {0, 0, 0}, {0, 1, 0}}, {1, 100}, {{-1, 1}, 2, 2}};
    TQ3CameraData moved = base;
    moved.placement.cameraLocation = {0, 4, 10};
    moved.placement.pointOfInterest = {0, 4, 0};
    moved.range.yon = 200;
    moved.viewPort = {{0, 0}, 1, 1};

    TQ3ViewAngleAspectCameraData angle{base, 0.8f, 1.0f};
    TweenViewAspectCamera(&angle, {moved, 1.2f, 2.0f}, 0.25f);
    EXPECT_FLOAT_EQ(angle.fov, 0.9f);
    EXPECT_FLOAT_EQ(angle.aspectRatioXToY, 1.25f) << "the aspect ratio eases in too";
    EXPECT_TRUE(SameBits(angle.cameraData.viewPort, base.viewPort));
    EXPECT_EQ(angle.cameraData.range.yon, 125.0f);
    EXPECT_TRUE(SameBits(angle.cameraData.range.hither, 1.0f));
    EXPECT_FLOAT_EQ(angle.cameraData.placement.cameraLocation.y, 1.0f);
}
