// What one frame of the 3D view costs on Mesa's software rasterizer: the whole render of a
// bundled example at three image sizes, and of a grid of 1 to 1,000 boxes at one size, with
// the scene walk alone beside it (the rest is OpenGL's drawing and the read-back).
#include <benchmark/benchmark.h>

#include <cmath>

#include "host/framework.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/scene/build.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_gather.h"
#include "refhost/view3d/scene_renderer.h"

namespace {

using refhost::HostState;
using namespace refhost::scene;

// One context and renderer for the whole program, as a window keeps them.
refhost::view3d::SceneRenderer& Renderer() {
    static std::unique_ptr<refhost::view3d::GlContext> context =
        refhost::view3d::GlContext::Headless();
    static refhost::view3d::SceneRenderer renderer;
    return renderer;
}

void OpenExample(char const* name) {
    HostState::Instance().Reset();
    HostState::Instance().Open(
        refhost::OpenDocument(std::string(KEYPOSE_EXAMPLES_DIR) + "/" + name));
}

// n boxes in a square grid in the other objects, seen from above by a view angle camera.
void OpenBoxes(int n) {
    HostState::Instance().Reset();
    auto document = std::make_unique<refhost::Document>();
    int const side = static_cast<int>(std::ceil(std::sqrt(n)));
    for (int i = 0; i < n; ++i) {
        OpaqueTQ3Object* group = NewGroupOf(GroupKind::kDisplay);
        CMatrix4x4 m(1.0);
        m[3][0] = static_cast<float>(i % side) * 1.5f;
        m[3][2] = static_cast<float>(i / side) * 1.5f;
        CGroupObject wrapper(group);
        wrapper.AddObject(CTransformObject(m));
        OpaqueTQ3Object* box = NewBox({-0.5f, -0.5f, -0.5f}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
        wrapper.AddObject(CSharedObject(box));
        Release(box);
        CGroupObject(document->OtherGroup()).AddObject(wrapper);
        Release(group);
    }
    auto* camera = new Camera("vana"_4cc);
    float const middle = static_cast<float>(side) * 0.75f;
    camera->data.placement = {
        {middle, middle * 2 + 3, middle * 2 + 3}, {middle, 0, middle}, {0, 1, 0}};
    camera->data.range = {0.5f, 1000};
    camera->data.viewPort = {{-1, 1}, 2, 2};
    camera->fieldOfView = 0.9f;
    camera->aspectRatio = 640.0f / 480.0f;
    OpaqueTQ3Object* lights = NewGroupOf(GroupKind::kLight);
    auto* sun = new Light("drct"_4cc);
    sun->direction = {-0.4f, -1, -0.6f};
    CGroupObject(lights).AddObject(CSharedObject(sun));
    Release(sun);
    OpaqueTQ3Object* view = NewView(camera, lights, {{0, 0}, {640, 480}});
    document->AddView(view);
    Release(view);
    Release(camera);
    Release(lights);
    HostState::Instance().Open(std::move(document));
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

void RenderBoxes(benchmark::State& state) {
    OpenBoxes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Renderer().Render(nullptr, 640, 480));
    }
    HostState::Instance().Reset();
}
BENCHMARK(RenderBoxes)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void GatherBoxes(benchmark::State& state) {
    OpenBoxes(static_cast<int>(state.range(0)));
    auto* view = As<View>(PL_GetTheView());
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            refhost::view3d::GatherScene(PL_GetGroupObject(kPLSelectedObjectsGroup),
                                         PL_GetGroupObject(kPLOtherObjectsGroup), view->lights));
    }
    HostState::Instance().Reset();
}
BENCHMARK(GatherBoxes)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
