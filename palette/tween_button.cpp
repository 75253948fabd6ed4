#include "palette/tween_button.h"

#include <utility>

void TweenButton::SwitchImage() {
    if (imageSwitched) {
        return;
    }
    std::shared_ptr<NSImage> normal = image();
    setImage(alternateImage());
    setAlternateImage(std::move(normal));
    imageSwitched = true;
}

void TweenButton::UnSwitchImage() {
    if (!imageSwitched) {
        return;
    }
    std::shared_ptr<NSImage> alternate = image();
    setImage(alternateImage());
    setAlternateImage(std::move(alternate));
    imageSwitched = false;
}

bool TweenButton::IsTransportButton() const {
    long const t = tag();
    return t == kPlayBackwardButtonTag || t == kStopButtonTag || t == kPlayForwardButtonTag;
}

void TweenButton::UnSwitchTransportGroup() {
    NSView* parent = superview();
    if (!parent) {
        return;
    }
    for (long t : {kPlayBackwardButtonTag, kStopButtonTag, kPlayForwardButtonTag}) {
        if (auto* button = dynamic_cast<TweenButton*>(parent->viewWithTag(t))) {
            button->UnSwitchImage();
        }
    }
}

void TweenButton::mouseDown(NSEvent* event) {
    if (!imageSwitched) {
        if (IsTransportButton()) {
            UnSwitchTransportGroup();
        }
        SwitchImage();
    }
    NSButton::mouseDown(event);
    if (!IsTransportButton()) {
        UnSwitchImage();
    }
    if (tag() == kStopButtonTag) {
        UnSwitchTransportGroup();
        SwitchImage();
    }
}
