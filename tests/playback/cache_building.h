// Filling a cache with records directly, for tests of how it applies them.
#pragma once

#include <cstring>

#include "tween/cache.h"

template <typename Record>
void AddRecord(CCache& cache, Record const& record) {
    UnionTweenRecord copy{};
    std::memcpy(copy.bytes, &record, sizeof record);
    cache.records.Append(copy);
}

inline TQ3Matrix4x4 Translation(float x, float y, float z) {
    CMatrix4x4 m(1.0);
    m.value[3][0] = x;
    m.value[3][1] = y;
    m.value[3][2] = z;
    return m;
}
