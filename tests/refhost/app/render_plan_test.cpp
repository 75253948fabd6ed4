// The render options' values and the frames a render draws: what the command line accepts,
// what it refuses with which words, and the frames and times of a whole render and its parts.
#include <gtest/gtest.h>

#include <limits>

#include "refhost/app/render_plan.h"

namespace {

using namespace keypose_host;

std::string Refusal(auto parse, std::string const& text) {
    try {
        parse(text);
    } catch (std::invalid_argument const& error) {
        return error.what();
    }
    return "accepted";
}

TEST(RenderOptions, SizesFitTheirSides) {
    EXPECT_EQ(ParseSize("640x480").width, 640);
    EXPECT_EQ(ParseSize("640X480").height, 480);
    EXPECT_EQ(ParseSize("8192x1").width, 8192);
    // 4294967360 is 64 more than 2^32: read into 32 bits it would wrap to 64.
    for (char const* bad : {"4294967360x48", "48x4294967360", "0x5", "8193x2", "-4x4", "4x", "x4",
                            "4x4x4", "4 x4", "", "1e3x2"}) {
        EXPECT_EQ(Refusal(ParseSize, bad),
                  "'" + std::string(bad) +
                      "' is not a size WIDTHxHEIGHT of 1 to 8192 pixels a side");
    }
}

TEST(RenderOptions, RefusalsShowTheValueCutShort) {
    std::string const huge(100000, '9');
    std::string const refusal = Refusal(ParseSize, huge + "x4");
    EXPECT_LT(refusal.size(), 200u);
    EXPECT_NE(refusal.find("is not a size"), std::string::npos);
    EXPECT_EQ(Refusal(ParseFrameRate, std::string("1\0", 2)),
              "'1\\x00' is not a frame rate (0.01 to 240)");
}

TEST(RenderOptions, RatesAndTimesWithinTheirRange) {
    EXPECT_EQ(ParseFrameRate("0.01"), 0.01);
    EXPECT_EQ(ParseFrameRate("240"), 240);
    EXPECT_EQ(Refusal(ParseFrameRate, "1e-300"), "'1e-300' is not a frame rate (0.01 to 240)");
    for (char const* bad : {"0", "240.5", "nan", "inf", "-1", "10fps", ""}) {
        EXPECT_NE(Refusal(ParseFrameRate, bad), "accepted") << bad;
    }
    EXPECT_EQ(ParseSeconds("86400"), 86400);
    EXPECT_EQ(Refusal(ParseSeconds, "1e39"), "'1e39' is not a number of seconds (0 to 86400)");
    EXPECT_NE(Refusal(ParseSeconds, "-0.5"), "accepted");
}

TEST(RenderOptions, FrameSpans) {
    EXPECT_EQ(ParseFrameSpan("3-17"), (FrameSpan{3, 17}));
    EXPECT_EQ(ParseFrameSpan("5"), (FrameSpan{5, 5}));
    EXPECT_EQ(ParseFrameSpan("0-0"), (FrameSpan{0, 0}));
    for (char const* bad : {"5-1", "-3", "3-", "a-b", "1-2-3", "", "99999999999999999999-1"}) {
        EXPECT_EQ(Refusal(ParseFrameSpan, bad),
                  "'" + std::string(bad) +
                      "' is not a span of frames A-B (frame numbers from 0, A at most B)");
    }
}

TEST(RenderPlan, PartsNumberTheirFramesAsTheWholeDoes) {
    FramePlan const whole = PlanFrames(0, 6, 10, {});
    EXPECT_EQ(whole.count, 61u);
    EXPECT_TRUE(whole.Whole());
    EXPECT_EQ(whole.drawn, (FrameSpan{0, 60}));
    // 0.1 * 3 is not 0.3 in binary: the last frame still counts as reached.
    EXPECT_EQ(PlanFrames(0, 0.3, 10, {}).count, 4u);
    EXPECT_EQ(PlanFrames(2, 2, 10, {}).count, 1u);

    FramePlan const part = PlanFrames(1, 7, 10, FrameSpan{15, 29});
    EXPECT_FALSE(part.Whole());
    EXPECT_EQ(part.count, 61u);
    EXPECT_EQ(part.TimeOf(15), PlanFrames(1, 7, 10, {}).TimeOf(15));
    EXPECT_DOUBLE_EQ(part.TimeOf(15), 2.5);

    EXPECT_EQ(Refusal(
                  [](auto) {
                      return PlanFrames(0, 6, 10, FrameSpan{50, 61});
                  },
                  ""),
              "frames 50-61 lie beyond the render's frames 0-60");
    EXPECT_EQ(Refusal([](auto) { return PlanFrames(5, 1, 10, {}); }, ""),
              "the render would end (1 s) before it starts (5 s)");
    // The longest range at the highest rate still counts its frames exactly.
    EXPECT_EQ(PlanFrames(0, kLongestTime, kHighestFrameRate, {}).count, 20736001u);
}

} // namespace
