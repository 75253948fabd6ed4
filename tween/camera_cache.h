// The cache of the view's camera.
#pragma once

#include "tween/cache.h"

class CGroupObject;
class CShapeObject;
class CSetObject;

class CCameraCache : public CCache {
public:
    explicit CCameraCache(uint32_t sortingIndex);

    void DoTween() override;
    void AddAllTweenPoints(CTweenHandleRecord& list) override;

    // Records the camera as the first tween point of a new list stored in set, with sorting
    // index 1. Unless animate is eAnimateData the record's matrix is that of group's first
    // transform; otherwise the identity. Scene failures pass out.
    void AddNewTweenPoint(int32_t time, CGroupObject& group, CShapeObject& camera, CSetObject& set,
                          TAnimate animate, TAnimateBy animateBy);
    // Records the camera into its list, in time order; false when the list cannot grow.
    bool AddTweenPointInto(int32_t time, CGroupObject& group, CShapeObject& camera,
                           CTweenHandleRecord& list, TAnimate animate, TAnimateBy animateBy);
};
