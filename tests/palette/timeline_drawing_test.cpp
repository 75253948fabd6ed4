// The timeline and the name column as they show: whole palettes compared with checked-in
// pictures, and single pixels read where the timeline's formulas put a glyph, a mark, a grid
// line or a row.
#include <gtest/gtest.h>

#include "authoring/add_tween_points.h"
#include "palette/name_column.h"
#include "palette/palette_sync.h"
#include "tests/palette/timeline_fixture.h"
#include "tests/support/golden_image.h"

namespace {

constexpr int32_t kSecond = 600;

constexpr refhost::Rgb kWhite{255, 255, 255};
constexpr refhost::Rgb kBlack{0, 0, 0};
constexpr refhost::Rgb kRed{255, 0, 0};
constexpr refhost::Rgb kMarkBlue{68, 68, 255};
constexpr refhost::Rgb kLightGrey{170, 170, 170};
// The host's selection colour (1, 0.6, 0).
constexpr refhost::Rgb kSelection{255, 153, 0};
// The second of the alternating row colours.
constexpr refhost::Rgb kPaleBlue{237, 243, 254};

::testing::AssertionResult MatchesGolden(refhost::Bitmap const& image, std::string const& name) {
    return keypose_test::MatchesGoldenIn(std::string(KEYPOSE_SOURCE_DIR) + "/tests/palette/golden",
                                         image, name);
}

class TimelineDrawingTest : public TimelineTest {
protected:
    // Camera, ambient and sun rows recorded through the palette's functions, then three
    // objects; Ball is selected in the document.
    void MakeScene() {
        CLightGroupObject lights{CViewObject(PL_GetTheView())};
        lights.AddObject(CAmbientLightObject(TQ3LightData{kQ3True, 0.3f, {1, 1, 1}}));
        lights.AddObject(CDirectionalLightObject(
            TQ3DirectionalLightData{{kQ3True, 0.9f, {1, 1, 1}}, kQ3False, {0, -1, 0}}));
        for (int32_t t : {0, 4 * kSecond}) {
            AddCameraTweenPoint(t);
        }
        AddAmbientTweenPoint(2 * kSecond);
        for (int32_t t : {kSecond, 6 * kSecond}) {
            AddSunTweenPoint(t);
        }
        Animated("Crate", {{0, false}, {3 * kSecond, true}, {8 * kSecond, false}});
        Animated("Lamp", {{kSecond, true}, {5 * kSecond, false}});
        Animated("Ball", {{2 * kSecond, false}}, true);
        PL_SetMinTime(kSecond);
        PL_SetMaxTime(8 * kSecond);
        PL_SetCurTime(3 * kSecond + kSecond / 2);
        SetTimeSliderFromClock(); // as the host's next tick does
        Show();
    }
    // The pixel whose bottom left corner is at a point of the timeline.
    static refhost::Rgb Pixel(refhost::Bitmap const& image, NSView* view, float x, float y) {
        NSPoint const p = view->convertPointToView(NSMakePoint(x + 0.5f, y + 0.5f), nullptr);
        return image.atWindow(*gPalette, p);
    }
    static refhost::Bitmap Render() { return refhost::RenderWindow(*gPalette); }
};

} // namespace

TEST_F(TimelineDrawingTest, WithoutADocumentOnlyTheBackgroundAndTheRulerShow) {
    refhost::HostState::Instance().Close(*fDocument);
    fDocument = nullptr;
    refhost::Bitmap const image = Render();
    EXPECT_TRUE(MatchesGolden(image, "timeline_no_document"));
    NSView* timeline = Timeline();
    float const top = NSMaxY(timeline->frame());
    // Every row in the plain alternating colours, up to the right edge.
    EXPECT_EQ(Pixel(image, timeline, 30, top - 14 - 7), kPaleBlue) << "row 0";
    EXPECT_EQ(Pixel(image, timeline, 30, top - 28 - 7), kWhite) << "row 1";
    EXPECT_EQ(Pixel(image, timeline, 400, top - 28 - 7), kWhite) << "no range without a clock";
    EXPECT_EQ(Pixel(image, timeline, 6 + 64, top - 28 - 7), kLightGrey) << "a grid line";
    EXPECT_EQ(Pixel(image, timeline, 6, top - 28 - 7), kLightGrey) << "the first at time 0";
    EXPECT_NE(Pixel(image, timeline, 6, top - 3), kMarkBlue) << "no tabs";
}

TEST_F(TimelineDrawingTest, RowsGlyphsMarksAndNamesShowWhereTheFormulasPutThem) {
    MakeScene();
    ASSERT_EQ(gTimeLineCache.Count(), 6u);
    EXPECT_EQ(NameOfRow(gTimeLineCache[0]), CStr255("Camera"));
    EXPECT_EQ(NameOfRow(gTimeLineCache[1]), CStr255("Ambient Light"));
    EXPECT_EQ(NameOfRow(gTimeLineCache[2]), CStr255("Sun Light"));
    EXPECT_EQ(NameOfRow(gTimeLineCache[3]), CStr255("Crate"));
    refhost::Bitmap const image = Render();
    EXPECT_TRUE(MatchesGolden(image, "timeline_rows"));

    NSView* timeline = Timeline();
    auto rowTop = [](uint32_t k) { return NSMaxY(Row(k)); };
    // Crate's point at 3 s is selected: its apex (x = 6 + 3 * 16, 4 pixels below the row's
    // top) is outlined in black and its inside filled with the selection colour.
    EXPECT_EQ(Pixel(image, timeline, 54, rowTop(3) - 5), kBlack) << "apex";
    EXPECT_EQ(Pixel(image, timeline, 54, rowTop(3) - 9), kSelection) << "filled";
    EXPECT_NE(Pixel(image, timeline, 6 + 8 * 16 + 1, rowTop(3) - 9), kSelection)
        << "8 s: not filled";
    EXPECT_EQ(Pixel(image, timeline, 6 + 16, rowTop(4) - 9), kSelection) << "Lamp at 1 s";
    // The current time, 3.5 s, is a red line through the rows; the range's marks are blue.
    EXPECT_EQ(Pixel(image, timeline, 6 + 56, rowTop(5) - 7), kRed);
    EXPECT_EQ(Pixel(image, timeline, 6 + 56, rowTop(9) - 7), kRed) << "below the last row too";
    EXPECT_EQ(Pixel(image, timeline, 6 + 16, rowTop(8) - 7), kMarkBlue) << "minimum line";
    EXPECT_EQ(Pixel(image, timeline, 6 + 128, rowTop(8) - 7), kMarkBlue) << "maximum line";
    EXPECT_EQ(Pixel(image, timeline, 6 + 16 + 1, NSMaxY(timeline->frame()) - 6), kMarkBlue)
        << "the minimum tab points right";
    EXPECT_EQ(Pixel(image, timeline, 6 + 128 - 2, NSMaxY(timeline->frame()) - 6), kMarkBlue)
        << "the maximum tab points left";
    // Grid lines every 64 pixels from the time origin.
    EXPECT_EQ(Pixel(image, timeline, 6 + 64, rowTop(7) - 7), kLightGrey);
    EXPECT_EQ(Pixel(image, timeline, 6 + 192, rowTop(7) - 7), kLightGrey);
    EXPECT_EQ(Pixel(image, timeline, 6 + 100, rowTop(7) - 7), kWhite) << "between them";
    // Rows alternate; outside the range they are blended half and half with 221 grey.
    EXPECT_EQ(Pixel(image, timeline, 40, rowTop(0) - 2), kPaleBlue) << "row 0 has colour 1";
    EXPECT_EQ(Pixel(image, timeline, 40, rowTop(1) - 2), kWhite) << "row 1 has colour 0";
    EXPECT_EQ(Pixel(image, timeline, 200, rowTop(1) - 2), (refhost::Rgb{238, 238, 238}));
    EXPECT_EQ(Pixel(image, timeline, 200, rowTop(0) - 2), (refhost::Rgb{229, 232, 238}));

    // The name column: Ball's row on the selection's background, in line with its row.
    NSView* names = Names();
    NameColumnLayout const layout(names->frame(), 6, 0, 14);
    EXPECT_EQ(Pixel(image, names, 100, layout.DrawnRowY(5) + 1), (refhost::Rgb{181, 213, 255}));
    EXPECT_EQ(Pixel(image, names, 100, layout.DrawnRowY(4) + 1), kPaleBlue) << "row 4, colour 1";
    EXPECT_EQ(names->convertPointToView({0, layout.DrawnRowY(5)}, nullptr).y,
              timeline->convertPointToView({0, NSMinY(Row(5))}, nullptr).y);
}

TEST_F(TimelineDrawingTest, AMarqueeBeingDraggedPreviewsTheGlyphsInside) {
    MakeScene();
    // From below the rows, up across Crate's 8 s point and Lamp's 5 s point.
    NSPoint const anchor = NSMakePoint(6 + 4.5f * 16, NSMinY(Row(7)));
    NSPoint const reach = NSMakePoint(6 + 9 * 16, NSMaxY(Row(3)) - 2);
    Post(Timeline(), NSEventType::leftMouseDown, anchor, NSEventModifierFlagShift);
    Post(Timeline(), NSEventType::leftMouseDragged, reach, NSEventModifierFlagShift);
    NSApp()->processPendingEvents();
    refhost::Bitmap const image = Render();
    EXPECT_TRUE(MatchesGolden(image, "timeline_marquee"));
    NSView* timeline = Timeline();
    EXPECT_EQ(Pixel(image, timeline, 6 + 128, NSMaxY(Row(3)) - 9), kSelection) << "previewed";
    EXPECT_EQ(Pixel(image, timeline, 6 + 80, NSMaxY(Row(4)) - 9), kSelection) << "previewed";
    EXPECT_EQ(Pixel(image, timeline, anchor.x, anchor.y), kLightGrey) << "the frame";
    EXPECT_EQ(Flags(3), (std::vector<bool>{false, true, false})) << "not selected yet";
    Post(Timeline(), NSEventType::leftMouseUp, reach, NSEventModifierFlagShift);
    NSApp()->processPendingEvents();
    EXPECT_EQ(Flags(3), (std::vector<bool>{false, true, true})) << "what showed is selected";
}

TEST_F(TimelineDrawingTest, ScrolledAndZoomedTheRowsNamesAndSliderMoveTogether) {
    MakeScene();
    for (char const* name : {"Wheel", "Axle", "Door", "Roof", "Chimney", "Fence", "Gate", "Tree",
                             "Bench", "Well", "Cart", "Barrel"}) {
        Animated(name, {{kSecond, false}, {7 * kSecond, false}});
    }
    gScaleFactor = 64;
    PL_SetMaxTime(20 * kSecond);
    SetTimeSliderFromClock();
    Show();
    NSEvent wheel = NSEvent::mouseEventWithType(
        NSEventType::scrollWheel, Timeline()->convertPointToView(OnGlyph(4, 1), nullptr), 0,
        gPalette->windowNumber());
    wheel.setDelta(-150, -40);
    NSApp()->postEvent(wheel, false);
    NSApp()->processPendingEvents();
    refhost::Bitmap const image = Render();
    EXPECT_TRUE(MatchesGolden(image, "timeline_scrolled"));
    // Time 0 has scrolled 150 pixels out of view; the glyph of Wheel's point at 7 s shows at
    // 6 + 7 * 64 - 150 pixels from the scroll view's left edge.
    NSView* timeline = Timeline();
    EXPECT_EQ(Pixel(image, timeline, 6 + 7 * 64, NSMaxY(Row(6)) - 5), kBlack);
    EXPECT_EQ(timeline->convertPointToView({6 + 7 * 64, 0}, nullptr).x,
              NSMinX(Timeline()->enclosingScrollView()->frame()) + 6 + 7 * 64 - 150);
    NameColumnLayout const layout(Names()->frame(), gTimeLineCache.Count(),
                                  static_cast<int32_t>(Names()->curScroll), 14);
    ASSERT_TRUE(layout.scrolls);
    // The slider's knob stands over the current time, 3.5 s.
    NSRect const knob = Slider()->convertRectToView(Slider()->knobRect(), nullptr);
    EXPECT_NEAR(NSMinX(knob), timeline->convertPointToView({6 + 3.5f * 64, 0}, nullptr).x, 1);
    EXPECT_EQ(Names()->convertPointToView({0, layout.DrawnRowY(8)}, nullptr).y,
              timeline->convertPointToView({0, NSMinY(Row(8))}, nullptr).y);
}

TEST_F(TimelineDrawingTest, EveryRowIsNamedByWhatItAnimates) {
    // Lights recorded in groups of the document are named by their kind.
    CDisplayGroupObject lamps;
    lamps.AddObject(CTransformObject(CMatrix4x4(1.0)));
    lamps.AddObject(CPointLightObject(
        TQ3PointLightData{{kQ3True, 1, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 2, 0}}));
    CDisplayGroupObject spots;
    spots.AddObject(CTransformObject(CMatrix4x4(1.0)));
    spots.AddObject(CSpotLightObject(TQ3SpotLightData{{kQ3True, 1, {1, 1, 1}},
                                                      kQ3False,
                                                      kQ3AttenuationTypeNone,
                                                      {0, 2, 0},
                                                      {0, -1, 0},
                                                      0.3f,
                                                      0.5f,
                                                      kQ3FallOffTypeNone}));
    Selected().AddObject(lamps);
    Selected().AddObject(spots);
    AddObjectTweenPoint(0);
    CDisplayGroupObject unnamed = Animated("", {{0, false}});
    Show();
    ASSERT_EQ(gTimeLineCache.Count(), 3u);
    EXPECT_EQ(NameOfRow(gTimeLineCache[0]), CStr255("Point Light"));
    EXPECT_EQ(NameOfRow(gTimeLineCache[1]), CStr255("Spot Light"));
    EXPECT_EQ(NameOfRow(gTimeLineCache[2]), CStr255("Unnamed Object")) << "no name";
    // A row whose object has left the document cannot be looked up.
    Others().RemoveObject(Others().GetFirstObject());
    EXPECT_EQ(NameOfRow(gTimeLineCache[2]), CStr255("Unnamed Object"));
}
