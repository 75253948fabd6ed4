#include "refhost/window/motion_aids.h"

#include "refhost/window/heads_up.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/framework.h"
#include "interp/easing.h"
#include "refhost/document/document_file.h"
#include "refhost/scene/objects.h"
#include "refhost/script/script.h"
#include "refhost/script/script_runner.h"
#include "refhost/session/host_session.h"
#include "refhost/session/posing.h"
#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"

namespace {

using refhost::gltf::ObjectKey;
using refhost::window::ComputeMotionPaths;
using refhost::window::MotionAids;
using refhost::window::PivotAt;

ObjectKey KeyAt(int32_t time, float x, uint8_t ease = 0) {
    ObjectKey key;
    key.time = time;
    key.matrix[3][0] = x;
    key.pivot = {0, 1, 0};
    key.ease = ease;
    return key;
}

void ExpectNear(TQ3Point3D const& a, TQ3Point3D const& b, float within = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, within);
    EXPECT_NEAR(a.y, b.y, within);
    EXPECT_NEAR(a.z, b.z, within);
}

TEST(MotionPathPivot, HoldsTheEndsAndMovesAtTheEasedFractionBetween) {
    std::vector<ObjectKey> const keys = {KeyAt(100, 0), KeyAt(200, 10, eEaseIn), KeyAt(300, 20)};
    ExpectNear(PivotAt(keys, 0), {0, 1, 0});      // before the first point
    ExpectNear(PivotAt(keys, 150), {5, 1, 0});    // linear halfway
    ExpectNear(PivotAt(keys, 200), {10, 1, 0});   // at a point
    ExpectNear(PivotAt(keys, 250), {12.5, 1, 0}); // ease in: a quarter of the way at halfway
    ExpectNear(PivotAt(keys, 900), {20, 1, 0});   // after the last
    std::vector<ObjectKey> const held = {KeyAt(0, 0, eEaseHold), KeyAt(100, 4)};
    ExpectNear(PivotAt(held, 99), {0, 1, 0});
    ExpectNear(PivotAt(held, 100), {4, 1, 0});
}

TEST(MotionPathPivot, ATurnAboutThePivotKeepsItInPlace) {
    // A quarter turn about y through the pivot (1, 0, 0): the path stays at the pivot.
    ObjectKey a = KeyAt(0, 0);
    a.pivot = {1, 0, 0};
    ObjectKey b = a;
    b.time = 100;
    b.matrix = CMatrix4x4(1.0);
    b.matrix[0][0] = 0;
    b.matrix[0][2] = -1;
    b.matrix[2][0] = 1;
    b.matrix[2][2] = 0;
    // Keep (1, 0, 0) fixed: translate by what the turn moved it.
    b.matrix[3][0] = 1;
    b.matrix[3][2] = 1;
    ExpectNear(PivotAt({a, b}, 50), {1, 0, 0});
}

// The crate of the example turns and moves through three tween points over six seconds.
class MotionPathsOfTheCrate : public ::testing::Test {
protected:
    void SetUp() override {
        fSession.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/crate_moves.json");
        refhost::SelectObjects(fSession.Front(), {"Crate"});
        fSession.Loop().SelectionChanged();
    }
    refhost::HostSession fSession{KEYPOSE_MODULE_PATH};
};

TEST_F(MotionPathsOfTheCrate, FollowThePivotThatPlaybackPlacesEveryThirtiethOfASecond) {
    auto const paths = ComputeMotionPaths(fSession.Front());
    ASSERT_EQ(paths.size(), 1u);
    refhost::window::MotionPath const& path = paths[0];
    EXPECT_EQ(path.samples.size(), 181u); // 6 s at 30 a second, both ends
    ASSERT_EQ(path.points.size(), 3u);
    // Where playback puts the crate at a few times, through its transform and the pivot.
    auto const keys = *refhost::gltf::ReadObjectKeys(path.member);
    for (int sample : {0, 20, 45, 90, 135, 180}) {
        fSession.SetTime(sample / 30.0);
        auto const* group = refhost::scene::As<refhost::scene::Group>(path.member);
        CMatrix4x4 placement(1.0);
        for (auto* p = group->first; p; p = p->next) {
            if (auto* t = refhost::scene::As<refhost::scene::Transform>(p->object)) {
                placement = t->matrix;
                break;
            }
        }
        CPoint3D const played = CPoint3D(keys.back().pivot) * placement;
        ExpectNear(path.samples[static_cast<std::size_t>(sample)], {played.x, played.y, played.z},
                   2e-3f);
    }
}

TEST_F(MotionPathsOfTheCrate, DrawADotWhereEachTweenPointsPivotProjects) {
    auto context = refhost::view3d::GlContext::Headless();
    refhost::view3d::SceneRenderer renderer;
    fSession.SetTime(1);
    MotionAids aids;
    renderer.SetAids(&aids.Update(fSession.Front(), {true, false, false, false}));
    constexpr int kWidth = 320, kHeight = 240;
    refhost::Bitmap const picture = renderer.Render(nullptr, kWidth, kHeight);
    picture.writePng(std::string(KEYPOSE_ARTEFACTS_DIR) + "/crate_path.png");
    auto const* camera = refhost::scene::As<refhost::scene::Camera>(
        refhost::scene::As<refhost::scene::View>(fSession.Front().CurrentView())->camera);
    auto const matrices = refhost::view3d::MatricesOf(*camera);
    auto const& path = aids.Paths().at(0);
    for (std::size_t i = 0; i < path.points.size(); ++i) {
        auto const at = *refhost::view3d::PixelOf(matrices, path.points[i], kWidth, kHeight);
        // The bitmap's rows count from the bottom, the projection's from the top.
        refhost::Rgb const c =
            picture.at(static_cast<int>(at.x), kHeight - 1 - static_cast<int>(at.y));
        EXPECT_GT(c.red + c.green + c.blue, 3 * 230) << "tween point " << i; // white
    }
    // The current place, a third of the way to the second point at 1 s.
    auto const now = *refhost::view3d::PixelOf(matrices, path.samples[30], kWidth, kHeight);
    refhost::Rgb const c =
        picture.at(static_cast<int>(now.x), kHeight - 1 - static_cast<int>(now.y));
    EXPECT_GT(c.red, 200);
    EXPECT_LT(c.green, 120);
    renderer.SetAids(nullptr);
}

TEST_F(MotionPathsOfTheCrate, LeaveTheDocumentAsItWasAndAreKeptUntilWhatPlaysChanges) {
    refhost::Document& document = fSession.Front();
    fSession.SetTime(2);
    std::string const before = refhost::DocumentText(document);
    MotionAids aids;
    refhost::view3d::AidSwitches const both{true, true};
    auto const& drawn = aids.Update(document, both);
    EXPECT_EQ(drawn.lines.size(), 1u);
    EXPECT_EQ(drawn.dots.size(), 4u);   // three tween points and the current place
    EXPECT_EQ(drawn.ghosts.size(), 2u); // at 0 s and 3 s around 2 s
    EXPECT_EQ(refhost::DocumentText(document), before);
    EXPECT_FALSE(document.edited);

    // Another frame at another time: the same paths.
    fSession.SetTime(4);
    aids.Update(document, both);
    EXPECT_EQ(aids.Computations(), 1u);
    // A longer range changes what plays.
    fSession.SetRange(0, 8);
    aids.Update(document, both);
    EXPECT_EQ(aids.Computations(), 2u);
    EXPECT_EQ(aids.Paths()[0].samples.size(), 241u);
    // So does deselecting: no paths, no ghosts.
    refhost::DeselectAll(document);
    auto const& none = aids.Update(document, both);
    EXPECT_TRUE(none.lines.empty());
    EXPECT_TRUE(none.ghosts.empty());
    EXPECT_EQ(aids.Computations(), 3u);
    // Switched off, nothing is worked out.
    refhost::SelectObjects(document, {"Crate"});
    EXPECT_TRUE(aids.Update(document, {}).Empty());
    EXPECT_EQ(aids.Computations(), 3u);
}

TEST(MotionAidScripts, PathsAndGhostsSwitchTheAidsOfTheRendersThatFollow) {
    auto const folder = std::filesystem::path(::testing::TempDir()) / "keypose_aid_scripts";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "aids.ks") << "open " << KEYPOSE_EXAMPLES_DIR << "/crate_moves.json\n"
                                      << "paths on\nrender a.png\n"
                                      << "ghosts on\npaths off\nrender b.png\n";
    refhost::view3d::AidSwitches switches;
    std::vector<std::pair<bool, bool>> seen;
    auto render = [&](int width, int height) {
        seen.emplace_back(switches.paths, switches.ghosts);
        return refhost::Bitmap(width, height, NSZeroPoint);
    };
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        std::ostringstream out;
        refhost::RunScriptFile(session, folder / "aids.ks", out, render, {}, &switches);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
    // A host that draws no aids refuses the command, naming the line.
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    std::ostringstream out;
    try {
        refhost::RunScriptFile(session, folder / "aids.ks", out, render);
        ADD_FAILURE() << "paths on was taken";
    } catch (refhost::ScriptError const& error) {
        EXPECT_NE(std::string(error.what()).find("aids.ks:2"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("no motion paths"), std::string::npos);
    }
    std::filesystem::remove_all(folder);
}

TEST(HeadsUpLine, SaysTheTimeTheRangeAndTheFrameRateInTheTopLeftCorner) {
    refhost::ClockSettings clock;
    clock.unitsPerSecond = 600;
    clock.minimum = 0;
    clock.current = 1200;
    clock.maximum = 3600;
    std::string const text = refhost::window::HeadsUpText(clock, 30);
    EXPECT_EQ(text, "2.00 s  range 0.00 to 6.00 s  30 fps");
    refhost::Bitmap picture(200, 100, NSZeroPoint);
    refhost::window::DrawHeadsUp(picture, text);
    auto changed = [&](int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                count += picture.pixels()[static_cast<std::size_t>(y * 200 + x)] != 0;
            }
        }
        return count;
    };
    EXPECT_GT(changed(0, 0, 200, 26), 50); // the letters, rows from the top
    EXPECT_EQ(changed(0, 30, 200, 100), 0);
}

} // namespace
