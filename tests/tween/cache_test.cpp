#include <gtest/gtest.h>

#include "interp/easing.h"
#include "tests/tween/document_fixture.h"
#include "tween/camera_cache.h"
#include "tween/light_cache.h"
#include "tween/object_cache.h"
#include "tween/timeline_geometry.h"
#include "tween/tween_point_recording.h"

namespace {

using CacheTest = DocumentTest;

ObjectTweenRecord At(int32_t time, bool selected = false) {
    ObjectTweenRecord record;
    record.time = time;
    record.selected = selected;
    return record;
}

// An object cache holding records at the times given.
std::unique_ptr<CTweenAllInfoDataCache> CacheAt(std::initializer_list<int32_t> times) {
    auto cache = std::make_unique<CTweenAllInfoDataCache>(4);
    for (int32_t time : times) {
        UnionTweenRecord copy{};
        ObjectTweenRecord record = At(time);
        std::memcpy(copy.bytes, &record, sizeof record);
        cache->records.Append(copy);
    }
    return cache;
}

std::vector<int32_t> TimesOf(CTweenHandleRecord const& list) {
    std::vector<int32_t> times;
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        times.push_back(static_cast<BaseTweenRecord const*>(list[i])->time);
    }
    return times;
}

CTweenHandleRecord ListOf(CSetObject const& set) {
    return CTweenHandleRecord(set);
}

} // namespace

TEST_F(CacheTest, TimeQueriesOnEmptyAndFilledCaches) {
    auto empty = CacheAt({});
    EXPECT_EQ(empty->GetFirstTweenTime(), 0);
    EXPECT_EQ(empty->GetLastTweenTime(), 0x7FFFFFFF);
    EXPECT_EQ(empty->GetPreviousTweenTime(100), -1);
    EXPECT_EQ(empty->GetNextTweenTime(100), 0x7FFFFFFF);
    EXPECT_EQ(empty->FindTweenPointIndex({22, 1}, {{0, 0}, {500, 20}}, 6, 0.1f, 7), -1);
    EXPECT_EQ(empty->lastApplicationTime, -1);
    EXPECT_EQ(empty->kind, eObjectCache);

    auto cache = CacheAt({0, 600, 1200});
    EXPECT_EQ(cache->GetFirstTweenTime(), 0);
    EXPECT_EQ(cache->GetLastTweenTime(), 1200);
    EXPECT_EQ(cache->GetPreviousTweenTime(600), 0);
    EXPECT_EQ(cache->GetPreviousTweenTime(601), 600);
    EXPECT_EQ(cache->GetPreviousTweenTime(0), -1);
    EXPECT_EQ(cache->GetNextTweenTime(600), 1200);
    EXPECT_EQ(cache->GetNextTweenTime(1200), 0x7FFFFFFF);
}

TEST_F(CacheTest, NewPointsGoIntoTheStoredListInTimeOrder) {
    CTweenHandleRecord list(At(0), kObjectRecordSize);
    ASSERT_TRUE(list.Append(At(600, true)));
    ASSERT_TRUE(list.Append(At(1200)));
    CSetObject set(nullptr, true);
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list); // the set owns the block

    ASSERT_TRUE(PutTweenPointInTimeOrder(list, At(600)));
    EXPECT_EQ(TimesOf(list), (std::vector<int32_t>{0, 600, 1200})) << "replaced, not added";
    EXPECT_FALSE(static_cast<BaseTweenRecord const*>(list[1])->selected);
    ASSERT_TRUE(PutTweenPointInTimeOrder(list, At(300)));
    ASSERT_TRUE(PutTweenPointInTimeOrder(list, At(1500)));
    ASSERT_TRUE(PutTweenPointInTimeOrder(list, At(-10)));
    EXPECT_EQ(TimesOf(list), (std::vector<int32_t>{-10, 0, 300, 600, 1200, 1500}));

    refhost::memory::FailureScope failures;
    refhost::memory::FailNthRequestFromNow(1);
    EXPECT_FALSE(PutTweenPointInTimeOrder(list, At(700)));
    EXPECT_EQ(list.GetCount(), 6u);
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
}

TEST_F(CacheTest, RecordingAPoseAgainKeepsTheEaseOfThePointItReplaces) {
    ObjectTweenRecord eased = At(600);
    eased.ease = eEaseInOut;
    CTweenHandleRecord list(At(0), kObjectRecordSize);
    ASSERT_TRUE(list.Append(eased));
    CSetObject set(nullptr, true);
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list); // the set owns the block

    CDisplayGroupObject group;
    group.AddObject(UnitBox());
    group.AddObject(CTransformObject(CMatrix4x4(1.0)));
    CShapeObject unused;
    CTweenAllInfoDataCache recorder(0);
    ASSERT_TRUE(recorder.AddTweenPointInto(600, group, unused, list));
    ASSERT_TRUE(recorder.AddTweenPointInto(900, group, unused, list));
    ASSERT_EQ(TimesOf(list), (std::vector<int32_t>{0, 600, 900}));
    EXPECT_EQ(static_cast<BaseTweenRecord const*>(list[1])->ease, eEaseInOut) << "kept";
    EXPECT_EQ(static_cast<BaseTweenRecord const*>(list[2])->ease, eEaseLinear) << "a new point";
    // A paste puts what it copied, ease and all.
    ASSERT_TRUE(PutTweenPointInTimeOrder(list, At(600)));
    EXPECT_EQ(static_cast<BaseTweenRecord const*>(list[1])->ease, eEaseLinear);
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list);
}

TEST_F(CacheTest, NewListsOfTheCameraAndTheStandardLightsKeepTheirRowNumbers) {
    gMaxSortIndex = 9;
    CGroupObject noGroup;
    CSetObject cameraSet(nullptr, true), ambientSet(nullptr, true), sunSet(nullptr, true),
        pointSet(nullptr, true), objectSet(nullptr, true);

    CViewAngleAspectCameraObject camera(TQ3ViewAngleAspectCameraData{LookingDown(), 1, 1});
    CCameraCache(0).AddNewTweenPoint(120, noGroup, camera, cameraSet, eAnimateData, eAnimateByAxis);
    EXPECT_EQ(ListOf(cameraSet).GetSortingIndex(), 1u);
    EXPECT_EQ(ListOf(cameraSet).size, 8 + 168);

    CAmbientLightObject ambient(TQ3LightData{kQ3True, 0.3f, {1, 1, 1}});
    CLightCache(0).AddNewTweenPoint(0, noGroup, ambient, ambientSet);
    EXPECT_EQ(ListOf(ambientSet).GetSortingIndex(), 2u);
    CDirectionalLightObject sun(
        TQ3DirectionalLightData{{kQ3True, 1, {1, 1, 1}}, kQ3False, {0, -1, 0}});
    CLightCache(0).AddNewTweenPoint(0, noGroup, sun, sunSet);
    EXPECT_EQ(ListOf(sunSet).GetSortingIndex(), 3u);
    CPointLightObject point(
        TQ3PointLightData{{kQ3True, 1, {1, 1, 1}}, kQ3False, kQ3AttenuationTypeNone, {0, 2, 0}});
    CLightCache(0).AddNewTweenPoint(0, noGroup, point, pointSet);
    EXPECT_EQ(ListOf(pointSet).GetSortingIndex(), 13u) << "after the three taken above";

    CDisplayGroupObject group;
    group.AddObject(UnitBox());
    group.AddObject(CTransformObject(CMatrix4x4(1.0)));
    CShapeObject unused;
    CTweenAllInfoDataCache(0).AddNewTweenPoint(60, group, unused, objectSet);
    CTweenHandleRecord objectList = ListOf(objectSet);
    EXPECT_EQ(objectList.GetSortingIndex(), 14u);
    ASSERT_TRUE(CTweenAllInfoDataCache(0).AddTweenPointInto(30, group, unused, objectList));
    EXPECT_EQ(TimesOf(objectList), (std::vector<int32_t>{30, 60}));
    EXPECT_EQ(objectList.GetSortingIndex(), 14u) << "adding keeps the number";
    objectSet.AddType(GetCustomAttributeType(eTweenAttribute), &objectList);

    CSetObject failedSet(nullptr, true);
    CLightCache recorder(0);
    refhost::memory::FailureScope failures;
    refhost::memory::FailNthRequestFromNow(1);
    recorder.AddNewTweenPoint(0, noGroup, point, failedSet);
    EXPECT_FALSE(failedSet.Contains(GetCustomAttributeType(eTweenAttribute)));
}

TEST_F(CacheTest, ACameraRecordTakesTheGroupsTransformUnlessOnlyItsDataIsAnimated) {
    CMatrix4x4 moved(1.0);
    moved.value[3][2] = 5;
    CGroupObject group = CGroupObject::NewGroup();
    group.AddObject(CTransformObject(moved));
    COrthographicCameraObject camera(TQ3OrthographicCameraData{LookingDown(), -1, 1, 1, -1});
    CSetObject set(nullptr, true);
    CCameraCache cache(0);
    cache.AddNewTweenPoint(0, group, camera, set, eAnimateLocation, eAnimateByStaying);
    CTweenHandleRecord list = ListOf(set);
    ASSERT_TRUE(cache.AddTweenPointInto(10, group, camera, list, eAnimateData, eAnimateByAxis));
    set.AddType(GetCustomAttributeType(eTweenAttribute), &list);

    auto const* located = static_cast<CameraTweenRecord const*>(list[0]);
    auto const* dataOnly = static_cast<CameraTweenRecord const*>(list[1]);
    EXPECT_EQ(located->matrix.value[3][2], 5.0f);
    EXPECT_EQ(located->animateBy, eAnimateByStaying);
    EXPECT_EQ(dataOnly->matrix.value[3][2], 0.0f) << "the identity";
    EXPECT_EQ(dataOnly->cameraKind, "orth"_4cc);

    CCameraCache copy(1);
    copy.AddAllTweenPoints(list);
    ASSERT_EQ(copy.Count(), 2u);
    EXPECT_EQ(std::memcmp(copy.records[1].bytes, dataOnly, kCameraRecordSize), 0);
}

TEST_F(CacheTest, TheHitAreaIsATriangleOnTheRowsEdge) {
    auto cache = CacheAt({600});
    float const originX = 6;
    float const pixelsPerUnit = 16.0f / 600.0f;
    NSRect const row{{0, 40}, {500, 20}};
    auto hit = [&](float x, float y) {
        return cache->FindTweenPointIndex({x, y}, row, originX, pixelsPerUnit, 7);
    };
    EXPECT_EQ(TweenPointX(600, originX, pixelsPerUnit), 22);
    EXPECT_EQ(hit(22, 41), 0);
    EXPECT_EQ(hit(28, 42), 0);
    EXPECT_EQ(hit(22, 49), -1) << "the apex: 0 is not above 0";
    EXPECT_EQ(hit(28, 43), -1);
    EXPECT_EQ(hit(29, 40), -1) << "7 is not below 7";
    EXPECT_EQ(hit(22, 39), -1) << "below the row";

    auto two = CacheAt({600, 713}); // glyphs 3 pixels apart
    EXPECT_EQ(TweenPointX(713, originX, pixelsPerUnit), 25);
    EXPECT_EQ(two->FindTweenPointIndex({24, 41}, row, originX, pixelsPerUnit, 7), 1)
        << "the later point wins";

    auto beyond = CacheAt({600, 60000}); // the second lies right of the row
    EXPECT_EQ(beyond->FindTweenPointIndex({22, 41}, row, originX, pixelsPerUnit, 7), 0);
}

TEST_F(CacheTest, ARectangleSelectsByXOnlyAndLeavesOtherFlags) {
    auto cache = CacheAt({0, 600, 1200});
    cache->Record(2).selected = true;
    float const originX = 6;
    float const pixelsPerUnit = 16.0f / 600.0f;
    cache->SelectTweensInRect(Rect{500, 10, -500, 22}, originX, pixelsPerUnit);
    EXPECT_FALSE(cache->Record(0).selected) << "x 6 is left of the rectangle";
    EXPECT_TRUE(cache->Record(1).selected) << "x 22 is on its right edge";
    EXPECT_TRUE(cache->Record(2).selected) << "kept";
}

TEST_F(CacheTest, SelectingAnObjectMovesItsTopLevelGroupBetweenTheSelectionGroups) {
    CDisplayGroupObject holder;
    CShapeObject box = UnitBox();
    holder.AddObject(box);
    Others().AddObject(holder);
    CDisplayGroupObject hidden;
    hidden.SetState(0x01); // drawn but not pickable
    hidden.AddObject(UnitBox());
    Others().AddObject(hidden);

    CTweenAllInfoDataCache cache(4);
    cache.object = box.GetObject();
    cache.SelectObject(fDocument->SelectedGroup(), fDocument->OtherGroup());
    EXPECT_EQ(Selected().CountObjects(), 1u);
    EXPECT_EQ(CSharedObject(Selected(), Selected().GetFirstObject()), holder);
    cache.SelectObject(fDocument->SelectedGroup(), fDocument->OtherGroup());
    EXPECT_EQ(Selected().CountObjects(), 0u);
    EXPECT_EQ(Others().CountObjects(), 2u);

    cache.object = CSharedObject(hidden, hidden.GetFirstObject()).GetObject();
    cache.SelectObject(fDocument->SelectedGroup(), fDocument->OtherGroup());
    EXPECT_EQ(Selected().CountObjects(), 0u) << "a group that cannot be picked stays";

    CShapeObject outside = UnitBox();
    cache.object = outside.GetObject();
    cache.SelectObject(fDocument->SelectedGroup(), fDocument->OtherGroup());
    EXPECT_EQ(Others().CountObjects(), 2u);
    cache.SelectObject(nullptr, nullptr); // no groups at all: nothing escapes
}

TEST_F(CacheTest, AStoredSelectionFlagOfAnyByteIsReadAsSelectedOrNot) {
    CTweenHandleRecord list(At(0), kObjectRecordSize);
    ASSERT_TRUE(list.Append(At(600)));
    ASSERT_TRUE(list.Append(At(1200)));
    reinterpret_cast<uint8_t*>(list[0])[4] = 110; // a damaged file's byte
    reinterpret_cast<uint8_t*>(list[2])[4] = 1;
    CTweenAllInfoDataCache cache(4);
    cache.AddAllTweenPoints(list);
    ASSERT_EQ(cache.Count(), 3u);
    EXPECT_EQ(cache.records[0].bytes[4], 1) << "kept as a proper bool";
    EXPECT_EQ(cache.records[1].bytes[4], 0);
    EXPECT_TRUE(cache.Record(2).selected);
    DisposeHandle(list.data);
}
