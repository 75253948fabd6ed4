#include <gtest/gtest.h>

#include "authoring/tween_editing.h"
#include "tests/tween/document_fixture.h"
#include "tween/cache.h"
#include "tween/timeline_geometry.h"

namespace {

// Rows of object groups with stored lists, rebuilt into gTimeLineCache.
class TweenEditingTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        PL_SetMaxTime(6000);
        PL_SetMinTime(0);
    }
    // A group in the other objects whose stored list holds (time, selected) points.
    CDisplayGroupObject Row(std::vector<std::pair<int32_t, bool>> points) {
        return NamedAnimatedGroup("", points);
    }
    static std::vector<int32_t> RowTimes(uint32_t row) {
        std::vector<int32_t> times;
        for (uint32_t i = 0; i < gTimeLineCache[row]->Count(); ++i) {
            times.push_back(gTimeLineCache[row]->Record(i).time);
        }
        return times;
    }
    static bool IsSelected(uint32_t row, uint32_t index) {
        return gTimeLineCache[row]->Record(index).selected;
    }
};

} // namespace

TEST_F(TweenEditingTest, MirroringReflectsTheSelectionAboutTheMiddleOfItsSpan) {
    CDisplayGroupObject first = Row({{10, true}, {20, false}});
    CDisplayGroupObject second = Row({{15, true}, {30, true}});
    Recache();
    ReverseSelectedTweens();
    EXPECT_EQ(StoredTimes(first), (std::vector<int32_t>{20, 30}));
    EXPECT_EQ(StoredTimes(second), (std::vector<int32_t>{10, 25}));
    Recache();
    EXPECT_TRUE(IsSelected(0, 1)) << "the mirrored point keeps its flag";
    EXPECT_FALSE(IsSelected(0, 0));

    CDisplayGroupObject single = Row({{40, true}, {50, false}});
    Recache();
    DeselectAllTweens(gTimeLineCache);
    gTimeLineCache[2]->Record(1).selected = true;
    gTimeLineCache[2]->Record(0).time = 99; // a change that only a write-back would store
    ReverseSelectedTweens();
    EXPECT_EQ(StoredTimes(single), (std::vector<int32_t>{40, 50})) << "one point: nothing";
}

TEST_F(TweenEditingTest, DraggingStopsAtTheLimitsAndKeepsRowsInOrder) {
    Row({{100, true}, {500, true}, {900, false}});
    Row({{300, false}, {400, false}, {2000, true}});
    Recache();
    // 16 pixels a second at 600 units a second: 37.5 units a pixel.
    NSPoint mouse{50, 10};
    MoveSelectedTweens(gTimeLineCache, mouse, {100, 10});
    EXPECT_EQ(RowTimes(0), (std::vector<int32_t>{0, 400, 900})) << "held at the minimum";
    EXPECT_EQ(RowTimes(1), (std::vector<int32_t>{300, 400, 1900}));
    EXPECT_FLOAT_EQ(mouse.x, 100 - 100 / 37.5f);

    NSPoint far{10000, 10};
    MoveSelectedTweens(gTimeLineCache, far, {0, 10});
    EXPECT_EQ(RowTimes(1), (std::vector<int32_t>{300, 400, 6000})) << "held at the maximum";
    EXPECT_EQ(RowTimes(0), (std::vector<int32_t>{900, 4100, 4500}));
    EXPECT_TRUE(IsSelected(0, 1) && IsSelected(0, 2) && !IsSelected(0, 0)) << "flags move too";

    NSPoint back{0, 10};
    MoveSelectedTweens(gTimeLineCache, back, {60, 10}); // 2250 units to the left
    EXPECT_EQ(RowTimes(1), (std::vector<int32_t>{300, 400, 3750}));
    EXPECT_EQ(RowTimes(0), (std::vector<int32_t>{900, 1850, 2250}));
}

TEST_F(TweenEditingTest, ClicksSelectLikeAListDoes) {
    Row({{600, false}, {1200, true}});
    Row({{600, true}});
    Recache();
    NSRect const timeline{{0, 0}, {400, 100}};
    // Row 0 spans y 72..86 and row 1 y 58..72; time 600 sits at x 22 and 1200 at x 38.
    NSPoint const onFirst{22, 73};
    EXPECT_TRUE(DoSelectObjectTween(gTimeLineCache, {38, 73}, timeline, false, false));
    EXPECT_TRUE(IsSelected(0, 1) && IsSelected(1, 0)) << "a selected point keeps the selection";

    EXPECT_TRUE(DoSelectObjectTween(gTimeLineCache, onFirst, timeline, false, false));
    EXPECT_TRUE(IsSelected(0, 0));
    EXPECT_FALSE(IsSelected(0, 1) || IsSelected(1, 0)) << "an unselected one becomes the only one";

    EXPECT_TRUE(DoSelectObjectTween(gTimeLineCache, onFirst, timeline, true, false));
    EXPECT_FALSE(IsSelected(0, 0)) << "shift-click deselects and still hits";

    gTimeLineCache[1]->Record(0).selected = true;
    EXPECT_FALSE(DoSelectObjectTween(gTimeLineCache, {200, 73}, timeline, true, false));
    EXPECT_TRUE(IsSelected(1, 0)) << "shift keeps the selection on a miss";
    EXPECT_FALSE(DoSelectObjectTween(gTimeLineCache, {200, 73}, timeline, false, false));
    EXPECT_FALSE(IsSelected(1, 0));
}

TEST_F(TweenEditingTest, AMarqueeAddsThePointsWhoseTipsItHolds) {
    Row({{600, false}, {1200, false}, {6000, false}});
    Recache();
    gTimeLineCache[0]->Record(2).selected = true;
    // The row's top is at 100 - 14 = 86, so tips at y 79.
    CommitMarqueeSelection(gTimeLineCache, {{0, 0}, {400, 100}}, 400, 100, {{10, 70}, {20, 20}});
    EXPECT_TRUE(IsSelected(0, 0));
    EXPECT_FALSE(IsSelected(0, 1)) << "x 38 lies right of the marquee";
    EXPECT_TRUE(IsSelected(0, 2)) << "kept";
    WriteBackAllRows(gTimeLineCache);
    Recache();
    EXPECT_TRUE(IsSelected(0, 0)) << "stored with the records";
}

TEST_F(TweenEditingTest, DeletingLeavesAnEmptyListInPlace) {
    CDisplayGroupObject group = Row({{0, true}, {600, false}, {1200, true}});
    Recache();
    EXPECT_TRUE(DeleteSelectedTweens());
    EXPECT_EQ(StoredTimes(group), (std::vector<int32_t>{600}));
    Recache();
    gTimeLineCache[0]->Record(0).selected = true;
    EXPECT_TRUE(DeleteSelectedTweens());
    Recache();
    ASSERT_EQ(gTimeLineCache.Count(), 1u) << "the row stays, without glyphs";
    EXPECT_EQ(gTimeLineCache[0]->Count(), 0u);
    EXPECT_FALSE(DeleteSelectedTweens());
}

TEST_F(TweenEditingTest, DeselectingObjectsMovesThemAllToTheOthers) {
    Selected().AddObject(UnitBox());
    Selected().AddObject(UnitBox());
    Others().AddObject(UnitBox());
    DeselectAllObjects();
    EXPECT_EQ(Selected().CountObjects(), 0u);
    EXPECT_EQ(Others().CountObjects(), 3u);
}
