#include "palette/slider_mapping.h"

#include "tween/timeline_geometry.h"

float SliderValueForTime(double minValue, double maxValue, int32_t current, int32_t minimum,
                         int32_t maximum) {
    // Widened: a clock may span more than 32 bits of units.
    int64_t const span = int64_t{maximum} - minimum;
    if (span == 0) {
        return static_cast<float>(minValue);
    }
    float const f = static_cast<float>(int64_t{current} - minimum) / static_cast<float>(span);
    return static_cast<float>(minValue + (maxValue - minValue) * f);
}

int32_t TimeForSliderValue(double value, double minValue, double maxValue, int32_t minimum,
                           int32_t maximum) {
    if (maxValue == minValue) {
        return minimum;
    }
    auto const f = static_cast<float>((value - minValue) / (maxValue - minValue));
    float const t =
        static_cast<float>(minimum) + f * static_cast<float>(int64_t{maximum} - minimum);
    return TruncateToInt32(t);
}
