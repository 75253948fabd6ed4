// The one blend step every tween shares, kept in one place so that all of them round the
// same way: the difference is formed first, then scaled and added, in single precision.
#pragma once

namespace interp {

inline float Lerp(float current, float target, float f) {
    return current + (target - current) * f;
}

} // namespace interp
