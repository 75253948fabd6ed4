#include "authoring/tween_clipboard.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "authoring/tween_editing.h"
#include "host/framework.h"
#include "host/scene.h"
#include "tween/cache.h"
#include "tween/row_order.h"
#include "tween/stored_list_access.h"
#include "tween/tween_point_recording.h"

namespace {

bool SameRow(CCache const& cache, CopiedTweenPoint const& point) {
    return cache.kind == point.kind && cache.object == point.object &&
           cache.listHolder == point.listHolder;
}

// The single object group selected in the document that is not the copied row's object, or
// null when there is not exactly one.
OpaqueTQ3Object* OtherSelectedGroup(OpaqueTQ3Object* copiedFrom) {
    OpaqueTQ3Object* selection = PL_GetGroupObject(kPLSelectedObjectsGroup);
    if (!selection) {
        return nullptr;
    }
    CGroupObject selected(selection);
    OpaqueTQ3GroupPosition* first = selected.GetFirstObject();
    if (!first || selected.NextPosition(first)) {
        return nullptr;
    }
    CSharedObject member(selected, first);
    if (!member.IsAGroup() || member.GetObject() == copiedFrom) {
        return nullptr;
    }
    return member.GetObject();
}

BaseTweenRecord const& Header(UnionTweenRecord const& record) {
    return *reinterpret_cast<BaseTweenRecord const*>(record.bytes);
}

// Stores the records (of recordSize bytes) into the target's list, making one when it has
// none.
void StoreInto(OpaqueTQ3Object* target, std::vector<UnionTweenRecord> const& records,
               uint32_t recordSize) {
    CShapeObject shape(target);
    if (!shape.HasSet()) {
        CSetObject made(nullptr, true);
        shape.SetSet(made);
    }
    CSetObject set(shape);
    if (!set.Contains(GetCustomAttributeType(eTweenAttribute))) {
        CTweenHandleRecord list(Header(records.front()), static_cast<int32_t>(recordSize));
        if (!list.data) {
            return;
        }
        for (std::size_t i = 1; i < records.size(); ++i) {
            PutTweenPointInTimeOrder(list, Header(records[i]), recordSize);
        }
        set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
        return;
    }
    ChangeStoredTweenList(
        target,
        [&](CTweenHandleRecord& list) {
            for (UnionTweenRecord const& record : records) {
                PutTweenPointInTimeOrder(list, Header(record), recordSize);
            }
        },
        recordSize);
}

// The middle of the group's bounds without its own transform, as recording measures it.
TQ3Point3D PivotOf(OpaqueTQ3Object* target) {
    CGroupObject group(target);
    if (group.GetFirstObjectOfType("xfrm"_4cc)) {
        return ObjectTweenRecord(0, group).pivot;
    }
    return CViewObject(PL_GetTheView())
        .GetBoundingBoxIncludingLights(group, true, nullptr)
        .Middle();
}

// The first light of the group, or null.
OpaqueTQ3Object* LightIn(OpaqueTQ3Object* group) {
    CGroupObject holder(group);
    OpaqueTQ3GroupPosition* light = holder.GetFirstObjectOfType("lght"_4cc);
    return light ? CSharedObject(holder, light).GetObject() : nullptr;
}

// The copy of one row moved onto another holder of a list of its kind (a group for object
// points, which take the group's own pivot; a light for light points, which keep the
// copied light's values and the copied group's transform).
bool PasteOnto(OpaqueTQ3Object* holder, int32_t start, TCacheKind kind) {
    bool const object = kind == eObjectCache;
    TQ3Point3D const pivot = object ? PivotOf(holder) : TQ3Point3D{0, 0, 0};
    std::vector<UnionTweenRecord> records;
    for (CopiedTweenPoint const& point : gTweenClipboard) {
        int64_t const time = int64_t{start} + point.offset;
        if (time > INT32_MAX) {
            continue;
        }
        records.push_back(point.record);
        auto* header = reinterpret_cast<BaseTweenRecord*>(records.back().bytes);
        header->time = static_cast<int32_t>(time);
        header->selected = true;
        if (object) {
            ObjectTweenRecord record;
            std::memcpy(&record, records.back().bytes, sizeof record);
            record.pivot = pivot;
            std::memcpy(records.back().bytes, &record, sizeof record);
        }
    }
    if (records.empty()) {
        return false;
    }
    StoreInto(holder, records, object ? kObjectRecordSize : kLightRecordSize);
    return true;
}

} // namespace

bool CopySelectedTweens(TDynamicArray<CCache*>& caches) {
    std::vector<CopiedTweenPoint> copied;
    int32_t earliest = INT32_MAX;
    for (uint32_t row = 0; row < caches.Count(); ++row) {
        CCache const& cache = *caches[row];
        for (uint32_t i = 0; i < cache.Count(); ++i) {
            if (!cache.Record(i).selected) {
                continue;
            }
            CopiedTweenPoint point{cache.kind, cache.object, cache.listHolder, 0, cache.records[i]};
            point.offset = cache.Record(i).time;
            earliest = std::min(earliest, cache.Record(i).time);
            copied.push_back(point);
        }
    }
    if (copied.empty()) {
        return false;
    }
    for (CopiedTweenPoint& point : copied) {
        point.offset -= earliest;
    }
    gTweenClipboard = std::move(copied);
    gTweenClipboardDocument = PL_GetFrontDocument();
    return true;
}

bool CanPasteTweens() {
    return !gTweenClipboard.empty() && gTweenClipboardDocument == PL_GetFrontDocument();
}

bool PasteTweens(TDynamicArray<CCache*>& caches, int32_t start) {
    if (!CanPasteTweens()) {
        return false;
    }
    DeselectAllTweens(caches);
    WriteBackAllRows(caches);
    CopiedTweenPoint const& first = gTweenClipboard.front();
    bool const oneRow =
        std::all_of(gTweenClipboard.begin(), gTweenClipboard.end(), [&](CopiedTweenPoint const& p) {
            return p.object == first.object && p.kind == first.kind;
        });
    OpaqueTQ3Object* const target = oneRow ? OtherSelectedGroup(first.object) : nullptr;
    if (target && first.kind == eObjectCache) {
        return PasteOnto(target, start, eObjectCache);
    }
    if (target && first.kind == eLightCache) {
        if (OpaqueTQ3Object* light = LightIn(target)) {
            return PasteOnto(light, start, eLightCache);
        }
    }
    bool pasted = false;
    for (uint32_t row = 0; row < caches.Count(); ++row) {
        CCache const& cache = *caches[row];
        std::vector<UnionTweenRecord> records;
        for (CopiedTweenPoint const& point : gTweenClipboard) {
            int64_t const time = int64_t{start} + point.offset;
            if (SameRow(cache, point) && time <= INT32_MAX) {
                records.push_back(point.record);
                auto* record = reinterpret_cast<BaseTweenRecord*>(records.back().bytes);
                record->time = static_cast<int32_t>(time);
                record->selected = true;
            }
        }
        if (records.empty()) {
            continue;
        }
        pasted = ChangeStoredTweenList(
                     cache,
                     [&](CTweenHandleRecord& list) {
                         for (UnionTweenRecord const& record : records) {
                             PutTweenPointInTimeOrder(
                                 list, *reinterpret_cast<BaseTweenRecord const*>(record.bytes),
                                 list.RecordSize());
                         }
                     }) ||
                 pasted;
    }
    return pasted;
}
