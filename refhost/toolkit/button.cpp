#include "host/cocoa/ns_button.h"

#include "host/cocoa/ns_bezier_path.h"
#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_graphics.h"
#include "host/cocoa/ns_string.h"
#include "refhost/toolkit/tracking.h"

void NSButton::setTitle(std::string title) {
    fTitle = std::move(title);
    setNeedsDisplay(true);
}

void NSButton::setImage(std::shared_ptr<NSImage> image) {
    fImage = std::move(image);
    setNeedsDisplay(true);
}

void NSButton::setAlternateImage(std::shared_ptr<NSImage> image) {
    fAlternateImage = std::move(image);
    setNeedsDisplay(true);
}

void NSButton::setBordered(bool bordered) {
    fBordered = bordered;
    setNeedsDisplay(true);
}

void NSButton::setState(NSControlStateValue state) {
    if (state != fState) {
        fState = state;
        setNeedsDisplay(true);
    }
}

void NSButton::highlight(bool highlighted) {
    if (highlighted != fHighlighted) {
        fHighlighted = highlighted;
        setNeedsDisplay(true);
    }
}

void NSButton::mouseDown(NSEvent*) {
    if (!isEnabled()) {
        return;
    }
    highlight(true);
    auto const up = refhost::toolkit::TrackMouse(*this, [this](NSPoint p, bool released) {
        highlight(!released && NSPointInRect(p, bounds()));
    });
    highlight(false);
    if (up && NSPointInRect(*up, bounds())) {
        if (fType == NSButtonType::toggle) {
            setState(fState == NSControlStateValueOn ? NSControlStateValueOff
                                                     : NSControlStateValueOn);
        }
        sendAction();
    }
}

void NSButton::performClick(NSObject*) {
    if (!isEnabled()) {
        return;
    }
    if (fType == NSButtonType::toggle) {
        setState(fState == NSControlStateValueOn ? NSControlStateValueOff : NSControlStateValueOn);
    }
    sendAction();
}

void NSButton::drawRect(NSRect const&) {
    NSRect const b = bounds();
    bool const showAlternate = (fType == NSButtonType::momentaryChange && fHighlighted) ||
                               (fType == NSButtonType::toggle && fState == NSControlStateValueOn);
    if (fBordered) {
        NSRect const bezel = NSInsetRect(b, 1, 1);
        bool const pressed = fHighlighted && fType != NSButtonType::momentaryChange;
        (pressed ? NSColor::colorWithDeviceWhite(0.78f, 1) : NSColor::controlColor()).setFill();
        NSRectFill(bezel);
        NSColor::controlShadowColor().setFill();
        NSFrameRect(bezel);
    }
    std::shared_ptr<NSImage> const image =
        showAlternate && fAlternateImage ? fAlternateImage : fImage;
    if (image != nullptr) {
        NSSize const s = image->size();
        image->drawAtPoint(
            NSMakePoint(static_cast<CGFloat>(static_cast<int>(NSMidX(b) - s.width / 2)),
                        static_cast<CGFloat>(static_cast<int>(NSMidY(b) - s.height / 2))));
    } else if (!fTitle.empty()) {
        NSSize const s = NSTextSize(fTitle);
        (isEnabled() ? NSColor::controlTextColor() : NSColor::grayColor()).setFill();
        NSDrawText(fTitle, NSMakePoint(NSMidX(b) - s.width / 2, NSMidY(b) - 4));
    }
}
