// The memory of the undo history over a session of recordings into a document of about
// 1.3 MB, each recording one undo step as the palette makes it, after 100 and 1,000
// recordings: what the history holds (each step as what it changed) and the process's peak
// memory, beside a history of whole copies of the document (as steps were once kept) run the
// same way.
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "authoring/add_tween_points.h"
#include "bench/bench_scene.h"
#include "bench/peak_memory.h"
#include "host/framework.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

} // namespace

// One group with a long tween list (the document's bulk, one long line of base64), then
// recordings one after another at later times, each kept as an undo step first: by the
// host's history, or (range 1 = 1) as whole copies of the document text.
static void UndoHistoryOfRecordings(benchmark::State& state) {
    auto const recordings = static_cast<int32_t>(state.range(0));
    bool const wholeCopies = state.range(1) == 1;
    constexpr uint32_t kPoints = 6000;
    constexpr int32_t kStep = 6;
    for (auto _ : state) {
        refhost::HostState& host = refhost::HostState::Instance();
        refhost::UseDocumentTextForUndo();
        std::vector<std::string> copies;
        double documentSize = 0;
        {
            bench::BenchDocument document(1);
            bench::GiveTweenPoints(document.Selected(), kPoints, kStep);
            bench::ResetPeakMemory();
            double const before = static_cast<double>(bench::PeakMemory()) / kMegabyte;
            for (int32_t i = 0; i < recordings; ++i) {
                if (wholeCopies) {
                    copies.push_back(host.makeSnapshot(*host.Front()));
                    documentSize = static_cast<double>(copies.back().size()) / kMegabyte;
                } else {
                    PL_DoUndo(1, 1, 0, 0);
                }
                AddObjectTweenPoint(static_cast<int32_t>(kPoints) * kStep + (i + 1) * kStep);
            }
            std::size_t held = host.HistoryBytes();
            for (auto const& copy : copies) {
                held += copy.capacity();
            }
            state.counters["history_MB"] = static_cast<double>(held) / kMegabyte;
            state.counters["peak_growth_MB"] =
                static_cast<double>(bench::PeakMemory()) / kMegabyte - before;
            if (!wholeCopies) {
                documentSize =
                    static_cast<double>(host.makeSnapshot(*host.Front()).size()) / kMegabyte;
            }
            state.counters["document_MB"] = documentSize;
            bench::ReleasePluginLists();
        }
        host.Reset();
    }
}
BENCHMARK(UndoHistoryOfRecordings)
    ->ArgNames({"recordings", "whole_copies"})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
