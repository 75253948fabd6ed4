#include "tween/cache.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "host/scene.h"
#include "tween/mac_error.h"
#include "tween/recache.h"
#include "tween/timeline_geometry.h"

CCache::CCache(TCacheKind cacheKind, uint32_t index) : kind(cacheKind), sortingIndex(index) {}

BaseTweenRecord& CCache::Record(uint32_t index) {
    return *reinterpret_cast<BaseTweenRecord*>(records[index].bytes);
}

BaseTweenRecord const& CCache::Record(uint32_t index) const {
    return *reinterpret_cast<BaseTweenRecord const*>(records[index].bytes);
}

uint32_t RecordSizeOf(TCacheKind kind) {
    return kind == eCameraCache ? kCameraRecordSize : kObjectRecordSize;
}

void CCache::CopyRecords(CTweenHandleRecord& list, std::size_t recordSize) {
    if (!list.IsUsableAs(static_cast<uint32_t>(recordSize))) {
        throw eParamErr; // a damaged list or one of another kind is never read
    }
    // One block for all of them, instead of one growth after another.
    records.SubSetCount(records.Count() + list.GetCount());
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        UnionTweenRecord copy{};
        std::memcpy(copy.bytes, list[i], recordSize);
        // A stored flag byte may hold any value; the cache keeps it as a proper bool.
        copy.bytes[offsetof(BaseTweenRecord, selected)] =
            copy.bytes[offsetof(BaseTweenRecord, selected)] != 0 ? 1 : 0;
        records.Append(copy);
    }
}

int32_t CCache::GetFirstTweenTime() const {
    return Count() == 0 ? 0 : Record(0).time;
}

int32_t CCache::GetLastTweenTime() const {
    return Count() == 0 ? kNoNextTweenTime : Record(Count() - 1).time;
}

int32_t CCache::GetPreviousTweenTime(int32_t t) const {
    for (uint32_t i = Count(); i-- > 0;) {
        if (Record(i).time < t) {
            return Record(i).time;
        }
    }
    return kNoPreviousTweenTime;
}

int32_t CCache::GetNextTweenTime(int32_t t) const {
    for (uint32_t i = 0; i < Count(); ++i) {
        if (Record(i).time > t) {
            return Record(i).time;
        }
    }
    return kNoNextTweenTime;
}

namespace {

// A group moves between the selection groups only while it is drawn and pickable.
bool MayMove(CGroupObject const& from, OpaqueTQ3GroupPosition* position) {
    CSharedObject member(from, position);
    if (!member.IsAGroup()) {
        return true;
    }
    uint32_t constexpr kDrawnAndPicked = 0x01 | 0x10;
    return (CDisplayGroupObject(member).GetState() & kDrawnAndPicked) == kDrawnAndPicked;
}

void Move(CGroupObject& from, OpaqueTQ3GroupPosition* position, CGroupObject& to) {
    if (!MayMove(from, position)) {
        return;
    }
    CSharedObject member(from, position);
    from.RemoveObject(position);
    to.AddObject(member);
}

} // namespace

void CCache::SelectObject(OpaqueTQ3Object* selectedGroup, OpaqueTQ3Object* otherGroup) {
    try {
        CGroupObject selected(selectedGroup);
        CGroupObject others(otherGroup);
        if (auto* inOthers = FindGroupThisObjIsIn(object, others)) {
            Move(others, inOthers, selected);
        } else if (auto* inSelected = FindGroupThisObjIsIn(object, selected)) {
            Move(selected, inSelected, others);
        }
    } catch (...) {
        // A selection that cannot change stays as it is.
    }
}

int32_t CCache::FindTweenPointIndex(NSPoint const& point, NSRect const& rowRect,
                                    float const& originX, float const& pixelsPerUnit,
                                    int16_t halfSize) const {
    auto const h = static_cast<float>(halfSize);
    NSRect const& r = rowRect;
    NSPoint const& p = point;
    for (uint32_t i = Count(); i-- > 0;) {
        auto const x = static_cast<float>(TweenPointX(Record(i).time, originX, pixelsPerUnit));
        if (x < r.origin.x || x > r.origin.x + r.size.width) {
            continue; // outside the row's visible span
        }
        if (!(p.x - h < x && x < p.x + h)) {
            continue;
        }
        if (!(r.origin.y <= p.y && p.y <= r.origin.y + r.size.height + h)) {
            continue;
        }
        if (r.origin.y + h + 2 - p.y > std::fabs(p.x - x)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

void CCache::SelectTweensInRect(Rect const& rect, float const& originX,
                                float const& pixelsPerUnit) {
    for (uint32_t i = 0; i < Count(); ++i) {
        int32_t const x = TweenPointX(Record(i).time, originX, pixelsPerUnit);
        if (rect.left <= x && x <= rect.right) {
            Record(i).selected = true;
        }
    }
}
