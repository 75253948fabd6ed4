// Finding the tween points around a time in a row's records, which are in ascending time
// order with equal neighbouring times allowed. Each search gives exactly the pair that a scan
// from the first record gives: the first record at or after the time (counted from the
// second record) decides.
//
// A row keeps a cursor: the index that record was at the last time. While playing, the time
// mostly stays between the same two records, and two reads of times confirm it; otherwise the
// search halves the records, so a tick costs at most the logarithm of the number of points.
// Any cursor value is safe: one that is out of range or no longer right only costs the search.
//
// timeAt(i) answers the time of record i, for i below count; count must not be 0. The
// records must be in time order (every operation that changes times restores it); out of
// order, a search may find another pair than the scan would.
#pragma once

#include <cstdint>

// What an object or light applies at a time: record `applied` as it stands, or, with
// blend, record `applied` blended toward record `target`.
struct TweenInterval {
    uint32_t applied = 0;
    uint32_t target = 0;
    bool blend = false;
};

// The first index in [1, count) whose time is at least t, or count when there is none; it
// becomes the cursor.
template <typename TimeAt>
uint32_t FirstPointFrom(uint32_t count, int32_t t, TimeAt const& timeAt, uint32_t& cursor) {
    uint32_t const c = cursor;
    bool const laterFromHere = c >= 1 && c <= count && (c == 1 || timeAt(c - 1) < t);
    if (laterFromHere && (c == count || timeAt(c) >= t)) {
        return c;
    }
    uint32_t low = 1, high = count;
    while (low < high) {
        uint32_t const middle = low + (high - low) / 2;
        if (timeAt(middle) < t) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    cursor = low;
    return low;
}

// Objects and lights: the first point at or before it, the last after it, a point at its own
// time (the first of equal ones after the first record), and between two points a blend of
// the earlier toward the later.
template <typename TimeAt>
TweenInterval FindTweenInterval(uint32_t count, int32_t now, TimeAt const& timeAt,
                                uint32_t& cursor);

// The same, once the first point at or after now (FirstPointFrom's answer, with now after
// the first record's time) is known.
template <typename TimeAt>
TweenInterval TweenIntervalFrom(uint32_t count, int32_t now, uint32_t next, TimeAt const& timeAt) {
    if (next == count) {
        return {count - 1, count - 1, false};
    }
    if (timeAt(next) == now) {
        return {next, next, false};
    }
    return {next - 1, next, true};
}

template <typename TimeAt>
TweenInterval FindTweenInterval(uint32_t count, int32_t now, TimeAt const& timeAt,
                                uint32_t& cursor) {
    if (now <= timeAt(0)) {
        return {0, 0, false};
    }
    return TweenIntervalFrom(count, now, FirstPointFrom(count, now, timeAt, cursor), timeAt);
}

// Whether next is FirstPointFrom's answer for now by the times timeAt gives (with now after
// the first record's time): the first point at or after now, counted from the second.
template <typename TimeAt>
bool IsFirstPointFrom(uint32_t count, int32_t now, uint32_t next, TimeAt const& timeAt) {
    return next >= 1 && next <= count && (next == count || timeAt(next) >= now) &&
           (next == 1 || timeAt(next - 1) < now);
}

// The camera: the pair that holds t (raised to the first point's time when before it); both
// are the last point when t lies after it, and *t is then that point's time.
struct CameraInterval {
    uint32_t previous = 0;
    uint32_t next = 0;
};

template <typename TimeAt>
CameraInterval FindCameraInterval(uint32_t count, int32_t* t, TimeAt const& timeAt,
                                  uint32_t& cursor) {
    if (*t < timeAt(0)) {
        *t = timeAt(0);
    }
    uint32_t const next = FirstPointFrom(count, *t, timeAt, cursor);
    if (next == count) {
        *t = timeAt(count - 1);
        return {count - 1, count - 1};
    }
    return {next - 1, next};
}
