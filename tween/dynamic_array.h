// A growable array of plain elements in one relocatable memory block.
//
// Elements are copied bytewise and never constructed or destroyed: an array of pointers
// does not own what they point to. Slots from count to capacity are always zero. The block
// grows by half the wanted size plus four slots and never shrinks, so clearing and filling
// again (as every recache does) reuses the same storage.
//
// Failures raise EMacError values: eParamErr for an index at or beyond the count,
// eMemFullErr when the block cannot grow (the array is then as it was); the constructor
// raises the 16-bit MemError value (or eMemFullErr) when it cannot make its block.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "host/memory.h"
#include "tween/mac_error.h"

template <typename T>
class TDynamicArray {
    static_assert(std::is_trivially_copyable_v<T>, "elements are copied bytewise");

public:
    TDynamicArray();
    TDynamicArray(TDynamicArray const&) = delete;
    TDynamicArray& operator=(TDynamicArray const&) = delete;
    ~TDynamicArray() { DisposeHandle(data); }

    T& operator[](uint32_t index);
    T const& operator[](uint32_t index) const;
    uint32_t Count() const { return count; }
    uint32_t Capacity() const { return capacity; }
    bool IsEmpty() const { return count == 0; }

    void Append(T const& item);
    // index == Count() appends; an index beyond it raises eParamErr.
    void Insert(T const& item, uint32_t index);
    // Only SetCount(0) is meant: it empties the array, keeping its block and capacity.
    void SetCount(uint32_t n);
    // n <= capacity: zero the slots from n up to the count; n > capacity: grow to hold at
    // least n elements. Never changes the count.
    void SubSetCount(uint32_t n);

    Handle data = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;
    uint32_t elementSize = 0;

private:
    T* Slots() const { return reinterpret_cast<T*>(*data); }
    void ZeroSlots(uint32_t from, uint32_t to);
    void Grow(uint32_t n);
};

template <typename T>
TDynamicArray<T>::TDynamicArray() : elementSize(sizeof(T)) {
    data = NewHandleClear(1);
    if (!data) {
        OSErr error = MemError();
        throw static_cast<int16_t>(error != noErr ? error : memFullErr);
    }
}

template <typename T>
T& TDynamicArray<T>::operator[](uint32_t index) {
    if (index >= count) {
        throw eParamErr;
    }
    return Slots()[index];
}

template <typename T>
T const& TDynamicArray<T>::operator[](uint32_t index) const {
    if (index >= count) {
        throw eParamErr;
    }
    return Slots()[index];
}

template <typename T>
void TDynamicArray<T>::Append(T const& item) {
    if (count == capacity) {
        T copy = item; // the item may lie inside the block that is about to move
        SubSetCount(count + 1);
        Slots()[count++] = copy;
        return;
    }
    Slots()[count++] = item;
}

template <typename T>
void TDynamicArray<T>::Insert(T const& item, uint32_t index) {
    if (index == count) {
        Append(item);
        return;
    }
    if (index > count) {
        throw eParamErr;
    }
    T copy = item;
    if (count == capacity) {
        SubSetCount(count + 1);
    }
    std::memmove(Slots() + index + 1, Slots() + index, (count - index) * sizeof(T));
    Slots()[index] = copy;
    ++count;
}

template <typename T>
void TDynamicArray<T>::SetCount(uint32_t n) {
    if (count != 0) {
        SubSetCount(0);
    }
    count = n;
}

template <typename T>
void TDynamicArray<T>::SubSetCount(uint32_t n) {
    if (n <= capacity) {
        ZeroSlots(n, count);
        return;
    }
    Grow(n);
}

template <typename T>
void TDynamicArray<T>::ZeroSlots(uint32_t from, uint32_t to) {
    if (from < to) {
        std::memset(*data + std::size_t{from} * elementSize, 0,
                    std::size_t{to - from} * elementSize);
    }
}

template <typename T>
void TDynamicArray<T>::Grow(uint32_t n) {
    if (elementSize == 0) {
        elementSize = sizeof(T);
    }
    uint32_t oldCapacity = capacity;
    capacity = (3 * n) / 2 + 4;
    for (;;) {
        auto newSize = static_cast<Size>(capacity * elementSize);
        Size oldSize = 0;
        if (data) {
            oldSize = GetHandleSize(data);
            SetHandleSize(data, newSize);
        } else if (!(data = NewHandleClear(newSize))) {
            capacity = oldCapacity;
            throw eMemFullErr;
        }
        if (MemError() == noErr) {
            if (newSize > oldSize) {
                std::memset(*data + oldSize, 0, static_cast<std::size_t>(newSize - oldSize));
            }
            return;
        }
        // Try a smaller block between what was asked and what failed.
        if (capacity > n + 1) {
            capacity = (n + capacity) / 2;
            continue;
        }
        capacity = oldCapacity;
        throw eMemFullErr;
    }
}
