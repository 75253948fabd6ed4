// Making the tween cache of a scanned object, and putting it into a row list.
#pragma once

#include <memory>

#include "tween/cache.h"

class CGroupObject;
class CShapeObject;

// The cache kind follows the shape's type: a camera gets a camera cache, a light (or a
// group whose leaf type is a light's) a light cache, any other group or a transform an
// object cache; other shapes get none (null).
std::unique_ptr<CCache> MakeCacheFor(CShapeObject const& shape, uint32_t sortingIndex);

// The cache of an object found in one of the document's groups, filled from the list and
// appended to scanned. A light's cache animates the group that holds it (and remembers the
// light, whose list it writes back to); a group's or a transform's the shape itself; a
// camera's nothing. A damaged list, or one whose records are not of the cache's kind, gets
// no cache. Failures pass out, and a cache that fails is not in scanned.
void AddObjectToTweenCache(TDynamicArray<CCache*>& scanned, CGroupObject& group,
                           CShapeObject& shape, CTweenHandleRecord& list);

// The cache of the view's camera or of one of its standard lights: it animates the shape
// itself and goes in front of the rows; damaged lists and failures as above.
void AddStandardObjectToTweenCache(TDynamicArray<CCache*>& rows, CShapeObject& shape,
                                   CTweenHandleRecord& list);
