#include "interp/boolean_tween.h"

namespace {

bool Blend(bool current, bool target, float f) {
    if (current == target) {
        return current;
    }
    if (current) {
        return !(f >= 1.0f);
    }
    // Switching on: true for every f below 1 because the flag is on at the later end, and
    // true at f >= 1 as well, because there the result is the later tween point itself.
    return true;
}

} // namespace

void TweenBool(bool* current, bool target, float f) {
    *current = Blend(*current, target, f);
}

void TweenTQ3Bool(TQ3Boolean* current, TQ3Boolean target, float f) {
    bool const on = *current != kQ3False;
    bool const targetOn = target != kQ3False;
    bool const blended = Blend(on, targetOn, f);
    if (blended != on) {
        *current = blended ? kQ3True : kQ3False;
    }
}
