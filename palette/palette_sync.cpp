#include "palette/palette_sync.h"

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "palette/palette_lookup.h"
#include "palette/palette_views.h"
#include "palette/set_up_dialog.h"
#include "palette/slider_mapping.h"
#include "palette/tween_button.h"
#include "playback/host_time.h"

NSView* PaletteViewWithTag(long tag) {
    if (!gPalette || !gPalette->contentView()) {
        return nullptr;
    }
    return gPalette->contentView()->viewWithTag(tag);
}

NSView* DrawerViewWithTag(long tag) {
    if (!gPalette || gPalette->drawers().empty()) {
        return nullptr;
    }
    NSView* content = gPalette->drawers().back()->contentView();
    return content ? content->viewWithTag(tag) : nullptr;
}

bool PaletteIsVisible() {
    return gPalette && PL_WindowIsVisible(gPalette) != 0;
}

void MarkPaletteViewsForRedisplay(std::initializer_list<int> tags) {
    for (int tag : tags) {
        if (NSView* view = PaletteViewWithTag(tag)) {
            view->setNeedsDisplay(true);
        }
    }
}

void ShowTransportState(bool paused, bool forwards) {
    long const active = paused     ? kStopButtonTag
                        : forwards ? kPlayForwardButtonTag
                                   : kPlayBackwardButtonTag;
    for (long tag : {kPlayBackwardButtonTag, kStopButtonTag, kPlayForwardButtonTag}) {
        if (auto* button = PaletteControl<TweenButton>(tag)) {
            if (tag == active) {
                button->SwitchImage();
            } else {
                button->UnSwitchImage();
            }
        }
    }
}

void SetTimeSliderFromClock() {
    if (auto* slider = PaletteControl<NSSlider>(kTimeSliderTag)) {
        slider->setFloatValue(SliderValueForTime(slider->minValue(), slider->maxValue(),
                                                 PL_GetCurTime(), PL_GetMinTime(),
                                                 PL_GetMaxTime()));
    }
}

bool DrawerIsOpen() {
    return gPalette && !gPalette->drawers().empty() &&
           gPalette->drawers().back()->state() == NSDrawerOpenState;
}

bool ShowClockChanges() {
    // What the palette showed last (a new palette has shown nothing yet).
    struct Shown {
        void const* palette;
        int32_t minimum, current, maximum;
    };
    static Shown shown{nullptr, 0, 0, 0};
    bool const fresh = shown.palette != gPalette;
    int32_t const minimum = PL_GetMinTime(), current = PL_GetCurTime(), maximum = PL_GetMaxTime();
    bool const range = fresh || minimum != shown.minimum || maximum != shown.maximum;
    bool const now = fresh || current != shown.current;
    if (!range && !now) {
        return false;
    }
    shown = {gPalette, minimum, current, maximum};
    double const perSecond = static_cast<double>(TimeUnitsPerSecond());
    if (range) {
        SetDrawerField(kMinTimeFieldTag, minimum / perSecond);
        SetDrawerField(kMaxTimeFieldTag, maximum / perSecond);
        if (auto* slider = PaletteControl<TweenSlider>(kTimeSliderTag)) {
            slider->recalculateFrame();
        }
    }
    if (now) {
        SetDrawerField(kCurTimeFieldTag, current / perSecond);
    }
    SetTimeSliderFromClock();
    MarkPaletteViewsForRedisplay({kTimeSliderTag, kTimeLineTag, kNameColumnTag});
    return true;
}

void SetDrawerField(int tag, double value) {
    if (auto* field = DrawerControl<NSControl>(tag)) {
        field->setFloatValue(static_cast<float>(value));
        field->setNeedsDisplay(true);
    }
}
