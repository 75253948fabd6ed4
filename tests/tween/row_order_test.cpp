#include <gtest/gtest.h>

#include "tests/tween/document_fixture.h"
#include "tween/cache.h"
#include "tween/object_cache.h"

namespace {

using RowOrderTest = DocumentTest;

// Gives the shape (which must have a set) a stored list of records at the times given.
void GiveTweenList(CShapeObject const& shape, uint32_t sortingIndex,
                   std::initializer_list<int32_t> times, int32_t recordSize = kObjectRecordSize) {
    UnionTweenRecord record{};
    CTweenHandleRecord list(*reinterpret_cast<BaseTweenRecord*>(record.bytes), recordSize);
    list.Remove(0);
    for (int32_t time : times) {
        reinterpret_cast<BaseTweenRecord*>(record.bytes)->time = time;
        list.Append(*reinterpret_cast<BaseTweenRecord*>(record.bytes));
    }
    list.SetSortingIndex(sortingIndex);
    CSetObject(shape).AddType(GetCustomAttributeType(eTweenAttribute), &list);
}

CDisplayGroupObject AnimatedGroup(uint32_t sortingIndex, std::initializer_list<int32_t> times) {
    CDisplayGroupObject group;
    group.SetSet(CSetObject(nullptr, true));
    GiveTweenList(group, sortingIndex, times);
    return group;
}

uint32_t StoredIndexOf(CShapeObject const& shape) {
    return CTweenHandleRecord(CSetObject(shape)).GetSortingIndex();
}

std::vector<int32_t> StoredTimesOf(CShapeObject const& shape) {
    CTweenHandleRecord list{CSetObject(shape)};
    std::vector<int32_t> times;
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        times.push_back(static_cast<BaseTweenRecord const*>(list[i])->time);
    }
    return times;
}

} // namespace

TEST_F(RowOrderTest, ObjectRowsFollowTheirStoredIndexesAndAreRenumberedDensely) {
    Recache();
    EXPECT_TRUE(gTimeLineCache.IsEmpty());
    EXPECT_EQ(gMaxSortIndex, 3u);

    CDisplayGroupObject nine = AnimatedGroup(9, {0, 600});
    CDisplayGroupObject five = AnimatedGroup(5, {100});
    Selected().AddObject(nine);
    Others().AddObject(five);
    Recache();
    ASSERT_EQ(gTimeLineCache.Count(), 2u);
    EXPECT_EQ(gTimeLineCache[0]->object, five.GetObject());
    EXPECT_EQ(gTimeLineCache[1]->object, nine.GetObject());
    EXPECT_EQ(gTimeLineCache[0]->sortingIndex, 4u);
    EXPECT_EQ(gTimeLineCache[1]->sortingIndex, 5u);
    EXPECT_EQ(StoredIndexOf(five), 4u);
    EXPECT_EQ(StoredIndexOf(nine), 5u);
    EXPECT_EQ(gMaxSortIndex, 5u);
    EXPECT_EQ(gTimeLineCache[1]->Count(), 2u);
    EXPECT_EQ(gTimeLineCache[1]->kind, eObjectCache);
}

TEST_F(RowOrderTest, TheViewsCameraAndStandardLightsComeFirst) {
    CViewObject view(PL_GetTheView());
    CCameraObject camera(view);
    camera.SetSet(CSetObject(nullptr, true));
    GiveTweenList(camera, 1, {0, 1200}, kCameraRecordSize);
    Recache();
    ASSERT_EQ(gTimeLineCache.Count(), 1u) << "the camera alone, on the first recache";
    EXPECT_EQ(gTimeLineCache[0]->kind, eCameraCache);

    CLightGroupObject lights(view);
    CAmbientLightObject ambient(TQ3LightData{kQ3True, 0.2f, {1, 1, 1}});
    CDirectionalLightObject sun(
        TQ3DirectionalLightData{{kQ3True, 1, {1, 1, 1}}, kQ3False, {0, -1, 0}});
    CDirectionalLightObject secondSun(
        TQ3DirectionalLightData{{kQ3True, 1, {1, 1, 1}}, kQ3False, {1, 0, 0}});
    for (CShapeObject light : {CShapeObject(sun), CShapeObject(secondSun), CShapeObject(ambient)}) {
        light.SetSet(CSetObject(nullptr, true));
        GiveTweenList(light, 2, {0}, kLightRecordSize);
        lights.AddObject(light);
    }
    CDisplayGroupObject object = AnimatedGroup(7, {0});
    Selected().AddObject(object);

    Recache();
    ASSERT_EQ(gTimeLineCache.Count(), 4u) << "only the first directional light has a row";
    EXPECT_EQ(gTimeLineCache[0]->kind, eCameraCache);
    EXPECT_EQ(gTimeLineCache[1]->object, ambient.GetObject());
    EXPECT_EQ(gTimeLineCache[2]->object, sun.GetObject());
    EXPECT_EQ(gTimeLineCache[3]->object, object.GetObject());
    EXPECT_EQ(StoredIndexOf(object), 4u);
}

TEST_F(RowOrderTest, ALightInADocumentGroupAnimatesTheGroupThatHoldsIt) {
    CPointLightObject lamp(
        TQ3PointLightData{{kQ3True, 1, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 2, 0}});
    lamp.SetSet(CSetObject(nullptr, true));
    GiveTweenList(lamp, 4, {0, 300}, kLightRecordSize);
    CGroupObject holder = CGroupObject::NewGroup();
    holder.AddObject(CTransformObject(CMatrix4x4(1.0)));
    holder.AddObject(lamp);
    Selected().AddObject(holder);

    Recache();
    ASSERT_EQ(gTimeLineCache.Count(), 1u);
    CCache& row = *gTimeLineCache[0];
    EXPECT_EQ(row.kind, eLightCache);
    EXPECT_EQ(row.object, holder.GetObject());

    // The holder has no set of its own, so the write-back reaches the light.
    row.Record(0).time = 450;
    row.Record(0).selected = true;
    std::swap(row.records[0], row.records[1]);
    ASSERT_TRUE(WriteBackRecords(row));
    EXPECT_EQ(StoredTimesOf(lamp), (std::vector<int32_t>{300, 450}));
    EXPECT_EQ(StoredIndexOf(lamp), 4u);

    Recache();
    ASSERT_EQ(gTimeLineCache.Count(), 1u);
    EXPECT_EQ(gTimeLineCache[0]->Record(1).time, 450);
    EXPECT_TRUE(gTimeLineCache[0]->Record(1).selected) << "the flags are stored too";
    EXPECT_FALSE(gTimeLineCache[0]->Record(0).selected);
}

TEST_F(RowOrderTest, ACacheWhoseListCannotBeReachedIsLeftOut) {
    CDisplayGroupObject kept = AnimatedGroup(6, {0});
    Selected().AddObject(kept);
    TDynamicArray<CCache*> scanned;
    auto* orphan = new CTweenAllInfoDataCache(5);
    scanned.Append(orphan); // animates nothing that has a list
    Recache();
    ASSERT_EQ(gTimeLineCache.Count(), 1u);
    CCache* keptRow = gTimeLineCache[0];
    gTimeLineCache.SetCount(0);
    scanned.Append(keptRow);

    SortObjectIndex(gTimeLineCache, scanned);
    ASSERT_EQ(gTimeLineCache.Count(), 1u) << "the orphan is released, not kept";
    EXPECT_EQ(gTimeLineCache[0], keptRow);
    EXPECT_EQ(keptRow->sortingIndex, 4u);
    EXPECT_EQ(gMaxSortIndex, 5u) << "counted among the scanned all the same";
    EXPECT_TRUE(scanned.IsEmpty());
    EXPECT_FALSE(WriteBackRecords(CTweenAllInfoDataCache(9)));
}

TEST_F(RowOrderTest, TwoLightsOfOneGroupKeepTheirOwnLists) {
    auto light = [] {
        CPointLightObject made(TQ3PointLightData{
            {kQ3True, 1, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 2, 0}});
        made.SetSet(CSetObject(nullptr, true));
        return made;
    };
    CPointLightObject first = light();
    CPointLightObject second = light();
    GiveTweenList(first, 5, {0, 300}, kLightRecordSize);
    GiveTweenList(second, 4, {100, 200, 400}, kLightRecordSize);
    CGroupObject holder = CGroupObject::NewGroup();
    holder.AddObject(CTransformObject(CMatrix4x4(1.0)));
    holder.AddObject(first);
    holder.AddObject(second);
    Selected().AddObject(holder);

    Recache();
    ASSERT_EQ(gTimeLineCache.Count(), 2u);
    EXPECT_EQ(gTimeLineCache[0]->object, holder.GetObject()) << "both rows animate the group";
    EXPECT_EQ(gTimeLineCache[1]->object, holder.GetObject());
    EXPECT_EQ(StoredIndexOf(second), 4u) << "each renumbered in its own list";
    EXPECT_EQ(StoredIndexOf(first), 5u);

    // The second light's row writes back to the second light only.
    CCache& secondRow = *gTimeLineCache[0];
    secondRow.Record(2).time = 500;
    ASSERT_TRUE(WriteBackRecords(secondRow));
    ASSERT_TRUE(WriteBackRecords(*gTimeLineCache[1]));
    EXPECT_EQ(StoredTimesOf(second), (std::vector<int32_t>{100, 200, 500}));
    EXPECT_EQ(StoredTimesOf(first), (std::vector<int32_t>{0, 300}));
}
