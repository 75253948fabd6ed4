#include <gtest/gtest.h>

#include <cmath>

#include "host/color_conversion.h"
#include "interp/qd_colour.h"
#include "playback/colour_effect.h"
#include "playback/effect_attachment.h"
#include "playback/light_effect.h"
#include "playback/texture_effect.h"
#include "refhost/memory/memory_control.h"
#include "tests/tween/document_fixture.h"

namespace {

class EffectsTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        // 600 units per second, the host's default.
        ASSERT_EQ(PL_GetTimeUnitsPerSecond(), 600u);
    }
    static CShapeObject ColouredBox(TQ3ColorRGB colour) {
        CShapeObject box = UnitBox();
        CSetObject set(nullptr, true);
        set.AddDiffuseColor(colour);
        box.SetSet(set);
        return box;
    }
    static float HueDegrees(TQ3ColorRGB colour) {
        HSLColor hsl{};
        RGBColor const rgb = QD3DColorToQDColor(colour);
        RGB2HSL(&rgb, &hsl);
        return static_cast<float>(hsl.hue) * 360.0f / 65535.0f;
    }
};

TQ3LightData White() {
    return TQ3LightData{kQ3True, 1.0f, {1, 0, 0}};
}

} // namespace

TEST_F(EffectsTest, ColourShiftsFoldIntoTheirRange) {
    EXPECT_FLOAT_EQ(FoldedShift(10, 0.5f, 360), 5);
    EXPECT_EQ(FoldedShift(36, 10, 360), 0) << "a whole turn is none";
    EXPECT_FLOAT_EQ(FoldedShift(-10, 1, 360), 350);
    EXPECT_FLOAT_EQ(FoldedShift(30, 4, 100), 20);
    EXPECT_EQ(FoldedShift(0, 4, 100), 0);
}

TEST_F(EffectsTest, AColourEffectTurnsTheDiffuseColourOfItsGeometry) {
    CShapeObject red = ColouredBox({1, 0, 0});
    CShapeObject plain = UnitBox(); // no colour: nothing to turn, so no effect
    CDisplayGroupObject group;
    group.AddObject(red);
    group.AddObject(plain);
    Selected().AddObject(group);
    float hue = 60, saturation = 0, lightness = 0;
    ParseToColorGeometry(group,
                         static_cast<int32_t>(GetCustomAttributeType(eColourEffectAttribute)), true,
                         0, hue, saturation, lightness);
    uint32_t const colourType = GetCustomAttributeType(eColourEffectAttribute);
    EXPECT_TRUE(CSetObject(red).Contains(colourType));
    EXPECT_FALSE(plain.HasSet() && CSetObject(plain).Contains(colourType));
    EXPECT_TRUE(ParseToCheckingForCustomAttrSet(group, static_cast<int32_t>(colourType)));

    Recache();
    ASSERT_EQ(gAnimateColourItems.Count(), 1u);
    DoColourAnimation(1.0f);
    EXPECT_NEAR(HueDegrees(CSetObject(red).GetDiffuseColor()), 60, 0.05);
    DoColourAnimation(1.0f);
    EXPECT_NEAR(HueDegrees(CSetObject(red).GetDiffuseColor()), 120, 0.05) << "it keeps turning";

    DeleteExistingAttributes(group, static_cast<int32_t>(colourType));
    EXPECT_FALSE(ParseToCheckingForCustomAttrSet(group, static_cast<int32_t>(colourType)));
}

TEST_F(EffectsTest, ATextureScrollsAndTurnsByTheTimeSinceTheStart) {
    bool rotates = true;
    auto scrollAt = [&](float seconds) {
        return TextureEffectTransform(seconds, 0.25f, 0, 0, {0.5f, 0.5f}, &rotates);
    };
    EXPECT_FLOAT_EQ(scrollAt(2).value[2][0], 0.5f);
    EXPECT_FLOAT_EQ(scrollAt(4).value[2][0], 1.0f) << "exactly 1 is not folded";
    EXPECT_FLOAT_EQ(scrollAt(6).value[2][0], 0.5f);
    EXPECT_FALSE(rotates);
    TextureEffectTransform(4, 0, 0, 90, {0.5f, 0.5f}, &rotates);
    EXPECT_FALSE(rotates) << "a whole turn is none";
    TextureEffectTransform(1, 0, 0, 90, {0.5f, 0.5f}, &rotates);
    EXPECT_TRUE(rotates);

    // A geometry with a turned texture keeps its own turn while the effect only scrolls.
    OpaqueTQ3Object* texture = refhost::scene::NewTexture(1, 1, {255, 255, 255, 255});
    OpaqueTQ3Object* raw = refhost::scene::NewTextureShader(texture);
    C3DObject::Dispose(texture);
    CTextureShaderObject shader(raw);
    C3DObject::Dispose(raw);
    float const quarter = static_cast<float>(M_PI / 2);
    shader.SetUVTransform(RotateMat({0.5f, 0.5f}, quarter));
    CShapeObject box = UnitBox();
    CSetObject set(nullptr, true);
    set.AddTextureShader(shader);
    box.SetSet(set);
    CShapeObject bare = UnitBox();

    ApplyTextureTransformToGeometry(box, 2, 0.25f, 0, 0, {0.5f, 0.5f});
    ApplyTextureTransformToGeometry(bare, 2, 0.25f, 0, 0, {0.5f, 0.5f});
    EXPECT_FALSE(bare.HasSet()) << "nothing to move";
    CMatrix3x3 const expected = TranslateMat(0.5f, 0) * RotateMat({0.5f, 0.5f}, quarter);
    CMatrix3x3 const got = CSetObject(box).GetTextureShader().GetUVTransform();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(got.value[r][c], expected.value[r][c], 1e-5) << r << "," << c;
        }
    }

    CDisplayGroupObject group;
    group.AddObject(box);
    float speed = 0.1f, direction = 90, rate = 0;
    auto const type = static_cast<int32_t>(GetCustomAttributeType(eTextureEffectAttribute));
    ParseToTextureGeometry(group, type, true, 0, speed, direction, rate);
    auto const data = ReadEffect<TTextureAttributeData>(CSetObject(box), eTextureEffectAttribute);
    EXPECT_EQ(data.centre.x, 0.5f) << "the middle of the box's own coordinates";
    EXPECT_EQ(data.scrollDirection, 90.0f);
}

TEST_F(EffectsTest, LightsStrobeAndPulseFromTheirStartAndTurnWithTheTime) {
    TLightAttributeData strobe{0, 1, 0, 0.5f, 0.5f, 0};
    TQ3LightData light = White();
    for (auto [phase, on] :
         {std::pair{0u, true}, {299u, true}, {300u, false}, {599u, false}, {600u, true}}) {
        ModifyLightStrobeStatus(&light, phase, strobe);
        EXPECT_EQ(light.isOn, on ? kQ3True : kQ3False) << "at " << phase;
    }
    strobe.startTime = 1000;
    ModifyLightData(&light, 900, 0, strobe); // before the start: the phase is 900
    EXPECT_EQ(light.isOn, kQ3False);
    ModifyLightData(&light, 1600, 0, strobe); // 600 after the start
    EXPECT_EQ(light.isOn, kQ3True);
    TLightAttributeData steady{0, 1, 0, 0.5f, 0, 0};
    light.isOn = kQ3False;
    ModifyLightData(&light, 100, 0, steady);
    EXPECT_EQ(light.isOn, kQ3False) << "no off time: no strobe";

    TLightAttributeData pulse{0, 1.0f, 0, 0, 0, 50};
    for (auto [phase, brightness] :
         {std::pair{0u, 1.0f}, {600u, 0.5f}, {1200u, 0.0f}, {1800u, 0.5f}, {2400u, 1.0f}}) {
        ModifyLightBrightness(&light, phase, pulse);
        EXPECT_NEAR(light.brightness, brightness, 1e-6) << "at " << phase;
    }

    TLightAttributeData turning{0, 1, 30, 0, 0, 0};
    auto turnedBy = [&](uint32_t now, uint32_t previous, TLightAttributeData data) {
        TQ3LightData l = White();
        ModifyLightColour(&l, now, previous, data);
        return HueDegrees(l.color);
    };
    EXPECT_NEAR(turnedBy(600, 0, turning), 30, 0.05);
    EXPECT_NEAR(turnedBy(0, 600, turning), 330, 0.05) << "backward time turns back";
    EXPECT_NEAR(turnedBy(9000, 0, turning), 90, 0.05) << "450 degrees";
    turning.hueRate = -30;
    EXPECT_NEAR(turnedBy(600, 0, turning), 330, 0.05);
}

TEST_F(EffectsTest, OnlyLightsThatQualifyGetALightEffect) {
    CPointLightObject dim(TQ3PointLightData{
        {kQ3True, 0.05f, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 0, 0}});
    CPointLightObject bright(
        TQ3PointLightData{{kQ3True, 0.8f, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 0, 0}});
    CDisplayGroupObject group;
    group.AddObject(dim);
    CDisplayGroupObject inner;
    inner.AddObject(bright);
    group.AddObject(inner);
    Selected().AddObject(group);
    float hue = 0, on = 0, off = 0, rate = 25;
    auto const type = static_cast<int32_t>(GetCustomAttributeType(eLightEffectAttribute));
    ParseToLight(group, type, true, 60, hue, on, off, rate);
    EXPECT_FALSE(dim.HasSet()) << "too dim to pulse";
    auto const data = ReadEffect<TLightAttributeData>(CSetObject(bright), eLightEffectAttribute);
    EXPECT_EQ(data.peakBrightness, 0.8f);
    EXPECT_EQ(data.startTime, 60u);

    Recache();
    ASSERT_EQ(gAnimateLightItems.Count(), 1u);
    DoLightAnimation(60 + 1200, 60); // a quarter of the way through a 4-second pulse
    EXPECT_NEAR(bright.GetBrightness(), 0.4f, 1e-6);
}

TEST_F(EffectsTest, ABlockThatCannotBeMadeStopsOnlyTheWalkOfItsGroup) {
    CShapeObject first = ColouredBox({1, 0, 0});
    CShapeObject second = ColouredBox({0, 1, 0});
    CShapeObject third = ColouredBox({0, 0, 1});
    CDisplayGroupObject group;
    CDisplayGroupObject inner;
    inner.AddObject(first);
    inner.AddObject(second);
    group.AddObject(inner);
    group.AddObject(third);
    float hue = 10, saturation = 0, lightness = 0;
    auto const type = static_cast<int32_t>(GetCustomAttributeType(eColourEffectAttribute));
    {
        refhost::memory::FailureScope failures;
        refhost::memory::FailNthRequestFromNow(1); // the first shape's block
        ParseToColorGeometry(group, type, true, 0, hue, saturation, lightness);
    }
    auto has = [type](CShapeObject const& shape) {
        return CSetObject(shape).Contains(static_cast<TQ3AttributeType>(type));
    };
    EXPECT_FALSE(has(first));
    EXPECT_FALSE(has(second)) << "the inner group's walk stopped";
    EXPECT_TRUE(has(third)) << "the outer group's walk went on";
}

TEST_F(EffectsTest, PassesAtOneTimeGiveOneTransformHoweverManyLieBetween) {
    OpaqueTQ3Object* texture = refhost::scene::NewTexture(1, 1, {255, 255, 255, 255});
    OpaqueTQ3Object* raw = refhost::scene::NewTextureShader(texture);
    C3DObject::Dispose(texture);
    CTextureShaderObject shader(raw);
    C3DObject::Dispose(raw);
    shader.SetUVTransform(RotateMat({0.5f, 0.5f}, 0.3f) * ScaleMat(2, 3));
    CShapeObject box = UnitBox();
    CSetObject set(nullptr, true);
    set.AddTextureShader(shader);
    box.SetSet(set);
    auto uvAt = [&](float seconds) {
        ApplyTextureTransformToGeometry(box, seconds, 0.25f, 30, 0, {0.5f, 0.5f});
        return CSetObject(box).GetTextureShader().GetUVTransform();
    };

    CMatrix3x3 const first = uvAt(2);
    for (float seconds : {3.0f, 0.5f, 7.0f, 4.0f, 1.0f, 6.0f}) {
        uvAt(seconds);
    }
    CMatrix3x3 again = uvAt(2);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(again.value[r][c], first.value[r][c], 1e-5) << r << "," << c;
        }
    }
    CVector2D scale;
    float angle = 0;
    GetTextureInfo(again, scale, &angle);
    EXPECT_NEAR(angle, 0.3f, 1e-5);
    EXPECT_NEAR(scale.x, 2, 1e-5);
    EXPECT_NEAR(scale.y, 3, 1e-5);
}

TEST_F(EffectsTest, EffectBlocksTooShortForTheirRecordAreSkipped) {
    // Each effect block holds 4 bytes of its 16- or 24-byte record: the passes read nothing
    // beyond them and leave the shapes as they are.
    CShapeObject red = ColouredBox({1, 0, 0});
    CPointLightObject lamp(
        TQ3PointLightData{{kQ3True, 0.8f, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 0, 0}});
    lamp.SetSet(CSetObject(nullptr, true));
    for (auto [shape, effect] :
         {std::pair{&red, eColourEffectAttribute}, std::pair{&red, eTextureEffectAttribute},
          std::pair<CShapeObject*, TCustomAttributeGlobal>{&lamp, eLightEffectAttribute}}) {
        THandlePair pair{4, NewHandleClear(4)};
        CSetObject(*shape).AddType(GetCustomAttributeType(effect), &pair);
    }
    Selected().AddObject(red);
    Selected().AddObject(lamp);
    Recache();
    ASSERT_EQ(gAnimateColourItems.Count(), 1u);
    ASSERT_EQ(gAnimateTextureItems.Count(), 1u);
    ASSERT_EQ(gAnimateLightItems.Count(), 1u);
    DoColourAnimation(1.0f);
    DoTextureAnimation(2.0f);
    DoLightAnimation(1200, 600);
    TQ3ColorRGB const colour = CSetObject(red).GetDiffuseColor();
    EXPECT_EQ(colour.r, 1.0f);
    EXPECT_EQ(colour.g, 0.0f);
    EXPECT_EQ(lamp.GetBrightness(), 0.8f);
}
