// The lists that playback, the timeline and the editing operations work on, rebuilt from
// the front document's scene by RecacheObjects.
#pragma once

#include <cstdint>

#include "host/framework.h"
#include "tween/dynamic_array.h"

class CCache;

// The timeline rows, one tween cache per animated object; the list owns its caches.
extern TDynamicArray<CCache*> gTimeLineCache;
// The shapes with a colour, light or texture effect; each entry holds one reference.
extern TDynamicArray<OpaqueTQ3Object*> gAnimateColourItems;
extern TDynamicArray<OpaqueTQ3Object*> gAnimateLightItems;
extern TDynamicArray<OpaqueTQ3Object*> gAnimateTextureItems;
// The document the lists were last built from.
extern PLDocumentRef gCachedDocument;
// The highest sorting index handed out to a stored tween list.
extern uint32_t gMaxSortIndex;

// Rebuilds the four lists from the front document. Always called with the four globals
// above, in this order. Does not fail: what cannot be scanned is skipped.
void RecacheObjects(TDynamicArray<CCache*>& rows, TDynamicArray<OpaqueTQ3Object*>& colourItems,
                    TDynamicArray<OpaqueTQ3Object*>& lightItems,
                    TDynamicArray<OpaqueTQ3Object*>& textureItems);

// Releases every reference of an object list and empties it.
void DisposeOfList(TDynamicArray<OpaqueTQ3Object*>& list);

// Whether all four global lists are empty.
bool AllListsEmpty();
