#include "tween/tween_point_recording.h"

#include <cstring>

#include "host/memory.h"
#include "interp/easing.h"

void StoreNewTweenList(BaseTweenRecord const& record, int32_t recordSize, CSetObject& set,
                       uint32_t sortingIndex) {
    CTweenHandleRecord list(record, recordSize);
    if (!list.data) {
        return;
    }
    if (sortingIndex != 0) {
        list.SetSortingIndex(sortingIndex);
    }
    try {
        set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
    } catch (...) {
        DisposeHandle(list.data); // the set did not take it
        throw;
    }
}

bool PutTweenPointInTimeOrder(CTweenHandleRecord& list, BaseTweenRecord const& record,
                              uint32_t recordSize) {
    if (!list.IsUsableAs(recordSize)) {
        return false;
    }
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        int32_t const time = static_cast<BaseTweenRecord const*>(list[i])->time;
        if (time == record.time) {
            std::memcpy(list[i], &record, list.RecordSize());
            return true;
        }
        if (time > record.time) {
            return list.Insert(record, i);
        }
    }
    return list.Append(record);
}

uint8_t EaseAt(CTweenHandleRecord const& list, int32_t time, uint32_t recordSize) {
    if (!list.IsUsableAs(recordSize)) {
        return eEaseLinear;
    }
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        auto const* record = static_cast<BaseTweenRecord const*>(list[i]);
        if (record->time == time) {
            return record->ease;
        }
    }
    return eEaseLinear;
}
