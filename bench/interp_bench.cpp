// The blends every animation pass makes for each animated object and for the camera: an
// object's transform turned about its bounding-box centre, and a camera swung round where
// its two lines of sight meet.
#include <benchmark/benchmark.h>

#include "host/matrix4x4.h"
#include "host/quaternion.h"
#include "interp/camera_placement_tween.h"
#include "interp/matrix_tween.h"

static void BlendTransformAboutPivot(benchmark::State& state) {
    CMatrix4x4 const from = ScaleMat({1.5f, 2, 0.5f}) * TranslateMat({4, 5, 6});
    CMatrix4x4 const to =
        ScaleMat({1, 1, 2}) * RotateMat(CVector3D(1, 2, 3), 1.2f) * TranslateMat({-3, 0, 8});
    CPoint3D const centre(0.5f, 1, -0.25f);
    float f = 0.0f;
    for (auto _ : state) {
        TQ3Matrix4x4 m = from;
        f = f < 0.99f ? f + 0.01f : 0.01f;
        TweenMatrix(&m, to, f, centre);
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BlendTransformAboutPivot);

static void SwingCameraPlacement(benchmark::State& state) {
    TQ3CameraPlacement const from{{0, 2, 10}, {0, 0, 0}, {0, 1, 0}};
    TQ3CameraPlacement const to{{10, 4, 0}, {1, 0, 0}, {0, 1, 0.2f}};
    float f = 0.0f;
    for (auto _ : state) {
        TQ3CameraPlacement camera = from;
        f = f < 0.99f ? f + 0.01f : 0.01f;
        TweenCameraPlacement(&camera, to, f);
        benchmark::DoNotOptimize(camera);
    }
}
BENCHMARK(SwingCameraPlacement);

// The part of a kept pivot blend that each tick still pays: the library's quaternion
// interpolation and the products made with the shape they have.
static void BlendKeptAboutPivot(benchmark::State& state) {
    CMatrix4x4 const from = ScaleMat({1.5f, 2, 0.5f}) * TranslateMat({4, 5, 6});
    CMatrix4x4 const to =
        ScaleMat({1, 1, 2}) * RotateMat(CVector3D(1, 2, 3), 1.2f) * TranslateMat({-3, 0, 8});
    CPivotMatrixBlend const kept(from, to, CPoint3D(0.5f, 1, -0.25f));
    float f = 0.0f;
    for (auto _ : state) {
        f = f < 0.99f ? f + 0.01f : 0.01f;
        benchmark::DoNotOptimize(kept.At(f));
    }
}
BENCHMARK(BlendKeptAboutPivot);

static void InterpolateRotations(benchmark::State& state) {
    CQuaternion const a(RotateMat(CVector3D(0, 1, 0), 0.3f));
    CQuaternion const b(RotateMat(CVector3D(1, 2, 3), 1.2f));
    float f = 0.0f;
    for (auto _ : state) {
        f = f < 0.99f ? f + 0.01f : 0.01f;
        benchmark::DoNotOptimize(InterpolateLinear(a, b, f));
    }
}
BENCHMARK(InterpolateRotations);
