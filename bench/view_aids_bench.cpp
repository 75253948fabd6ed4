// What each of the 3D view's aids adds to a frame, timed in turn with the frame without it
// in one run: the crate example (its crate selected, three tween points) at 640 x 480 drawn
// plain, with its motion path, with its ghosts, with the ground's grid and axis triad, and
// with the heads-up line; a pick (the identifier pass of one pixel); the frame drawn with one
// sample a pixel instead of four; and the path worked out afresh (what a change of what
// plays costs once).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/side_by_side.h"
#include "host/scene/attribute_set.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/session/posing.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"
#include "refhost/window/heads_up.h"
#include "refhost/window/motion_aids.h"

namespace {

using refhost::HostState;
using refhost::view3d::AidSwitches;

void AidsAgainstThePlainFrame(benchmark::State& state) {
    setenv("LP_NUM_THREADS", "0", 0);
    auto context = refhost::view3d::GlContext::Headless();
    refhost::view3d::SceneRenderer renderer, single(1);
    HostState::Instance().Reset();
    InitCustomAttributeGlobals(); // as the plug-in does when it is loaded
    HostState::Instance().Open(
        refhost::OpenDocument(std::string(KEYPOSE_EXAMPLES_DIR) + "/crate_moves.json"));
    refhost::Document& document = *HostState::Instance().Front();
    refhost::SelectObjects(document, {"Crate"});
    document.clock.current = 1200;
    constexpr int kWidth = 640, kHeight = 480;
    refhost::window::MotionAids aids;
    auto frame = [&](AidSwitches const& switches) {
        renderer.SetAids(&aids.Update(document, switches));
        refhost::Bitmap picture = renderer.Render(nullptr, kWidth, kHeight);
        renderer.SetAids(nullptr);
        return picture;
    };
    frame({true, true, true, true}); // shapes uploaded, the path worked out once
    enum { kPlain, kPaths, kGhosts, kGrid, kHud, kPick, kSingle, kWorkOut, kCount };
    bench::SideBySide<kCount> times;
    for (auto _ : state) {
        times.Time(kPlain, [&] { benchmark::DoNotOptimize(frame({})); });
        times.Time(kPaths, [&] { benchmark::DoNotOptimize(frame({true, false, false, false})); });
        times.Time(kGhosts, [&] { benchmark::DoNotOptimize(frame({false, true, false, false})); });
        times.Time(kGrid, [&] { benchmark::DoNotOptimize(frame({false, false, true, false})); });
        times.Time(kHud, [&] {
            refhost::Bitmap picture = frame({});
            refhost::window::DrawHeadsUp(picture, refhost::window::HeadsUpText(document.clock, 30));
            benchmark::DoNotOptimize(picture);
        });
        times.Time(kPick, [&] {
            benchmark::DoNotOptimize(renderer.Pick(nullptr, kWidth, kHeight, 320, 240));
        });
        times.Time(kSingle,
                   [&] { benchmark::DoNotOptimize(single.Render(nullptr, kWidth, kHeight)); });
        times.Time(kWorkOut, [&] {
            benchmark::DoNotOptimize(refhost::window::ComputeMotionPaths(document));
        });
    }
    char const* names[kCount] = {"plain_frame", "paths_frame", "ghosts_frame",     "grid_frame",
                                 "hud_frame",   "pick",        "one_sample_frame", "path_work_out"};
    for (int i = 0; i < kCount; ++i) {
        times.ReportTime(state, static_cast<std::size_t>(i), names[i], 1e6);
    }
    HostState::Instance().Reset();
}
BENCHMARK(AidsAgainstThePlainFrame)->Unit(benchmark::kMillisecond);

} // namespace
