#include "tween/row_order.h"

#include <algorithm>
#include <vector>

#include "tween/cache.h"
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
    return ChangeStoredTweenList(cache, [&cache](CTweenHandleRecord& list) {
        while (list.GetCount() != 0) {
            list.Remove(0);
        }
        for (uint32_t i = 0; i < cache.Count(); ++i) {
            list.Append(cache.Record(i));
        }
    });
}
