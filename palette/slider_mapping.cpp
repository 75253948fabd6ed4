#include "palette/slider_mapping.h"

float SliderValueForTime(double minValue, double maxValue, int32_t current, int32_t minimum,
                         int32_t maximum) {
    int32_t const span = maximum - minimum;
    if (span == 0) {
        return static_cast<float>(minValue);
    }
    float const f = static_cast<float>(current - minimum) / static_cast<float>(span);
    return static_cast<float>(minValue + (maxValue - minValue) * f);
}

int32_t TimeForSliderValue(double value, double minValue, double maxValue, int32_t minimum,
                           int32_t maximum) {
    if (maxValue == minValue) {
        return minimum;
    }
    auto const f = static_cast<float>((value - minValue) / (maxValue - minValue));
    float const t = static_cast<float>(minimum) + f * static_cast<float>(maximum - minimum);
    return static_cast<int32_t>(t);
}
