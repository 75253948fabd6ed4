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
    return Header().recordSize;
}

uint32_t CTweenHandleRecord::GetCount() const {
    return (static_cast<uint32_t>(size) - kHeaderSize) / RecordSize();
}

void* CTweenHandleRecord::operator[](uint32_t index) {
    return *data + sizeof(TweenListHeader) + std::size_t{index} * RecordSize();
}

void const* CTweenHandleRecord::operator[](uint32_t index) const {
    return *data + sizeof(TweenListHeader) + std::size_t{index} * RecordSize();
}

uint32_t CTweenHandleRecord::GetSortingIndex() const {
    return Header().sortingIndex;
}

void CTweenHandleRecord::SetSortingIndex(uint32_t index) {
    Header().sortingIndex = index;
}

bool CTweenHandleRecord::Append(BaseTweenRecord const& record) {
    auto s = static_cast<int32_t>(RecordSize());
    HUnlock(data);
    SetHandleSize(data, size + s);
    if (MemError() != noErr) {
        return false;
    }
    std::memcpy(*data + size, &record, static_cast<std::size_t>(s));
    size += s;
    return true;
}

bool CTweenHandleRecord::Insert(BaseTweenRecord const& record, uint32_t index) {
    auto s = static_cast<int32_t>(RecordSize());
    HUnlock(data);
    SetHandleSize(data, size + s);
    if (MemError() != noErr) {
        return false;
    }
    uint32_t n = (static_cast<uint32_t>(size) - kHeaderSize) / static_cast<uint32_t>(s);
    char* at = static_cast<char*>((*this)[index]);
    if (index != n) {
        std::memmove(at + s, at, std::size_t{n - index} * static_cast<std::size_t>(s));
    }
    size += s;
    std::memcpy(at, &record, static_cast<std::size_t>(s));
    return true;
}

void CTweenHandleRecord::Remove(uint32_t index) {
    auto s = static_cast<int32_t>(RecordSize());
    uint32_t n = GetCount();
    if (index >= n) {
        return;
    }
    if (index < n - 1) {
        char* at = static_cast<char*>((*this)[index]);
        std::memmove(at, at + s, std::size_t{n - 1 - index} * static_cast<std::size_t>(s));
    }
    size -= s;
    SetHandleSize(data, size); // a failed shrink leaves a larger block, which does no harm
}
