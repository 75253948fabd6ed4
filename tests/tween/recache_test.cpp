#include <gtest/gtest.h>

#include "refhost/memory/memory_control.h"
#include "tests/tween/document_fixture.h"
#include "tween/tween_handle_record.h"

namespace {

using RecacheTest = DocumentTest;

// A box whose set marks it with the effects given.
CShapeObject BoxWith(std::initializer_list<TCustomAttributeGlobal> effects) {
    OpaqueTQ3Object* raw = refhost::scene::NewBox({0, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    CShapeObject box(raw);
    C3DObject::Dispose(raw);
    CSetObject set(nullptr, true);
    for (TCustomAttributeGlobal effect : effects) {
        THandlePair pair{4, NewHandleClear(4)};
        set.AddType(GetCustomAttributeType(effect), &pair);
    }
    box.SetSet(set);
    return box;
}

void Empty(CGroupObject group) {
    while (auto* first = group.GetFirstObject()) {
        group.RemoveObject(first);
    }
}

} // namespace

TEST_F(RecacheTest, ShapesWithEffectsJoinTheirListsAndAreReleasedByTheNextRecache) {
    CShapeObject both = BoxWith({eColourEffectAttribute, eLightEffectAttribute});
    CShapeObject textured = BoxWith({eTextureEffectAttribute});
    Selected().AddObject(both);
    CDisplayGroupObject nested;
    CDisplayGroupObject deeper;
    deeper.AddObject(textured);
    nested.AddObject(deeper);
    Others().AddObject(nested);
    Others().AddObject(BoxWith({}));

    Recache();
    ASSERT_EQ(gAnimateColourItems.Count(), 1u);
    ASSERT_EQ(gAnimateLightItems.Count(), 1u);
    ASSERT_EQ(gAnimateTextureItems.Count(), 1u) << "found two groups deep";
    EXPECT_EQ(gAnimateColourItems[0], both.GetObject());
    EXPECT_EQ(gAnimateLightItems[0], both.GetObject());
    EXPECT_EQ(gAnimateTextureItems[0], textured.GetObject());
    EXPECT_FALSE(AllListsEmpty());
    EXPECT_EQ(gCachedDocument, PL_GetFrontDocument());
    EXPECT_EQ(gMaxSortIndex, 3u) << "no tween lists: the numbers of the standard rows only";

    // Each entry held a reference of its own: once the scene lets go, the next recache
    // releases the last ones (the fixture checks that nothing leaks).
    Empty(Selected());
    Empty(Others());
    Recache();
    EXPECT_TRUE(AllListsEmpty());
}

TEST_F(RecacheTest, AMemberThatFailsIsSkippedAndTheScanGoesOn) {
    CDisplayGroupObject withoutSet;
    withoutSet.AddObject(BoxWith({eColourEffectAttribute}));
    Selected().AddObject(withoutSet);
    Selected().AddObject(BoxWith({eColourEffectAttribute}));

    Recache();
    EXPECT_EQ(gAnimateColourItems.Count(), 2u) << "a group without a set is still searched";

    refhost::HostState::Instance().Reset();
    Recache();
    EXPECT_TRUE(AllListsEmpty()) << "no document: nothing to scan";
    EXPECT_EQ(gCachedDocument, nullptr);
}

TEST_F(RecacheTest, TheGroupThatHoldsAnObjectIsItsTopLevelAncestor) {
    CShapeObject box = UnitBox();
    CDisplayGroupObject outer, middle, inner;
    inner.AddObject(box);
    middle.AddObject(inner);
    outer.AddObject(middle);
    CGroupObject group = Selected();
    group.AddObject(UnitBox());
    OpaqueTQ3GroupPosition* second = group.AddObject(outer);

    EXPECT_EQ(FindGroupThisObjIsIn(box.GetObject(), group), second);
    EXPECT_EQ(FindGroupThisObjIsIn(outer.GetObject(), group), second);
    EXPECT_EQ(FindGroupThisObjIsIn(UnitBox().GetObject(), group), nullptr);
}

TEST_F(RecacheTest, AMemberWhoseCacheOrListEntryCannotBeMadeIsSkippedWithItsMembers) {
    CDisplayGroupObject outer;
    outer.AddObject(CTransformObject(CMatrix4x4(1.0)));
    CDisplayGroupObject nested;
    nested.AddObject(BoxWith({eColourEffectAttribute}));
    outer.AddObject(nested);
    CSetObject set(nullptr, true);
    CTweenHandleRecord list(ObjectTweenRecord{}, kObjectRecordSize);
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
    outer.SetSet(set);
    Selected().AddObject(outer);
    {
        refhost::memory::FailureScope failures;
        refhost::memory::FailRequestsAbove(160); // less than two records of a cache
        Recache();
    }
    EXPECT_TRUE(gTimeLineCache.IsEmpty());
    EXPECT_TRUE(gAnimateColourItems.IsEmpty()) << "the members went with the group";
    Recache();
    EXPECT_EQ(gTimeLineCache.Count(), 1u);
    EXPECT_EQ(gAnimateColourItems.Count(), 1u);

    // The colour list holds five entries in the block it has; the sixth and seventh shapes
    // find no room and give their references back (the fixture counts them).
    for (int i = 0; i < 6; ++i) {
        Others().AddObject(BoxWith({eColourEffectAttribute}));
    }
    {
        refhost::memory::FailureScope failures;
        refhost::memory::FailRequestsAbove(48);
        Recache();
    }
    EXPECT_EQ(gAnimateColourItems.Count(), 5u);
}
