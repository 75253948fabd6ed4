// The cache of a light that carries light tween points.
#pragma once

#include "tween/cache.h"

class CGroupObject;
class CShapeObject;
class CSetObject;

class CLightCache : public CCache {
public:
    explicit CLightCache(uint32_t sortingIndex);

    void DoTween() override;
    void AddAllTweenPoints(CTweenHandleRecord& list) override;

    // Records the light (and the placement of group, the group that holds it or an empty
    // wrapper) as the first tween point of a new list stored in set. An ambient light's list
    // takes sorting index 2 and a directional light's 3. Scene failures pass out.
    void AddNewTweenPoint(int32_t time, CGroupObject& group, CShapeObject& light, CSetObject& set);
    // Records the light into its list, in time order; false when the list cannot grow.
    bool AddTweenPointInto(int32_t time, CGroupObject& group, CShapeObject& light,
                           CTweenHandleRecord& list);
};
