// Storing one tween point in a target object's attribute set, through the cache class
// whose records fit the target. Failures are dropped: the caller's walk goes on.
#pragma once

#include <optional>

#include "host/scene.h"
#include "tween/tween_handle_record.h"

namespace authoring {

inline std::optional<CSetObject> OpenSet(CShapeObject const& target) {
    try {
        return CSetObject(target);
    } catch (...) {
        return std::nullopt;
    }
}

inline std::optional<CTweenHandleRecord> ReadList(CSetObject const& set) {
    try {
        return CTweenHandleRecord(set);
    } catch (...) {
        return std::nullopt;
    }
}

// A target without a set gets a new one holding a new list; a set without a tween list gets
// a new list; otherwise the record goes into the list in time order and the list is stored
// back (also when it could not grow, unchanged). extra is what a camera record needs.
template <typename Cache, typename... Extra>
void StoreTweenPoint(CShapeObject& target, int32_t time, CGroupObject& group, CShapeObject& shape,
                     Extra... extra) {
    try {
        Cache recorder(0); // only its recording operations are used
        std::optional<CSetObject> set = OpenSet(target);
        if (!set) {
            CSetObject made(nullptr, true);
            recorder.AddNewTweenPoint(time, group, shape, made, extra...);
            target.SetSet(made);
            return;
        }
        std::optional<CTweenHandleRecord> list = ReadList(*set);
        if (!list) {
            recorder.AddNewTweenPoint(time, group, shape, *set, extra...);
            return;
        }
        recorder.AddTweenPointInto(time, group, shape, *list, extra...);
        set->AddType(GetCustomAttributeType(eTweenAttribute), &*list);
    } catch (...) {
        // Nothing recorded for this target.
    }
}

} // namespace authoring
