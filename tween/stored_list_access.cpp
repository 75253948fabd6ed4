#include "tween/stored_list_access.h"

#include "host/scene.h"
#include "tween/cache.h"

namespace {

bool Fits(CTweenHandleRecord const& list, uint32_t recordSize) {
    if (recordSize == 0) {
        return list.IsUsableAs(kObjectRecordSize) || list.IsUsableAs(kCameraRecordSize);
    }
    return list.IsUsableAs(recordSize);
}

// Why a change did not happen: the list could not be reached (the set could not be opened
// or written, or holds no usable list of the size), or the change itself failed, which
// leaves the list as it was and is not worth trying on another object.
enum class Outcome { kChanged, kUnreachable, kChangeFailed };

Outcome ChangeListOf(CShapeObject const& shape, uint32_t recordSize,
                     std::function<void(CTweenHandleRecord&)> const& change) {
    try {
        CSetObject set(shape);
        CTweenHandleRecord list(set);
        if (!Fits(list, recordSize)) {
            return Outcome::kUnreachable; // left as it is, byte for byte
        }
        try {
            change(list);
        } catch (...) {
            return Outcome::kChangeFailed;
        }
        set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
        return Outcome::kChanged;
    } catch (...) {
        return Outcome::kUnreachable;
    }
}

} // namespace

bool ChangeStoredTweenList(OpaqueTQ3Object* object,
                           std::function<void(CTweenHandleRecord&)> const& change,
                           uint32_t recordSize) {
    try {
        Outcome const outcome = ChangeListOf(CShapeObject(object), recordSize, change);
        if (outcome != Outcome::kUnreachable) {
            return outcome == Outcome::kChanged;
        }
    } catch (...) {
    }
    try {
        CSharedObject shared(object);
        if (!shared.IsAGroup()) {
            return false;
        }
        CGroupObject group(shared);
        CLightObject light(group, group.GetFirstObjectOfType("lght"_4cc));
        return ChangeListOf(light, recordSize, change) == Outcome::kChanged;
    } catch (...) {
        return false;
    }
}

bool ChangeStoredTweenList(CCache const& cache,
                           std::function<void(CTweenHandleRecord&)> const& change) {
    uint32_t const recordSize = RecordSizeOf(cache.kind);
    if (!cache.listHolder) {
        return ChangeStoredTweenList(cache.object, change, recordSize);
    }
    try {
        return ChangeListOf(CShapeObject(cache.listHolder), recordSize, change) ==
               Outcome::kChanged;
    } catch (...) {
        return false;
    }
}
