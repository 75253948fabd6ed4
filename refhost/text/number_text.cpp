#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

#include "host/number_text.h"

CStr255 EStr(double value, int16_t decimals, int16_t minimumIntegerDigits) {
    if (std::isnan(value)) {
        return CStr255("nan");
    }
    if (std::isinf(value)) {
        return CStr255(value < 0 ? "-inf" : "inf");
    }
    int places = std::clamp<int>(decimals, 0, 60);
    char buffer[400];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, places);
    if (error != std::errc()) {
        return CStr255("inf");
    }
    std::string text(buffer, end);
    bool negative = !text.empty() && text[0] == '-';
    std::string digits = negative ? text.substr(1) : text;
    std::size_t integerDigits = std::min(digits.find('.'), digits.size());
    std::size_t wanted = static_cast<std::size_t>(std::clamp<int>(minimumIntegerDigits, 1, 60));
    if (integerDigits < wanted) {
        digits.insert(0, wanted - integerDigits, '0');
    }
    // Rounding may leave "-0.0"; a negative zero reads as zero.
    bool allZero = digits.find_first_not_of("0.") == std::string::npos;
    return CStr255((negative && !allZero ? "-" : "") + digits);
}

double StrToExt(CStr255 const& text) {
    std::string_view view = text.View();
    std::size_t start = view.find_first_not_of(" \t\r\n\f\v");
    if (start == std::string_view::npos) {
        return 0.0;
    }
    view.remove_prefix(start);
    // from_chars takes no leading plus sign.
    bool plus = !view.empty() && view[0] == '+';
    if (plus) {
        view.remove_prefix(1);
        if (!view.empty() && view[0] == '-') {
            return 0.0;
        }
    }
    // Only digits or a point start a number; from_chars would also read "inf" and "nan".
    std::size_t first = !view.empty() && view[0] == '-' ? 1 : 0;
    if (first >= view.size() ||
        !(std::isdigit(static_cast<unsigned char>(view[first])) || view[first] == '.')) {
        return 0.0;
    }
    double value = 0.0;
    auto [end, error] =
        std::from_chars(view.data(), view.data() + view.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        return view[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return error == std::errc() ? value : 0.0;
}
