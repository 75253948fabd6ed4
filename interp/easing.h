// How the interval that starts at a tween point is blended: the fraction of the way from
// the earlier point toward the later one that a blend is given, from the plain fraction of
// the interval's time that has passed. Every blend of an interval (transform, colours,
// surface values, light and camera data, camera placement) takes its fraction from here.
#pragma once

#include <cstdint>

// The ease a tween point carries in its record header. Documents written before eases
// existed hold 0 there, so they play exactly as before; any value not listed plays linear.
enum TEase : uint8_t {
    eEaseLinear = 0,
    eEaseIn = 1,    // starts slowly: f squared
    eEaseOut = 2,   // stops slowly: 1 - (1 - f) squared
    eEaseInOut = 3, // both: 3 f squared - 2 f cubed
    eEaseHold = 4,  // keeps the earlier point until the later point's time
};
inline constexpr uint8_t kEaseCount = 5;

// f is the plain fraction, 0 <= f <= 1. Every ease keeps both ends: 0 gives 0 and 1 gives 1
// (a hold gives 0 everywhere before 1). Single precision, no state, never fails.
constexpr float EasedFraction(uint8_t ease, float f) {
    switch (ease) {
    case eEaseIn:
        return f * f;
    case eEaseOut: {
        float const g = 1.0f - f;
        return 1.0f - g * g;
    }
    case eEaseInOut:
        return f * f * (3.0f - 2.0f * f);
    case eEaseHold:
        return f >= 1.0f ? 1.0f : 0.0f;
    default:
        return f;
    }
}
