#include "tween/row_order.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tween/cache.h"
#include "tween/mac_error.h"
#include "tween/recache.h"
#include "tween/stored_list_access.h"

namespace {

constexpr uint32_t kFirstObjectRow = 4;

} // namespace

void DisposeOfLists(TDynamicArray<CCache*>& list) {
    for (uint32_t i = 0; i < list.Count(); ++i) {
        delete list[i];
    }
    list.SetCount(0);
}

void SortObjectIndex(TDynamicArray<CCache*>& rows, TDynamicArray<CCache*>& scanned) {
    DisposeOfLists(rows);
    std::vector<CCache*> order;
    order.reserve(scanned.Count());
    for (uint32_t i = 0; i < scanned.Count(); ++i) {
        order.push_back(scanned[i]);
    }
    scanned.SetCount(0);
    std::stable_sort(order.begin(), order.end(), [](CCache const* a, CCache const* b) {
        return a->sortingIndex < b->sortingIndex;
    });
    for (std::size_t k = 0; k < order.size(); ++k) {
        CCache* cache = order[k];
        auto const index = static_cast<uint32_t>(k) + kFirstObjectRow;
        bool const renumbered = ChangeStoredTweenList(
            *cache, [index](CTweenHandleRecord& list) { list.SetSortingIndex(index); });
        if (!renumbered) {
            delete cache;
            continue;
        }
        cache->sortingIndex = index;
        try {
            rows.Append(cache);
        } catch (...) {
            delete cache; // no room for the row
        }
    }
    gMaxSortIndex = static_cast<uint32_t>(order.size()) + kFirstObjectRow - 1;
}

bool WriteBackRecords(CCache const& cache) {
    // The block takes its new size first, so a list that cannot grow keeps all it had.
    return ChangeStoredTweenList(cache, [&cache](CTweenHandleRecord& list) {
        if (!list.ResizeToCount(cache.Count())) {
            throw eMemFullErr;
        }
        for (uint32_t i = 0; i < cache.Count(); ++i) {
            std::memcpy(list[i], &cache.Record(i), list.RecordSize());
        }
    });
}
