#include "tween/cache_factory.h"

#include "host/scene.h"
#include "tween/camera_cache.h"
#include "tween/light_cache.h"
#include "tween/object_cache.h"

namespace {

bool IsLightLeafType(TQ3ObjectType type) {
    switch (type) {
    case "lght"_4cc:
    case "ambn"_4cc:
    case "drct"_4cc:
    case "pntl"_4cc:
    case "spot"_4cc:
        return true;
    default:
        return false;
    }
}

// Hands the filled cache over to the list; the list owns it from then on. A cache that
// cannot be filled or listed is released, and the failure passes on: a row never stands
// for fewer records than its list holds (a write-back would store them lost).
void AppendTo(TDynamicArray<CCache*>& list, std::unique_ptr<CCache> cache,
              CTweenHandleRecord& records) {
    cache->AddAllTweenPoints(records);
    list.Append(cache.get());
    cache.release();
}

void InsertFirst(TDynamicArray<CCache*>& list, std::unique_ptr<CCache> cache,
                 CTweenHandleRecord& records) {
    cache->AddAllTweenPoints(records);
    list.Insert(cache.get(), 0);
    cache.release();
}

} // namespace

std::unique_ptr<CCache> MakeCacheFor(CShapeObject const& shape, uint32_t sortingIndex) {
    switch (shape.GetType()) {
    case "cmra"_4cc:
    case "orth"_4cc:
    case "vwpl"_4cc:
    case "vana"_4cc:
        return std::make_unique<CCameraCache>(sortingIndex);
    case "lght"_4cc:
        return std::make_unique<CLightCache>(sortingIndex);
    case "grup"_4cc:
        if (IsLightLeafType(shape.GetLeafType())) {
            return std::make_unique<CLightCache>(sortingIndex);
        }
        return std::make_unique<CTweenAllInfoDataCache>(sortingIndex);
    case "xfrm"_4cc:
        return std::make_unique<CTweenAllInfoDataCache>(sortingIndex);
    default:
        return nullptr;
    }
}

void AddObjectToTweenCache(TDynamicArray<CCache*>& scanned, CGroupObject& group,
                           CShapeObject& shape, CTweenHandleRecord& list) {
    std::unique_ptr<CCache> made = MakeCacheFor(shape, list.GetSortingIndex());
    if (!made || !list.IsUsableAs(RecordSizeOf(made->kind))) {
        return; // a damaged list, or one of another kind, gets no row and stays as it is
    }
    switch (made->kind) {
    case eCameraCache:
        made->object = nullptr;
        break;
    case eLightCache:
        made->object = group.GetObject();
        made->listHolder = shape.GetObject();
        break;
    case eObjectCache:
        made->object = shape.GetObject();
        break;
    }
    AppendTo(scanned, std::move(made), list);
}

void AddStandardObjectToTweenCache(TDynamicArray<CCache*>& rows, CShapeObject& shape,
                                   CTweenHandleRecord& list) {
    std::unique_ptr<CCache> made = MakeCacheFor(shape, list.GetSortingIndex());
    if (!made || !list.IsUsableAs(RecordSizeOf(made->kind))) {
        return; // a damaged list, or one of another kind, gets no row and stays as it is
    }
    made->object = shape.GetObject();
    if (made->kind == eLightCache) {
        made->listHolder = shape.GetObject();
    }
    InsertFirst(rows, std::move(made), list);
}
