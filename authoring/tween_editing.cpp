#include "authoring/tween_editing.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "host/framework.h"
#include "host/scene.h"
#include "tween/cache.h"
#include "tween/recache.h"
#include "tween/row_order.h"
#include "tween/stored_list_access.h"
#include "tween/timeline_geometry.h"

namespace {

template <typename Visit>
void ForEachRecord(TDynamicArray<CCache*>& caches, Visit const& visit) {
    for (uint32_t row = 0; row < caches.Count(); ++row) {
        for (uint32_t i = 0; i < caches[row]->Count(); ++i) {
            visit(*caches[row], caches[row]->Record(i));
        }
    }
}

// Restores ascending time, keeping records of equal time in their order; whole records
// move, flags included.
void SortByTime(CCache& cache) {
    std::vector<UnionTweenRecord> records;
    for (uint32_t i = 0; i < cache.Count(); ++i) {
        records.push_back(cache.records[i]);
    }
    auto timeOf = [](UnionTweenRecord const& r) {
        return reinterpret_cast<BaseTweenRecord const*>(r.bytes)->time;
    };
    std::stable_sort(records.begin(), records.end(),
                     [&](auto const& a, auto const& b) { return timeOf(a) < timeOf(b); });
    for (uint32_t i = 0; i < cache.Count(); ++i) {
        cache.records[i] = records[i];
    }
}

} // namespace

void DeselectAllTweens(TDynamicArray<CCache*>& caches) {
    ForEachRecord(caches, [](CCache&, BaseTweenRecord& record) { record.selected = false; });
}

bool DoSelectObjectTween(TDynamicArray<CCache*>& caches, NSPoint const& p, NSRect const& timeline,
                         bool toggle, bool /*unused*/) {
    TimelineScale const scale = TimelineScale::Current();
    float const origin = timeline.origin.x + kStartOffset;
    for (uint32_t i = 0; i < caches.Count(); ++i) {
        NSRect const row = TimelineRowRect(timeline, i, scale.RowHeight());
        if (!NSPointInRect(p, row)) {
            continue;
        }
        int32_t const index =
            caches[i]->FindTweenPointIndex(p, row, origin, scale.PixelsPerUnit(), scale.HalfRow());
        if (index < 0) {
            break;
        }
        BaseTweenRecord& record = caches[i]->Record(static_cast<uint32_t>(index));
        if (toggle) {
            record.selected = !record.selected;
        } else if (!record.selected) {
            DeselectAllTweens(caches);
            record.selected = true;
        }
        return true;
    }
    if (!toggle) {
        DeselectAllTweens(caches);
    }
    return false;
}

void DeselectAllObjects() {
    OpaqueTQ3Object* selectedGroup = PL_GetGroupObject(kPLSelectedObjectsGroup);
    if (!selectedGroup) {
        return;
    }
    CGroupObject selected(selectedGroup);
    CGroupObject others(PL_GetGroupObject(kPLOtherObjectsGroup));
    while (OpaqueTQ3GroupPosition* first = selected.GetFirstObject()) {
        others.AddObject(CSharedObject(selected, first));
        selected.RemoveObject(first);
    }
}

void ReverseSelectedTweens() {
    int32_t lo = INT32_MAX;
    int32_t hi = -INT32_MAX;
    ForEachRecord(gTimeLineCache, [&](CCache&, BaseTweenRecord& record) {
        if (record.selected) {
            lo = std::min(lo, record.time);
            hi = std::max(hi, record.time);
        }
    });
    if (!(lo < hi)) {
        return;
    }
    for (uint32_t row = 0; row < gTimeLineCache.Count(); ++row) {
        CCache& cache = *gTimeLineCache[row];
        for (uint32_t i = 0; i < cache.Count(); ++i) {
            BaseTweenRecord& record = cache.Record(i);
            if (record.selected) {
                // Within lo..hi, but lo + hi alone may pass the 32-bit range.
                record.time = static_cast<int32_t>(int64_t{lo} + hi - record.time);
            }
        }
        SortByTime(cache);
        WriteBackRecords(cache);
    }
}

bool DeleteSelectedTweens() {
    bool any = false;
    for (uint32_t row = 0; row < gTimeLineCache.Count(); ++row) {
        CCache& cache = *gTimeLineCache[row];
        for (uint32_t i = cache.Count(); i-- > 0;) {
            if (!cache.Record(i).selected) {
                continue;
            }
            any = true;
            ChangeStoredTweenList(cache, [i](CTweenHandleRecord& list) { list.Remove(i); });
        }
    }
    return any;
}

void MoveSelectedTweens(TDynamicArray<CCache*>& caches, NSPoint& p, NSPoint lastMouse) {
    float const unitsPerPixel = static_cast<float>(PL_GetTimeUnitsPerSecond()) / gScaleFactor;
    float d = unitsPerPixel * (p.x - lastMouse.x);
    int32_t const minimum = PL_GetMinTime();
    int32_t const maximum = PL_GetMaxTime();
    ForEachRecord(caches, [&](CCache&, BaseTweenRecord& record) {
        if (!record.selected) {
            return;
        }
        auto const t = static_cast<float>(record.time);
        if (static_cast<float>(minimum) > t + d) {
            d = static_cast<float>(minimum) - t;
            p.x = d / unitsPerPixel + lastMouse.x;
        }
        if (t + d > static_cast<float>(maximum)) {
            d = static_cast<float>(maximum) - t;
            p.x = d / unitsPerPixel + lastMouse.x;
        }
    });
    ForEachRecord(caches, [&](CCache&, BaseTweenRecord& record) {
        if (record.selected) {
            record.time = TruncateToInt32(static_cast<float>(record.time) + d);
        }
    });
    for (uint32_t row = 0; row < caches.Count(); ++row) {
        SortByTime(*caches[row]);
    }
}

void CommitMarqueeSelection(TDynamicArray<CCache*>& caches, NSRect const& frame, float width,
                            float height, NSRect const& marquee) {
    TimelineScale const scale = TimelineScale::Current();
    NSRect const drawn = NSMakeRect(frame.origin.x, frame.origin.y, width, height);
    for (uint32_t row = 0; row < caches.Count(); ++row) {
        float const rowTop = NSMaxY(TimelineRowRect(drawn, row, scale.RowHeight()));
        CCache& cache = *caches[row];
        for (uint32_t i = 0; i < cache.Count(); ++i) {
            float const x =
                TweenGlyphX(cache.Record(i).time, 0, frame.origin.x, scale.PixelsPerUnit());
            if (x < frame.origin.x) {
                continue;
            }
            if (x > frame.origin.x + width) {
                break;
            }
            if (NSPointInRect(TweenGlyphMarqueePoint(x, rowTop, scale.HalfRow()), marquee)) {
                cache.Record(i).selected = true;
            }
        }
    }
}

void WriteBackAllRows(TDynamicArray<CCache*>& caches) {
    for (uint32_t row = 0; row < caches.Count(); ++row) {
        WriteBackRecords(*caches[row]);
    }
}
