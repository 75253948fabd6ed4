#include <gtest/gtest.h>

#include <vector>

#include "tests/refhost/scene/scene_fixture.h"

namespace {

std::vector<TQ3ObjectType> LeafTypes(CGroupObject const& group) {
    std::vector<TQ3ObjectType> types;
    for (auto* p = group.GetFirstObject(); p; p = group.NextPosition(p)) {
        types.push_back(CSharedObject(group, p).GetLeafType());
    }
    return types;
}

} // namespace

TEST_F(SceneTest, GroupsWalkTheirMembersByPosition) {
    CDisplayGroupObject group;
    EXPECT_EQ(group.GetFirstObject(), nullptr);
    CShapeObject box = UnitBox();
    CTransformObject transform(CMatrix4x4(2.0));
    auto* boxPosition = group.AddObject(box);
    group.AddObject(transform); // a plain display group keeps the order of adding
    CAmbientLightObject light(TQ3LightData{kQ3True, 0.5f, {1, 1, 1}});
    group.AddBefore(boxPosition, light);

    EXPECT_EQ(group.CountObjects(), 3u);
    EXPECT_EQ(LeafTypes(group), (std::vector<TQ3ObjectType>{"ambn"_4cc, "box "_4cc, "mtrx"_4cc}));
    EXPECT_EQ(CSharedObject(group, group.GetFirstObjectOfType("xfrm"_4cc)), transform);
    EXPECT_EQ(group.GetFirstObjectOfType("lght"_4cc), group.GetFirstObject());
    EXPECT_EQ(group.GetFirstObjectOfType("cmra"_4cc), nullptr);

    group.RemoveObject(boxPosition);
    EXPECT_EQ(LeafTypes(group), (std::vector<TQ3ObjectType>{"ambn"_4cc, "mtrx"_4cc}));
    EXPECT_THROW(group.RemoveObject(nullptr), CSceneException);
    EXPECT_THROW(CSharedObject(group, nullptr), CSceneException);

    CDisplayGroupObject other;
    EXPECT_THROW(other.RemoveObject(group.GetFirstObject()), CSceneException)
        << "a position of another group";
}

TEST_F(SceneTest, TypesAnswerAtTheWrappersLevel) {
    COrderedDisplayGroupObject ordered;
    EXPECT_EQ(CSharedObject(ordered).GetType(), "shap"_4cc);
    EXPECT_EQ(CShapeObject(ordered).GetType(), "grup"_4cc);
    EXPECT_EQ(CGroupObject(ordered).GetType(), "dspg"_4cc);
    EXPECT_EQ(ordered.GetLeafType(), "ordg"_4cc);
    EXPECT_TRUE(ordered.IsType("ordg"_4cc) && ordered.IsAGroup() && !ordered.IsALight());

    CShapeObject box = UnitBox();
    EXPECT_EQ(box.GetType(), "gmtr"_4cc);
    EXPECT_TRUE(box.IsAGeometry());
    CSetObject set(nullptr, true);
    EXPECT_EQ(set.GetType(), "attr"_4cc);
    EXPECT_EQ(CSharedObject(set).GetType(), "set "_4cc);

    EXPECT_THROW(CGroupObject{box}, CSceneException) << "a box is not a group";
    EXPECT_THROW(CLightObject{box}, CSceneException);
    CGroupObject empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_THROW(empty.GetType(), CSceneException);
    EXPECT_THROW(empty.CountObjects(), CSceneException);
}

TEST_F(SceneTest, OrderedGroupsPlaceMembersByKind) {
    COrderedDisplayGroupObject group;
    group.AddObject(UnitBox());
    group.AddObject(CDisplayGroupObject());
    group.AddObject(CPointLightObject(TQ3PointLightData{}));
    group.AddObject(CTransformObject(CMatrix4x4(1.0)));
    CSetObject looseSet(nullptr, true);
    group.AddBefore(group.GetFirstObject(), looseSet);
    EXPECT_EQ(LeafTypes(group), (std::vector<TQ3ObjectType>{"mtrx"_4cc, "attr"_4cc, "pntl"_4cc,
                                                            "box "_4cc, "dspg"_4cc}));
    // A second transform goes after the first, still ahead of everything else.
    group.AddObject(CTransformObject(CMatrix4x4(3.0)));
    EXPECT_EQ(LeafTypes(group)[1], "mtrx"_4cc);
    EXPECT_EQ(CTransformObject(group, group.GetFirstObject()).GetMatrix()[0][0], 1.0f);
}

TEST_F(SceneTest, ReferencesAreCountedAndGroupsCannotHoldThemselves) {
    std::size_t before = refhost::scene::LiveObjectCount();
    {
        CDisplayGroupObject outer;
        CDisplayGroupObject inner;
        outer.AddObject(inner);
        inner.AddObject(UnitBox());
        EXPECT_EQ(refhost::scene::LiveObjectCount(), before + 3);
        EXPECT_THROW(inner.AddObject(outer), CSceneException);
        EXPECT_THROW(inner.AddObject(inner), CSceneException);

        OpaqueTQ3Object* kept = inner.GetReference();
        CShapeObject copy = inner;
        copy.Dispose();
        EXPECT_TRUE(copy.IsEmpty());
        outer.RemoveObject(outer.GetFirstObject());
        inner.Dispose();
        EXPECT_EQ(refhost::scene::LiveObjectCount(), before + 3) << "kept alive by `kept`";
        C3DObject::Dispose(kept);
        EXPECT_EQ(refhost::scene::LiveObjectCount(), before + 1);
    }
    EXPECT_EQ(refhost::scene::LiveObjectCount(), before);
}

TEST_F(SceneTest, DisplayGroupStateAndViewParts) {
    CDisplayGroupObject group;
    EXPECT_EQ(group.GetState(), kQ3DisplayGroupStateDefault);
    EXPECT_TRUE(group.GetState() & kQ3DisplayGroupStateMaskIsDrawn);
    EXPECT_TRUE(group.GetState() & kQ3DisplayGroupStateMaskIsPicked);
    group.SetState(kQ3DisplayGroupStateMaskIsPicked);
    EXPECT_EQ(CDisplayGroupObject(CShapeObject(group)).GetState(), 0x10u);

    CLightGroupObject lights;
    lights.AddObject(CDirectionalLightObject(TQ3DirectionalLightData{}));
    CViewAngleAspectCameraObject camera(TQ3ViewAngleAspectCameraData{});
    OpaqueTQ3Object* raw =
        refhost::scene::NewView(camera.GetObject(), lights.GetObject(), {{0, 0}, {320, 200}});
    CViewObject view(raw);
    C3DObject::Dispose(raw);
    EXPECT_EQ(CCameraObject(view), camera);
    EXPECT_EQ(CLightGroupObject(view), lights);
    TQ3Area pane = CDrawContextObject(view).GetPane();
    EXPECT_EQ(pane.max.x, 320.0f);
    EXPECT_THROW(CCameraObject{CViewObject()}, CSceneException);
}
