// The animated examples as the render mode shows them: each played through the real module
// to chosen times, its 3D view compared with checked-in frames, and the motion they claim
// checked where the camera's projection puts it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/framework.h"
#include "host/scene.h"
#include "refhost/framework/host_state.h"
#include "refhost/scene/objects.h"
#include "refhost/script/script_runner.h"
#include "refhost/session/host_session.h"
#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"
#include "tests/support/golden_image.h"
#include "tests/support/scratch_folder.h"

namespace {

using refhost::Bitmap;

class ExampleFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fContext = refhost::view3d::GlContext::Headless();
        fRenderer = std::make_unique<refhost::view3d::SceneRenderer>();
    }
    void TearDown() override {
        fRenderer.reset();
        fContext.reset();
        refhost::HostState::Instance().Reset();
    }
    // The example's 3D view at each time, through a session of its own.
    std::vector<Bitmap> Frames(char const* example, std::vector<double> const& times) {
        std::vector<Bitmap> frames;
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/" + example + ".json");
        for (double t : times) {
            session.SetTime(t);
            frames.push_back(fRenderer->Render(nullptr, 320, 240));
        }
        return frames;
    }
    static ::testing::AssertionResult Matches(Bitmap const& image, std::string const& name) {
        return keypose_test::MatchesGoldenIn(
            std::string(KEYPOSE_SOURCE_DIR) + "/tests/plugin/golden", image, name);
    }
    std::unique_ptr<refhost::view3d::GlContext> fContext;
    std::unique_ptr<refhost::view3d::SceneRenderer> fRenderer;
};

} // namespace

TEST_F(ExampleFramesTest, EveryAnimatedExampleLooksAsItsFrames) {
    struct Case {
        char const* example;
        std::vector<double> times;
    };
    for (Case const& c : {Case{"crate_moves", {0, 1.5, 3, 6}}, Case{"camera_swing", {0, 2, 4}},
                          Case{"light_show", {0, 2.5, 5}}, Case{"scrolling_texture", {0, 5}}}) {
        std::vector<Bitmap> const frames = Frames(c.example, c.times);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_TRUE(Matches(frames[i], std::string(c.example) + "_" +
                                               std::to_string(static_cast<int>(c.times[i] * 10))));
        }
        refhost::HostState::Instance().Reset();
    }
}

TEST_F(ExampleFramesTest, TheCrateMovesAndChangesColourAsRecorded) {
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    session.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/crate_moves.json");
    auto pixelAt = [&](Bitmap const& image, TQ3Point3D point) {
        CCameraObject camera{CViewObject(PL_GetTheView())};
        auto const* data = refhost::scene::As<refhost::scene::Camera>(camera.GetObject());
        std::optional<TQ3Point2D> const pixel =
            refhost::view3d::PixelOf(refhost::view3d::MatricesOf(*data), point, 320, 240);
        EXPECT_TRUE(pixel.has_value());
        return image.at(static_cast<int>(pixel->x), 239 - static_cast<int>(pixel->y));
    };
    auto orange = [](refhost::Rgb p) { return p.red > 150 && p.red > p.blue + 80; };
    // Recorded at 0 s: white, at the origin. At 3 s: orange, 1.5 along x (turning about its
    // centre leaves the centre where the move put it).
    session.SetTime(0);
    Bitmap const first = fRenderer->Render(nullptr, 320, 240);
    refhost::Rgb const atOrigin = pixelAt(first, {0, 0, 0});
    EXPECT_TRUE(atOrigin.red > 150 && atOrigin.green > 150 && atOrigin.blue > 150);
    EXPECT_FALSE(orange(pixelAt(first, {1.5f, 0, 0})));
    session.SetTime(3);
    Bitmap const moved = fRenderer->Render(nullptr, 320, 240);
    EXPECT_TRUE(orange(pixelAt(moved, {1.5f, 0, 0})));
    EXPECT_FALSE(orange(pixelAt(moved, {0, 0, 0})) && pixelAt(moved, {0, 0, 0}) == atOrigin);
}

TEST_F(ExampleFramesTest, AScriptRendersTheViewWhenTheHostCanDrawIt) {
    std::filesystem::path const folder = keypose_test::ScratchFolder("keypose_script_render");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "shot.ks") << "open " << KEYPOSE_EXAMPLES_DIR
                                      << "/crate_moves.json\ntime 3\nrender shot.png 160x120\n";
    std::ostringstream out;
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        EXPECT_THROW(refhost::RunScriptFile(session, folder / "shot.ks", out), refhost::ScriptError)
            << "no renderer, no picture";
    }
    refhost::HostState::Instance().Reset();
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        refhost::RunScriptFile(session, folder / "shot.ks", out,
                               [&](int w, int h) { return fRenderer->Render(nullptr, w, h); });
    }
    std::optional<Bitmap> const shot = Bitmap::readPng((folder / "shot.png").string());
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(shot->width(), 160);
    EXPECT_TRUE(Matches(*shot, "script_shot"));
    std::filesystem::remove_all(folder);
}
