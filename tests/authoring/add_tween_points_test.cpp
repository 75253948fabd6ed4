#include <gtest/gtest.h>

#include "authoring/add_tween_points.h"
#include "tests/tween/document_fixture.h"
#include "tween/tween_handle_record.h"

namespace {

class AddTweenPointsTest : public DocumentTest {
protected:
    static bool HasTweens(CShapeObject const& shape) {
        return shape.HasSet() &&
               CSetObject(shape).Contains(GetCustomAttributeType(eTweenAttribute));
    }
    static CTweenHandleRecord ListOf(CShapeObject const& shape) {
        return CTweenHandleRecord(CSetObject(shape));
    }
    static std::vector<int32_t> TimesOf(CShapeObject const& shape) {
        CTweenHandleRecord list = ListOf(shape);
        std::vector<int32_t> times;
        for (uint32_t i = 0; i < list.GetCount(); ++i) {
            times.push_back(static_cast<BaseTweenRecord const*>(list[i])->time);
        }
        return times;
    }
    // A display group holding a box, with a name, and a transform when asked.
    static CDisplayGroupObject NamedGroup(char const* name, bool withTransform) {
        CDisplayGroupObject group;
        CSetObject set(nullptr, true);
        set.SetNameAttribute(name);
        group.SetSet(set);
        if (withTransform) {
            CMatrix4x4 m(1.0);
            m.value[3][0] = 3;
            group.AddObject(CTransformObject(m));
        }
        group.AddObject(UnitBox());
        return group;
    }
    static CPointLightObject Lamp() {
        return CPointLightObject(TQ3PointLightData{
            {kQ3True, 1, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 2, 0}});
    }
};

} // namespace

TEST_F(AddTweenPointsTest, RecordingAGroupTwiceAtOneTimeKeepsTheSecondSnapshot) {
    CDisplayGroupObject group = NamedGroup("Box", true);
    Selected().AddObject(group);
    AddObjectTweenPoint(600);
    ASSERT_TRUE(HasTweens(group));
    static_cast<BaseTweenRecord*>(ListOf(group)[0])->selected = true;

    CTransformObject(group, group.GetFirstObjectOfType("xfrm"_4cc)).SetData(CMatrix4x4(2.0));
    AddObjectTweenPoint(600);
    CTweenHandleRecord list = ListOf(group);
    ASSERT_EQ(list.GetCount(), 1u);
    auto const* record = static_cast<ObjectTweenRecord const*>(list[0]);
    EXPECT_EQ(record->matrix.value[0][0], 2.0f);
    EXPECT_FALSE(record->selected);
    EXPECT_EQ(list.GetSortingIndex(), 1u) << "the first number handed out";

    AddObjectTweenPoint(0);
    AddObjectTweenPoint(1200);
    EXPECT_EQ(TimesOf(group), (std::vector<int32_t>{0, 600, 1200}));
}

TEST_F(AddTweenPointsTest, AGroupWithoutATransformIsWrappedAndTheWrapperRecorded) {
    CDisplayGroupObject plain = NamedGroup("Plain", false);
    Selected().AddObject(plain);
    Selected().AddObject(UnitBox()); // not a group: passed over

    AddObjectTweenPoint(100);
    ASSERT_EQ(Selected().CountObjects(), 2u);
    CSharedObject first(Selected(), Selected().GetFirstObject());
    ASSERT_TRUE(first.IsType("ordg"_4cc));
    CGroupObject outer(first);
    ASSERT_EQ(outer.CountObjects(), 2u);
    CSharedObject transform(outer, outer.GetFirstObject());
    ASSERT_TRUE(transform.IsATransform());
    EXPECT_EQ(CTransformObject(transform).GetMatrix(), CMatrix4x4(1.0));
    EXPECT_EQ(CSharedObject(outer, outer.NextPosition(outer.GetFirstObject())), plain);

    EXPECT_EQ(CSetObject(outer).GetNameAttribute(), "Plain") << "the wrapper carries the set";
    EXPECT_EQ(TimesOf(outer), (std::vector<int32_t>{100}));
    EXPECT_FALSE(HasTweens(plain));
    EXPECT_FALSE(
        HasTweens(CShapeObject(Selected(), Selected().NextPosition(Selected().GetFirstObject()))));
}

TEST_F(AddTweenPointsTest, AGroupWithLightsRecordsItsLightsOnly) {
    CGroupObject lit = NamedGroup("Lit", true);
    CPointLightObject lamp = Lamp();
    lit.AddObject(lamp);
    Selected().AddObject(lit);
    AddObjectTweenPoint(50);
    ASSERT_TRUE(HasTweens(lamp)) << "a light without a set gets one";
    auto const* record = static_cast<LightTweenRecord const*>(ListOf(lamp)[0]);
    EXPECT_EQ(record->hasMatrix, 1);
    EXPECT_EQ(record->matrix.value[3][0], 3.0f) << "the group's transform";
    EXPECT_EQ(record->lightKind, "pntl"_4cc);
    EXPECT_FALSE(HasTweens(lit));

    // A lone group with a light but no transform is wrapped, and the wrapper (which has no
    // light of its own) records its placement instead.
    Selected().RemoveObject(Selected().GetFirstObject());
    Others().AddObject(lit);
    CDisplayGroupObject bare;
    CPointLightObject bareLamp = Lamp();
    bare.AddObject(bareLamp);
    Selected().AddObject(bare);
    AddObjectTweenPoint(60);
    CGroupObject wrapper(CSharedObject(Selected(), Selected().GetFirstObject()));
    EXPECT_EQ(TimesOf(wrapper), (std::vector<int32_t>{60}));
    EXPECT_FALSE(HasTweens(bareLamp));
}

TEST_F(AddTweenPointsTest, TheCameraAndTheViewsStandardLightsRecordIntoTheirOwnSets) {
    AddCameraTweenPoint(300);
    CCameraObject camera{CViewObject(PL_GetTheView())};
    ASSERT_TRUE(HasTweens(camera));
    CTweenHandleRecord list = ListOf(camera);
    EXPECT_EQ(list.GetSortingIndex(), 1u);
    EXPECT_EQ(list.size, 8 + 168);
    auto const* record = static_cast<CameraTweenRecord const*>(list[0]);
    EXPECT_EQ(record->animate, eAnimateData);
    EXPECT_EQ(record->animateBy, eAnimateByAxis);
    EXPECT_EQ(CMatrix4x4(record->matrix), CMatrix4x4(1.0));
    EXPECT_EQ(record->cameraKind, "vana"_4cc);

    AddAmbientTweenPoint(0); // the view has no ambient light
    AddSunTweenPoint(0);
    CLightGroupObject lights{CViewObject(PL_GetTheView())};
    CAmbientLightObject first(TQ3LightData{kQ3True, 0.2f, {1, 1, 1}});
    CAmbientLightObject second(TQ3LightData{kQ3True, 0.4f, {1, 1, 1}});
    lights.AddObject(first);
    lights.AddObject(second);
    AddAmbientTweenPoint(0);
    ASSERT_TRUE(HasTweens(first));
    EXPECT_EQ(ListOf(first).GetSortingIndex(), 2u);
    EXPECT_EQ(static_cast<LightTweenRecord const*>(ListOf(first)[0])->hasMatrix, 0);
    EXPECT_FALSE(HasTweens(second));

    CDirectionalLightObject sun(
        TQ3DirectionalLightData{{kQ3True, 1, {1, 1, 1}}, kQ3False, {0, -1, 0}});
    lights.AddObject(sun);
    AddSunTweenPoint(900);
    EXPECT_EQ(ListOf(sun).GetSortingIndex(), 3u);
}

TEST_F(AddTweenPointsTest, WithoutADocumentNothingHappensAndNothingEscapes) {
    refhost::HostState::Instance().Reset();
    AddObjectTweenPoint(0);
    AddCameraTweenPoint(0);
    AddAmbientTweenPoint(0);
    AddSunTweenPoint(0);
    CDisplayGroupObject group = NamedGroup("Idle", true);
    AddTweenAttributes(group, 0, false);
    EXPECT_FALSE(HasTweens(group));
}
