// The render mode as a user runs it: the peak memory of a render of 100 frames beside one of
// 1,000, which a render that streams its frames to disk keeps the same.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>

#include "peak_memory.h"
#include "refhost/app/modes.h"

namespace {

std::filesystem::path ScratchFolder() {
    return std::filesystem::temp_directory_path() / "keypose_render_bench";
}

keypose_host::RenderOptions Options(std::size_t frames, int width, int height) {
    keypose_host::RenderOptions options;
    options.document = std::string(KEYPOSE_EXAMPLES_DIR) + "/crate_moves.json";
    options.plugIn = KEYPOSE_MODULE_PATH;
    options.out = ScratchFolder().string();
    options.fps = 100;
    options.from = 0;
    options.to = static_cast<double>(frames - 1) / options.fps;
    options.width = width;
    options.height = height;
    return options;
}

// A whole render of range(0) frames at 640x480: the peak resident memory during it, and how
// much that lies above what the program held before it started.
void RenderPeakMemory(benchmark::State& state) {
    auto const frames = static_cast<std::size_t>(state.range(0));
    std::size_t peak = 0;
    std::size_t growth = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(ScratchFolder());
        std::size_t const before = bench::ResidentMemory();
        if (!bench::ResetPeakMemory()) {
            state.SkipWithError("the peak memory cannot be reset on this kernel");
            return;
        }
        std::streambuf* const shown = std::cout.rdbuf(nullptr);
        keypose_host::RunRender(Options(frames, 640, 480));
        std::cout.rdbuf(shown);
        peak = bench::PeakMemory();
        growth = peak > before ? peak - before : 0;
    }
    std::filesystem::remove_all(ScratchFolder());
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["growth_MB"] = static_cast<double>(growth) / 1e6;
}
BENCHMARK(RenderPeakMemory)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
