// Recording one tween point for every selected group at three scene sizes, and recording
// into a long list.
#include <cstdint>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "authoring/add_tween_points.h"
#include "bench/bench_scene.h"
#include "bench/side_by_side.h"
#include "host/framework.h"
#include "tween/tween_handle_record.h"

// AddObjectTweenPoint over selections of the three sizes given, each group already holding a
// point at time 0 and one at the recorded time (which the recording replaces). Target: the
// cost per group of the largest at most 1.3 times that of the smallest.
static void RecordEverySelectedGroup(benchmark::State& state) {
    std::vector<std::unique_ptr<bench::BenchDocument>> documents;
    for (int k = 0; k < 3; ++k) {
        documents.push_back(
            std::make_unique<bench::BenchDocument>(static_cast<uint32_t>(state.range(k))));
        AddObjectTweenPoint(0);
        AddObjectTweenPoint(600);
    }
    bench::SideBySide<3> times;
    for (auto _ : state) {
        for (std::size_t k = 0; k < documents.size(); ++k) {
            documents[k]->BringToFront();
            times.Time(k, [] { AddObjectTweenPoint(600); });
        }
    }
    for (std::size_t k = 0; k < documents.size(); ++k) {
        times.ReportTime(state, k, "per_group_" + std::to_string(documents[k]->Groups()),
                         documents[k]->Groups());
    }
    times.ReportRatio(state, 2, documents[2]->Groups(), 0, documents[0]->Groups(), 1.3);
}
BENCHMARK(RecordEverySelectedGroup)
    ->Args({1000, 10000, 40000})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// One new tween point in the middle of a group's list of 10,000 (the list grows by one
// record); the point is taken out again between runs, untimed.
static void RecordIntoLongList(benchmark::State& state) {
    auto const points = static_cast<uint32_t>(state.range(0));
    bench::BenchDocument document(1);
    bench::GiveTweenPoints(document.Selected(), points, 6);
    CGroupObject group(document.Selected(), document.Selected().GetFirstObject());
    int32_t const middle = static_cast<int32_t>(points / 2) * 6 + 3;
    for (auto _ : state) {
        AddObjectTweenPoint(middle);
        state.PauseTiming();
        CSetObject set(group);
        CTweenHandleRecord list(set);
        list.Remove(points / 2 + 1);
        set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
        state.ResumeTiming();
    }
}
BENCHMARK(RecordIntoLongList)->Arg(10000)->Unit(benchmark::kMicrosecond);
