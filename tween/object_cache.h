// The cache of an object group (or transform) that carries object tween points.
#pragma once

#include "interp/matrix_tween.h"
#include "tween/cache.h"

class CGroupObject;
class CShapeObject;
class CSetObject;

class CTweenAllInfoDataCache : public CCache {
public:
    explicit CTweenAllInfoDataCache(uint32_t sortingIndex);

    void DoTween() override;
    void AddAllTweenPoints(CTweenHandleRecord& list) override;

    // Records the group's placement at time as the first tween point of a new list stored in
    // set. shape is not used. Scene failures of the snapshot pass out.
    void AddNewTweenPoint(int32_t time, CGroupObject& group, CShapeObject& shape, CSetObject& set);
    // Records the group's placement at time into its list, in time order; false when the
    // list cannot grow. The caller stores the list back.
    bool AddTweenPointInto(int32_t time, CGroupObject& group, CShapeObject& shape,
                           CTweenHandleRecord& list);

    // The transform blend between the two tween points that DoTween blended last, kept for
    // the ticks that follow between the same two; DoTween checks it against the records.
    CPivotMatrixBlend placementBlend;
};
