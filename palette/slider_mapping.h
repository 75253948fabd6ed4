// Where the current-time slider stands for a time, and the time a slider value stands for.
#pragma once

#include <cstdint>

// minValue + (maxValue - minValue) * f with f = (current - minimum) / (maximum - minimum),
// the two differences taken as 32-bit integers and divided in single precision, the rest in
// double. When minimum equals maximum there is no fraction; the slider then stands at
// minValue rather than at a value that is not a number.
float SliderValueForTime(double minValue, double maxValue, int32_t current, int32_t minimum,
                         int32_t maximum);

// minimum + ((value - minValue) / (maxValue - minValue)) * (maximum - minimum): the quotient
// in double and made float, the product and sum in single precision, truncated toward zero.
// A slider without a range stands for the minimum.
int32_t TimeForSliderValue(double value, double minValue, double maxValue, int32_t minimum,
                           int32_t maximum);
