// The times at which a glTF export is compared with the document it came from: 100 across
// the document's range, on the export's sampling grid when the export sampled anything
// (sampled values are exact only there), else off every frame.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "refhost/document/document.h"

namespace keypose_test {

inline std::vector<int32_t> CompareTimes(refhost::ClockSettings const& clock, bool sampled,
                                         double fps) {
    int32_t const start = std::min(clock.minimum, clock.maximum);
    int32_t const end = std::max(clock.minimum, clock.maximum);
    std::vector<int32_t> times;
    for (int i = 0; i < 100; ++i) {
        if (sampled) {
            int const frames =
                static_cast<int>(std::floor((end - start) * fps / clock.unitsPerSecond));
            int const k = static_cast<int>(std::lround(i * frames / 99.0));
            times.push_back(
                static_cast<int32_t>(std::lround(start + k * double(clock.unitsPerSecond) / fps)));
        } else {
            // Off any frame: 97 parts of the range do not fall on the tween points' times.
            times.push_back(start +
                            static_cast<int32_t>(std::lround((end - start) * i / 99.0 * 0.999)));
        }
    }
    return times;
}

} // namespace keypose_test
