// Rebuilding the caches at two scene sizes, and against a plain copy of the record bytes.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_scene.h"
#include "bench/side_by_side.h"
#include "tween/recache.h"
#include "tween/tween_handle_record.h"

namespace {

// One recache of the front document; the caches of the previous one are released first,
// untimed, since they may belong to another document.
template <std::size_t N>
void TimeRecache(bench::SideBySide<N>& times, std::size_t which) {
    bench::ReleasePluginLists();
    times.Time(which, [] {
        RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems,
                       gAnimateTextureItems);
    });
}

} // namespace

// Two selections of the sizes given, each group with two tween points. Target: the larger's
// recache at most 12 times the smaller's for 10 times the objects.
static void RecacheAtTwoSizes(benchmark::State& state) {
    std::vector<std::unique_ptr<bench::BenchDocument>> documents;
    for (int k = 0; k < 2; ++k) {
        documents.push_back(
            std::make_unique<bench::BenchDocument>(static_cast<uint32_t>(state.range(k))));
        bench::GiveTweenPoints(documents.back()->Selected(), 2, 600);
    }
    bench::SideBySide<2> times;
    for (auto _ : state) {
        for (std::size_t k = 0; k < documents.size(); ++k) {
            documents[k]->BringToFront();
            TimeRecache(times, k);
        }
    }
    for (std::size_t k = 0; k < documents.size(); ++k) {
        times.ReportTime(state, k, "per_object_" + std::to_string(documents[k]->Groups()),
                         documents[k]->Groups());
    }
    times.ReportRatio(state, 1, 1, 0, 1, 12);
}
BENCHMARK(RecacheAtTwoSizes)->Args({10000, 100000})->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Groups with many tween points: the recache against copying the same record bytes out of
// the stored lists into one block made beforehand. Target: at most 5 times the copy.
static void RecacheAgainstPlainCopy(benchmark::State& state) {
    auto const groups = static_cast<uint32_t>(state.range(0));
    auto const points = static_cast<uint32_t>(state.range(1));
    bench::BenchDocument document(groups);
    bench::GiveTweenPoints(document.Selected(), points, 6);

    std::vector<CTweenHandleRecord> lists;
    CGroupObject selection = document.Selected();
    for (auto* p = selection.GetFirstObject(); p; p = selection.NextPosition(p)) {
        lists.emplace_back(CSetObject(CGroupObject(selection, p)));
    }
    std::vector<char> copy(std::size_t{groups} * points * kObjectRecordSize);
    bench::SideBySide<2> times;
    for (auto _ : state) {
        TimeRecache(times, 0);
        times.Time(1, [&lists, &copy] {
            char* to = copy.data();
            for (CTweenHandleRecord const& list : lists) {
                std::size_t const bytes = std::size_t{list.GetCount()} * list.RecordSize();
                std::memcpy(to, list[0], bytes);
                to += bytes;
            }
            benchmark::DoNotOptimize(copy.data());
        });
    }
    double const bytes = static_cast<double>(copy.size());
    state.counters["record_MB"] = bytes / 1e6;
    times.ReportTime(state, 0, "recache", 1);
    times.ReportTime(state, 1, "copy", 1);
    times.ReportRatio(state, 0, 1, 1, 1, 5);
}
BENCHMARK(RecacheAgainstPlainCopy)->Args({1000, 200})->Unit(benchmark::kMillisecond);
