// Push buttons with a title or an image. While the mouse is held the button tracks it
// itself, taking the following drag and up events from the window: it shows itself pressed
// while the mouse is inside and sends its action when the mouse is released inside.
#pragma once

#include <memory>
#include <string>

#include "host/cocoa/ns_control.h"
#include "host/cocoa/ns_image.h"

enum class NSButtonType {
    // Pressed look while held; no state.
    momentaryPushIn,
    // Shows the alternate image and title while held.
    momentaryChange,
    // Each click turns the state on or off; on shows the alternate image.
    toggle,
};

using NSControlStateValue = int;
inline constexpr NSControlStateValue NSControlStateValueOff = 0;
inline constexpr NSControlStateValue NSControlStateValueOn = 1;

class NSButton : public NSControl {
public:
    explicit NSButton(NSRect frame = NSZeroRect) : NSControl(frame) {}

    std::string const& title() const { return fTitle; }
    void setTitle(std::string title);
    std::shared_ptr<NSImage> image() const { return fImage; }
    void setImage(std::shared_ptr<NSImage> image);
    std::shared_ptr<NSImage> alternateImage() const { return fAlternateImage; }
    void setAlternateImage(std::shared_ptr<NSImage> image);
    NSButtonType buttonType() const { return fType; }
    void setButtonType(NSButtonType type) { fType = type; }
    bool isBordered() const { return fBordered; }
    void setBordered(bool bordered);
    NSControlStateValue state() const { return fState; }
    void setState(NSControlStateValue state);
    bool isHighlighted() const { return fHighlighted; }
    void highlight(bool highlighted);

    double doubleValue() const override { return fState; }
    void setDoubleValue(double value) override {
        setState(value != 0 ? NSControlStateValueOn : NSControlStateValueOff);
    }

    // The standard tracking: returns once the mouse is released (or the window has no more
    // events), having sent the action if it was released inside.
    void mouseDown(NSEvent* event) override;
    void performClick(NSObject* sender) override;
    void drawRect(NSRect const& dirtyRect) override;

private:
    std::string fTitle;
    std::shared_ptr<NSImage> fImage;
    std::shared_ptr<NSImage> fAlternateImage;
    NSButtonType fType = NSButtonType::momentaryPushIn;
    bool fBordered = true;
    NSControlStateValue fState = NSControlStateValueOff;
    bool fHighlighted = false;
};
