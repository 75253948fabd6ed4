// The palette's controller: it owns the palette panel and answers its controls. Every action
// works on the host's animation clock through the plug-in framework; the controller keeps no
// state of its own beyond the panel.
#pragma once

#include <memory>

#include "host/cocoa/ns_drawer.h"
#include "host/cocoa/ns_notification_center.h"
#include "host/cocoa/ns_window.h"
#include "host/cocoa/ns_window_controller.h"

class KeyposeSequencerPaletteController : public NSWindowController {
public:
    KeyposeSequencerPaletteController() = default;
    // Stops hearing the drawer's notifications.
    ~KeyposeSequencerPaletteController() override;

    // Builds the "KeyposeSequencerPalette" panel, connects its controls to this controller
    // and has the timeline's clip view post its scrolling to the name column and the slider.
    void loadNib();
    // The panel, once loadNib has run (null before, or after the host disposed of it).
    NSPanel* keyposeSequencerPalette = nullptr;
    // The panel's drawer; it outlives the panel if the host disposes of the panel first.
    std::unique_ptr<NSDrawer> paletteDrawer;

    // Only a close that the user asked for in the palette itself.
    bool windowShouldClose(NSObject* sender) override;

    void ToStart(NSObject* sender);
    void ToEnd(NSObject* sender);
    void PlayBackward(NSObject* sender);
    void Stop(NSObject* sender);
    void PlayForward(NSObject* sender);
    void BackToTween(NSObject* sender);
    void ForwardToTween(NSObject* sender);
    void AddObject(NSObject* sender);
    void AddCamera(NSObject* sender);
    void AddAmbient(NSObject* sender);
    void AddSun(NSObject* sender);
    // Moves the current time on by the step after a tween point was recorded.
    void IncrementTime();
    void ZoomIn(NSObject* sender);
    void ZoomOut(NSObject* sender);
    void CurrentTimeSlider(NSObject* sender);
    void MinTimeChanged(NSObject* sender);
    void CurTimeChanged(NSObject* sender);
    void MaxTimeChanged(NSObject* sender);
    void SpeedSliderChanged(NSObject* sender);
    void SpeedMinChanged(NSObject* sender);
    void SpeedChanged(NSObject* sender);
    void SpeedMaxChanged(NSObject* sender);
    void AnimationModeChanged(NSObject* sender);
    // The step field is read when it is needed; the slider and the drawer act by themselves.
    void SliderDragged(NSObject* sender);
    void ChangeTweenAddMovement(NSObject* sender);
    void OpenCloseDrawer(NSObject* sender);
    // The drawer's snap toggle: drags and the scrubbed time snap to the step while it is on.
    void SnapChanged(NSObject* sender);
    // The drawer shows the clock's current time as it opens (while it is closed the time
    // moves without it).
    void DrawerWillOpen(NSNotification* notification);

private:
    // Seconds in the step field.
    double Step() const;
    void Play(bool forwards);
    void Record(void (*add)(int32_t), bool isObject, NSObject* sender);
    void JumpToNeighbour(bool forwards);
};
