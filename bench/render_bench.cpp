// The render mode: its time per frame against the 3D frame alone, side by side by the wall
// clock (a render's work is spread over threads), and the peak memory of a render of 100
// frames beside one of 1,000, which a render that streams its frames to disk keeps the same.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>

#include "peak_memory.h"
#include "refhost/app/frame_renderer.h"
#include "refhost/app/modes.h"
#include "refhost/app/png_file.h"
#include "refhost/view3d/gl_context.h"
#include "side_by_side.h"

namespace {

std::filesystem::path ScratchFolder() {
    return std::filesystem::temp_directory_path() / "keypose_render_bench";
}

keypose_host::RenderOptions Options(std::size_t frames, int width, int height) {
    keypose_host::RenderOptions options;
    options.document = std::string(KEYPOSE_EXAMPLES_DIR) + "/crate_moves.json";
    options.plugIn = KEYPOSE_MODULE_PATH;
    options.out = ScratchFolder().string();
    // The example's range is 6 s: 1,000 frames fit in it at 200 frames a second.
    options.fps = 200;
    options.from = 0;
    options.to = static_cast<double>(frames - 1) / options.fps;
    options.width = width;
    options.height = height;
    return options;
}

// Render mode's frames, 10 at a time until their files are written, against as many 3D frames
// alone, at range(0) x range(1), with the palette's frames (range(2) 1) or without them. The
// same frames drawn and written one after the other on the drawing thread by the toolkit's
// PNG writer, as the render mode did before, give "before_ratio". The "work" ratios compare
// the processor time of all the program's threads instead. The frames are those of a render of
// 600 frames, its contact sheet taking 12 of them as such a render's would.
void RenderModeAgainstFrame(benchmark::State& state) {
    int const width = static_cast<int>(state.range(0));
    int const height = static_cast<int>(state.range(1));
    bool const palette = state.range(2) != 0;
    constexpr std::size_t kBatch = 10;
    constexpr std::size_t kFrames = 600;
    std::filesystem::create_directories(ScratchFolder());
    {
        keypose_host::RenderOptions const options = Options(kFrames, width, height);
        refhost::HostSession session(options.plugIn);
        session.Open(options.document);
        auto context = refhost::view3d::GlContext::Headless();
        refhost::view3d::SceneRenderer renderer;
        keypose_host::FrameWriter writer(keypose_host::FrameWriter::DefaultWorkers(),
                                         2 * keypose_host::FrameWriter::DefaultWorkers() + 2);
        keypose_host::FramePlan const plan = keypose_host::PlanFrames(0, 5.99, 100, {});
        keypose_host::FrameRenderer frames(session, renderer, plan,
                                           {ScratchFolder(), width, height, palette, {}}, writer);
        // The same operations by the wall clock and by the processor time of every thread of
        // the program (the work they cost, whatever else the machine runs).
        bench::SideBySide<3, bench::Clock::kWall> timing;
        bench::SideBySide<3, bench::Clock::kProcess> work;
        auto timed = [&](std::size_t which, auto&& operation) {
            timing.Time(which, [&] { work.Time(which, operation); });
        };
        refhost::Bitmap paletteImage(0, 0, {});
        std::size_t next = 0;
        for (auto _ : state) {
            timed(0, [&] {
                for (std::size_t i = 0; i < kBatch; ++i) {
                    frames.Draw(next++ % kFrames);
                }
                writer.Finish();
            });
            timed(1, [&] {
                for (std::size_t i = 0; i < kBatch; ++i) {
                    benchmark::DoNotOptimize(renderer.Render(nullptr, width, height));
                }
            });
            timed(2, [&] {
                for (std::size_t i = 0; i < kBatch; ++i) {
                    std::size_t const index = next++ % kFrames;
                    session.SetTime(plan.TimeOf(index));
                    renderer.Render(nullptr, width, height)
                        .writePng(keypose_host::FrameFile(ScratchFolder(), "view", index));
                    if (palette) {
                        refhost::RenderWindowInto(session.Palette(), paletteImage);
                        paletteImage.writePng(
                            keypose_host::FrameFile(ScratchFolder(), "palette", index));
                    }
                }
            });
        }
        timing.ReportTime(state, 0, "render_mode", kBatch);
        timing.ReportTime(state, 1, "frame_alone", kBatch);
        work.ReportRatio(state, 2, 1, 1, 1, 1.3);
        state.counters["before_work_ratio"] = state.counters["ratio"];
        work.ReportRatio(state, 0, 1, 1, 1, 1.3);
        state.counters["work_ratio"] = state.counters["ratio"];
        timing.ReportRatio(state, 2, 1, 1, 1, 1.3);
        state.counters["before_ratio"] = state.counters["ratio"];
        timing.ReportRatio(state, 0, 1, 1, 1, 1.3);
    }
    std::filesystem::remove_all(ScratchFolder());
}
BENCHMARK(RenderModeAgainstFrame)
    ->ArgNames({"width", "height", "palette"})
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1280, 720, 0})
    ->Args({1280, 720, 1})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// One rendered frame of the crate at range(0) x range(1) as a PNG file: the render mode's
// fast level against the toolkit's writer (Cairo's, zlib's default level), by processor time.
void EncodeFrame(benchmark::State& state) {
    int const width = static_cast<int>(state.range(0));
    int const height = static_cast<int>(state.range(1));
    std::filesystem::create_directories(ScratchFolder());
    refhost::Bitmap image(0, 0, {});
    {
        keypose_host::RenderOptions const options = Options(1, width, height);
        refhost::HostSession session(options.plugIn);
        session.Open(options.document);
        session.SetTime(2);
        auto context = refhost::view3d::GlContext::Headless();
        refhost::view3d::SceneRenderer renderer;
        image = renderer.Render(nullptr, width, height);
    }
    std::string const fast = (ScratchFolder() / "fast.png").string();
    std::string const toolkit = (ScratchFolder() / "toolkit.png").string();
    bench::SideBySide<2> timing;
    for (auto _ : state) {
        timing.Time(0, [&] { keypose_host::WritePng(fast, image); });
        timing.Time(1, [&] { image.writePng(toolkit); });
    }
    timing.ReportTime(state, 0, "fast", 1);
    timing.ReportTime(state, 1, "toolkit", 1);
    timing.ReportRatio(state, 0, 1, 1, 1, 1);
    state.counters["fast_bytes"] = static_cast<double>(std::filesystem::file_size(fast));
    state.counters["toolkit_bytes"] = static_cast<double>(std::filesystem::file_size(toolkit));
    std::filesystem::remove_all(ScratchFolder());
}
BENCHMARK(EncodeFrame)
    ->ArgNames({"width", "height"})
    ->Args({640, 480})
    ->Args({1280, 720})
    ->Unit(benchmark::kMillisecond);

// A whole render of range(0) frames at 640x480: the program's peak resident memory during it
// (the first render run also loads the plug-in and OpenGL's libraries).
void RenderPeakMemory(benchmark::State& state) {
    auto const frames = static_cast<std::size_t>(state.range(0));
    std::size_t peak = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(ScratchFolder());
        if (!bench::ResetPeakMemory()) {
            state.SkipWithError("the peak memory cannot be reset on this kernel");
            return;
        }
        std::streambuf* const shown = std::cout.rdbuf(nullptr);
        keypose_host::RunRender(Options(frames, 640, 480));
        std::cout.rdbuf(shown);
        peak = bench::PeakMemory();
    }
    std::filesystem::remove_all(ScratchFolder());
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}
BENCHMARK(RenderPeakMemory)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
