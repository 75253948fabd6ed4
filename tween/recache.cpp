#include "tween/recache.h"

#include <algorithm>
#include <optional>

#include "host/scene.h"
#include "tween/cache_factory.h"
#include "tween/row_order.h"
#include "tween/tween_handle_record.h"

TDynamicArray<CCache*> gTimeLineCache;
TDynamicArray<OpaqueTQ3Object*> gAnimateColourItems;
TDynamicArray<OpaqueTQ3Object*> gAnimateLightItems;
TDynamicArray<OpaqueTQ3Object*> gAnimateTextureItems;
PLDocumentRef gCachedDocument = nullptr;
uint32_t gMaxSortIndex = 0;

namespace {

// The sorting indexes 1 to 3 belong to the view's camera, ambient light and sun light.
constexpr uint32_t kLastStandardRow = 3;

// When the module's code goes, so do the caches and the references the lists still hold:
// the lists' own destructors release only their blocks.
struct ReleaseListsAtEnd {
    ReleaseListsAtEnd() = default;
    ReleaseListsAtEnd(ReleaseListsAtEnd const&) = delete;
    ReleaseListsAtEnd& operator=(ReleaseListsAtEnd const&) = delete;
    ~ReleaseListsAtEnd() {
        DisposeOfLists(gTimeLineCache);
        DisposeOfList(gAnimateColourItems);
        DisposeOfList(gAnimateLightItems);
        DisposeOfList(gAnimateTextureItems);
    }
} sReleaseListsAtEnd;

} // namespace

void DisposeOfList(TDynamicArray<OpaqueTQ3Object*>& list) {
    for (uint32_t i = 0; i < list.Count(); ++i) {
        if (list[i]) {
            C3DObject::Dispose(list[i]);
        }
    }
    list.SetCount(0);
}

bool AllListsEmpty() {
    return gTimeLineCache.IsEmpty() && gAnimateColourItems.IsEmpty() &&
           gAnimateLightItems.IsEmpty() && gAnimateTextureItems.IsEmpty();
}

namespace {

// Scans one of the document's groups; a failure ends the scan of that group only, and what
// it collected stays.
void ScanDocumentGroup(uint32_t selector, TDynamicArray<CCache*>& scanned,
                       TDynamicArray<OpaqueTQ3Object*>& colourItems,
                       TDynamicArray<OpaqueTQ3Object*>& lightItems,
                       TDynamicArray<OpaqueTQ3Object*>& textureItems) {
    try {
        OpaqueTQ3Object* object = PL_GetGroupObject(selector);
        if (!object) {
            return;
        }
        CGroupObject group(object);
        ParseObjects(scanned, colourItems, lightItems, textureItems, group, PL_GetCurTime());
    } catch (...) {
    }
}

// An entry of an object list holds a reference of its own; a list that cannot grow gives
// it back and passes the failure on.
void AppendReference(TDynamicArray<OpaqueTQ3Object*>& list, CShapeObject const& shape) {
    OpaqueTQ3Object* reference = shape.GetReference();
    try {
        list.Append(reference);
    } catch (...) {
        C3DObject::Dispose(reference);
        throw;
    }
}

void CollectEffects(CSetObject const& set, CShapeObject const& shape,
                    TDynamicArray<OpaqueTQ3Object*>& colourItems,
                    TDynamicArray<OpaqueTQ3Object*>& lightItems,
                    TDynamicArray<OpaqueTQ3Object*>& textureItems) {
    if (set.Contains(GetCustomAttributeType(eColourEffectAttribute))) {
        AppendReference(colourItems, shape);
    }
    if (set.Contains(GetCustomAttributeType(eLightEffectAttribute))) {
        AppendReference(lightItems, shape);
    }
    if (set.Contains(GetCustomAttributeType(eTextureEffectAttribute))) {
        AppendReference(textureItems, shape);
    }
}

std::optional<CSetObject> OpenSet(CShapeObject const& shape) {
    // Most members (transforms, geometries) have no set: asking first spares them the cost
    // of a failure.
    if (!shape.HasSet()) {
        return std::nullopt;
    }
    try {
        return CSetObject(shape);
    } catch (...) {
        return std::nullopt;
    }
}

// Puts the cache of a standard shape (the view's camera or sun or ambient light) in front
// of the rows when it carries a tween list. The list goes back into the set unchanged.
void AddStandardRow(TDynamicArray<CCache*>& rows, CShapeObject shape) {
    if (shape.IsEmpty()) {
        return;
    }
    CSetObject set(shape);
    if (!set.Contains(GetCustomAttributeType(eTweenAttribute))) {
        return;
    }
    CTweenHandleRecord list(set);
    AddStandardObjectToTweenCache(rows, shape, list);
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
}

// The first light of the kind in the view's light group, or an empty wrapper.
CShapeObject FirstViewLight(CViewObject const& view, TQ3ObjectType kind) {
    CLightGroupObject lights(view);
    OpaqueTQ3GroupPosition* position = lights.GetFirstObjectOfType(kind);
    return position ? CShapeObject(lights, position) : CShapeObject();
}

// Each inserts at the front, so the rows begin camera, ambient light, sun light. A step
// that fails is skipped.
void AddViewRows(TDynamicArray<CCache*>& rows) {
    try {
        CViewObject view(PL_GetTheView());
        try {
            AddStandardRow(rows, FirstViewLight(view, "drct"_4cc));
        } catch (...) {
        }
        try {
            AddStandardRow(rows, FirstViewLight(view, "ambn"_4cc));
        } catch (...) {
        }
        try {
            AddStandardRow(rows, CCameraObject(view));
        } catch (...) {
        }
    } catch (...) {
    }
}

} // namespace

void ParseObjects(TDynamicArray<CCache*>& scanned, TDynamicArray<OpaqueTQ3Object*>& colourItems,
                  TDynamicArray<OpaqueTQ3Object*>& lightItems,
                  TDynamicArray<OpaqueTQ3Object*>& textureItems, CGroupObject& group,
                  int32_t time) {
    for (auto* position = group.GetFirstObject(); position;
         position = group.NextPosition(position)) {
        try {
            if (CSharedObject(group, position).GetType() != "shap"_4cc) {
                continue;
            }
            CShapeObject shape(group, position);
            // A member without a readable set is not cached, but its members are scanned.
            // Any other failure (a cache or a list entry that cannot be made) skips the
            // member with its members.
            if (std::optional<CSetObject> set = OpenSet(shape)) {
                if (set->Contains(GetCustomAttributeType(eTweenAttribute))) {
                    CTweenHandleRecord list(*set);
                    gMaxSortIndex = std::max(gMaxSortIndex, list.GetSortingIndex());
                    AddObjectToTweenCache(scanned, group, shape, list);
                }
                CollectEffects(*set, shape, colourItems, lightItems, textureItems);
            }
            if (shape.IsType("grup"_4cc)) {
                CGroupObject inner(shape);
                ParseObjects(scanned, colourItems, lightItems, textureItems, inner, time);
            }
        } catch (...) {
            // A member that cannot be handled is skipped.
        }
    }
}

OpaqueTQ3GroupPosition* FindGroupThisObjIsIn(OpaqueTQ3Object* object, CGroupObject const& group) {
    for (auto* position = group.GetFirstObject(); position;
         position = group.NextPosition(position)) {
        CSharedObject member(group, position);
        if (member.GetObject() == object) {
            return position;
        }
        if (member.IsAGroup() && FindGroupThisObjIsIn(object, CGroupObject(member))) {
            return position;
        }
    }
    return nullptr;
}

void RecacheObjects(TDynamicArray<CCache*>& rows, TDynamicArray<OpaqueTQ3Object*>& colourItems,
                    TDynamicArray<OpaqueTQ3Object*>& lightItems,
                    TDynamicArray<OpaqueTQ3Object*>& textureItems) {
    gMaxSortIndex = 0;
    DisposeOfList(colourItems);
    DisposeOfList(lightItems);
    DisposeOfList(textureItems);
    gCachedDocument = PL_GetFrontDocument();
    try {
        TDynamicArray<CCache*> scanned;
        ScanDocumentGroup(kPLSelectedObjectsGroup, scanned, colourItems, lightItems, textureItems);
        ScanDocumentGroup(kPLOtherObjectsGroup, scanned, colourItems, lightItems, textureItems);
        SortObjectIndex(rows, scanned);
    } catch (...) {
        // Not even the list of scanned caches could be made: no object rows this time, and
        // the next rebuild tries again. The rebuild as a whole never fails.
        DisposeOfLists(rows);
        gMaxSortIndex = kLastStandardRow;
    }
    AddViewRows(rows);
}
