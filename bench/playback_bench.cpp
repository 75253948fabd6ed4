// The playback tick at scale: the tween pass of every animated group against the scene
// writes alone, and with many tween points per group against two.
#include <cstdint>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/allocation_count.h"
#include "bench/bench_scene.h"
#include "bench/side_by_side.h"
#include "host/framework.h"
#include "interp/easing.h"
#include "playback/animation.h"
#include "playback/scene_writers.h"
#include "plugin/plugin_state.h"
#include "tween/cache.h"
#include "tween/object_cache.h"
#include "tween/recache.h"
#include "tween/row_order.h"

namespace {

// Tween points span the same time whatever their number: 1,000 points a second (600 units)
// apart, or two points at the ends.
constexpr int32_t kPointStep = 600;
constexpr uint32_t kManyPoints = 1000;
constexpr int32_t kSpan = kPointStep * static_cast<int32_t>(kManyPoints - 1);

// The tick times: while playing, the clock moves on by one frame at 30 frames a second (20
// units) and starts again at the end; while scrubbing, it jumps to a new time anywhere. No
// tick falls on a tween point, so every object blends in both scenes.
class TickClock {
public:
    explicit TickClock(bool scrubbing) : fScrubbing(scrubbing) {}
    int32_t Next() {
        if (!fScrubbing) {
            fLast = fLast + 20 < kSpan ? fLast + 20 : 7;
            return fLast;
        }
        fState = fState * 1664525u + 1013904223u;
        int32_t time = static_cast<int32_t>((fState >> 8) % (kManyPoints - 1)) * kPointStep + 7;
        if (time == fLast) {
            time = time + kPointStep < kSpan ? time + kPointStep : 7;
        }
        fLast = time;
        return time;
    }

private:
    bool fScrubbing;
    uint32_t fState = 12345;
    int32_t fLast = 7;
};

void BuildRows(TDynamicArray<CCache*>& rows) {
    RecacheObjects(rows, gAnimateColourItems, gAnimateLightItems, gAnimateTextureItems);
}

void TweenPass(TDynamicArray<CCache*>& rows) {
    for (uint32_t i = 0; i < rows.Count(); ++i) {
        rows[i]->DoTween();
    }
}

} // namespace

// DoAnimation at the next frame's time for every group against the same writes (transform,
// colours) of records blended beforehand. Target: the tick at most 1.5 times the writes. The
// tick should allocate nothing.
static void TickAgainstSceneWrites(benchmark::State& state) {
    auto const groups = static_cast<uint32_t>(state.range(0));
    bench::BenchDocument document(groups);
    bench::GiveTweenPoints(document.Selected(), 2, kSpan);
    gRecache = true;
    PL_SetCurTime(1);
    DoAnimation();

    struct Write {
        OpaqueTQ3Object* object;
        ObjectTweenRecord record;
    };
    std::vector<Write> writes;
    for (uint32_t i = 0; i < gTimeLineCache.Count(); ++i) {
        CCache const& cache = *gTimeLineCache[i];
        Write write{cache.object, {}};
        std::memcpy(&write.record, cache.records[0].bytes, sizeof write.record);
        writes.push_back(write);
    }

    bench::SideBySide<2> times;
    TickClock clock(false);
    uint64_t allocations = 0;
    for (auto _ : state) {
        PL_SetCurTime(clock.Next());
        uint64_t const before = bench::AllocationCount();
        times.Time(0, [] { DoAnimation(); });
        allocations += bench::AllocationCount() - before;
        times.Time(1, [&writes] {
            for (Write const& write : writes) {
                SetTweenAllInfoDataTransformMatrix(write.object, write.record);
                SetTweenAllInfoDataChange(write.object, write.record);
            }
        });
    }
    state.counters["allocations_per_tick"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations());
    times.ReportTime(state, 0, "tick_per_group", groups);
    times.ReportTime(state, 1, "writes_per_group", groups);
    times.ReportRatio(state, 0, 1, 1, 1, 1.5);
}
BENCHMARK(TickAgainstSceneWrites)->Arg(10000)->Arg(1000)->Unit(benchmark::kMillisecond);

// The tween pass (each row's DoTween, as DoAnimation runs it) over groups with 1,000 tween
// points against the same number of groups with 2, at the same new time, while playing
// (argument 0) or scrubbing (1), or scrubbing after the clock has swept the whole span once
// (2), as after a first play or scrub through it. Target: at most 1.2 times, so the search
// does not grow with the number of points, and a jump does not take a placement apart once
// a blend has reached its points (the parts kept per point are reported).
static void TickManyPointsAgainstTwo(benchmark::State& state) {
    auto const groups = static_cast<uint32_t>(state.range(0));
    bench::BenchDocument two(groups);
    bench::GiveTweenPoints(two.Selected(), 2, kSpan);
    TDynamicArray<CCache*> twoRows;
    BuildRows(twoRows);
    bench::BenchDocument many(groups);
    bench::GiveTweenPoints(many.Selected(), kManyPoints, kPointStep);
    TDynamicArray<CCache*> manyRows;
    BuildRows(manyRows);

    if (state.range(1) == 2) {
        for (int32_t t = 7; t < kSpan; t += kPointStep) {
            PL_SetCurTime(t);
            TweenPass(manyRows);
            TweenPass(twoRows);
        }
    }
    bench::SideBySide<2> times;
    TickClock clock(state.range(1) != 0);
    for (auto _ : state) {
        PL_SetCurTime(clock.Next());
        times.Time(0, [&manyRows] { TweenPass(manyRows); });
        times.Time(1, [&twoRows] { TweenPass(twoRows); });
    }
    times.ReportTime(state, 0, "many_per_group", groups);
    times.ReportTime(state, 1, "two_per_group", groups);
    times.ReportRatio(state, 0, 1, 1, 1, 1.2);
    state.counters["kept_bytes_per_point"] =
        static_cast<double>(CTweenAllInfoDataCache::kKeptBytesPerPoint);
    DisposeOfLists(manyRows);
    DisposeOfLists(twoRows);
}
BENCHMARK(TickManyPointsAgainstTwo)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({1000, 2})
    ->ArgNames({"groups", "scrubbing"})
    ->Unit(benchmark::kMillisecond);

// The tween pass over groups whose intervals ease in and out against the same groups with
// linear intervals, at the same new time each tick, playing. Target: within 5 %, so an
// ease costs no more than its few multiplications.
static void TickEasedAgainstLinear(benchmark::State& state) {
    auto const groups = static_cast<uint32_t>(state.range(0));
    bench::BenchDocument linear(groups);
    bench::GiveTweenPoints(linear.Selected(), 2, kSpan);
    TDynamicArray<CCache*> linearRows;
    BuildRows(linearRows);
    bench::BenchDocument eased(groups);
    bench::GiveTweenPoints(eased.Selected(), 2, kSpan);
    TDynamicArray<CCache*> easedRows;
    BuildRows(easedRows);
    for (uint32_t i = 0; i < easedRows.Count(); ++i) {
        easedRows[i]->Record(0).ease = eEaseInOut;
    }

    bench::SideBySide<2> times;
    TickClock clock(false);
    bool easedFirst = true;
    for (auto _ : state) {
        PL_SetCurTime(clock.Next());
        // Each goes first every other tick, so neither gains from the order.
        auto timeEased = [&] { times.Time(0, [&easedRows] { TweenPass(easedRows); }); };
        auto timeLinear = [&] { times.Time(1, [&linearRows] { TweenPass(linearRows); }); };
        if (easedFirst) {
            timeEased();
            timeLinear();
        } else {
            timeLinear();
            timeEased();
        }
        easedFirst = !easedFirst;
    }
    times.ReportTime(state, 0, "eased_per_group", groups);
    times.ReportTime(state, 1, "linear_per_group", groups);
    times.ReportRatio(state, 0, 1, 1, 1, 1.05);
    DisposeOfLists(easedRows);
    DisposeOfLists(linearRows);
}
BENCHMARK(TickEasedAgainstLinear)->Arg(10000)->Unit(benchmark::kMillisecond);
