// What one frame of the 3D view costs on Mesa's software rasterizer: the whole render of a
// bundled example at three image sizes; grids of 1 to 10,000 boxes against the empty frame
// (a camera and a light only) at two sizes, and a whole window's frame of 10,000 animated
// groups against it; and the scene walk alone.
//
// Mesa rasterizes on the calling thread here (LP_NUM_THREADS=0 unless set otherwise), so
// that the thread's processor time, which the side-by-side figures use, holds all of a
// frame's work, whatever else the machine is running. With KEYPOSE_BENCH_PICTURES set to a
// folder, the box grids' last frames are written there as PNG files to be looked at.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "bench/bench_scene.h"
#include "bench/side_by_side.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "palette/set_up_dialog.h"
#include "playback/animation.h"
#include "plugin/plugin_state.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/scene/build.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_gather.h"
#include "refhost/view3d/scene_renderer.h"

namespace {

using refhost::HostState;
using namespace refhost::scene;

// One context for the whole program, and renderers that each keep drawing the same scene
// from frame to frame, as a window's does: the empty frame has one of its own.
refhost::view3d::SceneRenderer& Renderer(bool forTheEmptyFrame = false) {
    static std::unique_ptr<refhost::view3d::GlContext> context = [] {
        setenv("LP_NUM_THREADS", "0", 0);
        return refhost::view3d::GlContext::Headless();
    }();
    static refhost::view3d::SceneRenderer renderer, emptyRenderer;
    return forTheEmptyFrame ? emptyRenderer : renderer;
}

void OpenExample(char const* name) {
    HostState::Instance().Reset();
    HostState::Instance().Open(
        refhost::OpenDocument(std::string(KEYPOSE_EXAMPLES_DIR) + "/" + name));
}

void RenderTexturedBox(benchmark::State& state) {
    OpenExample("textured_box.json");
    int const width = static_cast<int>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Renderer().Render(nullptr, width, width * 3 / 4));
    }
    state.SetItemsProcessed(state.iterations() * width * (width * 3 / 4));
    HostState::Instance().Reset();
}
BENCHMARK(RenderTexturedBox)->Arg(320)->Arg(640)->Arg(1280)->Unit(benchmark::kMillisecond);

// A view angle camera looking down at a square of `side` x `side` units from above its
// middle, and one directional light; with `width` x `height` proportions.
OpaqueTQ3Object* NewOverheadView(float side, int width, int height) {
    auto* camera = new Camera("vana"_4cc);
    float const middle = side / 2;
    camera->data.placement = {
        {middle, middle * 1.2f + 3, middle * 1.6f + 3}, {middle, 0, middle}, {0, 1, 0}};
    camera->data.range = {0.5f, 1000};
    camera->data.viewPort = {{-1, 1}, 2, 2};
    camera->fieldOfView = 0.9f;
    camera->aspectRatio = static_cast<float>(width) / static_cast<float>(height);
    OpaqueTQ3Object* lights = NewGroupOf(GroupKind::kLight);
    auto* sun = new Light("drct"_4cc);
    sun->direction = {-0.4f, -1, -0.6f};
    CGroupObject(lights).AddObject(CSharedObject(sun));
    Release(sun);
    OpaqueTQ3Object* view = NewView(camera, lights, {{0, 0}, {float(width), float(height)}});
    Release(camera);
    Release(lights);
    return view;
}

// n boxes in a square grid, each in a display group of its own with a transform and a
// diffuse colour (one of a few), seen from above; and the same view with nothing in it.
class BoxGrid {
public:
    BoxGrid(int n, int width, int height) {
        int const side = static_cast<int>(std::ceil(std::sqrt(n)));
        fView = NewOverheadView(static_cast<float>(side) * 1.5f, width, height);
        fBoxes = NewGroupOf(GroupKind::kPlain);
        for (int i = 0; i < n; ++i) {
            OpaqueTQ3Object* group = NewGroupOf(GroupKind::kDisplay);
            CGroupObject wrapper(group);
            CSetObject set(nullptr, true);
            set.AddDiffuseColor({0.3f + 0.2f * static_cast<float>(i % 4), 0.5f,
                                 0.9f - 0.2f * static_cast<float>(i % 3)});
            wrapper.SetSet(set);
            CMatrix4x4 m(1.0);
            m[3][0] = static_cast<float>(i % side) * 1.5f;
            m[3][2] = static_cast<float>(i / side) * 1.5f;
            wrapper.AddObject(CTransformObject(m));
            OpaqueTQ3Object* box = NewBox({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
            wrapper.AddObject(CSharedObject(box));
            Release(box);
            CGroupObject(fBoxes).AddObject(wrapper);
            Release(group);
        }
    }
    ~BoxGrid() {
        Release(fBoxes);
        Release(fView);
    }
    BoxGrid(BoxGrid const&) = delete;
    BoxGrid& operator=(BoxGrid const&) = delete;

    OpaqueTQ3Object* Boxes() const { return fBoxes; }

    refhost::Bitmap Render(int width, int height, bool empty) const {
        refhost::view3d::SceneSource source;
        source.view = fView;
        source.others = empty ? nullptr : fBoxes;
        return Renderer(empty).Render(source, width, height);
    }

private:
    OpaqueTQ3Object* fView = nullptr;
    OpaqueTQ3Object* fBoxes = nullptr;
};

void WritePicture(refhost::Bitmap const& picture, std::string const& name) {
    if (char const* folder = std::getenv("KEYPOSE_BENCH_PICTURES")) {
        picture.writePng(std::string(folder) + "/" + name + ".png");
    }
}

} // namespace

// A frame of n boxes against the empty frame of the same size, in turn. Targets: 1,000 boxes
// at most 2 times the empty frame, 10,000 at most 5.
static void BoxesAgainstEmpty(benchmark::State& state) {
    int const n = static_cast<int>(state.range(0));
    int const width = static_cast<int>(state.range(1));
    int const height = width == 1280 ? 720 : width * 3 / 4;
    BoxGrid const grid(n, width, height);
    grid.Render(width, height, false); // shapes made and uploaded, as after the first frame
    bench::SideBySide<2> times;
    refhost::Bitmap last(0, 0, {});
    for (auto _ : state) {
        times.Time(0, [&] { last = grid.Render(width, height, false); });
        times.Time(1, [&] { benchmark::DoNotOptimize(grid.Render(width, height, true)); });
    }
    WritePicture(last, "boxes_" + std::to_string(n) + "_" + std::to_string(width));
    times.ReportTime(state, 0, "boxes_frame", 1e6);
    times.ReportTime(state, 1, "empty_frame", 1e6);
    times.ReportRatio(state, 0, 1, 1, 1, n >= 10000 ? 5 : n >= 1000 ? 2 : 0);
    state.counters["draws"] = static_cast<double>(Renderer().LastFrame().draws);
}
BENCHMARK(BoxesAgainstEmpty)
    ->ArgsProduct({{1, 100, 1000, 10000}, {640, 1280}})
    ->ArgNames({"boxes", "width"})
    ->Unit(benchmark::kMillisecond);

// What a window does every tick with 10,000 animated groups: the tween pass and its scene
// writes (DoAnimation at the next frame's time), the palette's redraw with its timeline, and
// the 3D view; against the empty frame of the same size. Target: at most 6 times.
static void WindowFrameAgainstEmpty(benchmark::State& state) {
    constexpr uint32_t kGroups = 10000;
    int const width = static_cast<int>(state.range(0));
    int const height = width == 1280 ? 720 : width * 3 / 4;
    bench::BenchDocument document(kGroups);
    bench::GiveTweenPoints(document.Selected(), 2, 6000);
    // The groups lie on a 100 x 100 grid in x and y: the camera looks at all of them, lit
    // by the sun and an ambient light.
    auto* view = As<View>(PL_GetTheView());
    auto* camera = As<Camera>(view->camera);
    camera->data.placement = {{50, -20, 100}, {50, 45, 0}, {0, 1, 0}};
    auto* sun = new Light("drct"_4cc);
    sun->direction = {-0.4f, 0.3f, -1};
    auto* ambient = new Light("ambn"_4cc);
    ambient->common.brightness = 0.3f;
    for (Light* light : {sun, ambient}) {
        CGroupObject(view->lights).AddObject(CSharedObject(light));
        Release(light);
    }
    camera->aspectRatio = static_cast<float>(width) / static_cast<float>(height);
    BoxGrid const empty(0, width, height);
    PL_SetMinTime(0);
    PL_SetMaxTime(6000);
    PL_SetCurTime(1);
    SetUpDialog();
    gRecache = true;
    DoAnimation();
    refhost::Bitmap palette(0, 0, {});
    refhost::RenderWindowInto(*gPalette, palette);
    Renderer().Render(nullptr, width, height);

    bench::SideBySide<5> times;
    int32_t time = 1;
    refhost::Bitmap last(0, 0, {});
    for (auto _ : state) {
        time = time + 20 < 6000 ? time + 20 : 7;
        PL_SetCurTime(time);
        times.Time(0, [] { DoAnimation(); });
        times.Time(1, [&] { refhost::RenderWindowInto(*gPalette, palette); });
        times.Time(2, [&] { last = Renderer().Render(nullptr, width, height); });
        times.Time(3, [&] { benchmark::DoNotOptimize(empty.Render(width, height, true)); });
    }
    WritePicture(last, "window_frame_" + std::to_string(width));
    times.ReportTime(state, 0, "tween_pass", 1e6);
    times.ReportTime(state, 1, "palette", 1e6);
    times.ReportTime(state, 2, "view", 1e6);
    times.ReportTime(state, 3, "empty_frame", 1e6);
    double const frame = times.Nanoseconds(state, 0, 1) + times.Nanoseconds(state, 1, 1) +
                         times.Nanoseconds(state, 2, 1);
    double const emptyFrame = times.Nanoseconds(state, 3, 1);
    state.counters["ratio"] = emptyFrame == 0 ? 0.0 : frame / emptyFrame;
    state.counters["target"] = 6;
    state.counters["instances_uploaded"] =
        static_cast<double>(Renderer().LastFrame().instancesUploaded);
    PL_DisposeWindow(&gPalette);
}
// The scene walk alone: the draw list of n boxes with their shapes known.
static void GatherBoxes(benchmark::State& state) {
    BoxGrid const grid(static_cast<int>(state.range(0)), 640, 480);
    refhost::view3d::ShapeLibrary shapes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            refhost::view3d::GatherScene(shapes, nullptr, grid.Boxes(), nullptr));
    }
}
BENCHMARK(GatherBoxes)->Arg(1)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK(WindowFrameAgainstEmpty)
    ->Arg(640)
    ->Arg(1280)
    ->ArgName("width")
    ->Unit(benchmark::kMillisecond);
