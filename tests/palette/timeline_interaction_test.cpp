// The timeline and the name column as a user works them: every gesture is a real mouse or key
// event that the panel's window delivers, and the results are read from the rows, the stored
// lists of the document and the host's clock.
#include <gtest/gtest.h>

#include "palette/name_column.h"
#include "palette/timeline_edits.h"
#include "tests/palette/timeline_fixture.h"
#include "tween/stored_list_access.h"

namespace {

using TimelineInteractionTest = TimelineTest;
using Points = std::vector<std::pair<int32_t, bool>>;

constexpr int32_t kSecond = 600;

// Takes the keys that reach the end of the palette's responder chain.
class KeySpy : public NSResponder {
public:
    void keyDown(NSEvent* event) override { seen.push_back(event->characters()); }
    std::vector<std::string> seen;
};

NSButton* ButtonTitled(std::string const& title) {
    for (NSView* view : gPalette->contentView()->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            return button;
        }
    }
    return nullptr;
}

// The middle of name row k as the click finds it.
NSPoint OnName(uint32_t k) {
    NameColumnView* names = PaletteControl<NameColumnView>(2002);
    NameColumnLayout const layout(names->frame(), gTimeLineCache.Count(),
                                  static_cast<int32_t>(names->curScroll), 14);
    return NSMakePoint(40, layout.ClickedRowY(k) + 7);
}

} // namespace

TEST_F(TimelineInteractionTest, GlyphClicksSelectAndShiftClicksToggle) {
    CDisplayGroupObject crate =
        Animated("Crate", {{0, false}, {2 * kSecond, false}, {4 * kSecond, false}});
    CDisplayGroupObject lamp = Animated("Lamp", {{kSecond, false}});
    Show();
    ASSERT_EQ(gTimeLineCache.Count(), 2u);

    Click(Timeline(), OnGlyph(0, 2));
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, true, false})) << "a click selects the point";
    Click(Timeline(), OnGlyph(1, 1), NSEventModifierFlagShift);
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, true, false})) << "shift adds";
    EXPECT_EQ(Flags(1), (std::vector<bool>{true}));
    Click(Timeline(), OnGlyph(0, 2));
    EXPECT_EQ(Flags(1), (std::vector<bool>{true})) << "a selected point keeps the selection";
    Click(Timeline(), OnGlyph(0, 2), NSEventModifierFlagShift);
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, false})) << "shift removes";
    EXPECT_EQ(Flags(1), (std::vector<bool>{true}));
    EXPECT_TRUE(gCLickedOnATween) << "a shift-click that deselects still hits";

    Click(Timeline(), OnGlyph(0, 4));
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, true})) << "a plain click: only it";
    EXPECT_EQ(Flags(1), (std::vector<bool>{false}));
    // The mouse-up wrote the rows back, so the selection is in the document.
    CTweenHandleRecord stored{CSetObject(crate)};
    EXPECT_TRUE(static_cast<BaseTweenRecord const*>(stored[2])->selected);

    Click(Timeline(), OnGlyph(0, 7), NSEventModifierFlagShift);
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, true})) << "shift on empty space keeps";
    Click(Timeline(), OnGlyph(0, 7));
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, false})) << "empty space clears";
    EXPECT_FALSE(gCLickedOnATween);
    Click(Timeline(), OnGlyph(0, 2));
    Click(Timeline(), NSMakePoint(50, NSMinY(Row(5)) + 3));
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, false})) << "below the rows clears too";
}

TEST_F(TimelineInteractionTest, DraggingAGlyphMovesTheSelectionWithinTheRange) {
    CDisplayGroupObject crate =
        Animated("Crate", {{0, true}, {2 * kSecond, false}, {4 * kSecond, false}});
    CDisplayGroupObject lamp = Animated("Lamp", {{kSecond, true}});
    Show();

    // One second is 16 pixels; the drag goes there in two events.
    NSPoint const start = OnGlyph(0, 0);
    Drag(Timeline(), {start, {start.x + 8, start.y}, {start.x + 48, start.y + 20}});
    EXPECT_EQ(Times(0), (std::vector<int32_t>{2 * kSecond, 3 * kSecond, 4 * kSecond}))
        << "the moved point passed the one at 2 s and the row stays in order";
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(Times(1), (std::vector<int32_t>{4 * kSecond}));
    EXPECT_EQ(StoredTimes(crate), (std::vector<int32_t>{2 * kSecond, 3 * kSecond, 4 * kSecond}))
        << "stored at mouse-up";
    EXPECT_EQ(StoredTimes(lamp), (std::vector<int32_t>{4 * kSecond}));

    // Far past the maximum: the latest selected point stops exactly there and the other
    // moves by as much.
    NSPoint const lampPoint = OnGlyph(1, 4);
    Drag(Timeline(), {lampPoint, {lampPoint.x + 200, lampPoint.y}});
    EXPECT_EQ(Times(1), (std::vector<int32_t>{10 * kSecond}));
    EXPECT_EQ(Times(0), (std::vector<int32_t>{2 * kSecond, 4 * kSecond, 9 * kSecond}));
    // And back past the minimum.
    NSPoint const back = OnGlyph(0, 9);
    Drag(Timeline(), {back, {back.x - 400, back.y}});
    EXPECT_EQ(Times(0), (std::vector<int32_t>{0, 2 * kSecond, 4 * kSecond}));
    EXPECT_EQ(Times(1), (std::vector<int32_t>{kSecond}));
    EXPECT_EQ(StoredTimes(lamp), (std::vector<int32_t>{kSecond}));
    EXPECT_EQ(PL_GetMinTime(), 0);
    EXPECT_EQ(PL_GetMaxTime(), 10 * kSecond) << "moving points never moves the range";
}

TEST_F(TimelineInteractionTest, AMarqueeFromEmptySpaceAddsThePointsInside) {
    Animated("Crate", {{kSecond, false}, {3 * kSecond, true}, {5 * kSecond, false}});
    Animated("Lamp", {{kSecond, false}});
    Show();

    // From below the last row, up and across the first point of both rows; shift keeps the
    // selection that the mouse-down on empty space would clear.
    NSPoint const anchor = NSMakePoint(OnGlyph(0, 0.5f).x, NSMinY(Row(4)));
    NSPoint const reach = NSMakePoint(OnGlyph(0, 2).x, NSMaxY(Row(0)) - 2);
    Post(Timeline(), NSEventType::leftMouseDown, anchor, NSEventModifierFlagShift);
    Post(Timeline(), NSEventType::leftMouseDragged, reach, NSEventModifierFlagShift);
    NSApp()->processPendingEvents();
    EXPECT_TRUE(gDoingMarqueeSelection);
    EXPECT_EQ(gMarquee, NSMakeRect(anchor.x, anchor.y, reach.x - anchor.x, reach.y - anchor.y));
    EXPECT_EQ(gLastLocalMouse, anchor) << "the anchor stays";
    Post(Timeline(), NSEventType::leftMouseUp, reach, 0);
    NSApp()->processPendingEvents();
    EXPECT_FALSE(gDoingMarqueeSelection);
    EXPECT_EQ(Flags(0), (std::vector<bool>{true, true, false})) << "added; the rest keep theirs";
    EXPECT_EQ(Flags(1), (std::vector<bool>{true}));
    // Without shift the mouse-down clears first, and the marquee selects what it holds.
    Drag(Timeline(), {NSMakePoint(OnGlyph(0, 4).x, NSMinY(Row(1))),
                      NSMakePoint(OnGlyph(0, 6).x, NSMaxY(Row(0)))});
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(Flags(1), (std::vector<bool>{false}));

    // A marquee that holds a glyph's body but not its tip selects nothing.
    Click(Timeline(), OnGlyph(0, 8));
    float const x = OnGlyph(0, 5).x;
    float const bottom = NSMinY(Row(0));
    Drag(Timeline(), {{x + 6, bottom + 6}, {x - 6, bottom + 1}});
    EXPECT_EQ(gMarquee, NSMakeRect(x - 6, bottom + 1, 12, 5));
    EXPECT_EQ(Flags(0), (std::vector<bool>{false, false, false}));
}

TEST_F(TimelineInteractionTest, RulerTabsGrabWithinSevenPixelsAndMoveTheRange) {
    CDisplayGroupObject crate = Animated("Crate", {{2 * kSecond, true}});
    PL_SetMinTime(kSecond);
    PL_SetCurTime(3 * kSecond);
    Show();
    gSnapToStep = false;                   // the range follows the mouse unit by unit
    float const xmin = kStartOffset + 16;  // 1 s
    float const xmax = kStartOffset + 160; // 10 s

    // The minimum tab, grabbed 7 pixels right of it, dragged left past time 0.
    Drag(Timeline(), {InRuler(xmin + 7), InRuler(xmin - 1), InRuler(xmin - 40)});
    EXPECT_TRUE(gCLickedOnMin);
    EXPECT_EQ(PL_GetMinTime(), 0) << "never below time 0";
    EXPECT_EQ(DrawerField(10002)->floatValue(), 0.0f);
    EXPECT_EQ(PL_GetCurTime(), 3 * kSecond) << "the ruler never moves the current time";

    // The maximum tab, one second to the right; the slider follows the new range.
    Drag(Timeline(), {InRuler(xmax - 6), InRuler(xmax + 10)});
    EXPECT_TRUE(gCLickedOnMax);
    EXPECT_EQ(PL_GetMaxTime(), 11 * kSecond);
    EXPECT_EQ(DrawerField(10004)->floatValue(), 11.0f);
    NSRect const slider = Slider()->frame();
    NSRect const scroll = Timeline()->enclosingScrollView()->frame();
    EXPECT_EQ(NSMinX(slider), NSMinX(scroll) + kStartOffset);
    EXPECT_EQ(NSWidth(slider), 11 * 16 + 12);
    EXPECT_FLOAT_EQ(Slider()->floatValue(), 1000.0f * 3 / 11);

    // 8 pixels from the nearer tab grabs nothing; the drag scrubs the current time instead.
    Drag(Timeline(), {InRuler(kStartOffset + 8), InRuler(kStartOffset + 30)});
    EXPECT_FALSE(gCLickedOnMin || gCLickedOnMax);
    EXPECT_EQ(PL_GetMinTime(), 0);
    EXPECT_EQ(PL_GetCurTime(), 30 * kSecond / 16);
    EXPECT_EQ(Flags(0), (std::vector<bool>{true})) << "a click in the ruler keeps the selection";

    // Halfway between tabs 8 pixels apart, the maximum is the candidate.
    PL_SetCurTime(0);
    PL_SetMaxTime(kSecond / 2);
    Drag(Timeline(), {InRuler(kStartOffset + 4), InRuler(kStartOffset + 20)});
    EXPECT_TRUE(gCLickedOnMax);
    EXPECT_EQ(PL_GetMinTime(), 0);
    EXPECT_EQ(PL_GetMaxTime(), kSecond / 2 + kSecond);
}

TEST_F(TimelineInteractionTest, NameRowsSelectTheirObjects) {
    CDisplayGroupObject crate = Animated("Crate", {{0, false}});
    CDisplayGroupObject lamp = Animated("Lamp", {{0, false}});
    CDisplayGroupObject ball = Animated("Ball", {{0, false}}, true);
    Show();
    ASSERT_EQ(gTimeLineCache.Count(), 3u);

    Click(Names(), OnName(0));
    EXPECT_TRUE(IsSelectedInDocument(crate));
    EXPECT_FALSE(IsSelectedInDocument(ball)) << "a plain click selects only its object";
    EXPECT_TRUE(fDocument->edited) << "the host hears of the change";
    Click(Names(), OnName(1), NSEventModifierFlagShift);
    EXPECT_TRUE(IsSelectedInDocument(crate) && IsSelectedInDocument(lamp)) << "shift adds";
    Click(Names(), OnName(0), NSEventModifierFlagShift);
    EXPECT_FALSE(IsSelectedInDocument(crate)) << "shift toggles";
    EXPECT_TRUE(IsSelectedInDocument(lamp));
    Click(Names(), OnName(5), NSEventModifierFlagShift);
    EXPECT_TRUE(IsSelectedInDocument(lamp)) << "shift below the rows changes nothing";
    Click(Names(), OnName(5));
    EXPECT_EQ(Selected().CountObjects(), 0u) << "a plain click below the rows deselects all";
    EXPECT_EQ(Others().CountObjects(), 3u);
}

TEST_F(TimelineInteractionTest, DeleteAndRAreTheOnlyKeysAndRebuildTheRows) {
    CDisplayGroupObject crate =
        Animated("Crate", {{kSecond, true}, {2 * kSecond, false}, {4 * kSecond, true}});
    CDisplayGroupObject lamp = Animated("Lamp", {{3 * kSecond, true}});
    Show();
    KeySpy spy;
    Controller().setNextResponder(&spy);

    Key(Timeline(), "R");
    EXPECT_EQ(StoredTimes(crate), (std::vector<int32_t>{kSecond, 2 * kSecond, 4 * kSecond}));
    EXPECT_EQ(StoredTimes(lamp), (std::vector<int32_t>{2 * kSecond})) << "mirrored about 2.5 s";
    EXPECT_EQ(Times(1), (std::vector<int32_t>{2 * kSecond})) << "the rows were rebuilt";
    EXPECT_EQ(Flags(0), (std::vector<bool>{true, false, true}));

    Key(Timeline(), "rr");
    Key(Timeline(), "x");
    Key(Timeline(), "");
    EXPECT_EQ(spy.seen, (std::vector<std::string>{"rr", "x", ""})) << "passed on";
    EXPECT_EQ(StoredTimes(lamp), (std::vector<int32_t>{2 * kSecond})) << "nothing changed";

    Key(Timeline(), "\x7f");
    EXPECT_EQ(StoredTimes(crate), (std::vector<int32_t>{2 * kSecond}));
    EXPECT_EQ(StoredTimes(lamp), (std::vector<int32_t>{}));
    ASSERT_EQ(gTimeLineCache.Count(), 2u) << "an object without points keeps its row";
    EXPECT_EQ(gTimeLineCache[1]->Count(), 0u);

    // The name column passes every key on, then rebuilds the rows from the scene.
    ChangeStoredTweenList(crate.GetObject(), [](CTweenHandleRecord& list) { list.Remove(0); });
    Key(Names(), "q");
    EXPECT_EQ(spy.seen.back(), "q");
    EXPECT_EQ(gTimeLineCache[0]->Count(), 0u);
    Controller().setNextResponder(nullptr);
}

TEST_F(TimelineInteractionTest, NamesAndSliderFollowScrollingAndZoom) {
    for (int i = 0; i < 30; ++i) {
        Animated("Row", {{i * 100, false}});
    }
    Show();
    NSClipView* clip = Clip();
    NSRect const doc = Timeline()->frame();
    EXPECT_EQ(doc.size.height, 31 * kRow) << "the ruler strip and every row";
    EXPECT_EQ(NSMaxY(clip->bounds()), NSMaxY(doc)) << "the ruler shows from the start";

    // Names and rows line up on screen, before and after scrolling down by three rows.
    auto expectAligned = [&](char const* when) {
        NameColumnLayout const layout(Names()->frame(), gTimeLineCache.Count(),
                                      static_cast<int32_t>(Names()->curScroll), 14);
        for (uint32_t k : {0u, 5u, 10u}) {
            float const name = Names()->convertPointToView({0, layout.DrawnRowY(k)}, nullptr).y;
            float const row = Timeline()->convertPointToView({0, NSMinY(Row(k))}, nullptr).y;
            EXPECT_EQ(name, row) << "row " << k << " " << when;
        }
    };
    expectAligned("at the top");
    NSEvent wheel = NSEvent::mouseEventWithType(
        NSEventType::scrollWheel, Timeline()->convertPointToView(OnGlyph(2, 1), nullptr), 0,
        gPalette->windowNumber());
    wheel.setDelta(0, -42);
    NSApp()->postEvent(wheel, false);
    NSApp()->processPendingEvents();
    EXPECT_EQ(clip->bounds().origin.y, NSMaxY(doc) - NSHeight(clip->bounds()) - 42);
    EXPECT_EQ(Names()->curScroll, clip->bounds().origin.y);
    expectAligned("scrolled");
    // A click on a name row hits the row that shows there.
    Click(Names(), OnName(3));
    EXPECT_EQ(Selected().CountObjects(), 1u);

    // Three steps in: 128 pixels a second, so the 10 s range is wider than the view.
    for (int i = 0; i < 3; ++i) {
        Click(ButtonTitled("+"), {5, 5});
    }
    ASSERT_EQ(gScaleFactor, 128.0f);
    refhost::RenderWindow(*gPalette);
    float const origin = NSMinX(Timeline()->enclosingScrollView()->frame()) + kStartOffset;
    EXPECT_EQ(Slider()->frame(), NSMakeRect(origin, NSMinY(Slider()->frame()), 1280 + 12, 22));
    EXPECT_EQ(NSWidth(Timeline()->frame()), 1280 + 2 * kStartOffset);

    wheel.setDelta(-100, 0);
    NSApp()->postEvent(wheel, false);
    NSApp()->processPendingEvents();
    EXPECT_EQ(Slider()->curScroll, 100);
    refhost::RenderWindow(*gPalette);
    // 100 pixels are 468.75 units, taken as 468: the marks land at 36 and 1316.
    EXPECT_EQ(Slider()->frame(), NSMakeRect(36, NSMinY(Slider()->frame()), 1316 - 36 + 12, 22));
    EXPECT_EQ(Timeline()->convertPointToView({kStartOffset, 0}, nullptr).x, 36)
        << "time 0 on screen is where the slider starts";
}

TEST_F(TimelineInteractionTest, ThePaletteResizesWithItsPartsInStep) {
    Animated("Crate", {{0, false}, {kSecond, false}});
    Show();
    NSRect const panel = gPalette->frame();
    NSRect const names = Names()->frame();
    NSRect const scroll = Timeline()->enclosingScrollView()->frame();
    NSRect const stop = PaletteViewWithTag(1004)->frame();

    gPalette->setFrame(NSMakeRect(panel.origin.x, panel.origin.y, panel.size.width + 200,
                                  panel.size.height + 100));
    refhost::RenderWindow(*gPalette);
    EXPECT_EQ(Names()->frame().size, NSMakeSize(names.size.width, names.size.height + 100))
        << "the name column keeps its width";
    NSRect const grown = Timeline()->enclosingScrollView()->frame();
    EXPECT_EQ(grown.size, NSMakeSize(scroll.size.width + 200, scroll.size.height + 100));
    EXPECT_EQ(Clip()->frame().size, NSMakeSize(grown.size.width - 18, grown.size.height - 18))
        << "the clip view follows its scroll view";
    EXPECT_EQ(Timeline()->frame().size, Clip()->frame().size) << "the timeline fills it";
    EXPECT_EQ(PaletteViewWithTag(1004)->frame(), NSOffsetRect(stop, 0, 100)) << "stays on top";
    EXPECT_EQ(NSMinY(Slider()->frame()), NSMinY(PaletteViewWithTag(999)->frame()));
    EXPECT_EQ(NSMaxY(Clip()->convertRectToView(Clip()->bounds(), nullptr)),
              NSMaxY(Names()->convertRectToView(Names()->bounds(), nullptr)))
        << "the ruler and the header stay level";

    // Smaller than the rows: the timeline scrolls and the names follow.
    gPalette->setFrame(NSMakeRect(panel.origin.x, panel.origin.y, 300, 120));
    refhost::RenderWindow(*gPalette);
    EXPECT_GE(NSWidth(Timeline()->frame()), NSWidth(Clip()->frame()));
    EXPECT_EQ(Timeline()->frame().size.height, std::max(NSHeight(Clip()->frame()), 2 * kRow));
}

TEST_F(TimelineInteractionTest, TheDrawerShowsTheClocksTimeWhenItOpens) {
    PL_SetCurTime(5 * kSecond);
    Controller().paletteDrawer->open();
    EXPECT_EQ(DrawerField(10003)->floatValue(), 5.0f);
}
