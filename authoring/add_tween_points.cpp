#include "authoring/add_tween_points.h"

#include "authoring/tween_point_store.h"
#include "host/framework.h"
#include "host/scene.h"
#include "tween/camera_cache.h"
#include "tween/light_cache.h"
#include "tween/object_cache.h"

using authoring::StoreTweenPoint;

namespace {

// The member at index, counted from the first afresh: positions change as the walk records.
OpaqueTQ3GroupPosition* PositionAt(CGroupObject const& group, uint32_t index) {
    OpaqueTQ3GroupPosition* position = group.GetFirstObject();
    for (uint32_t i = 0; i < index && position; ++i) {
        position = group.NextPosition(position);
    }
    return position;
}

template <typename Test>
bool HasDirectMember(CGroupObject const& group, Test const& test) {
    for (auto* p = group.GetFirstObject(); p; p = group.NextPosition(p)) {
        if (test(CSharedObject(group, p))) {
            return true;
        }
    }
    return false;
}

bool IsALight(CSharedObject const& member) {
    return member.IsALight();
}

bool IsATransform(CSharedObject const& member) {
    return member.IsATransform();
}

// Wraps the group at position in an ordered group with an identity transform, in its place.
void WrapInTransformedGroup(CGroupObject& selection, OpaqueTQ3GroupPosition* position) {
    CGroupObject inner(selection, position);
    COrderedDisplayGroupObject outer;
    outer.CopySet(inner, true);
    outer.AddObject(CTransformObject(CMatrix4x4(1.0)));
    outer.AddObject(inner);
    selection.AddBefore(position, outer);
    selection.RemoveObject(position);
}

void RecordEveryGroup(CGroupObject& selection, int32_t time) {
    for (auto* p = selection.GetFirstObject(); p; p = selection.NextPosition(p)) {
        CSharedObject member(selection, p);
        if (member.IsAGroup()) {
            CGroupObject group(member);
            AddTweenAttributes(group, time, true);
        }
    }
}

// The first light of the kind in the current view's light group, or an empty wrapper.
CShapeObject ViewLight(TQ3ObjectType kind) {
    CViewObject view(PL_GetTheView());
    CLightGroupObject lights(view);
    OpaqueTQ3GroupPosition* position = lights.GetFirstObjectOfType(kind);
    return position ? CShapeObject(lights, position) : CShapeObject();
}

void AddViewLightTweenPoint(TQ3ObjectType kind, int32_t time) {
    try {
        CShapeObject light = ViewLight(kind);
        if (light.IsEmpty()) {
            return;
        }
        CGroupObject noGroup;
        StoreTweenPoint<CLightCache>(light, time, noGroup, light);
    } catch (...) {
    }
}

} // namespace

void AddTweenAttributes(CGroupObject& group, int32_t time, bool doRecord) {
    if (!doRecord) {
        return;
    }
    bool const hasLights = HasDirectMember(group, IsALight);
    for (uint32_t i = 0; i < group.CountObjects(); ++i) {
        try {
            CSharedObject member(group, PositionAt(group, i));
            if (hasLights && member.IsALight()) {
                CShapeObject light(member);
                StoreTweenPoint<CLightCache>(light, time, group, light);
            } else if (!hasLights && member.IsATransform()) {
                CShapeObject unused;
                StoreTweenPoint<CTweenAllInfoDataCache>(group, time, group, unused);
            }
        } catch (...) {
            // One member failing leaves the others to record.
        }
    }
}

void AddWithOrWithouttransformOutterGroupTweenPoint(CGroupObject& selection, int32_t time) {
    // The member at index i is the one after member i - 1 as long as the selection has not
    // changed since; only wrapping changes it, and then member i is counted afresh. So a
    // selection whose groups all have transforms is walked once, not once per member.
    OpaqueTQ3GroupPosition* previous = nullptr;
    for (uint32_t i = 0; i < selection.CountObjects(); ++i) {
        try {
            OpaqueTQ3GroupPosition* position =
                previous ? selection.NextPosition(previous) : PositionAt(selection, i);
            previous = nullptr;
            if (!CSharedObject(selection, position).IsAGroup()) {
                previous = position;
                continue;
            }
            CGroupObject group(selection, position);
            if (HasDirectMember(group, IsATransform)) {
                AddTweenAttributes(group, time, true);
                previous = position;
            } else {
                WrapInTransformedGroup(selection, position);
                RecordEveryGroup(selection, time);
            }
        } catch (...) {
            // The other groups of the selection still record.
        }
    }
}

void AddObjectTweenPoint(int32_t time) {
    try {
        CGroupObject selection(PL_GetGroupObject(kPLSelectedObjectsGroup));
        AddWithOrWithouttransformOutterGroupTweenPoint(selection, time);
    } catch (...) {
    }
}

void AddCameraTweenPoint(int32_t time) {
    try {
        CViewObject view(PL_GetTheView());
        CCameraObject camera(view);
        CGroupObject noGroup;
        StoreTweenPoint<CCameraCache>(camera, time, noGroup, camera, eAnimateData, eAnimateByAxis);
    } catch (...) {
    }
}

void AddAmbientTweenPoint(int32_t time) {
    AddViewLightTweenPoint("ambn"_4cc, time);
}

void AddSunTweenPoint(int32_t time) {
    AddViewLightTweenPoint("drct"_4cc, time);
}
