// The identifier pass that picks what a pixel shows, the aids drawn over the scene and the
// samples a pixel is drawn with.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "refhost/framework/host_state.h"
#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"

#include "tests/refhost/view3d/test_scene.h"

namespace {

using namespace view3d_test;
using refhost::view3d::AidDot;
using refhost::view3d::AidLine;
using refhost::view3d::Ghost;
using refhost::view3d::ViewAids;

class PickingAndAidsTest : public HeadlessRenderTest {
protected:
    void TearDown() override {
        renderer->SetAids(nullptr);
        HostState::Instance().Reset();
    }

    // The pixel (from the top left) that shows a point of the scene.
    static std::pair<int, int> PixelOf(Scene& scene, TQ3Point3D point) {
        TQ3Point2D const p = *refhost::view3d::PixelOf(refhost::view3d::MatricesOf(scene.camera()),
                                                       point, kSize, kSize);
        return {static_cast<int>(std::floor(p.x)), kSize - 1 - static_cast<int>(std::floor(p.y))};
    }
    static OpaqueTQ3Object* PickAt(Scene& scene, TQ3Point3D point) {
        auto const [x, y] = PixelOf(scene, point);
        return renderer->Pick(nullptr, kSize, kSize, x, y);
    }
};

// A unit box turned by `radians` about z placed at offset.
OpaqueTQ3Object* TurnedBox(TQ3Vector3D offset, float radians = 0.7853982f) {
    OpaqueTQ3Object* group = NewGroupOf(GroupKind::kDisplay);
    float const c = std::cos(radians), s = std::sin(radians);
    CMatrix4x4 m(1.0);
    m[0][0] = c;
    m[0][1] = s;
    m[1][0] = -s;
    m[1][1] = c;
    m[3][0] = offset.x;
    m[3][1] = offset.y;
    m[3][2] = offset.z;
    Add(group, new Transform(m));
    Add(group, UnitBox());
    return group;
}

TEST_F(PickingAndAidsTest, AClickPicksTheFrontMostObjectUnderThePixel) {
    Scene scene;
    scene.Light(AmbientLight(1));
    // A box in front of another, off its centre; a turned box to the left.
    OpaqueTQ3Object* back = Placed({0, 0, -2}, UnitBox());
    OpaqueTQ3Object* front = Placed({0.6f, 0, 0.5f}, UnitBox());
    OpaqueTQ3Object* turned = TurnedBox({-1.6f, 0, 0});
    scene.Other(back);
    scene.Selected(front);
    scene.Other(turned);
    scene.Render(*renderer);
    // Where both cover the pixel, the nearer one; where the front one leaves the back one
    // uncovered, the back one.
    EXPECT_EQ(PickAt(scene, {0.6f, 0, 1.0f}), front);
    EXPECT_EQ(PickAt(scene, {0.3f, 0.1f, 1.0f}), front);
    EXPECT_EQ(PickAt(scene, {-0.3f, 0, -1.5f}), back);
    // The turned box's bounds hold the pixel near its corner, but its surface does not.
    EXPECT_EQ(PickAt(scene, {-1.6f, 0, 0.5f}), turned);
    EXPECT_EQ(PickAt(scene, {-1.6f - 0.6f, 0.6f, 0.5f}), nullptr);
    // The background, and pixels beyond the image.
    EXPECT_EQ(PickAt(scene, {0, 2, 0}), nullptr);
    EXPECT_EQ(renderer->Pick(nullptr, kSize, kSize, -1, 5), nullptr);
    EXPECT_EQ(renderer->Pick(nullptr, kSize, kSize, 5, kSize), nullptr);
}

TEST_F(PickingAndAidsTest, PathsDotsAndGhostsAreDrawnWhereTheyProjectAndPickNothing) {
    Scene scene;
    scene.Light(AmbientLight(1));
    OpaqueTQ3Object* box = Placed({-1, 0, 0}, UnitBox());
    scene.Selected(box);
    ViewAids aids;
    aids.lines.push_back({{{-1.5f, -1.5f, 0}, {1.5f, -1.5f, 0}, {1.5f, 1.5f, 0}}, {0, 1, 0}});
    aids.dots.push_back({{1.5f, -1.5f, 0}, {1, 0, 0}, 9});
    // The box again, moved right by 2.
    CMatrix4x4 right(1.0);
    right[3][0] = 2;
    aids.ghosts.push_back({box, right, 0.3f});
    renderer->SetAids(&aids);
    Bitmap const image = scene.Render(*renderer);
    image.writePng(std::string(KEYPOSE_ARTEFACTS_DIR) + "/aids.png");

    auto at = [&](TQ3Point3D p) {
        auto const [x, y] = PixelOf(scene, p);
        return image.at(x, y);
    };
    EXPECT_TRUE(Near(at({0, -1.5f, 0}), {0, 255, 0}));    // along the line's first leg
    EXPECT_TRUE(Near(at({1.5f, 0.75f, 0}), {0, 255, 0})); // along its second leg
    EXPECT_TRUE(Near(at({1.5f, -1.5f, 0}), {255, 0, 0})); // the dot over the line's corner
    // The ghost: faint white over the background, where nothing else is drawn.
    Rgb const ghost = at({1, 0, 0.5f});
    Rgb const bg = Background();
    EXPECT_GT(ghost.red, bg.red + 40);
    EXPECT_LT(ghost.red, 200);
    EXPECT_TRUE(Near(at({-1, 0, 0.5f}), {255, 255, 255})); // the box itself
    // Seen, not picked.
    EXPECT_EQ(PickAt(scene, {1, 0, 0.5f}), nullptr);
    EXPECT_EQ(PickAt(scene, {1.5f, -1.5f, 0}), nullptr);
    EXPECT_EQ(PickAt(scene, {0, -1.5f, 0}), nullptr);
    EXPECT_EQ(PickAt(scene, {-1, 0, 0.5f}), box);
}

TEST_F(PickingAndAidsTest, EdgesAreSmoothedByTheSamplesOfAPixel) {
    auto coloursOf = [](SceneRenderer& with) {
        HostState::Instance().Reset();
        Scene scene;
        scene.Light(AmbientLight(1));
        scene.Other(TurnedBox({0, 0, 0}, 0.5f)); // edges at no simple slope
        Bitmap image = scene.Render(with);
        std::set<uint32_t> colours(image.pixels().begin(), image.pixels().end());
        return colours.size();
    };
    SceneRenderer single(1);
    EXPECT_EQ(single.Samples(), 1);
    EXPECT_EQ(renderer->Samples(), refhost::view3d::kDefaultSamples);
    // One sample: the background and the face; four: shades between them (a quarter, half,
    // three quarters) where the edges cross a pixel.
    EXPECT_EQ(coloursOf(single), 2u);
    EXPECT_GE(coloursOf(*renderer), 5u);
    EXPECT_EQ(SceneRenderer(5).Samples(), 9);
    EXPECT_THROW(SceneRenderer(0), std::runtime_error);
    EXPECT_THROW(SceneRenderer(65), std::runtime_error);
}

TEST(GroundGrid, SpacingIsThePowerOfTenAtOrBelowTheEyesHeight) {
    EXPECT_FLOAT_EQ(refhost::view3d::GridSpacing(3), 1);
    EXPECT_FLOAT_EQ(refhost::view3d::GridSpacing(-25), 10);
    EXPECT_FLOAT_EQ(refhost::view3d::GridSpacing(10), 10);
    EXPECT_NEAR(refhost::view3d::GridSpacing(0.5f), 0.1f, 1e-6f);
    EXPECT_NEAR(refhost::view3d::GridSpacing(0), 0.001f, 1e-7f);
}

TEST_F(PickingAndAidsTest, TheGridsOriginLinesLieOnTheProjectedAxesAndTheTriadTurnsWithTheCamera) {
    Scene scene;
    scene.Light(AmbientLight(1));
    // From above and in front, looking at the origin: the eye 3 units up, lines 1 apart.
    scene.camera().data.placement = {{0, 3, 6}, {0, 0, 0}, {0, 1, 0}};
    ViewAids aids;
    aids.grid = aids.axes = true;
    renderer->SetAids(&aids);
    Bitmap const image = scene.Render(*renderer);
    image.writePng(std::string(KEYPOSE_ARTEFACTS_DIR) + "/grid.png");
    auto at = [&](TQ3Point3D p) {
        auto const [x, y] = PixelOf(scene, p);
        return image.at(x, y);
    };
    // The pixel of the three about a point's (across the line) where the line shows most.
    auto onLine = [&](TQ3Point3D p, bool rows, auto const& strength) {
        auto const [x, y] = PixelOf(scene, p);
        Rgb best = image.at(x, y);
        for (int d : {-1, 1}) {
            Rgb const other = rows ? image.at(x, y + d) : image.at(x + d, y);
            if (strength(other) > strength(best)) {
                best = other;
            }
        }
        return best;
    };
    Rgb const bg = Background();
    Rgb const xAxis = onLine({1.5f, 0, 0}, true, [](Rgb c) { return c.red - c.blue; });
    EXPECT_GT(xAxis.red, bg.red + 100);
    EXPECT_GT(xAxis.red, xAxis.blue + 40);
    Rgb const zAxis = onLine({0, 0, 1.5f}, false, [](Rgb c) { return c.blue - c.red; });
    EXPECT_GT(zAxis.blue, bg.blue + 100);
    EXPECT_GT(zAxis.blue, zAxis.red + 40);
    Rgb const line = at({0.5f, 0, 1}); // on the line z = 1
    EXPECT_GT(line.green, bg.green + 25);
    Rgb const between = at({0.5f, 0, 0.5f}); // half a spacing from every line
    EXPECT_TRUE(Near(between, bg, 3));
    // The triad's corner: x to the right, y up (the bitmap's rows count from the bottom), as
    // the camera, which looks down -z turned only about x, sees them.
    int const centre = refhost::view3d::kAxesMargin + refhost::view3d::kAxesSize / 2;
    int const reach = refhost::view3d::kAxesSize / 3;
    Rgb const right = image.at(centre + reach, centre);
    EXPECT_GT(right.red, right.green + 60);
    Rgb const up = image.at(centre, centre + reach);
    EXPECT_GT(up.green, up.red + 60);
    // Aids pick nothing.
    EXPECT_EQ(PickAt(scene, {1.5f, 0, 0}), nullptr);
}

} // namespace
