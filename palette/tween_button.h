// The palette's buttons that show their alternate image while active. The transport buttons
// (play backward, stop, play forward) form a group of which one shows itself active; any
// other such button shows its alternate image only while it is pressed.
#pragma once

#include "host/cocoa/ns_button.h"

inline constexpr long kPlayBackwardButtonTag = 1003;
inline constexpr long kStopButtonTag = 1004;
inline constexpr long kPlayForwardButtonTag = 1005;

class TweenButton : public NSButton {
public:
    using NSButton::NSButton;

    // Shows the alternate image (by swapping the two), once.
    void SwitchImage();
    // Shows the normal image again, once.
    void UnSwitchImage();
    bool IsImageSwitched() const { return imageSwitched; }

    // Lights this button (and, for a transport button, puts out the other two), tracks the
    // mouse as a button does, then puts the light out again unless it is a transport button;
    // stop always ends lit.
    void mouseDown(NSEvent* event) override;

private:
    bool IsTransportButton() const;
    // The transport buttons beside this one, in tag order; those missing are skipped.
    void UnSwitchTransportGroup();

    bool imageSwitched = false;
};
