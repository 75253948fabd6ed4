// A view of a stored tween list: the tween attribute's element data, the block's size and
// the block itself. The block holds an 8-byte header (record size, sorting index) and the
// records in ascending time.
//
// It is a view, not an owner: nothing is released when it goes, and a block read from an
// attribute set or stored into one belongs to the set. After a change the caller stores
// the view back with CSetObject::AddType(GetCustomAttributeType(eTweenAttribute), &list);
// the document sees the change only then.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/mac_types.h"
#include "host/scene/attribute_set.h"
#include "tween/tween_records.h"

struct TweenListHeader {
    uint32_t recordSize;
    uint32_t sortingIndex;
};
static_assert(sizeof(TweenListHeader) == 8);

class CTweenHandleRecord {
public:
    // Reads the tween attribute of the set; throws CSceneException when it has none.
    explicit CTweenHandleRecord(CSetObject const& set);
    // A new list holding the record alone, with the next sorting index after
    // gMaxSortIndex. When the block cannot be made, data stays null and nothing else
    // happens (the caller tests data before storing).
    CTweenHandleRecord(BaseTweenRecord const& record, int32_t recordSize);

    // Whether the block can be worked on as a list of records of recordSize bytes: it is at
    // least as long as the header and as size says, and its header names recordSize. Lists
    // that are not are left alone by every caller.
    bool IsUsableAs(uint32_t recordSize) const;
    // The whole records; a partial trailing record is not counted, and a damaged block
    // (shorter than its header or than size, or with a record size that no record kind
    // has) counts none.
    uint32_t GetCount() const;
    // The record at index; no bounds check, callers keep index below GetCount().
    void* operator[](uint32_t index);
    void const* operator[](uint32_t index) const;
    // The header's fields; a block shorter than its header reads 0 and is not written.
    uint32_t GetSortingIndex() const;
    void SetSortingIndex(uint32_t index);
    uint32_t RecordSize() const;

    // Both copy RecordSize() bytes from the record's address, so the record must be a whole
    // record of the list's kind. False, with the list unchanged, when the block cannot grow
    // or index lies beyond the count. A partial trailing record is dropped by either, and
    // by Remove.
    bool Append(BaseTweenRecord const& record);
    bool Insert(BaseTweenRecord const& record, uint32_t index);
    // Does nothing for an index at or beyond the count.
    void Remove(uint32_t index);
    // Makes the block hold the header and count whole records: the records kept keep their
    // bytes, new ones are unspecified. False, with the list unchanged, when the block cannot
    // be resized or the list is damaged.
    bool ResizeToCount(uint32_t count);

    int32_t size = 0;
    Handle data = nullptr;

private:
    // data is a block at least as long as the header and as size says.
    bool HeaderReadable() const;
    // The header names the record size of one of the record kinds.
    bool KnownRecordSize() const;
    // The block size of the header and count whole records.
    int32_t WholeSize(uint32_t count) const;
    TweenListHeader& Header() const { return *reinterpret_cast<TweenListHeader*>(*data); }
};
static_assert(offsetof(CTweenHandleRecord, data) == offsetof(THandlePair, data) &&
              sizeof(CTweenHandleRecord) == sizeof(THandlePair));
