#include "interp/value_tween.h"

#include <cmath>

#include "interp/lerp.h"

using interp::Lerp;

void TweenFloat(float& current, float target, float f) {
    float difference = target - current;
    if (difference != 0.0f) {
        current = current + difference * f;
    }
}

void TweenLong(int32_t& current, int32_t target, float f) {
    // Unsigned subtraction wraps instead of overflowing.
    auto const wrapped =
        static_cast<int32_t>(static_cast<uint32_t>(target) - static_cast<uint32_t>(current));
    auto const difference = static_cast<float>(wrapped);
    if (difference == 0.0f) {
        return;
    }
    float const blended = static_cast<float>(current) + difference * f;
    // Float cannot hold INT32_MAX; 2^31 is the first value past the range.
    constexpr float kPastMax = 2147483648.0f;
    constexpr float kMin = -2147483648.0f;
    if (std::isnan(blended)) {
        return;
    }
    if (blended >= kPastMax) {
        current = INT32_MAX;
    } else if (blended <= kMin) {
        current = INT32_MIN;
    } else {
        current = static_cast<int32_t>(blended);
    }
}

void TweenVector3D(TQ3Vector3D& current, TQ3Vector3D const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    current.x = Lerp(current.x, target.x, f);
    current.y = Lerp(current.y, target.y, f);
    current.z = Lerp(current.z, target.z, f);
}

void TweenColorRGB(C3DColor& current, C3DColor const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    current.r = Lerp(current.r, target.r, f);
    current.g = Lerp(current.g, target.g, f);
    current.b = Lerp(current.b, target.b, f);
}

void TweenCameraRange(TQ3CameraRange* current, TQ3CameraRange const& target, float f) {
    if (f == 0.0f) {
        return;
    }
    TweenFloat(current->hither, target.hither, f);
    TweenFloat(current->yon, target.yon, f);
}

TQ3Point3D TweenPoint3D(TQ3Point3D const& a, TQ3Point3D const& b, float f) {
    if (f == 0.0f) {
        return a;
    }
    return {Lerp(a.x, b.x, f), Lerp(a.y, b.y, f), Lerp(a.z, b.z, f)};
}
