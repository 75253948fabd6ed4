#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "playback/interval_search.h"

namespace {

// The scans from the first record that the searches must agree with.
TweenInterval ScanForTweenInterval(std::vector<int32_t> const& times, int32_t now) {
    uint32_t prev = 0;
    if (now <= times[0]) {
        return {0, 0, false};
    }
    for (uint32_t i = 1; i < times.size(); ++i) {
        if (now == times[i]) {
            return {i, i, false};
        }
        if (now > times[i]) {
            prev = i;
            continue;
        }
        return {prev, i, true};
    }
    return {prev, prev, false};
}

CameraInterval ScanForCameraInterval(std::vector<int32_t> const& times, int32_t* t) {
    *t = std::max(*t, times[0]);
    uint32_t prev = 0, next = 0;
    for (uint32_t i = 1; i < times.size(); ++i) {
        next = i;
        if (*t <= times[i]) {
            return {prev, next};
        }
        prev = next;
    }
    *t = times[next];
    return {prev, next};
}

TweenInterval Search(std::vector<int32_t> const& times, int32_t now, uint32_t cursor = 0) {
    return FindTweenInterval(
        static_cast<uint32_t>(times.size()), now, [&times](uint32_t i) { return times[i]; },
        cursor);
}

CameraInterval SearchCamera(std::vector<int32_t> const& times, int32_t* t, uint32_t cursor = 0) {
    return FindCameraInterval(
        static_cast<uint32_t>(times.size()), t, [&times](uint32_t i) { return times[i]; }, cursor);
}

void ExpectSame(TweenInterval a, TweenInterval b) {
    EXPECT_EQ(a.applied, b.applied);
    EXPECT_EQ(a.blend, b.blend);
    if (a.blend) {
        EXPECT_EQ(a.target, b.target);
    }
}

} // namespace

TEST(IntervalSearch, WorkedPairsWithEqualNeighbours) {
    std::vector<int32_t> const times{10, 20, 20, 20, 30};
    ExpectSame(Search(times, 5), {0, 0, false});
    ExpectSame(Search(times, 10), {0, 0, false});
    ExpectSame(Search(times, 15), {0, 1, true});
    ExpectSame(Search(times, 20), {1, 1, false});
    ExpectSame(Search(times, 25), {3, 4, true});
    ExpectSame(Search(times, 30), {4, 4, false});
    ExpectSame(Search(times, 99), {4, 4, false});
    // Equal first times: at that time the first record holds, just after it the second blends.
    ExpectSame(Search({10, 10, 40}, 10), {0, 0, false});
    ExpectSame(Search({10, 10, 40}, 25), {1, 2, true});

    int32_t t = 20;
    CameraInterval at = SearchCamera(times, &t);
    EXPECT_EQ(at.previous, 0u);
    EXPECT_EQ(at.next, 1u);
    t = 5;
    at = SearchCamera(times, &t);
    EXPECT_EQ(t, 10);
    EXPECT_EQ(at.previous, 0u);
    EXPECT_EQ(at.next, 1u);
    t = 31;
    at = SearchCamera(times, &t);
    EXPECT_EQ(t, 30);
    EXPECT_EQ(at.previous, 4u);
    EXPECT_EQ(at.next, 4u);
    t = 7;
    at = SearchCamera({10}, &t);
    EXPECT_EQ(t, 10);
    EXPECT_EQ(at.next, 0u);
}

TEST(IntervalSearch, AgreesWithTheScanOnRandomListsWithRepeatedTimes) {
    std::mt19937 engine(14);
    for (int list = 0; list < 2000; ++list) {
        auto const count = std::uniform_int_distribution<uint32_t>(1, 40)(engine);
        // Few distinct times, so that runs of equal times are common.
        std::uniform_int_distribution<int32_t> time(-5, 25);
        std::vector<int32_t> times(count);
        for (int32_t& t : times) {
            t = time(engine);
        }
        std::sort(times.begin(), times.end());
        // A cursor left by the previous time (as while playing) and one anywhere, also out
        // of range, must both give the scan's pair.
        std::uniform_int_distribution<uint32_t> anywhere(0, count + 2);
        uint32_t playing = 0, playingCamera = 0;
        for (int32_t now = -8; now <= 28; ++now) {
            SCOPED_TRACE(testing::Message() << "list " << list << " at " << now);
            TweenInterval const scanned = ScanForTweenInterval(times, now);
            ExpectSame(Search(times, now, anywhere(engine)), scanned);
            ExpectSame(FindTweenInterval(
                           count, now, [&times](uint32_t i) { return times[i]; }, playing),
                       scanned);
            int32_t scannedTime = now;
            CameraInterval const b = ScanForCameraInterval(times, &scannedTime);
            int32_t searched = now, played = now;
            CameraInterval const a = SearchCamera(times, &searched, anywhere(engine));
            CameraInterval const c = FindCameraInterval(
                count, &played, [&times](uint32_t i) { return times[i]; }, playingCamera);
            for (CameraInterval const& found : {a, c}) {
                EXPECT_EQ(found.previous, b.previous);
                EXPECT_EQ(found.next, b.next);
            }
            EXPECT_EQ(searched, scannedTime);
            EXPECT_EQ(played, scannedTime);
        }
        if (HasFailure()) {
            return;
        }
    }
}
