#include "tween/stored_list_access.h"

#include "host/scene.h"

namespace {

void ChangeListOf(CShapeObject const& shape,
                  std::function<void(CTweenHandleRecord&)> const& change) {
    CSetObject set(shape);
    CTweenHandleRecord list(set);
    change(list);
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
}

} // namespace

bool ChangeStoredTweenList(OpaqueTQ3Object* object,
                           std::function<void(CTweenHandleRecord&)> const& change) {
    try {
        ChangeListOf(CShapeObject(object), change);
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
        ChangeListOf(light, change);
        return true;
    } catch (...) {
        return false;
    }
}
