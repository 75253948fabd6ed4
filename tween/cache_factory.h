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

// The cache of an object found in one of the document's groups, appended to scanned and
// filled from the list. A light's cache animates the group that holds it; a group's or a
// transform's the shape itself; a camera's nothing. Failures pass out; a cache that could
// be appended stays in scanned.
void AddObjectToTweenCache(TDynamicArray<CCache*>& scanned, CGroupObject& group,
                           CShapeObject& shape, CTweenHandleRecord& list);

// The cache of the view's camera or of one of its standard lights: it animates the shape
// itself and goes in front of the rows.
void AddStandardObjectToTweenCache(TDynamicArray<CCache*>& rows, CShapeObject& shape,
                                   CTweenHandleRecord& list);
