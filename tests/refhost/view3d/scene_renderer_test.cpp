#include "refhost/view3d/scene_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>

#include "host/four_char_code.h"
#include "host/scene.h"
#include "refhost/framework/host_state.h"
#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/tessellation.h"

#include "tests/refhost/view3d/test_scene.h"

namespace {

using namespace view3d_test;
using refhost::view3d::GlContext;

class SceneRendererTest : public HeadlessRenderTest {
protected:
    void TearDown() override {
        HostState::Instance().Reset();
        HostState::Instance().selectionColour = kSelectionColour;
    }

    static constexpr TQ3ColorRGB kSelectionColour{1.0f, 0.6f, 0.0f};

    // The centre of a white box's front face (or of a box with the surface given) under the
    // lights that `light` adds.
    Rgb FrontFace(
        std::function<void(Scene&)> const& light,
        std::function<void(AttributeSet&)> const& surface = [](AttributeSet&) {}) {
        HostState::Instance().Reset();
        Scene scene;
        light(scene);
        scene.Other(WithSet(UnitBox(), surface));
        Bitmap const image = scene.Render(*renderer);
        return scene.At(image, {0, 0, 0.5f});
    }
};

TEST_F(SceneRendererTest, LightsShadeAFaceByTheirKindColourBrightnessDistanceAndCone) {
    auto directional = [](TQ3ColorRGB colour, float brightness, TQ3Vector3D direction) {
        return [=](Scene& scene) {
            auto* light = new Light("drct"_4cc);
            light->common = {kQ3True, brightness, colour};
            light->direction = direction;
            scene.Light(light);
        };
    };
    // Straight on, a red light shows red; half as bright, half the green; at 60 degrees from
    // the face's normal, half.
    EXPECT_TRUE(Near(FrontFace(directional({1, 0, 0}, 1, {0, 0, -1})), {255, 0, 0}));
    EXPECT_TRUE(Near(FrontFace(directional({0, 1, 0}, 0.5f, {0, 0, -1})), {0, 128, 0}));
    EXPECT_TRUE(
        Near(FrontFace(directional({1, 1, 1}, 1, {0, -0.8660254f, -0.5f})), {128, 128, 128}));
    // A light that is off, or that shines from behind the face, adds nothing.
    EXPECT_TRUE(Near(FrontFace([](Scene& scene) {
                         auto* light = new Light("drct"_4cc);
                         light->common = {kQ3False, 1, {1, 1, 1}};
                         scene.Light(light);
                     }),
                     {0, 0, 0}));
    EXPECT_TRUE(Near(FrontFace(directional({1, 1, 1}, 1, {0, 0, 1})), {0, 0, 0}));

    // A point light 2 units in front of the face: 1/2 and 1/4 of its light arrive.
    auto point = [](TQ3AttenuationType attenuation) {
        return [=](Scene& scene) {
            auto* light = new Light("pntl"_4cc);
            light->location = {0, 0, 2.5f};
            light->attenuation = attenuation;
            scene.Light(light);
        };
    };
    EXPECT_TRUE(Near(FrontFace(point(kQ3AttenuationTypeNone)), {255, 255, 255}));
    EXPECT_TRUE(Near(FrontFace(point(kQ3AttenuationTypeInverseDistance)), {128, 128, 128}));
    EXPECT_TRUE(Near(FrontFace(point(kQ3AttenuationTypeInverseDistanceSquared)), {64, 64, 64}));

    // A spot light on the face lights it; turned 45 degrees away, its cone misses.
    auto spot = [](TQ3Vector3D direction) {
        return [=](Scene& scene) {
            auto* light = new Light("spot"_4cc);
            light->common = {kQ3True, 1, {0, 0, 1}};
            light->location = {0, 0, 3};
            light->direction = direction;
            light->hotAngle = 0.1f;
            light->outerAngle = 0.3f;
            scene.Light(light);
        };
    };
    EXPECT_TRUE(Near(FrontFace(spot({0, 0, -1})), {0, 0, 255}));
    EXPECT_TRUE(Near(FrontFace(spot({1, 0, -1})), {0, 0, 0}));

    // Ambient light, taken by the surface's ambient coefficient.
    auto ambient = [](Scene& scene) { scene.Light(AmbientLight(0.4f)); };
    EXPECT_TRUE(Near(FrontFace(ambient), {102, 102, 102}));
    EXPECT_TRUE(Near(FrontFace(ambient, [](AttributeSet& s) { s.ambientCoefficient = 0.5f; }),
                     {51, 51, 51}));
    // The diffuse colour filters the light; a specular colour adds a highlight where the
    // light is reflected towards the camera.
    EXPECT_TRUE(Near(FrontFace(ambient,
                               [](AttributeSet& s) {
                                   s.diffuse = {1, 0.5f, 0};
                               }),
                     {102, 51, 0}));
    EXPECT_TRUE(Near(FrontFace(directional({1, 1, 1}, 1, {0, 0, -1}),
                               [](AttributeSet& s) {
                                   s.diffuse = {0, 0, 0};
                                   s.specular = {0, 1, 1};
                                   s.specularControl = 10;
                               }),
                     {0, 255, 255}, 6));
}

TEST_F(SceneRendererTest, SelectedObjectsAreOutlinedInTheSelectionColour) {
    for (bool selected : {true, false}) {
        HostState::Instance().Reset();
        HostState::Instance().selectionColour = {0, 1, 0};
        Scene scene;
        scene.Light(AmbientLight(1));
        if (selected) {
            scene.Selected(UnitBox());
        } else {
            scene.Other(UnitBox());
        }
        Bitmap const image = scene.Render(*renderer);
        // The right edge of the front face, and the pixels just outside it and farther out.
        TQ3Point2D const edge = *refhost::view3d::PixelOf(
            refhost::view3d::MatricesOf(scene.camera()), {0.5f, 0, 0.5f}, kSize, kSize);
        int const x = static_cast<int>(std::floor(edge.x));
        int const y = kSize / 2;
        EXPECT_TRUE(Near(image.at(x - 3, y), {255, 255, 255}));
        EXPECT_TRUE(Near(image.at(x + 1, y), selected ? Rgb{0, 255, 0} : Background()))
            << (selected ? "selected" : "not selected");
        EXPECT_TRUE(Near(image.at(x + 4, y), Background()));
        // Above the top edge too (rows counted from the top here).
        TQ3Point2D const topEdge = *refhost::view3d::PixelOf(
            refhost::view3d::MatricesOf(scene.camera()), {0, 0.5f, 0.5f}, kSize, kSize);
        int const above = static_cast<int>(std::floor(topEdge.y)) - 1;
        EXPECT_TRUE(
            Near(image.at(kSize / 2, kSize - 1 - above), selected ? Rgb{0, 255, 0} : Background()));
    }
}

TEST_F(SceneRendererTest, TheUVTransformMovesTheTexelsOfATexture) {
    auto textured = [&](CMatrix3x3 const& uv) {
        HostState::Instance().Reset();
        Scene scene;
        scene.Light(AmbientLight(1));
        OpaqueTQ3Object* square = FourTexelSquare();
        UVTransformOf(square) = uv;
        scene.Other(square);
        Bitmap const image = scene.Render(*renderer);
        return std::pair{scene.At(image, {-0.5f, -0.5f, 0}), scene.At(image, {0.5f, 0.5f, 0})};
    };
    // (u, v) = (0.25, 0.25) shows the bottom left texel, (0.75, 0.75) the top right.
    auto [lowerLeft, upperRight] = textured(CMatrix3x3(1.0));
    EXPECT_TRUE(Near(lowerLeft, {0, 0, 255}));
    EXPECT_TRUE(Near(upperRight, {0, 255, 0}));
    // Scrolled by half in u, the lower left shows the bottom right texel.
    EXPECT_TRUE(Near(textured(TranslateMat(0.5f, 0)).first, {255, 255, 255}));
    // Turned half round the middle, the corners swap.
    auto [turnedLowerLeft, turnedUpperRight] =
        textured(RotateMat({0.5f, 0.5f}, static_cast<float>(M_PI)));
    EXPECT_TRUE(Near(turnedLowerLeft, {0, 255, 0}));
    EXPECT_TRUE(Near(turnedUpperRight, {0, 0, 255}));
}

TEST_F(SceneRendererTest, TransparentSurfacesBlendOverWhatLiesBehindThem) {
    Scene scene;
    scene.Light(AmbientLight(1));
    // The see-through square comes first in the scene; it is drawn last all the same.
    scene.Other(WithSet(Square(0.8f), [](AttributeSet& s) {
        s.diffuse = {0, 0, 1};
        s.transparency = {0.25f, 0.25f, 0.25f};
    }));
    scene.Other(WithSet(UnitBox(), [](AttributeSet& s) { s.diffuse = {1, 0, 0}; }));
    Bitmap const image = scene.Render(*renderer);
    EXPECT_TRUE(Near(scene.At(image, {0, 0, 0.8f}), {191, 0, 64}));
    // Where nothing lies behind it, the square blends over the background.
    Rgb const b = Background();
    auto mix = [](uint8_t under, int over) {
        return static_cast<uint8_t>(std::lround(under * 0.75 + over * 0.25));
    };
    EXPECT_TRUE(Near(scene.At(image, {0.9f, 0.9f, 0.8f}),
                     {mix(b.red, 0), mix(b.green, 0), mix(b.blue, 255)}));
}

TEST_F(SceneRendererTest, EveryGeometryKindAndCameraKindIsDrawn) {
    Scene scene;
    scene.Light(AmbientLight(1));
    // A triangle with a colour per corner, its middle the corners' mean.
    OpaqueTQ3Object* triangle = NewTriangle({{{-2, -2, 0}, {-1, -2, 0}, {-1.5f, -1, 0}}});
    std::array<TQ3ColorRGB, 3> const corners{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (std::size_t i = 0; i < 3; ++i) {
        auto* set = new AttributeSet;
        set->diffuse = corners[i];
        As<Triangle>(triangle)->vertices[i].set = set;
    }
    scene.Other(triangle);
    // A flat NURB patch, and a NURB arc whose top lies at (0, 0.1125 + 1, 0).
    OpaqueTQ3Object* patch =
        NewNURBPatch(2, 2, 2, 2, {{1, -2, 0, 1}, {2, -2, 0, 1}, {1, -1, 0, 1}, {2, -1, 0, 1}},
                     {0, 0, 1, 1}, {0, 0, 1, 1});
    scene.Other(WithSet(patch, [](AttributeSet& s) { s.diffuse = {1, 0, 1}; }));
    OpaqueTQ3Object* arc =
        NewNURBCurve(3, {{-1, 0.1f, 0, 1}, {0, 2.125f, 0, 1}, {1, 0.1f, 0, 1}}, {0, 0, 0, 1, 1, 1});
    TQ3Point3D const top = refhost::view3d::CurvePoint(*As<NURBCurve>(arc), 0.5f);
    EXPECT_NEAR(top.x, 0, 1e-6);
    EXPECT_NEAR(top.y, 1.1125, 1e-6);
    scene.Other(WithSet(arc, [](AttributeSet& s) { s.diffuse = {1, 1, 0}; }));
    // A box in a display group that is not drawn shows nothing.
    OpaqueTQ3Object* hidden = Placed({0, -1.5f, 0}, UnitBox());
    As<Group>(hidden)->state &= ~kQ3DisplayGroupStateMaskIsDrawn;
    scene.Other(hidden);
    Bitmap const image = scene.Render(*renderer);

    EXPECT_TRUE(Near(scene.At(image, {-1.5f, -5.0f / 3, 0}), {85, 85, 85}, 8));
    EXPECT_TRUE(Near(scene.At(image, {1.5f, -1.5f, 0}), {255, 0, 255}));
    Rgb const onArc = scene.At(image, top);
    Rgb const belowArc = scene.At(image, {top.x, top.y - 0.04f, top.z});
    EXPECT_TRUE(Near(onArc, {255, 255, 0}, 60) || Near(belowArc, {255, 255, 0}, 60))
        << int{onArc.red} << " " << int{onArc.green} << " " << int{onArc.blue};
    EXPECT_TRUE(Near(scene.At(image, {0, -1.5f, 0.5f}), Background()));
    EXPECT_TRUE(Near(scene.At(image, {0, 0, 0}), Background()));
}

TEST_F(SceneRendererTest, OrthographicAndViewPlaneCamerasPlaceTheObjectWhereTheyProjectIt) {
    for (FourCharCode kind : {"orth"_4cc, "vwpl"_4cc}) {
        HostState::Instance().Reset();
        Scene scene;
        scene.Light(AmbientLight(1));
        Camera& camera = scene.camera();
        camera.SetKind(kind);
        // Both show x from -4 to 4 and y from -4 to 4 at the origin, the view plane's
        // centre moved 1 to the left: the box at x = 2 lands at 3/4 or 3/8 + 1/2.
        camera.left = camera.bottom = -4;
        camera.right = camera.top = 4;
        camera.viewPlane = 5;
        camera.halfWidth = camera.halfHeight = 4;
        camera.centreX = -1;
        scene.Other(WithSet(Placed({2, 0, 0}, UnitBox()), [](AttributeSet& s) {
            s.diffuse = {0, 1, 1};
        }));
        Bitmap const image = scene.Render(*renderer);
        // The box's middle, and its front face's middle by the projection.
        int const x = kind == "orth"_4cc ? 150 : static_cast<int>((2.0 + 1 + 4) / 8 * kSize);
        EXPECT_TRUE(Near(image.at(x, kSize / 2), {0, 255, 255}));
        EXPECT_TRUE(Near(scene.At(image, {2, 0, 0.5f}), {0, 255, 255}));
        EXPECT_TRUE(Near(image.at(x - 40, kSize / 2), Background()));
    }
}

TEST_F(SceneRendererTest, FailuresAreRefusedWithAMessage) {
    auto message = [](std::function<void()> const& render) -> std::string {
        try {
            render();
        } catch (std::runtime_error const& e) {
            return e.what();
        }
        return "rendered";
    };
    EXPECT_NE(message([] { renderer->Render(nullptr, 10, 10); }).find("no document"),
              std::string::npos);
    {
        Scene scene;
        EXPECT_EQ(message([&] { scene.Render(*renderer); }), "rendered");
        EXPECT_NE(message([] { renderer->Render(nullptr, 0, 10); }).find("0x10"),
                  std::string::npos);
    }
    HostState::Instance().Reset();
    {
        Scene scene;
        OpaqueTQ3Object* curve = NewNURBCurve(2, {{0, 0, 0, 1}, {1, 1, 0, 1}}, {0, 0, 1, 1});
        As<NURBCurve>(curve)->knots = {0, 1, 1}; // one short
        scene.Other(curve);
        std::string const refused = message([&] { scene.Render(*renderer); });
        EXPECT_NE(refused.find("NURB curve"), std::string::npos) << refused;
    }
    auto* view = new View;
    refhost::view3d::SceneSource source;
    source.view = view;
    EXPECT_NE(message([&] { renderer->Render(source, 10, 10); }).find("no camera"),
              std::string::npos);
    Release(view);
}

} // namespace

namespace {

// After the fixture's context is gone no context is current: OpenGL calls would end the
// program, so the renderer refuses to be made.
TEST(SceneRendererWithoutContext, IsRefusedWithAMessage) {
    ASSERT_FALSE(refhost::view3d::ContextIsCurrent());
    try {
        refhost::view3d::SceneRenderer renderer;
        FAIL() << "made without a context";
    } catch (std::runtime_error const& e) {
        EXPECT_NE(std::string(e.what()).find("no OpenGL context"), std::string::npos) << e.what();
    }
    // A headless context makes it possible again.
    std::unique_ptr<GlContext> context = GlContext::Headless();
    EXPECT_TRUE(refhost::view3d::ContextIsCurrent());
    EXPECT_NO_THROW(refhost::view3d::SceneRenderer());
}

} // namespace
