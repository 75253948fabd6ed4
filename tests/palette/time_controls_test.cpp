#include <gtest/gtest.h>

#include "host/keyboard.h"
#include "palette/slider_mapping.h"
#include "palette/time_setters.h"
#include "refhost/input/keyboard_state.h"
#include "tests/palette/palette_fixture.h"
#include "tween/timeline_geometry.h"

namespace {

using TimeControlsTest = PaletteTest;

float FieldSeconds(long tag) {
    return DrawerControl<NSTextField>(tag)->floatValue();
}

} // namespace

TEST_F(TimeControlsTest, TheThreeTimesStayOrderedAndTheirFieldsFollow) {
    SetCurTime(1200, true);
    EXPECT_EQ(FieldSeconds(10003), 2.0f);
    DrawerControl<NSTextField>(10003)->setStringValue("9");
    SetCurTime(1200, true); // already the host's: nothing is touched
    EXPECT_EQ(FieldSeconds(10003), 9.0f);

    DrawerControl<NSTextField>(10002)->setStringValue("7");
    SetMinTime(7200, false);
    EXPECT_EQ(PL_GetMinTime(), 7200);
    EXPECT_EQ(PL_GetMaxTime(), 7200) << "the maximum moves up";
    EXPECT_EQ(PL_GetCurTime(), 7200) << "and the current time";
    EXPECT_EQ(FieldSeconds(10004), 12.0f);
    EXPECT_EQ(FieldSeconds(10003), 12.0f);
    EXPECT_EQ(FieldSeconds(10002), 7.0f) << "its own field only when asked";
}

TEST_F(TimeControlsTest, TheSliderMapsTimesBothWays) {
    EXPECT_EQ(SliderValueForTime(0, 1000, 3000, 0, 6000), 500.0f);
    EXPECT_EQ(SliderValueForTime(0, 1000, 5, 5, 5), 0.0f) << "no range: the start";
    EXPECT_EQ(TimeForSliderValue(250, 0, 1000, 0, 6000), 1500);
    PL_SetCurTime(3000);
    SetTimeSliderFromClock();
    EXPECT_EQ(PaletteControl<NSSlider>(1000)->doubleValue(), 500);
}

TEST_F(TimeControlsTest, PlayingAndRecordingMoveTheClockAsTheUserExpects) {
    PL_SetCurTime(6000);
    PL_SetPaused(0);
    Controller().PlayForward(nullptr);
    EXPECT_EQ(PL_GetCurTime(), 0) << "playing on at the end starts again";
    EXPECT_EQ(PL_GetAnimationMode(), 1);
    PL_SetPaused(1);
    PL_SetCurTime(6000);
    Controller().PlayForward(nullptr);
    EXPECT_EQ(PL_GetCurTime(), 6000) << "while paused it only unpauses";
    EXPECT_EQ(PL_GetPaused(), 0);
    Controller().Stop(nullptr);
    EXPECT_EQ(PL_GetPaused(), 1);
    EXPECT_EQ(PL_GetAnimationMode(), 0);

    PaletteControl<NSTextField>(1014)->setStringValue("2");
    PL_SetCurTime(0);
    Controller().AddCamera(nullptr);
    EXPECT_EQ(PL_GetCurTime(), 1200) << "two seconds at 600 units a second";
    ASSERT_EQ(gTimeLineCache.Count(), 1u) << "the camera's row, rebuilt at once";
    {
        refhost::keyboard::HeldKey option(kOptionKeyCode);
        Controller().AddCamera(nullptr);
        EXPECT_EQ(PL_GetCurTime(), 1200) << "option holds the time";
    }
    PL_SetCurTime(5800);
    {
        refhost::keyboard::HeldKey shift(kShiftKeyCode);
        Controller().AddCamera(nullptr);
    }
    EXPECT_EQ(PL_GetCurTime(), 7000);
    EXPECT_EQ(PL_GetMaxTime(), 7000) << "shift lets the step pass the end";
    EXPECT_EQ(refhost::HostState::Instance().undoCount, 3);
}

TEST_F(TimeControlsTest, JumpsGoToTheNearestTweenPointOrByTheStep) {
    PaletteControl<NSTextField>(1014)->setStringValue("1");
    Controller().ForwardToTween(nullptr); // no rows: by the step
    EXPECT_EQ(PL_GetCurTime(), 600);
    PL_SetCurTime(5900);
    Controller().ForwardToTween(nullptr);
    EXPECT_EQ(PL_GetCurTime(), 6000) << "held at the end";

    PL_SetCurTime(1000);
    Controller().AddCamera(nullptr); // a point at 1000; the time moves to 1600
    PL_SetCurTime(3000);
    Controller().AddCamera(nullptr);
    PL_SetCurTime(0);
    Controller().ForwardToTween(nullptr);
    EXPECT_EQ(PL_GetCurTime(), 1000);
    Controller().ForwardToTween(nullptr);
    EXPECT_EQ(PL_GetCurTime(), 3000);
    Controller().ForwardToTween(nullptr);
    EXPECT_EQ(PL_GetCurTime(), 3000) << "no later point: it stays";
    Controller().BackToTween(nullptr);
    EXPECT_EQ(PL_GetCurTime(), 1000);
}

TEST_F(TimeControlsTest, ZoomAndSpeedKeepTheirLimits) {
    gScaleFactor = 16;
    for (int i = 0; i < 12; ++i) {
        Controller().ZoomOut(nullptr);
    }
    EXPECT_EQ(gScaleFactor, 0.03125f);
    for (int i = 0; i < 15; ++i) {
        Controller().ZoomIn(nullptr);
    }
    EXPECT_EQ(gScaleFactor, 128.0f);
    gScaleFactor = 16;

    auto* slider = DrawerControl<NSSlider>(10011);
    DrawerControl<NSTextField>(10014)->setFloatValue(4);
    slider->setDoubleValue(50);
    Controller().SpeedSliderChanged(slider);
    EXPECT_FLOAT_EQ(PL_GetTimeMultiplier(), 2.0f);
    slider->setDoubleValue(-50);
    Controller().SpeedSliderChanged(slider);
    EXPECT_FLOAT_EQ(PL_GetTimeMultiplier(), 0.5f);

    auto* speed = DrawerControl<NSTextField>(10013);
    speed->setFloatValue(8);
    Controller().SpeedChanged(speed);
    EXPECT_EQ(PL_GetTimeMultiplier(), 8.0f);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 100) << "from the old maximum, held at the end";
    EXPECT_EQ(FieldSeconds(10014), 8.0f);
    EXPECT_EQ(FieldSeconds(10012), 0.125f);
}
