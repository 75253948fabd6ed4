// Putting a new tween point into a stored tween list, shared by the three cache kinds.
#pragma once

#include <cstdint>

#include "host/scene/attribute_set.h"
#include "tween/tween_handle_record.h"
#include "tween/tween_records.h"

// Makes a new list holding the record alone and stores it as the set's tween attribute.
// sortingIndex, when not 0, replaces the number the list took (the camera and the view's
// standard lights keep 1, 2 and 3). Nothing is stored when the block cannot be made; when
// the set cannot take it, the block is released and the failure passes on.
void StoreNewTweenList(BaseTweenRecord const& record, int32_t recordSize, CSetObject& set,
                       uint32_t sortingIndex = 0);

// Puts the record into the list in time order: it overwrites a record at the same time
// (keeping that record's ease when keepEase is set) and goes before the first later one.
// False, with the list unchanged, when the block cannot grow or is not a list of records of
// recordSize bytes (a damaged stored list stays as it is). The list's sorting index stays.
bool PutTweenPointInTimeOrder(CTweenHandleRecord& list, BaseTweenRecord const& record,
                              uint32_t recordSize, bool keepEase = false);

// The same for a whole record of a record kind, which gives the size.
template <typename Record>
bool PutTweenPointInTimeOrder(CTweenHandleRecord& list, Record const& record) {
    return PutTweenPointInTimeOrder(list, record, sizeof(Record));
}

// Recording a snapshot: as PutTweenPointInTimeOrder, but a snapshot that replaces the point
// at its time keeps that point's ease, so recording a pose again keeps how the interval from
// it is blended.
template <typename Record>
bool RecordTweenPointInTimeOrder(CTweenHandleRecord& list, Record const& record) {
    return PutTweenPointInTimeOrder(list, record, sizeof(Record), true);
}
