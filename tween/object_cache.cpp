#include "tween/object_cache.h"

#include "host/scene.h"
#include "tween/tween_point_recording.h"

CTweenAllInfoDataCache::CTweenAllInfoDataCache(uint32_t index) : CCache(eObjectCache, index) {}

void CTweenAllInfoDataCache::AddAllTweenPoints(CTweenHandleRecord& list) {
    CopyRecords(list, kObjectRecordSize);
}

void CTweenAllInfoDataCache::AddNewTweenPoint(int32_t time, CGroupObject& group,
                                              CShapeObject& /*shape*/, CSetObject& set) {
    StoreNewTweenList(ObjectTweenRecord(time, group), kObjectRecordSize, set);
}

bool CTweenAllInfoDataCache::AddTweenPointInto(int32_t time, CGroupObject& group,
                                               CShapeObject& /*shape*/, CTweenHandleRecord& list) {
    return PutTweenPointInTimeOrder(list, ObjectTweenRecord(time, group));
}
