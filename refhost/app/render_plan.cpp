#include "refhost/app/render_plan.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "refhost/script/script.h"

namespace keypose_host {

namespace {

// A value the user gave, quoted and cut to a readable length.
std::string Given(std::string const& text) {
    return "'" + refhost::ShownWord(text) + "'";
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// The whole text as a number of the given type; nothing when it is not one or does not fit.
template <typename Number>
std::optional<Number> Whole(std::string_view text) {
    Number value{};
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

double InRange(std::string const& text, double lowest, double highest, char const* what) {
    std::optional<double> const value = Whole<double>(text);
    if (!value || !(*value >= lowest && *value <= highest)) {
        throw std::invalid_argument(Given(text) + " is not " + what + " (" + Number(lowest) +
                                    " to " + Number(highest) + ")");
    }
    return *value;
}

} // namespace

FrameSize ParseSize(std::string const& text) {
    std::size_t const x = text.find_first_of("xX");
    std::optional<int> const width =
        x == std::string::npos ? std::nullopt : Whole<int>(std::string_view(text).substr(0, x));
    std::optional<int> const height =
        x == std::string::npos ? std::nullopt : Whole<int>(std::string_view(text).substr(x + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > kLargestSide ||
        *height > kLargestSide) {
        throw std::invalid_argument(Given(text) + " is not a size WIDTHxHEIGHT of 1 to " +
                                    std::to_string(kLargestSide) + " pixels a side");
    }
    return {*width, *height};
}

double ParseFrameRate(std::string const& text) {
    return InRange(text, kLowestFrameRate, kHighestFrameRate, "a frame rate");
}

double ParseSeconds(std::string const& text) {
    return InRange(text, 0, kLongestTime, "a number of seconds");
}

FrameSpan ParseFrameSpan(std::string const& text) {
    std::size_t const dash = text.find('-');
    std::string_view const all(text);
    std::optional<std::size_t> const first = Whole<std::size_t>(all.substr(0, dash));
    std::optional<std::size_t> const last =
        dash == std::string::npos ? first : Whole<std::size_t>(all.substr(dash + 1));
    if (!first || !last || *last < *first) {
        throw std::invalid_argument(Given(text) +
                                    " is not a span of frames A-B (frame numbers from 0, A "
                                    "at most B)");
    }
    return {*first, *last};
}

FramePlan PlanFrames(double from, double to, double fps, std::optional<FrameSpan> part) {
    if (to < from) {
        throw std::invalid_argument("the render would end (" + Number(to) +
                                    " s) before it starts (" + Number(from) + " s)");
    }
    FramePlan plan;
    plan.from = from;
    plan.fps = fps;
    plan.count = static_cast<std::size_t>(std::floor((to - from) * fps + 1e-9)) + 1;
    plan.drawn = part.value_or(FrameSpan{0, plan.count - 1});
    if (plan.drawn.last >= plan.count) {
        throw std::invalid_argument(
            "frames " + std::to_string(plan.drawn.first) + "-" + std::to_string(plan.drawn.last) +
            " lie beyond the render's frames 0-" + std::to_string(plan.count - 1));
    }
    return plan;
}

} // namespace keypose_host
