// The memory of the undo history over a session of recordings into a document of about
// 1.4 MB, each recording one undo step as the palette makes it: what the history holds
// (each step as what it changed) beside what whole copies of the document would take, and
// the heap in use, after 100 and 1,000 recordings.
#include <malloc.h>

#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>

#include "authoring/add_tween_points.h"
#include "bench/bench_scene.h"
#include "host/framework.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

double HeapInUse() {
    return static_cast<double>(mallinfo2().uordblks) / kMegabyte;
}

} // namespace

// One group with a long tween list (the document's bulk, one long line of base64), then
// recordings one after another at later times, each kept as an undo step first.
static void UndoHistoryOfRecordings(benchmark::State& state) {
    auto const recordings = static_cast<int32_t>(state.range(0));
    constexpr uint32_t kPoints = 6000;
    constexpr int32_t kStep = 6;
    for (auto _ : state) {
        refhost::HostState& host = refhost::HostState::Instance();
        refhost::UseDocumentTextForUndo();
        double wholeCopies = 0;
        double documentSize = 0;
        double peakHeap = 0;
        double const heapBefore = HeapInUse();
        {
            bench::BenchDocument document(1);
            bench::GiveTweenPoints(document.Selected(), kPoints, kStep);
            for (int32_t i = 0; i < recordings; ++i) {
                std::string const before = host.makeSnapshot(*host.Front());
                documentSize = static_cast<double>(before.size()) / kMegabyte;
                wholeCopies += documentSize;
                PL_DoUndo(1, 1, 0, 0);
                AddObjectTweenPoint(static_cast<int32_t>(kPoints) * kStep + (i + 1) * kStep);
                if (i % 50 == 0 || i + 1 == recordings) {
                    peakHeap = std::max(peakHeap, HeapInUse() - heapBefore);
                }
            }
            state.counters["document_MB"] = documentSize;
            state.counters["history_MB"] = static_cast<double>(host.HistoryBytes()) / kMegabyte;
            state.counters["whole_copies_MB"] = wholeCopies;
            state.counters["heap_growth_MB"] = peakHeap;
            bench::ReleasePluginLists();
        }
        host.Reset();
    }
}
BENCHMARK(UndoHistoryOfRecordings)->Arg(100)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);
