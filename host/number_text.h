// Number to text and back, for the palette's fields and labels. Both use the C locale
// (a full stop before the decimals), whatever the user's locale.
#pragma once

#include <cstdint>

#include "host/pascal_string.h"

// value with exactly `decimals` digits after the point (0 gives no point), rounded to
// nearest, and at least `minimumIntegerDigits` digits before it (padded with zeros):
// EStr(4, 1, 1) is "4.0", EStr(-0.25, 2, 1) is "-0.25", EStr(7.5, 0, 3) is "008".
// Infinities and NaN read "inf", "-inf" and "nan".
CStr255 EStr(double value, int16_t decimals, int16_t minimumIntegerDigits);

// The number that the text starts with, after leading white space: an optional sign, digits
// with an optional point, an optional exponent. Text that does not start with a number
// gives 0; anything after the number is ignored ("2.5 s" gives 2.5).
double StrToExt(CStr255 const& text);
