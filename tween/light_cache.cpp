#include "tween/light_cache.h"

#include "host/scene.h"
#include "tween/tween_point_recording.h"

namespace {

// The view's ambient and sun lights have rows of their own, after the camera's.
uint32_t StandardSortingIndex(CShapeObject const& light) {
    switch (light.GetLeafType()) {
    case "ambn"_4cc:
        return 2;
    case "drct"_4cc:
        return 3;
    default:
        return 0;
    }
}

} // namespace

CLightCache::CLightCache(uint32_t index) : CCache(eLightCache, index) {}

void CLightCache::AddAllTweenPoints(CTweenHandleRecord& list) {
    CopyRecords(list, kLightRecordSize);
}

void CLightCache::AddNewTweenPoint(int32_t time, CGroupObject& group, CShapeObject& light,
                                   CSetObject& set) {
    StoreNewTweenList(LightTweenRecord(time, group, light), kLightRecordSize, set,
                      StandardSortingIndex(light));
}

bool CLightCache::AddTweenPointInto(int32_t time, CGroupObject& group, CShapeObject& light,
                                    CTweenHandleRecord& list) {
    return RecordTweenPointInTimeOrder(list, LightTweenRecord(time, group, light));
}
