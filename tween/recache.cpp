#include "tween/recache.h"

#include "host/scene.h"

TDynamicArray<CCache*> gTimeLineCache;
TDynamicArray<OpaqueTQ3Object*> gAnimateColourItems;
TDynamicArray<OpaqueTQ3Object*> gAnimateLightItems;
TDynamicArray<OpaqueTQ3Object*> gAnimateTextureItems;
PLDocumentRef gCachedDocument = nullptr;
uint32_t gMaxSortIndex = 0;

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

// An entry of an object list holds a reference of its own.
void AppendReference(TDynamicArray<OpaqueTQ3Object*>& list, CShapeObject const& shape) {
    list.Append(shape.GetReference());
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
            try {
                CSetObject set(shape);
                CollectEffects(set, shape, colourItems, lightItems, textureItems);
            } catch (...) {
                // A member without a readable set is not cached, but its members are.
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

void RecacheObjects(TDynamicArray<CCache*>& /*rows*/, TDynamicArray<OpaqueTQ3Object*>& colourItems,
                    TDynamicArray<OpaqueTQ3Object*>& lightItems,
                    TDynamicArray<OpaqueTQ3Object*>& textureItems) {
    gMaxSortIndex = 0;
    DisposeOfList(colourItems);
    DisposeOfList(lightItems);
    DisposeOfList(textureItems);
    gCachedDocument = PL_GetFrontDocument();
    TDynamicArray<CCache*> scanned;
    ScanDocumentGroup(kPLSelectedObjectsGroup, scanned, colourItems, lightItems, textureItems);
    ScanDocumentGroup(kPLOtherObjectsGroup, scanned, colourItems, lightItems, textureItems);
    // The ordering of the scanned caches into the rows, and the caches of the view's camera
    // and lights, join here with the cache classes. The numbers 1 to 3 stay reserved for the
    // camera and the view's two standard lights.
    gMaxSortIndex = scanned.Count() + 3;
}
