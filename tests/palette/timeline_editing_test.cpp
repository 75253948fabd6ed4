// The timeline's editing tools as a user works them, every gesture a real event: scrubbing
// in the ruler, snapping to the palette's step (and alt or the drawer's toggle to turn it
// off), copy and paste, easing and holding, zooming to fit and about the mouse.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "authoring/tween_clipboard.h"
#include "interp/easing.h"
#include "palette/palette_sync.h"
#include "refhost/framework/host_state.h"
#include "tests/palette/timeline_fixture.h"
#include "tests/support/golden_image.h"

namespace {

constexpr int32_t kSecond = 600;

class TimelineEditingTest : public TimelineTest {
protected:
    void TearDown() override {
        gTweenClipboard.clear();
        TimelineTest::TearDown();
    }
    static NSPoint OnRow(uint32_t row, float seconds) { return OnGlyph(row, seconds); }
    static NSPoint InRulerAt(float seconds) { return InRuler(kStartOffset + seconds * 16); }
    static void KeyWith(NSView* view, std::string characters, NSEventModifierFlags flags) {
        view->window()->makeFirstResponder(view);
        NSApp()->postEvent(NSEvent::keyEventWithType(NSEventType::keyDown, flags,
                                                     view->window()->windowNumber(),
                                                     std::move(characters)),
                           false);
        NSApp()->processPendingEvents();
    }
    static std::vector<uint8_t> Eases(uint32_t row) {
        std::vector<uint8_t> eases;
        for (uint32_t i = 0; i < gTimeLineCache[row]->Count(); ++i) {
            eases.push_back(gTimeLineCache[row]->Record(i).ease);
        }
        return eases;
    }
    static std::size_t UndoCount() { return refhost::HostState::Instance().undoCount; }
};

} // namespace

TEST_F(TimelineEditingTest, TheRulerScrubsTheTimeSnappedToTheStepUnlessAltIsHeld) {
    Animated("Crate", {{0, false}, {8 * kSecond, false}});
    Show();
    Click(Timeline(), InRulerAt(2.4f));
    EXPECT_EQ(PL_GetCurTime(), 2 * kSecond) << "a click sets the time, to a whole step";
    Drag(Timeline(), {InRulerAt(2.4f), InRulerAt(4.1f), InRulerAt(5.75f)});
    EXPECT_EQ(PL_GetCurTime(), 6 * kSecond) << "the time follows the mouse";
    EXPECT_FLOAT_EQ(DrawerField(kCurTimeFieldTag)->floatValue(), 6.0f);
    Drag(Timeline(), {InRulerAt(2.5f), InRulerAt(3.25f)}, NSEventModifierFlagOption);
    EXPECT_EQ(PL_GetCurTime(), 3 * kSecond + kSecond / 4) << "alt: where the mouse is";
    Drag(Timeline(), {InRulerAt(5), InRulerAt(40)});
    EXPECT_EQ(PL_GetCurTime(), 10 * kSecond) << "held within the range";
    EXPECT_EQ(Times(0), (std::vector<int32_t>{0, 8 * kSecond})) << "no point moved";
}

TEST_F(TimelineEditingTest, DraggedPointsAndTabsLandOnWholeStepsUnlessSnappingIsOff) {
    Animated("Crate", {{0, false}, {2 * kSecond, false}, {6 * kSecond, false}});
    Show();
    // 21 pixels are 1.3125 s: the point from 2 s lands on 3 s, not 3.3125 s.
    NSPoint const from = OnRow(0, 2);
    Drag(Timeline(), {from, NSMakePoint(from.x + 10, from.y), NSMakePoint(from.x + 21, from.y)});
    Recache();
    EXPECT_EQ(Times(0), (std::vector<int32_t>{0, 3 * kSecond, 6 * kSecond}));
    // With alt, the move keeps its arithmetic: 21 pixels of 37.5 units each.
    NSPoint const again = OnRow(0, 3);
    Drag(Timeline(), {again, NSMakePoint(again.x + 21, again.y)}, NSEventModifierFlagOption);
    Recache();
    EXPECT_EQ(Times(0), (std::vector<int32_t>{0, 3 * kSecond + 787, 6 * kSecond}));

    // The maximum tab from 10 s, 21 pixels right: 11 s.
    Drag(Timeline(), {InRulerAt(10), NSMakePoint(InRulerAt(10).x + 21, InRulerAt(10).y)});
    EXPECT_EQ(PL_GetMaxTime(), 11 * kSecond);

    // The drawer's toggle turns snapping off until it is pressed again.
    Controller().paletteDrawer->open();
    auto* toggle = DrawerControl<NSButton>(kSnapToggleTag);
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->state(), NSControlStateValueOn) << "snapping is on by default";
    auto press = [toggle] {
        toggle->window()->makeKeyAndOrderFront(nullptr); // a button takes no first click
        Click(toggle, NSMakePoint(10, 10));
    };
    press();
    EXPECT_FALSE(gSnapToStep);
    Click(Timeline(), InRulerAt(2.4f));
    EXPECT_EQ(PL_GetCurTime(), 1440);
    press();
    EXPECT_TRUE(gSnapToStep);
}

TEST_F(TimelineEditingTest, CopyAndPasteAtTheCurrentTimeIntoTheRowsTheyCameFrom) {
    Animated("Crate", {{0, true}, {kSecond, false}, {2 * kSecond, true}});
    Animated("Lamp", {{kSecond, true}, {4 * kSecond, false}});
    Show();
    KeyWith(Timeline(), "c", NSEventModifierFlagControl);
    ASSERT_EQ(gTweenClipboard.size(), 3u);
    PL_SetCurTime(4 * kSecond);
    std::size_t const undoSteps = UndoCount();
    KeyWith(Timeline(), "v", NSEventModifierFlagControl);
    EXPECT_EQ(UndoCount(), undoSteps + 1) << "a paste is one undo step";
    ASSERT_EQ(gTimeLineCache.Count(), 2u);
    EXPECT_EQ(Times(0), (std::vector<int32_t>{0, kSecond, 2 * kSecond, 4 * kSecond, 6 * kSecond}));
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, false, true, true}))
        << "the pasted points are the selection";
    // The lamp's point was 1 s after the earliest: it lands at 5 s, after the one at 4 s.
    EXPECT_EQ(Times(1), (std::vector<int32_t>{kSecond, 4 * kSecond, 5 * kSecond}));
    EXPECT_EQ(Flags(1), (std::vector<bool>{false, false, true}));

    // Pasting again at the same time replaces the points there, as recording does.
    KeyWith(Timeline(), "v", NSEventModifierFlagControl);
    EXPECT_EQ(Times(0).size(), 5u);
    EXPECT_EQ(Times(1).size(), 3u);
}

TEST_F(TimelineEditingTest, OneRowPastedOntoTheOtherSelectedObjectTakesItsPivot) {
    CDisplayGroupObject crate = Animated("Crate", {{0, true}, {kSecond, true}});
    CDisplayGroupObject ball = Animated("Ball", {}, true);
    ball.AddObject(UnitBox());
    Show();
    KeyWith(Timeline(), "c", NSEventModifierFlagControl);
    PL_SetCurTime(3 * kSecond);
    KeyWith(Timeline(), "v", NSEventModifierFlagControl);
    EXPECT_EQ(StoredTimes(crate), (std::vector<int32_t>{0, kSecond})) << "the crate is as it was";
    EXPECT_EQ(StoredTimes(ball), (std::vector<int32_t>{3 * kSecond, 4 * kSecond}));
    CTweenHandleRecord list{CSetObject(ball)};
    auto const* pasted = static_cast<ObjectTweenRecord const*>(list[0]);
    EXPECT_EQ(pasted->pivot.x, 0.5f) << "the ball's own centre";
    EXPECT_EQ(pasted->pivot.y, 0.5f);
    EXPECT_TRUE(pasted->selected);
}

TEST_F(TimelineEditingTest, ALightRowPastedOntoTheOtherSelectedLightPlaysThereToo) {
    auto lampGroup = [](float brightness, float height) {
        CDisplayGroupObject group;
        group.AddObject(CTransformObject(CMatrix4x4(1.0)));
        group.AddObject(CPointLightObject(TQ3PointLightData{{kQ3True, brightness, {1, 0.5f, 0.25f}},
                                                            kQ3False,
                                                            kQ3AttenuationTypeNone,
                                                            {0, height, 0}}));
        return group;
    };
    CDisplayGroupObject lamp = lampGroup(0.8f, 2), bulb = lampGroup(0.1f, 5);
    CShapeObject lampLight(lamp, lamp.GetFirstObjectOfType("lght"_4cc));
    LightTweenRecord record(0, lamp, lampLight);
    record.selected = true;
    CTweenHandleRecord list(record, kLightRecordSize);
    record.time = kSecond;
    list.Append(record);
    lampLight.SetSet(CSetObject(nullptr, true));
    CSetObject(lampLight).AddType(GetCustomAttributeType(eTweenAttribute), &list);
    Others().AddObject(lamp);
    Selected().AddObject(bulb);
    Show();
    KeyWith(Timeline(), "c", NSEventModifierFlagControl);
    PL_SetCurTime(3 * kSecond);
    KeyWith(Timeline(), "v", NSEventModifierFlagControl);
    CShapeObject bulbLight(bulb, bulb.GetFirstObjectOfType("lght"_4cc));
    ASSERT_EQ(StoredTimes(bulbLight), (std::vector<int32_t>{3 * kSecond, 4 * kSecond}));
    EXPECT_EQ(StoredTimes(lampLight), (std::vector<int32_t>{0, kSecond})) << "as it was";
    CTweenHandleRecord const pasted{CSetObject(bulbLight)};
    EXPECT_EQ(pasted.RecordSize(), static_cast<uint32_t>(kLightRecordSize));
    TQ3PointLightData played{};
    std::memcpy(&played, static_cast<LightTweenRecord const*>(pasted[0])->lightData, sizeof played);
    EXPECT_EQ(played.lightData.brightness, 0.8f) << "the lamp's values, now the bulb's";
    EXPECT_EQ(played.location.y, 2.0f);
}

TEST_F(TimelineEditingTest, ECyclesTheSelectedPointsEaseAndHHoldsThem) {
    Animated("Crate", {{0, true}, {kSecond, true}, {2 * kSecond, false}});
    Show();
    std::vector<std::vector<uint8_t>> seen;
    for (char const* key : {"E", "e", "E", "E", "H", "E"}) {
        Key(Timeline(), key);
        Recache(); // what is stored
        seen.push_back(Eases(0));
    }
    using E = std::vector<uint8_t>;
    EXPECT_EQ(seen,
              (std::vector<E>{{1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {0, 0, 0}, {4, 4, 0}, {0, 0, 0}}));
}

TEST_F(TimelineEditingTest, FZoomsToFitThePointsAndControlWheelZoomsAboutTheMouse) {
    Animated("Crate", {{0, false}, {60 * kSecond, false}});
    Animated("Lamp", {{30 * kSecond, false}, {40 * kSecond, false}});
    PL_SetMaxTime(120 * kSecond);
    Show();
    float const shown = NSWidth(Clip()->bounds());
    Key(Timeline(), "F");
    EXPECT_FLOAT_EQ(gScaleFactor, (shown - 24) / 60) << "every point in the visible width";
    EXPECT_EQ(Clip()->bounds().origin.x, 0);

    Click(Timeline(), OnGlyph(1, 30));
    Click(Timeline(), OnGlyph(1, 40), NSEventModifierFlagShift);
    Key(Timeline(), "f");
    EXPECT_FLOAT_EQ(gScaleFactor, (shown - 24) / 10) << "the selected points";
    EXPECT_NEAR(Clip()->bounds().origin.x, kStartOffset + 30 * gScaleFactor - 12, 0.01);
    refhost::RenderWindow(*gPalette);
    EXPECT_EQ(Slider()->curScroll, Clip()->bounds().origin.x) << "the slider follows";

    // Control and the wheel, 20 pixels up: twice the zoom, 35 s stays under the mouse.
    float const before = gScaleFactor;
    NSPoint const mouse = NSMakePoint(kStartOffset + 35 * before, NSMinY(Row(1)));
    float const onScreen = mouse.x - Clip()->bounds().origin.x;
    NSEvent wheel = NSEvent::mouseEventWithType(
        NSEventType::scrollWheel, Timeline()->convertPointToView(mouse, nullptr),
        NSEventModifierFlagControl, gPalette->windowNumber());
    wheel.setDelta(0, 20);
    NSApp()->postEvent(wheel, false);
    NSApp()->processPendingEvents();
    EXPECT_FLOAT_EQ(gScaleFactor, 2 * before);
    EXPECT_NEAR(kStartOffset + 35 * gScaleFactor - Clip()->bounds().origin.x, onScreen, 0.01);
}

TEST_F(TimelineEditingTest, EachGlyphShowsItsEaseByItsShape) {
    CDisplayGroupObject crate = Animated(
        "Crate", {{0, false}, {2 * kSecond, false}, {4 * kSecond, false}, {6 * kSecond, false}});
    Show();
    for (auto [seconds, key] : {std::pair{2, "E"}, {4, "H"}, {6, "E"}}) {
        Click(Timeline(), OnGlyph(0, static_cast<float>(seconds)));
        Key(Timeline(), key);
    }
    Click(Timeline(), OnGlyph(0, 6)); // the last one
    Key(Timeline(), "E");
    Key(Timeline(), "E");                                    // in, out, in-out
    Click(Timeline(), NSMakePoint(400, NSMinY(Row(3)) + 3)); // nothing selected
    refhost::Bitmap const image = refhost::RenderWindow(*gPalette);
    auto pixel = [&](float x, float y) {
        NSPoint const p = Timeline()->convertPointToView(NSMakePoint(x + 0.5f, y + 0.5f), nullptr);
        return image.atWindow(*gPalette, p);
    };
    float const top = NSMaxY(Row(0)) - 4; // the glyphs' top edge
    constexpr refhost::Rgb kBlack{0, 0, 0};
    auto x = [](float seconds) { return kStartOffset + seconds * 16; };
    // Linear: the apex alone on the top edge; 3 pixels right of it is background.
    EXPECT_EQ(pixel(x(0), top), kBlack);
    EXPECT_NE(pixel(x(0) + 5, top - 1), kBlack);
    // In: the ramp's top is at its right corner.
    EXPECT_EQ(pixel(x(2) + 7, top - 1), kBlack);
    EXPECT_NE(pixel(x(2) - 5, top - 1), kBlack);
    // Hold: a square 7 pixels wide, its top edge level.
    EXPECT_EQ(pixel(x(4) - 2, top), kBlack);
    EXPECT_EQ(pixel(x(4) + 2, top), kBlack);
    // In-out: a diamond, widest half way down.
    EXPECT_EQ(pixel(x(6) - 7, top - 3.5f), kBlack);
    EXPECT_EQ(pixel(x(6) + 6, top - 3.5f), kBlack);
    EXPECT_NE(pixel(x(6) - 6, top - 1), kBlack);
    EXPECT_TRUE(keypose_test::MatchesGoldenIn(
        std::string(KEYPOSE_SOURCE_DIR) + "/tests/palette/golden", image, "timeline_eases"));
}

TEST_F(TimelineEditingTest, ArrowsNudgeTheSelectedPointsByAStepOrAUnitWithAlt) {
    Animated("Crate", {{0, false}, {2 * kSecond, true}});
    Show();
    std::size_t const undoSteps = UndoCount();
    KeyWith(Timeline(), "\xEF\x9C\x83", 0); // right
    Recache();
    EXPECT_EQ(Times(0), (std::vector<int32_t>{0, 3 * kSecond}));
    KeyWith(Timeline(), "\xEF\x9C\x82", NSEventModifierFlagOption); // left, one unit
    Recache();
    EXPECT_EQ(Times(0), (std::vector<int32_t>{0, 3 * kSecond - 1}));
    EXPECT_EQ(UndoCount(), undoSteps + 2) << "each nudge is one undo step";
}
