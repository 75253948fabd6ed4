#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/refhost/maths/approx.h"
#include "tests/refhost/scene/scene_fixture.h"

namespace {

// Records what the walk met, with the x translation of the matrix at that point.
class Recorder : public CParserGroup {
public:
    bool ParseObject(CGroupObject* group, OpaqueTQ3GroupPosition* position, CMatrix4x4 const&,
                     bool*) override {
        log.push_back("member " + FourCharCodeText(CSharedObject(*group, position).GetLeafType()));
        return true;
    }
    bool ParseObjectAtributeSet(CSetObject* set, CMatrix4x4 const& m, bool*) override {
        log.push_back("set " + set->GetNameAttribute().ToString() + " at " +
                      std::to_string(static_cast<int>(m[3][0])));
        return true;
    }
    bool ParseLooseAtributeSet(CAttributeSetObject*, CMatrix4x4 const&, bool*) override {
        log.push_back("loose set");
        return true;
    }
    bool ParseLooseShader(CShaderObject*, CMatrix4x4 const&, bool*) override {
        log.push_back("loose shader");
        return true;
    }
    bool ParseVertex(CVertex3D* vertex, CMatrix4x4 const& m, bool* changed) override {
        log.push_back("vertex at " + std::to_string(static_cast<int>(m[3][0])));
        if (vertex->Contains(kQ3AttributeTypeSurfaceUV)) {
            CParam2D uv = vertex->GetSurfaceUV();
            vertex->GetOrMakeSet().AddSurfaceUV({uv.u + 1, uv.v});
            *changed = true;
        }
        return true;
    }
    std::vector<std::string> log;
};

CSetObject NamedSet(char const* name) {
    CSetObject set(nullptr, true);
    set.SetNameAttribute(name);
    return set;
}

} // namespace

TEST_F(SceneTest, TheParserVisitsEverythingWithTheAccumulatedMatrix) {
    CDisplayGroupObject root;
    root.SetSet(NamedSet("root"));
    root.AddObject(CTransformObject(TranslateMat({10, 0, 0})));
    CShapeObject box = UnitBox();
    box.SetSet(NamedSet("box"));
    root.AddObject(box);
    CDisplayGroupObject inner;
    inner.SetSet(NamedSet("inner"));
    inner.AddObject(CTransformObject(TranslateMat({5, 0, 0})));
    CShapeObject mesh = Adopt(refhost::scene::NewTriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
                                                         {{0, 1, 2}}, {{0, 0}, {1, 0}, {0, 1}}));
    inner.AddObject(mesh);
    root.AddObject(inner);
    root.AddObject(CSetObject(nullptr, true)); // a loose attribute set
    CShapeObject afterInner = UnitBox();
    afterInner.SetSet(NamedSet("after"));
    root.AddObject(afterInner);

    Recorder recorder;
    root.Parse(recorder, TranslateMat({100, 0, 0}));
    std::vector<std::string> expected = {
        "set root at 100",  "member mtrx", "member box ", "set box at 110", "member dspg",
        "set inner at 110", "member mtrx", "member tmsh", "vertex at 115",  "vertex at 115",
        "vertex at 115",    "member attr", "loose set",   "member box ",    "set after at 110"};
    EXPECT_EQ(recorder.log, expected) << "the inner transform ends with its group";

    // The changed vertices were written back into the mesh.
    auto* raw = refhost::scene::As<refhost::scene::TriMesh>(mesh.GetObject());
    EXPECT_EQ(raw->uvs[1].u, 2.0f);
    EXPECT_EQ(raw->uvs[2].u, 1.0f);
}

TEST_F(SceneTest, ParserSwitchesAndGroupsThatAreNotDrawn) {
    CDisplayGroupObject root;
    CDisplayGroupObject hidden;
    hidden.SetState(kQ3DisplayGroupStateMaskIsPicked);
    CShapeObject box = UnitBox();
    box.SetSet(NamedSet("hidden box"));
    hidden.AddObject(box);
    root.AddObject(hidden);

    Recorder all;
    root.Parse(all);
    EXPECT_EQ(all.log,
              (std::vector<std::string>{"member dspg", "member box ", "set hidden box at 0"}));
    Recorder drawnOnly;
    drawnOnly.SetParseNonDrawn(false);
    root.Parse(drawnOnly);
    EXPECT_EQ(drawnOnly.log, (std::vector<std::string>{"member dspg"}));
    Recorder setsOnly;
    setsOnly.SetParseObjects(false);
    root.Parse(setsOnly);
    EXPECT_EQ(setsOnly.log, (std::vector<std::string>{"set hidden box at 0"}));
}

TEST_F(SceneTest, BoundingBoxesIncludeTransformsAndLights) {
    CDisplayGroupObject group;
    group.AddObject(CTransformObject(ScaleMat({2, 2, 2}) * TranslateMat({1, 0, 0})));
    group.AddObject(UnitBox());
    TQ3PointLightData point{};
    point.location = {0, 0, -3};
    group.AddObject(CPointLightObject(point));
    group.AddObject(CAmbientLightObject(TQ3LightData{})); // no place of its own

    CLightGroupObject lights;
    CViewPlaneCameraObject camera(TQ3ViewPlaneCameraData{});
    OpaqueTQ3Object* raw =
        refhost::scene::NewView(camera.GetObject(), lights.GetObject(), {{0, 0}, {10, 10}});
    CViewObject view(raw);
    C3DObject::Dispose(raw);

    CBoundingBox box = view.GetBoundingBoxIncludingLights(group, true, nullptr);
    ASSERT_FALSE(box.isEmpty);
    EXPECT_TRUE(maths_test::Near(box.min, CPoint3D(1, 0, -6)));
    EXPECT_TRUE(maths_test::Near(box.max, CPoint3D(3, 2, 2)));
    EXPECT_TRUE(maths_test::Near(box.Middle(), CPoint3D(2, 1, -2)));

    auto refuse = [](void*) { return false; };
    EXPECT_THROW(view.GetBoundingBoxIncludingLights(group, true, refuse), CSceneException);
    EXPECT_TRUE(view.GetBoundingBoxIncludingLights(CDisplayGroupObject(), true, nullptr).isEmpty);
}
