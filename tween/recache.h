// The lists that playback, the timeline and the editing operations work on, rebuilt from
// the front document's scene by RecacheObjects.
#pragma once

#include <cstdint>

#include "host/framework.h"
#include "tween/dynamic_array.h"

class CCache;
class CGroupObject;
struct OpaqueTQ3GroupPosition;

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

// Scans the group and every group inside it, depth first: each shape whose set holds a
// surface-effect attribute joins the matching object lists (once per list, with a reference
// of its own). A member that fails is skipped. The time is handed down the recursion.
void ParseObjects(TDynamicArray<CCache*>& scanned, TDynamicArray<OpaqueTQ3Object*>& colourItems,
                  TDynamicArray<OpaqueTQ3Object*>& lightItems,
                  TDynamicArray<OpaqueTQ3Object*>& textureItems, CGroupObject& group, int32_t time);

// The position, in group itself, of the member that is or (at any depth) contains object;
// null when the group holds it nowhere.
OpaqueTQ3GroupPosition* FindGroupThisObjIsIn(OpaqueTQ3Object* object, CGroupObject const& group);

// Releases every reference of an object list and empties it.
void DisposeOfList(TDynamicArray<OpaqueTQ3Object*>& list);

// Whether all four global lists are empty.
bool AllListsEmpty();
