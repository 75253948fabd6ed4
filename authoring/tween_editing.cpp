#include "authoring/tween_editing.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "host/framework.h"
#include "host/scene.h"
#include "interp/easing.h"
#include "playback/host_time.h"
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

namespace {

// The record under p: the row that holds p, then that row's hit test; null when none.
BaseTweenRecord* TweenUnder(TDynamicArray<CCache*>& caches, NSPoint const& p,
                            NSRect const& timeline) {
    TimelineScale const scale = TimelineScale::Current();
    float const origin = timeline.origin.x + kStartOffset;
    for (uint32_t i = 0; i < caches.Count(); ++i) {
        NSRect const row = TimelineRowRect(timeline, i, scale.RowHeight());
        if (!NSPointInRect(p, row)) {
            continue;
        }
        int32_t const index =
            caches[i]->FindTweenPointIndex(p, row, origin, scale.PixelsPerUnit(), scale.HalfRow());
        return index < 0 ? nullptr : &caches[i]->Record(static_cast<uint32_t>(index));
    }
    return nullptr;
}

} // namespace

bool DoSelectObjectTween(TDynamicArray<CCache*>& caches, NSPoint const& p, NSRect const& timeline,
                         bool toggle, bool /*unused*/) {
    BaseTweenRecord* record = TweenUnder(caches, p, timeline);
    if (!record) {
        if (!toggle) {
            DeselectAllTweens(caches);
        }
        return false;
    }
    if (toggle) {
        record->selected = !record->selected;
    } else if (!record->selected) {
        DeselectAllTweens(caches);
        record->selected = true;
    }
    return true;
}

bool TweenTimeUnder(TDynamicArray<CCache*>& caches, NSPoint const& p, NSRect const& timeline,
                    int32_t* time) {
    BaseTweenRecord const* record = TweenUnder(caches, p, timeline);
    if (record) {
        *time = record->time;
    }
    return record != nullptr;
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
    float const unitsPerPixel = TimeUnitsPerSecond() / gScaleFactor;
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

bool AnyTweenSelected(TDynamicArray<CCache*>& caches) {
    bool any = false;
    ForEachRecord(caches, [&](CCache&, BaseTweenRecord& record) { any = any || record.selected; });
    return any;
}

bool SelectionSpansTime(TDynamicArray<CCache*>& caches) {
    int32_t lo = INT32_MAX;
    int32_t hi = INT32_MIN;
    ForEachRecord(caches, [&](CCache&, BaseTweenRecord& record) {
        if (record.selected) {
            lo = std::min(lo, record.time);
            hi = std::max(hi, record.time);
        }
    });
    return lo < hi;
}

int32_t MoveSelectedTweensBy(TDynamicArray<CCache*>& caches, int32_t d) {
    int64_t move = d;
    ForEachRecord(caches, [&](CCache&, BaseTweenRecord& record) {
        if (record.selected) {
            move = std::max(move, int64_t{PL_GetMinTime()} - record.time);
            move = std::min(move, int64_t{PL_GetMaxTime()} - record.time);
        }
    });
    if (move == 0) {
        return 0;
    }
    ForEachRecord(caches, [&](CCache&, BaseTweenRecord& record) {
        if (record.selected) {
            record.time = static_cast<int32_t>(record.time + move);
        }
    });
    for (uint32_t row = 0; row < caches.Count(); ++row) {
        SortByTime(*caches[row]);
    }
    return static_cast<int32_t>(move);
}

void SetSelectedEase(TDynamicArray<CCache*>& caches, uint8_t ease) {
    ForEachRecord(caches, [&](CCache&, BaseTweenRecord& record) {
        if (record.selected) {
            record.ease = ease;
        }
    });
}

uint8_t NextEaseOfSelection(TDynamicArray<CCache*>& caches) {
    for (uint32_t row = 0; row < caches.Count(); ++row) {
        for (uint32_t i = 0; i < caches[row]->Count(); ++i) {
            BaseTweenRecord const& record = caches[row]->Record(i);
            if (record.selected) {
                bool const cycles = record.ease < eEaseInOut;
                return cycles ? static_cast<uint8_t>(record.ease + 1) : uint8_t{eEaseLinear};
            }
        }
    }
    return eEaseIn;
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
