#include <gtest/gtest.h>

#include <cstring>

#include "refhost/memory/memory_control.h"
#include "tests/refhost/scene/scene_fixture.h"
#include "tween/recache.h"
#include "tween/tween_handle_record.h"

namespace {

ObjectTweenRecord ObjectAt(int32_t time) {
    ObjectTweenRecord record;
    record.time = time;
    record.surfaceValue0 = static_cast<float>(time) / 10.0f;
    return record;
}

CameraTweenRecord CameraAt(int32_t time) {
    CameraTweenRecord record;
    record.time = time;
    record.cameraKind = "vana"_4cc;
    return record;
}

int32_t TimeOf(CTweenHandleRecord const& list, uint32_t index) {
    return static_cast<BaseTweenRecord const*>(list[index])->time;
}

class TweenListTest : public SceneTest {
protected:
    void TearDown() override {
        for (Handle h : fBlocks) {
            DisposeHandle(h);
        }
        SceneTest::TearDown();
    }
    CTweenHandleRecord& Keep(CTweenHandleRecord& list) {
        fBlocks.push_back(list.data);
        return list;
    }

private:
    std::vector<Handle> fBlocks;
};

} // namespace

TEST_F(TweenListTest, ANewListHoldsItsHeaderAndOneRecord) {
    gMaxSortIndex = 6;
    CTweenHandleRecord list(ObjectAt(120), kObjectRecordSize);
    Keep(list);
    ASSERT_NE(list.data, nullptr);
    EXPECT_EQ(list.size, 152);
    EXPECT_EQ(GetHandleSize(list.data), 152);
    EXPECT_EQ(list.RecordSize(), 144u);
    EXPECT_EQ(list.GetSortingIndex(), 7u);
    EXPECT_EQ(gMaxSortIndex, 7u);
    EXPECT_EQ(list.GetCount(), 1u);
    ObjectTweenRecord const expected = ObjectAt(120);
    EXPECT_EQ(std::memcmp(list[0], &expected, sizeof expected), 0);

    list.SetSortingIndex(2);
    EXPECT_EQ(list.GetSortingIndex(), 2u);
}

TEST_F(TweenListTest, AppendInsertAndRemoveKeepTheRecordsInPlace) {
    CTweenHandleRecord list(CameraAt(100), kCameraRecordSize);
    Keep(list);
    ASSERT_TRUE(list.Append(CameraAt(300)));
    ASSERT_TRUE(list.Insert(CameraAt(200), 1));
    EXPECT_EQ(list.size, 8 + 3 * 168);
    EXPECT_EQ(list.GetCount(), 3u);

    ASSERT_TRUE(list.Insert(CameraAt(400), list.GetCount())) << "at the count: an append";
    ASSERT_TRUE(list.Insert(CameraAt(0), 0)) << "at 0: everything moves up";
    for (uint32_t i = 0; i < list.GetCount(); ++i) {
        EXPECT_EQ(TimeOf(list, i), static_cast<int32_t>(i) * 100);
        EXPECT_EQ(static_cast<CameraTweenRecord const*>(list[i])->cameraKind, "vana"_4cc);
    }

    list.Remove(list.GetCount()); // out of range: nothing happens
    EXPECT_EQ(list.GetCount(), 5u);
    list.Remove(2);
    list.Remove(0);
    list.Remove(2);
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_EQ(TimeOf(list, 0), 100);
    EXPECT_EQ(TimeOf(list, 1), 300);
    list.Remove(0);
    list.Remove(0);
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.size, 8);
    EXPECT_EQ(GetHandleSize(list.data), 8) << "an empty list keeps its header";
    EXPECT_EQ(list.RecordSize(), 168u);
}

TEST_F(TweenListTest, ABlockThatCannotGrowLeavesTheListAsItWas) {
    refhost::memory::FailureScope failures;
    refhost::memory::FailNthRequestFromNow(1);
    CTweenHandleRecord none(ObjectAt(0), kObjectRecordSize);
    EXPECT_EQ(none.data, nullptr);

    CTweenHandleRecord list(ObjectAt(10), kObjectRecordSize);
    Keep(list);
    ASSERT_TRUE(list.Append(ObjectAt(20)));
    std::vector<char> before(*list.data, *list.data + list.size);

    refhost::memory::FailNthRequestFromNow(1);
    EXPECT_FALSE(list.Append(ObjectAt(30)));
    refhost::memory::FailNthRequestFromNow(1);
    EXPECT_FALSE(list.Insert(ObjectAt(5), 0));
    EXPECT_EQ(list.size, 8 + 2 * 144);
    EXPECT_EQ(std::memcmp(*list.data, before.data(), before.size()), 0);

    refhost::memory::FailNthRequestFromNow(1);
    list.Remove(0); // the shrink fails quietly; the records are right all the same
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(TimeOf(list, 0), 20);
}

TEST_F(TweenListTest, TheListIsTheTweenAttributesDataAndTheSetKeepsItsBlock) {
    CSetObject set(nullptr, true);
    EXPECT_THROW(CTweenHandleRecord{set}, CSceneException);

    CTweenHandleRecord made(ObjectAt(50), kObjectRecordSize);
    uint32_t const type = GetCustomAttributeType(eTweenAttribute);
    set.AddType(type, &made); // the set owns the block from here on
    ASSERT_TRUE(set.Contains(type));

    CTweenHandleRecord read(set);
    EXPECT_EQ(read.data, made.data);
    ASSERT_TRUE(read.Append(ObjectAt(60)));
    set.AddType(type, &read);

    CTweenHandleRecord again(set);
    EXPECT_EQ(again.size, 8 + 2 * 144);
    EXPECT_EQ(TimeOf(again, 1), 60);
}
