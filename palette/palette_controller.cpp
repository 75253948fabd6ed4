#include "palette/palette_controller.h"

#include <cmath>

#include "authoring/add_tween_points.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/keyboard.h"
#include "host/number_text.h"
#include "palette/palette_lookup.h"
#include "palette/palette_sync.h"
#include "palette/palette_views.h"
#include "palette/slider_mapping.h"
#include "palette/time_setters.h"
#include "palette/timeline_edits.h"
#include "playback/host_time.h"
#include "plugin/plugin_state.h"
#include "tween/cache.h"
#include "tween/recache.h"
#include "tween/timeline_geometry.h"

namespace {

double UnitsPerSecond() {
    return static_cast<double>(TimeUnitsPerSecond());
}

bool OptionHeld() {
    return KeyIsDown(kOptionKeyCode, 4);
}

bool ShiftHeld() {
    return KeyIsDown(kShiftKeyCode, 4);
}

NSControl* Sender(NSObject* sender) {
    return dynamic_cast<NSControl*>(sender);
}

void RecacheNow() {
    RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems, gAnimateTextureItems);
}

} // namespace

bool KeyposeSequencerPaletteController::windowShouldClose(NSObject*) {
    NSEvent* event = NSApp()->currentEvent();
    return keyposeSequencerPalette && event &&
           event->windowNumber() == keyposeSequencerPalette->windowNumber();
}

double KeyposeSequencerPaletteController::Step() const {
    auto* field = PaletteControl<NSControl>(kStepFieldTag);
    return field ? StrToExt(CStr255(field->stringValue())) : 0.0;
}

void KeyposeSequencerPaletteController::ToStart(NSObject*) {
    SetCurTime(PL_GetMinTime(), true);
    if (auto* slider = PaletteControl<NSSlider>(kTimeSliderTag)) {
        slider->setDoubleValue(slider->minValue());
    }
    PL_DrawDocumentViews(1);
}

void KeyposeSequencerPaletteController::ToEnd(NSObject*) {
    SetCurTime(PL_GetMaxTime(), true);
    if (auto* slider = PaletteControl<NSSlider>(kTimeSliderTag)) {
        slider->setDoubleValue(slider->maxValue());
    }
    PL_DrawDocumentViews(1);
}

void KeyposeSequencerPaletteController::Play(bool forwards) {
    if (PL_GetAnimationMode() != 1) {
        PL_SetAnimationMode(OptionHeld() ? 2 : 1);
    }
    PL_SetForwards(forwards ? 1 : 0);
    if (PL_GetPaused() == 0) {
        // Playing on from the far end starts again from the near one.
        if (forwards && PL_GetCurTime() == PL_GetMaxTime()) {
            SetCurTime(PL_GetMinTime(), true);
        } else if (!forwards && PL_GetCurTime() == PL_GetMinTime()) {
            SetCurTime(PL_GetMaxTime(), true);
        }
    }
    PL_SetPaused(0);
}

void KeyposeSequencerPaletteController::PlayBackward(NSObject*) {
    Play(false);
}

void KeyposeSequencerPaletteController::PlayForward(NSObject*) {
    Play(true);
}

void KeyposeSequencerPaletteController::Stop(NSObject*) {
    PL_SetPaused(1);
    PL_SetAnimationMode(0);
}

void KeyposeSequencerPaletteController::IncrementTime() {
    double const s = Step();
    if (!OptionHeld() && s != 0.0) {
        auto const u = static_cast<float>(UnitsPerSecond());
        auto t =
            static_cast<int32_t>(static_cast<float>(PL_GetCurTime()) + u * static_cast<float>(s));
        if (!ShiftHeld()) {
            t = std::min(std::max(t, PL_GetMinTime()), PL_GetMaxTime());
        }
        SetCurTime(t, true);
    }
    SetTimeSliderFromClock();
    PL_DrawDocumentViews(1);
}

void KeyposeSequencerPaletteController::Record(void (*add)(int32_t), bool isObject,
                                               NSObject* sender) {
    if (isObject) {
        PL_DoUndo(1, 1, 0, 0);
    } else {
        PL_DoUndo(0, 0, 0, 0);
    }
    add(PL_GetCurTime());
    IncrementTime();
    gRecache = true;
    if (!isObject) {
        RecacheNow();
    }
    auto* view = dynamic_cast<NSView*>(sender);
    NSWindow* window = view ? view->window() : keyposeSequencerPalette;
    if (window && window->contentView()) {
        if (NSView* names = window->contentView()->viewWithTag(kNameColumnTag)) {
            names->setNeedsDisplay(true);
        }
    }
}

void KeyposeSequencerPaletteController::AddObject(NSObject* sender) {
    Record(AddObjectTweenPoint, true, sender);
}

void KeyposeSequencerPaletteController::AddCamera(NSObject* sender) {
    Record(AddCameraTweenPoint, false, sender);
}

void KeyposeSequencerPaletteController::AddAmbient(NSObject* sender) {
    Record(AddAmbientTweenPoint, false, sender);
}

void KeyposeSequencerPaletteController::AddSun(NSObject* sender) {
    Record(AddSunTweenPoint, false, sender);
}

void KeyposeSequencerPaletteController::JumpToNeighbour(bool forwards) {
    int32_t const current = PL_GetCurTime();
    int32_t const minimum = PL_GetMinTime();
    int32_t const maximum = PL_GetMaxTime();
    double const stepUnits = Step() * UnitsPerSecond();
    auto limited = [&](double t) {
        auto const whole = static_cast<int64_t>(t);
        return static_cast<int32_t>(forwards ? std::min<int64_t>(whole, maximum)
                                             : std::max<int64_t>(whole, minimum));
    };
    auto byStep = [&] { return limited(forwards ? current + stepUnits : current - stepUnits); };
    if (gTimeLineCache.IsEmpty()) {
        SetCurTime(byStep(), true);
    } else {
        int32_t best = maximum - minimum;
        bool found = false;
        for (uint32_t i = 0; i < gTimeLineCache.Count(); ++i) {
            CCache const& cache = *gTimeLineCache[i];
            int32_t const n =
                forwards ? cache.GetNextTweenTime(current) : cache.GetPreviousTweenTime(current);
            if (forwards ? n == kNoNextTweenTime : n < 0) {
                continue;
            }
            int32_t const d = forwards ? n - current : current - n;
            if (d > 0) {
                found = true;
                best = std::min(best, d);
            }
        }
        if (found) {
            SetCurTime(limited(forwards ? static_cast<double>(current) + best
                                        : static_cast<double>(current) - best),
                       true);
        } else if (OptionHeld()) {
            SetCurTime(byStep(), true);
        }
    }
    SetTimeSliderFromClock();
    PL_DrawDocumentViews(1);
}

void KeyposeSequencerPaletteController::BackToTween(NSObject*) {
    JumpToNeighbour(false);
}

void KeyposeSequencerPaletteController::ForwardToTween(NSObject*) {
    JumpToNeighbour(true);
}

namespace {

void AfterZoom() {
    if (auto* slider = PaletteControl<TweenSlider>(kTimeSliderTag)) {
        slider->recalculateFrame();
        slider->setNeedsDisplay(true);
    }
    MarkPaletteViewsForRedisplay({kTimeLineTag});
}

} // namespace

void KeyposeSequencerPaletteController::SnapChanged(NSObject* sender) {
    if (auto* toggle = dynamic_cast<NSButton*>(sender)) {
        gSnapToStep = toggle->state() == NSControlStateValueOn;
    }
}

void KeyposeSequencerPaletteController::ZoomIn(NSObject*) {
    gScaleFactor = std::min(gScaleFactor * 2.0f, kMostZoom);
    AfterZoom();
}

void KeyposeSequencerPaletteController::ZoomOut(NSObject*) {
    gScaleFactor = std::max(gScaleFactor * 0.5f, kLeastZoom);
    AfterZoom();
}

void KeyposeSequencerPaletteController::CurrentTimeSlider(NSObject* sender) {
    auto* slider = dynamic_cast<NSSlider*>(sender);
    if (!slider) {
        return;
    }
    SetCurTime(TimeForSliderValue(slider->doubleValue(), slider->minValue(), slider->maxValue(),
                                  PL_GetMinTime(), PL_GetMaxTime()),
               true);
    PL_DrawDocumentViews(1);
}

namespace {

// The time a drawer field shows, in host units.
int32_t FieldTime(NSObject* sender) {
    NSControl* field = Sender(sender);
    float const seconds = field ? field->floatValue() : 0.0f;
    return static_cast<int32_t>(static_cast<float>(UnitsPerSecond()) * seconds);
}

} // namespace

void KeyposeSequencerPaletteController::MinTimeChanged(NSObject* sender) {
    SetMinTime(FieldTime(sender), false);
    MarkPaletteViewsForRedisplay({kTimeLineTag});
    // The slider spans the new range at once.
    ShowClockChanges();
}

void KeyposeSequencerPaletteController::MaxTimeChanged(NSObject* sender) {
    SetMaxTime(FieldTime(sender), false);
    MarkPaletteViewsForRedisplay({kTimeLineTag});
    // The slider spans the new range at once.
    ShowClockChanges();
}

void KeyposeSequencerPaletteController::CurTimeChanged(NSObject* sender) {
    SetCurTime(FieldTime(sender), false);
    MarkPaletteViewsForRedisplay({kTimeLineTag});
    if (auto* slider = PaletteControl<TweenSlider>(kTimeSliderTag)) {
        slider->recalculateFrame();
        SetTimeSliderFromClock();
        slider->setNeedsDisplay(true);
    }
    PL_DrawDocumentViews(1);
}

namespace {

double FieldValue(int tag) {
    auto* field = DrawerControl<NSControl>(tag);
    return field ? field->doubleValue() : 0.0;
}

void SetSpeedSlider(double speed, double maximum) {
    if (auto* slider = DrawerControl<NSSlider>(kSpeedSliderTag)) {
        slider->setDoubleValue(100.0 * std::log(speed) / std::log(maximum));
        slider->setNeedsDisplay(true);
    }
}

// Whole speeds above 1, and whole reciprocals below, with the 0.49999999999 rounding.
float SnappedSpeed(float v) {
    if (v > 1.0f) {
        return std::floor(v) == v ? v : static_cast<float>(std::trunc(v + 0.49999999999));
    }
    double const inverse = 1.0 / v;
    if (std::floor(inverse) == inverse) {
        return v;
    }
    return static_cast<float>(1.0 / std::trunc(inverse + 0.49999999999));
}

} // namespace

void KeyposeSequencerPaletteController::SpeedSliderChanged(NSObject* sender) {
    NSControl* slider = Sender(sender);
    if (!slider) {
        return;
    }
    double const maximum = FieldValue(kSpeedMaxFieldTag);
    auto v = static_cast<float>(std::exp((slider->doubleValue() / 100.0) * std::log(maximum)));
    NSEvent* event = NSApp()->currentEvent();
    if (event && (event->modifierFlags() & NSEventModifierFlagShift)) {
        v = SnappedSpeed(v);
        SetSpeedSlider(v, maximum);
    }
    if (v > 0.98f && v < 1.02f) {
        v = 1.0f;
    }
    PL_SetTimeMultiplier(v);
    SetDrawerField(kSpeedFieldTag, v);
}

void KeyposeSequencerPaletteController::SpeedChanged(NSObject* sender) {
    NSControl* field = Sender(sender);
    if (!field) {
        return;
    }
    double const v = field->doubleValue();
    double const maximum = FieldValue(kSpeedMaxFieldTag);
    PL_SetTimeMultiplier(static_cast<float>(v));
    SetSpeedSlider(v, maximum);
    double widened = maximum;
    if (v > maximum) {
        widened = v;
    }
    if (FieldValue(kSpeedMinFieldTag) > v) {
        widened = 1.0 / v;
    }
    if (widened != maximum) {
        SetDrawerField(kSpeedMaxFieldTag, widened);
        SetDrawerField(kSpeedMinFieldTag, 1.0 / widened);
    }
}

void KeyposeSequencerPaletteController::SpeedMinChanged(NSObject* sender) {
    NSControl* field = Sender(sender);
    if (!field) {
        return;
    }
    double const m = field->doubleValue();
    SetDrawerField(kSpeedMaxFieldTag, 1.0 / m);
    if (m > FieldValue(kSpeedFieldTag)) {
        PL_SetTimeMultiplier(static_cast<float>(m));
        SetDrawerField(kSpeedFieldTag, m);
    }
}

void KeyposeSequencerPaletteController::SpeedMaxChanged(NSObject* sender) {
    NSControl* field = Sender(sender);
    if (!field) {
        return;
    }
    double const maximum = field->doubleValue();
    SetDrawerField(kSpeedMinFieldTag, 1.0 / maximum);
    if (FieldValue(kSpeedFieldTag) > maximum) {
        PL_SetTimeMultiplier(static_cast<float>(maximum));
        SetDrawerField(kSpeedFieldTag, maximum);
    }
}

void KeyposeSequencerPaletteController::AnimationModeChanged(NSObject* sender) {
    if (auto* control = dynamic_cast<NSSegmentedControl*>(sender)) {
        PL_SetPlayDirection(static_cast<int32_t>(control->selectedSegment()));
    }
}

void KeyposeSequencerPaletteController::SliderDragged(NSObject*) {}

void KeyposeSequencerPaletteController::ChangeTweenAddMovement(NSObject*) {}

void KeyposeSequencerPaletteController::OpenCloseDrawer(NSObject*) {}
