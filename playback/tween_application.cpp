// The DoTween bodies of the three cache kinds: find the two tween points around the current
// time, blend a copy of the earlier one toward the later, and write it into the scene.
#include <cmath>
#include <cstring>

#include "host/framework.h"
#include "host/scene.h"
#include "interp/camera_tween.h"
#include "interp/easing.h"
#include "interp/light_tween.h"
#include "interp/matrix_tween.h"
#include "interp/value_tween.h"
#include "playback/cache_application.h"
#include "playback/camera_placement.h"
#include "playback/interval_search.h"
#include "playback/scene_writers.h"
#include "tween/camera_cache.h"
#include "tween/light_cache.h"
#include "tween/object_cache.h"

namespace {

template <typename Record>
Record RecordAt(CCache const& cache, uint32_t index) {
    Record record;
    std::memcpy(&record, cache.records[index].bytes, sizeof record);
    return record;
}

int32_t TimeOf(CCache const& cache, uint32_t index) {
    return cache.Record(index).time;
}

// The interval at now, searched in the cache's block of times and confirmed by the records
// it names (which are read next anyway; in time order, they also confirm that now lies after
// the first); when the block is stale it is made again from the records and the search runs
// on them.
TweenInterval IntervalAt(CCache& cache, int32_t now) {
    uint32_t const count = cache.Count();
    auto recordTime = [&cache](uint32_t i) { return TimeOf(cache, i); };
    bool stale = cache.searchTimes.size() != count;
    if (!stale && now > cache.searchTimes[0]) {
        auto blockTime = [&cache](uint32_t i) { return cache.searchTimes[i]; };
        uint32_t const next = FirstPointFrom(count, now, blockTime, cache.searchCursor);
        if (IsFirstPointFrom(count, now, next, recordTime)) {
            return TweenIntervalFrom(count, now, next, recordTime);
        }
        stale = true;
    }
    if (stale) {
        cache.searchTimes.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            cache.searchTimes[i] = recordTime(i);
        }
    }
    return FindTweenInterval(count, now, recordTime, cache.searchCursor);
}

// Objects and lights: the first point before the first time, the last after the last, a
// point itself at its own time, and a blend strictly between two.
template <typename Record, typename Apply, typename Blend>
void ApplyAt(CCache& cache, int32_t now, Apply const& apply, Blend const& blend) {
    TweenInterval const at = IntervalAt(cache, now);
    Record prev = RecordAt<Record>(cache, at.applied);
    if (at.blend) {
        Record const next = RecordAt<Record>(cache, at.target);
        // Widened: two times of a stored list can lie further apart than 32 bits reach.
        float const f =
            EasedFraction(prev.ease, static_cast<float>(int64_t{now} - prev.time) /
                                         static_cast<float>(int64_t{next.time} - prev.time));
        // Strictly inside the interval only a hold gives 0: the earlier point as it stands.
        if (f != 0.0f) {
            blend(prev, next, f);
        }
    }
    apply(prev);
}

// The transform is blended about next's pivot, reusing the blend of the last tick when it
// was between the same two matrices, else making it from the two points' kept parts (next
// is record nextIndex of the cache, prev the one before it).
void BlendObject(CTweenAllInfoDataCache& cache, uint32_t nextIndex, ObjectTweenRecord& prev,
                 ObjectTweenRecord const& next, float f) {
    CPivotMatrixBlend& placement = cache.placementBlend;
    CPoint3D const pivot(next.pivot);
    if (!placement.IsFor(prev.matrix, next.matrix, pivot)) {
        CPlacementParts const from = cache.PlacementParts(nextIndex - 1, prev.matrix);
        placement = CPivotMatrixBlend(prev.matrix, from, next.matrix,
                                      cache.PlacementParts(nextIndex, next.matrix), pivot);
    }
    prev.matrix = placement.At(f);
    auto blendColour = [f](TQ3ColorRGB& colour, TQ3ColorRGB const& target) {
        C3DColor blended(colour);
        TweenColorRGB(blended, C3DColor(target), f);
        colour = blended;
    };
    if (next.hasColour0) {
        blendColour(prev.colour0, next.colour0);
    }
    if (next.hasColour1) {
        blendColour(prev.colour1, next.colour1);
    }
    if (next.hasSurfaceValue2) {
        TweenFloat(prev.surfaceValue2, next.surfaceValue2, f);
    }
    if (next.hasSurfaceValue1) {
        TweenFloat(prev.surfaceValue1, next.surfaceValue1, f);
    }
    if (next.hasSurfaceValue0) {
        TweenFloat(prev.surfaceValue0, next.surfaceValue0, f);
    }
}

template <typename Data, typename Tween>
void BlendLightData(LightTweenRecord& prev, LightTweenRecord const& next, float f, Tween tween) {
    Data current{}, target{};
    std::memcpy(&current, prev.lightData, sizeof current);
    std::memcpy(&target, next.lightData, sizeof target);
    tween(&current, target, f);
    std::memcpy(prev.lightData, &current, sizeof current);
}

void BlendLight(LightTweenRecord& prev, LightTweenRecord const& next, float f) {
    TweenMatrix(&prev.matrix, next.matrix, f);
    switch (prev.lightKind) {
    case "pntl"_4cc:
        BlendLightData<TQ3PointLightData>(prev, next, f, TweenPointLightData);
        break;
    case "spot"_4cc:
        BlendLightData<TQ3SpotLightData>(prev, next, f, TweenSpotLightData);
        break;
    case "drct"_4cc:
        BlendLightData<TQ3DirectionalLightData>(prev, next, f, TweenDirectionalLightData);
        break;
    default:
        BlendLightData<TQ3LightData>(prev, next, f, TweenLightData);
    }
}

template <typename Data, typename Tween>
void BlendCameraData(CameraTweenRecord& prev, CameraTweenRecord const& next, float f, Tween tween) {
    Data current{}, target{};
    std::memcpy(&current, prev.cameraData, sizeof current);
    std::memcpy(&target, next.cameraData, sizeof target);
    tween(&current, target, f);
    std::memcpy(prev.cameraData, &current, sizeof current);
}

void BlendCamera(CameraTweenRecord& prev, CameraTweenRecord const& next, float f) {
    switch (prev.cameraKind) {
    case "vana"_4cc:
        BlendCameraData<TQ3ViewAngleAspectCameraData>(prev, next, f, TweenViewAspectCamera);
        break;
    case "orth"_4cc:
        BlendCameraData<TQ3OrthographicCameraData>(prev, next, f, TweenOrthographicCamera);
        break;
    case "vwpl"_4cc:
        BlendCameraData<TQ3ViewPlaneCameraData>(prev, next, f, TweenViewPlaneCamera);
        break;
    default:
        BlendCameraData<TQ3CameraData>(prev, next, f, TweenCameraData);
    }
}

} // namespace

void CTweenAllInfoDataCache::DoTween() {
    int32_t now = 0;
    if (!BeginApplication(*this, &now)) {
        return;
    }
    try {
        auto apply = [this](ObjectTweenRecord const& record) {
            SetTweenAllInfoDataTransformMatrix(object, record);
            SetTweenAllInfoDataChange(object, record);
        };
        // A blend is toward the record the search left the cursor at (interval_search.h).
        auto blend = [this](ObjectTweenRecord& prev, ObjectTweenRecord const& next, float f) {
            BlendObject(*this, searchCursor, prev, next, f);
        };
        ApplyAt<ObjectTweenRecord>(*this, now, apply, blend);
    } catch (...) {
        // Skipped until the time moves; the other caches still run.
    }
}

void CLightCache::DoTween() {
    int32_t now = 0;
    if (!BeginApplication(*this, &now)) {
        return;
    }
    try {
        auto apply = [this](LightTweenRecord const& record) {
            SetTheLightTransformMatrix(object, record);
            SetTheLight(object, record);
        };
        ApplyAt<LightTweenRecord>(*this, now, apply, BlendLight);
    } catch (...) {
    }
}

void CCameraCache::DoTween() {
    int32_t now = 0;
    if (!BeginApplication(*this, &now)) {
        return;
    }
    try {
        CViewObject view(PL_GetTheView());
        CCameraObject camera(view);
        // The camera stays at the last point after it, and at the first before it.
        int32_t t = now;
        CameraInterval const at = FindCameraInterval(
            Count(), &t, [this](uint32_t i) { return TimeOf(*this, i); }, searchCursor);
        CameraTweenRecord prev = RecordAt<CameraTweenRecord>(*this, at.previous);
        CameraTweenRecord next = RecordAt<CameraTweenRecord>(*this, at.next);
        if (prev.cameraKind == next.cameraKind) {
            float const f =
                prev.time == next.time
                    ? 0.0f
                    : EasedFraction(prev.ease,
                                    static_cast<float>(int64_t{t} - prev.time) /
                                        static_cast<float>(int64_t{next.time} - prev.time));
            if (next.animate != eAnimateData) {
                PlaceCamera(camera, prev, next, f);
                return;
            }
            BlendCamera(prev, next, f);
        }
        if (next.animate == eAnimateData) {
            TQ3ViewPlaneCameraData block{};
            std::memcpy(&block, prev.cameraData, sizeof block);
            SetCamera(view, camera, block, static_cast<int32_t>(prev.cameraKind));
        }
    } catch (...) {
    }
}
