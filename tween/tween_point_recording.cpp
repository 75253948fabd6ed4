#include "tween/tween_point_recording.h"

#include <cstring>

#include "host/memory.h"

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
                              uint32_t recordSize, bool keepEase) {
    if (!list.IsUsableAs(recordSize)) {
        return false;
    }
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        int32_t const time = static_cast<BaseTweenRecord const*>(list[i])->time;
        if (time == record.time) {
            auto* replaced = static_cast<BaseTweenRecord*>(list[i]);
            uint8_t const ease = replaced->ease;
            std::memcpy(list[i], &record, list.RecordSize());
            if (keepEase) {
                replaced->ease = ease;
            }
            return true;
        }
        if (time > record.time) {
            return list.Insert(record, i);
        }
    }
    return list.Append(record);
}
