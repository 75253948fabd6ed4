// Storing one tween point in a target object's attribute set, through the cache class
// whose records fit the target. Failures are dropped: the caller's walk goes on.
#pragma once

#include "host/scene.h"
#include "tween/tween_handle_record.h"

namespace authoring {

// A target without a set gets a new one holding a new list; a set without a tween list gets
// a new list; otherwise the record goes into the list in time order and the list is stored
// back (also when it could not grow, unchanged). extra is what a camera record needs.
template <typename Cache, typename... Extra>
void StoreTweenPoint(CShapeObject& target, int32_t time, CGroupObject& group, CShapeObject& shape,
                     Extra... extra) {
    try {
        Cache recorder(0); // only its recording operations are used
        // Only a target without a set gets a new one: a set that exists but cannot be opened
        // now is left as it is, with nothing recorded.
        if (!target.HasSet()) {
            CSetObject made(nullptr, true);
            recorder.AddNewTweenPoint(time, group, shape, made, extra...);
            target.SetSet(made);
            return;
        }
        CSetObject set(target);
        // Likewise only a set without a tween list gets a new one.
        if (!set.Contains(GetCustomAttributeType(eTweenAttribute))) {
            recorder.AddNewTweenPoint(time, group, shape, set, extra...);
            return;
        }
        CTweenHandleRecord list(set);
        recorder.AddTweenPointInto(time, group, shape, list, extra...);
        set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
    } catch (...) {
        // Nothing recorded for this target.
    }
}

} // namespace authoring
