#include "tween/object_cache.h"

#include <algorithm>
#include <cstring>

#include "host/scene.h"
#include "tween/tween_point_recording.h"

CTweenAllInfoDataCache::CTweenAllInfoDataCache(uint32_t index) : CCache(eObjectCache, index) {}

CPlacementParts const& CTweenAllInfoDataCache::PlacementParts(uint32_t index,
                                                              TQ3Matrix4x4 const& matrix) {
    if (index >= fKeptParts.size()) {
        std::size_t const size = std::max<std::size_t>(Count(), std::size_t{index} + 1);
        fKeptParts.resize(size);
        fMade.resize(size, false);
    }
    KeptParts& kept = fKeptParts[index];
    if (!fMade[index] || std::memcmp(&kept.matrix, &matrix, sizeof matrix) != 0) {
        kept.matrix = matrix;
        kept.parts = PlacementPartsOf(matrix);
        fMade[index] = true;
    }
    return kept.parts;
}

void CTweenAllInfoDataCache::AddAllTweenPoints(CTweenHandleRecord& list) {
    CopyRecords(list, kObjectRecordSize);
}

void CTweenAllInfoDataCache::AddNewTweenPoint(int32_t time, CGroupObject& group,
                                              CShapeObject& /*shape*/, CSetObject& set) {
    StoreNewTweenList(ObjectTweenRecord(time, group), kObjectRecordSize, set);
}

bool CTweenAllInfoDataCache::AddTweenPointInto(int32_t time, CGroupObject& group,
                                               CShapeObject& /*shape*/, CTweenHandleRecord& list) {
    return RecordTweenPointInTimeOrder(list, ObjectTweenRecord(time, group));
}
