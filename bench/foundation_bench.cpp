// The costs that every tween pass and every recorded tween point pay: growing a block one
// record at a time, and decomposing and rebuilding a transform.
#include <benchmark/benchmark.h>

#include "host/memory.h"
#include "host/quaternion.h"

static void GrowBlockOneRecordAtATime(benchmark::State& state) {
    auto const records = static_cast<Size>(state.range(0));
    for (auto _ : state) {
        Handle h = NewHandle(8);
        for (Size i = 1; i <= records; ++i) {
            SetHandleSize(h, 8 + i * 144);
        }
        benchmark::DoNotOptimize(*h);
        DisposeHandle(h);
    }
    state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(GrowBlockOneRecordAtATime)->Arg(16)->Arg(256);

static void DecomposeAndRebuildTransform(benchmark::State& state) {
    CMatrix4x4 m =
        ScaleMat({1.5f, 2, 0.5f}) * RotateMat(CVector3D(1, 2, 3), 0.8f) * TranslateMat({4, 5, 6});
    CMatrix4x4 target = RotateMat(CVector3D(0, 1, 0), 2.0f);
    for (auto _ : state) {
        CMatrix4x4 r = m.ExtractRotation();
        CMatrix4x4 s = (m * InverseOf(r)).ExtractScale();
        CQuaternion q = InterpolateLinear(CQuaternion(r), CQuaternion(target), 0.3f);
        benchmark::DoNotOptimize(s * CMatrix4x4(q));
    }
}
BENCHMARK(DecomposeAndRebuildTransform);
