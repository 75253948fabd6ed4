#include "tween/stored_list_access.h"

#include "host/scene.h"
#include "tween/cache.h"
#include "tween/mac_error.h"

namespace {

bool Fits(CTweenHandleRecord const& list, uint32_t recordSize) {
    if (recordSize == 0) {
        return list.IsUsableAs(kObjectRecordSize) || list.IsUsableAs(kCameraRecordSize);
    }
    return list.IsUsableAs(recordSize);
}

void ChangeListOf(CShapeObject const& shape, uint32_t recordSize,
                  std::function<void(CTweenHandleRecord&)> const& change) {
    CSetObject set(shape);
    CTweenHandleRecord list(set);
    if (!Fits(list, recordSize)) {
        throw eParamErr; // left as it is, byte for byte
    }
    change(list);
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
}

} // namespace

bool ChangeStoredTweenList(OpaqueTQ3Object* object,
                           std::function<void(CTweenHandleRecord&)> const& change,
                           uint32_t recordSize) {
    try {
        ChangeListOf(CShapeObject(object), recordSize, change);
        return true;
    } catch (...) {
    }
    try {
        CSharedObject shared(object);
        if (!shared.IsAGroup()) {
            return false;
        }
        CGroupObject group(shared);
        CLightObject light(group, group.GetFirstObjectOfType("lght"_4cc));
        ChangeListOf(light, recordSize, change);
        return true;
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
        ChangeListOf(CShapeObject(cache.listHolder), recordSize, change);
        return true;
    } catch (...) {
        return false;
    }
}
