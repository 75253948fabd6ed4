// Faults a review of the timeline found, each shown with the user's own gestures: long ranges
// far right, zooming out from the end, a clock without units, a host-side change in the middle
// of a gesture and a click below the names.
#include <gtest/gtest.h>

#include <cmath>

#include "palette/palette_sync.h"
#include "plugin/plugin_state.h"
#include "refhost/framework/host_state.h"
#include "tests/palette/timeline_fixture.h"
#include "tween/stored_list_access.h"

namespace {

constexpr int32_t kSecond = 600;
constexpr int32_t kHour = 3600 * kSecond;
constexpr refhost::Rgb kMarkBlue{68, 68, 255};
constexpr refhost::Rgb kSelection{255, 153, 0};
constexpr refhost::Rgb kBlack{0, 0, 0};

class TimelineReviewTest : public TimelineTest {
protected:
    static refhost::Rgb Pixel(refhost::Bitmap const& image, float x, float y) {
        NSPoint const p = Timeline()->convertPointToView(NSMakePoint(x + 0.5f, y + 0.5f), nullptr);
        return image.atWindow(*gPalette, p);
    }
    // Scrolls the timeline so that x shows near the middle, and redraws.
    static refhost::Bitmap ShowAround(float x) {
        NSRect const visible = Timeline()->visibleRect();
        Clip()->scrollToPoint(NSMakePoint(x - NSWidth(visible) / 2, NSMinY(visible)));
        return refhost::RenderWindow(*gPalette);
    }
    static NSPoint Scroll() { return Clip()->bounds().origin; }
};

} // namespace

TEST_F(TimelineReviewTest, ATwoHourRangeDrawsAndSelectsFarRightAt128PixelsASecond) {
    Animated("Crate", {{0, false}, {kHour, false}, {2 * kHour - kSecond, true}});
    PL_SetMaxTime(2 * kHour);
    PL_SetCurTime(2 * kHour - kSecond / 2);
    gScaleFactor = 128;
    Show();
    float const xMax = kStartOffset + 7200.0f * 128;  // 921,606
    float const xLast = kStartOffset + 7199.0f * 128; // the selected point
    float const xNow = kStartOffset + 7199.5f * 128;
    float const rowTop = NSMaxY(Row(0));
    refhost::Bitmap const image = ShowAround(xMax - 100);
    EXPECT_EQ(Pixel(image, xMax, rowTop - 7), kMarkBlue) << "the maximum line";
    EXPECT_EQ(Pixel(image, xMax - 2, NSMaxY(Timeline()->frame()) - 6), kMarkBlue)
        << "the maximum tab";
    EXPECT_EQ(Pixel(image, xNow, rowTop - 20), (refhost::Rgb{255, 0, 0})) << "the current time";
    EXPECT_EQ(Pixel(image, xLast, rowTop - 5), kBlack) << "the glyph's apex";
    EXPECT_EQ(Pixel(image, xLast, rowTop - 9), kSelection) << "filled: it is selected";
    EXPECT_EQ(Pixel(image, xMax - 200, rowTop - 2), (refhost::Rgb{237, 243, 254}))
        << "inside the range, the row's own colour";

    // A marquee round the point at 1 h selects it alone (its press cleared the selection); a
    // click on the last point selects that alone.
    float const xHour = kStartOffset + 3600.0f * 128;
    ShowAround(xHour);
    Drag(Timeline(),
         {NSMakePoint(xHour - 20, rowTop - 1), NSMakePoint(xHour + 20, NSMinY(Row(0)))});
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, true, false}));
    ShowAround(xLast);
    Click(Timeline(), NSMakePoint(xLast, NSMinY(Row(0)) + 3));
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, true}));
}

TEST_F(TimelineReviewTest, ZoomingOutFromTheEndLeavesAValidScroll) {
    Animated("Crate", {{0, false}, {kHour, false}});
    PL_SetMaxTime(kHour);
    gScaleFactor = 128;
    Show();
    ShowAround(kStartOffset + 3600.0f * 128);
    ASSERT_GT(Scroll().x, 400000);
    for (int i = 0; i < 4; ++i) {
        Controller().ZoomOut(nullptr);
        refhost::RenderWindow(*gPalette);
        float const widest = NSWidth(Timeline()->frame()) - NSWidth(Clip()->bounds());
        EXPECT_LE(Scroll().x, widest) << "after zooming out " << i + 1 << " times";
        EXPECT_GE(Scroll().x, 0);
        EXPECT_EQ(Slider()->curScroll, Scroll().x) << "the slider follows the scroll";
    }
}

TEST_F(TimelineReviewTest, AClockOfNoUnitsASecondNeitherZeroesDragsNorPrintsNaN) {
    Animated("Crate", {{0, false}, {20, false}});
    refhost::HostState::Instance().Front()->clock.unitsPerSecond = 0;
    PL_SetMaxTime(600);
    Show();
    // One unit counts as a second: the point at 20 units lies 320 pixels right.
    float const y = NSMinY(Row(0)) + 3;
    Drag(Timeline(), {NSMakePoint(kStartOffset + 320, y), NSMakePoint(kStartOffset + 336, y)});
    EXPECT_EQ(Times(0), (std::vector<int32_t>{0, 21}));
    EXPECT_FALSE(std::isnan(Slider()->floatValue()));
    EXPECT_FALSE(std::isnan(DrawerField(10004)->floatValue()));
}

TEST_F(TimelineReviewTest, AHostChangeDuringAGestureIsNotOverwrittenAtMouseUp) {
    CDisplayGroupObject crate = Animated("Crate", {{0, false}, {2 * kSecond, false}});
    Show();
    float const y = NSMinY(Row(0)) + 3;
    Post(Timeline(), NSEventType::leftMouseDown, NSMakePoint(kStartOffset + 32, y), 0);
    Post(Timeline(), NSEventType::leftMouseDragged, NSMakePoint(kStartOffset + 64, y), 0);
    NSApp()->processPendingEvents();
    // Meanwhile the host takes the first point out of the stored list, as an undo may, and tells
    // the plug-in its rows are stale.
    ChangeStoredTweenList(*gTimeLineCache[0], [](CTweenHandleRecord& list) { list.Remove(0); });
    gRecache = true;
    Post(Timeline(), NSEventType::leftMouseUp, NSMakePoint(kStartOffset + 64, y), 0);
    NSApp()->processPendingEvents();
    Recache();
    EXPECT_EQ(Times(0), (std::vector<int32_t>{2 * kSecond})) << "the host's list stays";
}

TEST_F(TimelineReviewTest, AClickBelowTheNamesRedrawsTheDocumentViews) {
    Animated("Crate", {{0, false}}, true);
    Show();
    int const redraws = refhost::HostState::Instance().documentRedraws;
    Click(Names(), NSMakePoint(40, 3));
    EXPECT_GT(refhost::HostState::Instance().documentRedraws, redraws);
}
