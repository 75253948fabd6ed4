#include "tween/tween_handle_record.h"

#include <cstring>

#include "tween/recache.h"

namespace {
constexpr uint32_t kHeaderSize = sizeof(TweenListHeader);
}

CTweenHandleRecord::CTweenHandleRecord(CSetObject const& set) {
    set.GetData(GetCustomAttributeType(eTweenAttribute), this);
}

CTweenHandleRecord::CTweenHandleRecord(BaseTweenRecord const& record, int32_t recordSize) {
    size = recordSize + static_cast<int32_t>(sizeof(TweenListHeader));
    data = NewHandle(size);
    if (!data) {
        return;
    }
    Header().recordSize = static_cast<uint32_t>(recordSize);
    Header().sortingIndex = ++gMaxSortIndex;
    std::memcpy(*data + sizeof(TweenListHeader), &record, static_cast<std::size_t>(recordSize));
}

uint32_t CTweenHandleRecord::RecordSize() const {
    return HeaderReadable() ? Header().recordSize : 0;
}

bool CTweenHandleRecord::HeaderReadable() const {
    return data && size >= static_cast<int32_t>(kHeaderSize) && GetHandleSize(data) >= size;
}

bool CTweenHandleRecord::IsUsableAs(uint32_t recordSize) const {
    return recordSize != 0 && RecordSize() == recordSize;
}

uint32_t CTweenHandleRecord::GetCount() const {
    // A damaged block counts no records rather than reading outside itself.
    if (!HeaderReadable() || !KnownRecordSize()) {
        return 0;
    }
    return (static_cast<uint32_t>(size) - kHeaderSize) / RecordSize();
}

void* CTweenHandleRecord::operator[](uint32_t index) {
    return *data + sizeof(TweenListHeader) + std::size_t{index} * RecordSize();
}

void const* CTweenHandleRecord::operator[](uint32_t index) const {
    return *data + sizeof(TweenListHeader) + std::size_t{index} * RecordSize();
}

uint32_t CTweenHandleRecord::GetSortingIndex() const {
    return HeaderReadable() ? Header().sortingIndex : 0;
}

void CTweenHandleRecord::SetSortingIndex(uint32_t index) {
    if (HeaderReadable()) {
        Header().sortingIndex = index;
    }
}

bool CTweenHandleRecord::KnownRecordSize() const {
    uint32_t const s = RecordSize();
    return s == kObjectRecordSize || s == kLightRecordSize || s == kCameraRecordSize;
}

int32_t CTweenHandleRecord::WholeSize(uint32_t count) const {
    return static_cast<int32_t>(kHeaderSize + count * RecordSize());
}

bool CTweenHandleRecord::Append(BaseTweenRecord const& record) {
    return Insert(record, GetCount());
}

bool CTweenHandleRecord::Insert(BaseTweenRecord const& record, uint32_t index) {
    uint32_t const n = GetCount();
    if (!HeaderReadable() || !KnownRecordSize() || index > n) {
        return false;
    }
    auto s = static_cast<int32_t>(RecordSize());
    // The records go after the whole ones: a partial trailing record is dropped.
    int32_t const newSize = WholeSize(n + 1);
    HUnlock(data);
    SetHandleSize(data, newSize);
    if (MemError() != noErr) {
        return false;
    }
    char* at = static_cast<char*>((*this)[index]);
    if (index != n) {
        std::memmove(at + s, at, std::size_t{n - index} * static_cast<std::size_t>(s));
    }
    size = newSize;
    std::memcpy(at, &record, static_cast<std::size_t>(s));
    return true;
}

void CTweenHandleRecord::Remove(uint32_t index) {
    uint32_t n = GetCount();
    if (index >= n) {
        return;
    }
    auto s = static_cast<int32_t>(RecordSize());
    if (index < n - 1) {
        char* at = static_cast<char*>((*this)[index]);
        std::memmove(at, at + s, std::size_t{n - 1 - index} * static_cast<std::size_t>(s));
    }
    size = WholeSize(n - 1);
    SetHandleSize(data, size); // a failed shrink leaves a larger block, which does no harm
}

bool CTweenHandleRecord::ResizeToCount(uint32_t count) {
    if (!HeaderReadable() || !KnownRecordSize()) {
        return false;
    }
    int32_t const newSize = WholeSize(count);
    HUnlock(data);
    SetHandleSize(data, newSize);
    if (MemError() != noErr) {
        return false;
    }
    size = newSize;
    return true;
}
