// What a render draws: its frames' times, and the values of the render options, each read
// and checked here so that the command line and the render refuse the same things with the
// same words. Every function throws std::invalid_argument whose message says what was given
// and what is allowed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace keypose_host {

// The limits of the render options.
inline constexpr int kLargestSide = 8192;
inline constexpr double kLowestFrameRate = 0.01;
inline constexpr double kHighestFrameRate = 240;
inline constexpr double kLongestTime = 86400;

// Frames `first` to `last` (both included), numbered from the render's first frame.
struct FrameSpan {
    std::size_t first = 0;
    std::size_t last = 0;
    bool operator==(FrameSpan const&) const = default;
};

struct FrameSize {
    int width = 0;
    int height = 0;
};

// "WIDTHxHEIGHT", each side 1 to kLargestSide pixels.
FrameSize ParseSize(std::string const& text);
// Frames a second, kLowestFrameRate to kHighestFrameRate.
double ParseFrameRate(std::string const& text);
// A time in seconds, 0 to kLongestTime.
double ParseSeconds(std::string const& text);
// "A-B" (frames A to B) or "A" (that frame alone), A at most B.
FrameSpan ParseFrameSpan(std::string const& text);

struct FramePlan {
    double from = 0;
    double fps = 10;
    // The frames of the whole range, from `from` on.
    std::size_t count = 1;
    // The frames drawn: all of them, or a part.
    FrameSpan drawn;

    // The time of frame `index` of the range, in seconds. A part rendered apart gets the
    // same times as the whole.
    double TimeOf(std::size_t index) const { return from + static_cast<double>(index) / fps; }
    bool Whole() const { return drawn.first == 0 && drawn.last + 1 == count; }
};

// The frames from `from` to `to` seconds at fps frames a second (to within a billionth of a
// frame counts as reached), all of them or only `part`. Refuses `to` before `from` and a
// part beyond the last frame.
FramePlan PlanFrames(double from, double to, double fps, std::optional<FrameSpan> part);

} // namespace keypose_host
