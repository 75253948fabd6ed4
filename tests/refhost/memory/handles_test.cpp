#include <gtest/gtest.h>

#include <cstring>

#include "host/memory.h"
#include "refhost/memory/memory_control.h"

using refhost::memory::CurrentUsage;
using refhost::memory::FailureScope;

namespace {

void Fill(Handle h, char first) {
    for (Size i = 0; i < GetHandleSize(h); ++i) {
        (*h)[i] = static_cast<char>(first + i);
    }
}

bool HoldsSequence(Handle h, char first, Size count) {
    for (Size i = 0; i < count; ++i) {
        if ((*h)[i] != static_cast<char>(first + i)) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(Handles, ResizeKeepsContentAndTheHandleFollowsTheBytes) {
    Handle h = NewHandle(16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(MemError(), noErr);
    EXPECT_EQ(GetHandleSize(h), 16);
    Fill(h, 'a');
    Ptr before = *h;

    HUnlock(h);
    SetHandleSize(h, 4096);
    EXPECT_EQ(MemError(), noErr);
    EXPECT_EQ(GetHandleSize(h), 4096);
    EXPECT_NE(*h, before) << "a resize moves the bytes, the master pointer follows";
    EXPECT_TRUE(HoldsSequence(h, 'a', 16));

    SetHandleSize(h, 5);
    EXPECT_EQ(GetHandleSize(h), 5);
    EXPECT_TRUE(HoldsSequence(h, 'a', 5));

    SetHandleSize(h, 0);
    EXPECT_EQ(GetHandleSize(h), 0);
    EXPECT_EQ(MemError(), noErr);
    DisposeHandle(h);
    EXPECT_EQ(MemError(), noErr);
}

TEST(Handles, ClearedBlocksAreZero) {
    Handle h = NewHandleClear(300);
    ASSERT_NE(h, nullptr);
    for (Size i = 0; i < 300; ++i) {
        ASSERT_EQ((*h)[i], 0) << "byte " << i;
    }
    DisposeHandle(h);
}

TEST(Handles, LiveBlocksAndBytesAreCounted) {
    auto start = CurrentUsage();
    Handle a = NewHandle(10);
    Handle b = NewHandleClear(20);
    EXPECT_EQ(CurrentUsage().liveBlocks, start.liveBlocks + 2);
    EXPECT_EQ(CurrentUsage().liveBytes, start.liveBytes + 30);
    EXPECT_TRUE(refhost::memory::IsLiveHandle(a));

    SetHandleSize(a, 110);
    EXPECT_EQ(CurrentUsage().liveBytes, start.liveBytes + 130);

    DisposeHandle(a);
    EXPECT_FALSE(refhost::memory::IsLiveHandle(a));
    EXPECT_EQ(CurrentUsage().liveBlocks, start.liveBlocks + 1);
    EXPECT_EQ(CurrentUsage().liveBytes, start.liveBytes + 20);
    DisposeHandle(b);
    EXPECT_EQ(CurrentUsage(), start);
}

TEST(Handles, NullAndDeadHandlesAreRefusedWithoutHarm) {
    auto start = CurrentUsage();
    EXPECT_EQ(GetHandleSize(nullptr), 0);
    EXPECT_EQ(MemError(), nilHandleErr);
    SetHandleSize(nullptr, 10);
    EXPECT_EQ(MemError(), nilHandleErr);
    DisposeHandle(nullptr);
    EXPECT_EQ(MemError(), noErr);

    Handle h = NewHandle(8);
    DisposeHandle(h);
    DisposeHandle(h); // a second disposal is ignored
    EXPECT_EQ(MemError(), nilHandleErr);
    EXPECT_EQ(CurrentUsage(), start);
}

TEST(Handles, TheNthRequestFromNowFailsOnce) {
    FailureScope scope;
    Handle h = NewHandle(8);
    Fill(h, 'k');
    refhost::memory::FailNthRequestFromNow(2);

    Handle first = NewHandleClear(4); // request 1 succeeds
    ASSERT_NE(first, nullptr);
    SetHandleSize(h, 64); // request 2 fails
    EXPECT_EQ(MemError(), memFullErr);
    EXPECT_EQ(GetHandleSize(h), 8);
    EXPECT_TRUE(HoldsSequence(h, 'k', 8)) << "a failed resize leaves the block as it was";

    Handle third = NewHandle(4); // and later requests succeed again
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(MemError(), noErr);

    refhost::memory::FailNthRequestFromNow(1);
    auto before = CurrentUsage();
    EXPECT_EQ(NewHandle(4), nullptr);
    EXPECT_EQ(MemError(), memFullErr);
    EXPECT_EQ(CurrentUsage(), before);

    for (Handle each : {h, first, third}) {
        DisposeHandle(each);
    }
}

TEST(Handles, RequestsAboveTheByteLimitFail) {
    FailureScope scope;
    refhost::memory::FailRequestsAbove(100);
    EXPECT_EQ(NewHandle(101), nullptr);
    EXPECT_EQ(MemError(), memFullErr);
    EXPECT_EQ(NewHandleClear(1000), nullptr);

    Handle h = NewHandle(100);
    ASSERT_NE(h, nullptr);
    SetHandleSize(h, 150);
    EXPECT_EQ(MemError(), memFullErr);
    EXPECT_EQ(GetHandleSize(h), 100);
    SetHandleSize(h, 60);
    EXPECT_EQ(MemError(), noErr);

    refhost::memory::ClearFailures();
    SetHandleSize(h, 150);
    EXPECT_EQ(MemError(), noErr);
    DisposeHandle(h);
}

TEST(Handles, NegativeSizesFail) {
    EXPECT_EQ(NewHandle(-1), nullptr);
    EXPECT_EQ(MemError(), memFullErr);
    Handle h = NewHandle(3);
    SetHandleSize(h, -5);
    EXPECT_EQ(MemError(), memFullErr);
    EXPECT_EQ(GetHandleSize(h), 3);
    DisposeHandle(h);
}
