// Editing at scale, per operation: one drag event moving many selected tween points.
#include <cstdint>

#include <benchmark/benchmark.h>

#include "authoring/tween_editing.h"
#include "bench/bench_scene.h"
#include "host/framework.h"
#include "tween/cache.h"
#include "tween/recache.h"

// The later of two points of every group is selected; each drag event moves the mouse one
// pixel, left and right in turn, so the times stay within the clock.
static void DragSelectedPoints(benchmark::State& state) {
    auto const groups = static_cast<uint32_t>(state.range(0));
    bench::BenchDocument document(groups);
    bench::GiveTweenPoints(document.Selected(), 2, 6000);
    RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems, gAnimateTextureItems);
    for (uint32_t i = 0; i < gTimeLineCache.Count(); ++i) {
        gTimeLineCache[i]->Record(1).selected = true;
    }
    NSPoint last{100, 10};
    float step = 1;
    for (auto _ : state) {
        NSPoint p{last.x + step, last.y};
        MoveSelectedTweens(gTimeLineCache, p, last);
        last = p;
        step = -step;
    }
    state.counters["selected_points"] = groups;
}
BENCHMARK(DragSelectedPoints)->Arg(1000)->Unit(benchmark::kMicrosecond);
