#include <gtest/gtest.h>

#include "tests/refhost/scene/scene_fixture.h"

namespace {

CShapeObject ColouredBox(TQ3ColorRGB colour) {
    OpaqueTQ3Object* raw = refhost::scene::NewBox({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    CShapeObject box(raw);
    C3DObject::Dispose(raw);
    CSetObject set(nullptr, true);
    set.AddDiffuseColor(colour);
    box.SetSet(set);
    return box;
}

} // namespace

TEST_F(SceneTest, GroupColoursAreReadFromAndWrittenToTheSetsThatHoldThem) {
    CDisplayGroupObject group;
    TQ3ColorRGB colour{};
    EXPECT_FALSE(group.GetTheGroupColor(&colour, false, false, false));

    CShapeObject red = ColouredBox({1, 0, 0});
    CShapeObject blue = ColouredBox({0, 0, 1});
    group.AddObject(red);
    CDisplayGroupObject hidden;
    hidden.SetState(0);
    hidden.AddObject(blue);
    group.AddObject(hidden);

    ASSERT_TRUE(group.GetTheGroupColor(&colour, false, false, false));
    EXPECT_EQ(colour.r, 1.0f) << "the first colour met";
    EXPECT_FALSE(group.GetTheGroupColor(&colour, true, false, false)) << "no specular colour";

    group.ChangeGroupColor({0, 1, 0}, false, false, false);
    EXPECT_EQ(CSetObject(red).GetDiffuseColor().g, 1.0f);
    EXPECT_EQ(CSetObject(blue).GetDiffuseColor().b, 1.0f) << "not drawn: left alone";
    group.ChangeGroupColor({0, 1, 0}, false, false, true);
    EXPECT_EQ(CSetObject(blue).GetDiffuseColor().g, 1.0f);

    // A colour no set holds goes into the group's own set.
    group.ChangeGroupColor({0.5f, 0.5f, 0.5f}, true, false, false);
    EXPECT_EQ(CSetObject(group).GetSpecularColor().r, 0.5f);
    ASSERT_TRUE(group.GetTheGroupColor(&colour, true, false, false));
    EXPECT_EQ(colour.g, 0.5f);
}

TEST_F(SceneTest, SurfaceValuesAndFaceSets) {
    CDisplayGroupObject group;
    OpaqueTQ3Object* raw = refhost::scene::NewTriangle({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}});
    auto* triangle = refhost::scene::As<refhost::scene::Triangle>(raw);
    auto* vertexSet = new refhost::scene::AttributeSet;
    vertexSet->diffuse = TQ3ColorRGB{0.2f, 0.2f, 0.2f};
    triangle->vertices[1].set = vertexSet;
    group.AddObject(CShapeObject(raw));
    C3DObject::Dispose(raw);

    TQ3ColorRGB colour{};
    EXPECT_FALSE(group.GetTheGroupColor(&colour, false, false, false));
    ASSERT_TRUE(group.GetTheGroupColor(&colour, false, true, false));
    EXPECT_EQ(colour.r, 0.2f);

    float value = 0;
    for (int32_t which : {0, 1, 2}) {
        EXPECT_FALSE(group.GetTheGroupSurfaceAttribute(&value, which));
        group.ChangeGroupSurfaceAttribute(0.25f * static_cast<float>(which + 1), which);
        ASSERT_TRUE(group.GetTheGroupSurfaceAttribute(&value, which));
        EXPECT_FLOAT_EQ(value, 0.25f * static_cast<float>(which + 1));
    }
    EXPECT_EQ(CSetObject(group).GetTransparencyColor().b, 0.75f);
    EXPECT_THROW(group.ChangeGroupSurfaceAttribute(1, 3), CSceneException);

    EXPECT_FALSE(group.ContainsAnyDrawnCSGs());
    CShapeObject box = ColouredBox({1, 1, 1});
    CSetObject(box).AddCSGObjectID(1);
    group.AddObject(box);
    EXPECT_TRUE(group.ContainsAnyDrawnCSGs());
}
