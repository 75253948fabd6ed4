#include "tween/recache.h"

#include "host/scene/scene_object.h"

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

void RecacheObjects(TDynamicArray<CCache*>& /*rows*/, TDynamicArray<OpaqueTQ3Object*>& colourItems,
                    TDynamicArray<OpaqueTQ3Object*>& lightItems,
                    TDynamicArray<OpaqueTQ3Object*>& textureItems) {
    // The scan of the document's groups and of the view's camera and lights joins these
    // first steps with the tween caches.
    gMaxSortIndex = 0;
    DisposeOfList(colourItems);
    DisposeOfList(lightItems);
    DisposeOfList(textureItems);
    gCachedDocument = PL_GetFrontDocument();
}
