#include <gtest/gtest.h>

#include "tests/refhost/scene/scene_fixture.h"
#include "tween/scanning_parsers.h"

namespace {

class ScanningParsersTest : public SceneTest {
protected:
    // A texture shader showing a 1 x 1 texture.
    static CTextureShaderObject Texture() {
        OpaqueTQ3Object* texture = refhost::scene::NewTexture(1, 1, {255, 0, 0, 255});
        OpaqueTQ3Object* raw = refhost::scene::NewTextureShader(texture);
        C3DObject::Dispose(texture);
        CTextureShaderObject shader(raw);
        C3DObject::Dispose(raw);
        return shader;
    }
    static CShapeObject TexturedBox() {
        CShapeObject box = UnitBox();
        CSetObject set(nullptr, true);
        set.AddTextureShader(Texture());
        box.SetSet(set);
        return box;
    }
};

} // namespace

TEST_F(ScanningParsersTest, TexturesOfDrawnObjectsAreCounted) {
    CDisplayGroupObject group;
    group.AddObject(TexturedBox());
    group.AddObject(Texture()); // a loose shader
    group.AddObject(UnitBox());
    CDisplayGroupObject hidden;
    hidden.SetState(0);
    hidden.AddObject(TexturedBox());
    group.AddObject(hidden);

    SetTextureCount(0);
    CGetPaletteInfoParserGroup counter;
    group.Parse(counter, CMatrix4x4(1.0));
    EXPECT_EQ(GetTextureCount(), 2) << "the hidden group's texture is not counted";
}

TEST_F(ScanningParsersTest, TextureCoordinatesWidenTheRange) {
    OpaqueTQ3Object* raw = refhost::scene::NewTriMesh(
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}, {{-0.5f, 0.25f}, {2, 0.5f}, {0.5f, 3}});
    CShapeObject mesh(raw);
    C3DObject::Dispose(raw);
    CDisplayGroupObject group;
    group.AddObject(mesh);

    gMinUV = {0.3f, 0.3f};
    gMaxUV = {0.3f, 0.3f};
    gContainsUVs = false;
    CScanTParserGroup scan;
    group.Parse(scan, CMatrix4x4(1.0));
    ASSERT_TRUE(gContainsUVs);
    EXPECT_EQ(gMinUV.u, -0.5f);
    EXPECT_EQ(gMinUV.v, 0.25f);
    EXPECT_EQ(gMaxUV.u, 2.0f);
    EXPECT_EQ(gMaxUV.v, 3.0f);

    CDisplayGroupObject boxes;
    boxes.AddObject(UnitBox());
    gMinUV = {0.5f, 0.5f};
    gMaxUV = {0.5f, 0.5f};
    gContainsUVs = false;
    boxes.Parse(scan, CMatrix4x4(1.0));
    EXPECT_TRUE(gContainsUVs) << "a box has coordinates of its own";
    EXPECT_EQ(gMinUV.u, 0.0f);
    EXPECT_EQ(gMaxUV.v, 1.0f);
}

TEST_F(ScanningParsersTest, ADiffuseColourAnywhereIsNoted) {
    CDisplayGroupObject group;
    group.AddObject(UnitBox());
    CScanOParserGroup scan;
    gAnimateThisObject = false;
    group.Parse(scan);
    EXPECT_FALSE(gAnimateThisObject);

    CShapeObject red = UnitBox();
    CSetObject set(nullptr, true);
    set.AddDiffuseColor({1, 0, 0});
    red.SetSet(set);
    group.AddObject(red);
    group.Parse(scan);
    EXPECT_TRUE(gAnimateThisObject);
}
