#include "palette/time_setters.h"

#include "host/framework.h"
#include "palette/palette_sync.h"
#include "playback/host_time.h"

namespace {

// The host's side of one of the three times.
struct TimeSlot {
    int32_t (*get)();
    void (*set)(int32_t);
    int fieldTag;
};

constexpr TimeSlot kMinimum{PL_GetMinTime, PL_SetMinTime, kMinTimeFieldTag};
constexpr TimeSlot kCurrent{PL_GetCurTime, PL_SetCurTime, kCurTimeFieldTag};
constexpr TimeSlot kMaximum{PL_GetMaxTime, PL_SetMaxTime, kMaxTimeFieldTag};

// Stores the time; false when the host has it already, so that nothing is touched.
bool Store(TimeSlot const& slot, int32_t time) {
    if (slot.get() == time) {
        return false;
    }
    slot.set(time);
    return true;
}

void ShowStored(TimeSlot const& slot, int32_t time, bool updateField) {
    if (updateField) {
        SetDrawerField(slot.fieldTag, static_cast<float>(time) / TimeUnitsPerSecond());
    }
    MarkPaletteViewsForRedisplay({kTimeSliderTag, kTimeLineTag});
}

} // namespace

void SetMinTime(int32_t time, bool updateField) {
    if (!Store(kMinimum, time)) {
        return;
    }
    if (time > PL_GetMaxTime()) {
        SetMaxTime(time, true);
    }
    if (time > PL_GetCurTime()) {
        SetCurTime(time, true);
    }
    ShowStored(kMinimum, time, updateField);
}

void SetCurTime(int32_t time, bool updateField) {
    if (!Store(kCurrent, time)) {
        return;
    }
    if (time < PL_GetMinTime()) {
        SetMinTime(time, true);
    }
    if (time > PL_GetMaxTime()) {
        SetMaxTime(time, true);
    }
    ShowStored(kCurrent, time, updateField);
}

void SetMaxTime(int32_t time, bool updateField) {
    if (!Store(kMaximum, time)) {
        return;
    }
    if (time < PL_GetMinTime()) {
        SetMinTime(time, true);
    }
    if (time < PL_GetCurTime()) {
        SetCurTime(time, true);
    }
    ShowStored(kMaximum, time, updateField);
}
